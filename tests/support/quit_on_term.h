// For the test programs: SIGTERM ends the program through its message loop
// (PostQuitMessage), so that it exits cleanly and leak checks run.
#pragma once

void quit_on_sigterm(void);
