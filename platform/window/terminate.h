// How the host asks a program to end: SIGTERM or SIGINT closes its main
// windows, as the phone's shell closes a program, so that it ends through
// its message loop and saves what it must.
#pragma once

// From now on the two signals post WM_CLOSE to every top-level window of the
// program that has no owner, or end its loop when it has none yet. Call it
// before the first window is made, so that no signal finds the program
// unprepared; false when the signals cannot be watched.
bool close_windows_on_terminate(void);
