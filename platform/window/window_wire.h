// The packets of the window sockets: a message is its number and two
// integers; a send is answered by one reply packet. Internal to the window
// room.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/window/window.h"

namespace plat {

constexpr uint32_t WIRE_MAGIC = 0x564C4D53;  // "VLMS"
enum WireKind : uint32_t { WIRE_POST = 1, WIRE_SEND = 2, WIRE_FOREGROUND = 3 };

struct WireMessage {
    uint32_t magic;
    uint32_t kind;
    uint32_t message;
    uint32_t reserved;
    uint64_t wparam;
    int64_t lparam;
};

struct WireReply {
    uint32_t magic;
    uint32_t kind;
    int64_t result;
};

// A packet exactly as long as a message, with the magic and a known kind.
bool wire_decode(const unsigned char *data, size_t size, WireMessage *out);

// Whether a message may cross from another process: only those whose
// parameters are plain numbers (the private messages of WM_APP and above,
// WM_NULL, WM_CLOSE, WM_HIBERNATE, and WM_COMMAND of a menu, lParam 0). Any
// other would have the receiver read, write or call the sender's numbers as
// addresses.
bool wire_message_plain(UINT message, LPARAM lparam);

}  // namespace plat
