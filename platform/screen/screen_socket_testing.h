// Test seam of the screen's control socket, for the fuzz target: a connected
// socket served as the control socket serves each client it accepts.
#pragma once

// `fd` is non-blocking; the request is read from it, carried out on the
// screen and answered on it from the message loop, and then it is closed.
void screen_control_adopt(int fd);
