// A device with the window peer running: another process with one findable
// window "Peer One" of class "Peer" that records the private messages and
// commands it receives, one line each, and answers a send with wParam +
// lParam.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/phone.h"
#include "tests/support/temp_device.h"

class WindowPeerDevice : public TempDevice {
protected:
    void SetUp() override;
    void TearDown() override;
    // What the peer recorded, once it holds `want` lines or after 3 s.
    std::vector<std::string> recorded(size_t want);

    pid_t peer = 0;
    HWND found = nullptr;
    std::string record;
};
