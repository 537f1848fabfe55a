// Window timers, kept by the message loop. Internal to the platform.
#pragma once

#include "platform/window/window.h"

namespace plat {

// Milliseconds until the next timer is due; -1 when there is none.
int timers_wait_ms(void);
// Takes one due timer of the window (or of any window when NULL) and fills
// its WM_TIMER message; the timer is set for its next period.
bool timers_take_due(HWND filter, MSG *msg, bool remove);
void timers_forget_window(HWND window);

}  // namespace plat
