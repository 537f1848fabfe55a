#include "sound/ringing_dialog.h"

#include "sound/ringing.h"
#include "sound/ringing_testing.h"
#include "sound/sound_choice.h"
#include "sound/sound_player.h"

constexpr ULONGLONG MINUTE_MS = 60000;
// A timer period must fit its 32-bit word; a longer limit is checked again
// when this one runs out.
constexpr ULONGLONG LONGEST_PERIOD_MS = 0x7FFFFFFF;

namespace {

DWORD (*ring_ticks)(void) = GetTickCount;

// The ringing channel holds a library user from a PlayRinging until its
// close; closing twice would release a user some other channel holds.
bool channel_held;

struct RingClock {
    ULONGLONG elapsed_ms;
    DWORD last_tick;
};
RingClock Clock;

}  // namespace

void ringing_use_ticks(DWORD (*ticks)(void)) { ring_ticks = ticks ? ticks : GetTickCount; }

int ringing_template(int screen_class, int large, int small, int landscape) {
    if (screen_class == 0) return small;
    return screen_class < 0 ? landscape : large;
}

void ringing_open(HWND dialog, int bar_id) {
    SHINITDLGINFO init = {SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&init);
    SHMENUBARINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.hwndParent = dialog;
    bar.nToolBarId = UINT(bar_id);
    SHCreateMenuBar(&bar);
}

void ringing_close(bool restore) {
    if (!channel_held) return;
    channel_held = false;
    StopRinging();
    CloseRinging(restore);
}

bool ringing_start(LPWSTR path, LPCWSTR default_name, bool own_volume, int attempts) {
    WCHAR fallback[MAX_PATH];
    default_sound_path(default_name, fallback);
    for (int call = 0; call < attempts; call++) {
        channel_held = true;
        if (PlayRinging(path, own_volume)) return true;
        ringing_close(own_volume);
        if (call == 0 && wcscmp(path, fallback) != 0) {
            plat::copy_wide(path, MAX_PATH, fallback);
            call = -1;  // the default gets every attempt
        }
    }
    return false;
}

void ringing_start_timers(HWND dialog, DWORD max_minutes) {
    ULONGLONG limit = ULONGLONG(max_minutes) * MINUTE_MS;
    SetTimer(dialog, RING_LIMIT_TIMER_ID, UINT(limit < LONGEST_PERIOD_MS ? limit : LONGEST_PERIOD_MS), nullptr);
    SetTimer(dialog, RING_WATCH_TIMER_ID, RING_WATCH_MS, nullptr);
}

void ringing_kill_timers(HWND dialog) {
    KillTimer(dialog, RING_LIMIT_TIMER_ID);
    KillTimer(dialog, RING_WATCH_TIMER_ID);
}

void ringing_clock_start(void) {
    Clock.elapsed_ms = 0;
    Clock.last_tick = ring_ticks();
}

// Summed up call by call, so that the 32-bit count's wrap after 49 days
// never shortens it; the calls come at least once per timer period.
ULONGLONG ringing_clock_elapsed_ms(void) {
    DWORD now = ring_ticks();
    Clock.elapsed_ms += DWORD(now - Clock.last_tick);
    Clock.last_tick = now;
    return Clock.elapsed_ms;
}

bool ringing_back_key(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_HOTKEY || HIWORD(lparam) != VK_ESCAPE) return false;
    SHSendBackToFocusWindow(message, wparam, lparam);
    return true;
}

void ringing_end(HWND dialog, bool restore, INT_PTR result) {
    ringing_close(restore);
    ringing_kill_timers(dialog);
    EndDialog(dialog, result);
}
