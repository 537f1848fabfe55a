#include "platform/window/window_wire.h"

#include <cstring>

namespace plat {

bool wire_decode(const unsigned char *data, size_t size, WireMessage *out) {
    if (!data || size != sizeof(WireMessage)) return false;
    memcpy(out, data, sizeof *out);
    if (out->magic != WIRE_MAGIC) return false;
    return out->kind == WIRE_POST || out->kind == WIRE_SEND || out->kind == WIRE_FOREGROUND;
}

bool wire_message_plain(UINT message, LPARAM lparam) {
    // WM_APP up to the registered messages: the programs' own, numbers only.
    if (message >= WM_APP && message <= 0xBFFF) return true;
    switch (message) {
        case WM_NULL:
        case WM_CLOSE:
        case WM_HIBERNATE:
            return true;
        case WM_COMMAND:
            return lparam == 0;
        default:
            return false;
    }
}

}  // namespace plat
