#include "platform/device/idle_timer.h"

#include <atomic>

#include "platform/device/clock.h"

namespace {

std::atomic<DWORD> last_reset{0};

}  // namespace

void SystemIdleTimerReset(void) {
    DWORD now = GetTickCount();
    last_reset = now ? now : 1;
}

DWORD idle_timer_last_reset(void) { return last_reset; }
