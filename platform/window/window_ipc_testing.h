// Test seam of the window sockets: one packet served to a window of this
// process as if it had come from another one, for the fuzz target.
#pragma once

#include <cstddef>

#include "platform/window/window.h"

// Decodes the packet and delivers what may cross to `window` (a send runs
// the window procedure at once); what may not is dropped and journalled.
// Returns the result of a send, else 0.
LRESULT window_ipc_serve_packet(HWND window, const unsigned char *data, size_t size);
