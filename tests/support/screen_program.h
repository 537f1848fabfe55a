// A test that runs a program showing the device's screen and drives it with
// velctl: keys, screenshots, the message box; the program writes what it is
// told to a record file, one line each, which the test reads.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/temp_device.h"

class ScreenProgram : public TempDevice {
protected:
    void SetUp() override;
    // Stops the program, which must end cleanly (nothing leaked under ASan, nothing hung).
    void TearDown() override;
    // Starts PROGRAM DEVICE RECORD ARGS... on a screen of the size given and
    // waits until it has written its first line and its screen answers.
    void start_on_screen(const std::string &program, int width, int height, const std::vector<std::string> &args = {});
    // Ends the program; its exit code.
    int stop();
    int velctl(std::vector<std::string> words, std::string *out = nullptr);
    std::vector<std::string> lines();
    // What the program recorded since the last call.
    std::vector<std::string> fresh();
    // A screenshot, also copied to $VELMORA_SHOTS/NAME.png when that is set.
    bool shot(const std::string &name, int *width, int *height, std::vector<unsigned char> *rgb);

    std::string record;
    pid_t program = -1;
    size_t mark = 0;
};
