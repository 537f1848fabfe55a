#include "platform/window/timers.h"

#include <time.h>

#include <algorithm>
#include <vector>

#include "platform/device/clock.h"
#include "platform/window/window_internal.h"

namespace {

struct Timer {
    HWND window;
    UINT_PTR id;
    UINT period;
    long long due;  // monotonic milliseconds
    TIMERPROC proc;
};

struct TimerList {
    std::vector<Timer> timers;
    UINT_PTR next_free_id = 0x7F00;  // for timers without a window
};

TimerList &timer_list() {
    static TimerList t;
    return t;
}

long long now_ms() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

// Timers are touched only by the user-interface thread; the table's lock is
// taken anyway so that a stray call from elsewhere cannot corrupt the list.
std::recursive_mutex &timer_lock() { return plat::window_table().lock; }

}  // namespace

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT ms, TIMERPROC proc) {
    std::lock_guard<std::recursive_mutex> g(timer_lock());
    if (window) {
        plat::Window *w = plat::window_get(window);
        if (!w || !w->remote.empty()) return 0;
    } else {
        id = timer_list().next_free_id++;
    }
    ms = std::max(ms, 10u);
    auto &list = timer_list().timers;
    for (Timer &t : list) {
        if (t.window == window && t.id == id) {
            t.period = ms, t.due = now_ms() + ms, t.proc = proc;
            return id ? id : 1;
        }
    }
    list.push_back({window, id, ms, now_ms() + ms, proc});
    return id ? id : 1;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    std::lock_guard<std::recursive_mutex> g(timer_lock());
    auto &list = timer_list().timers;
    auto it = std::find_if(list.begin(), list.end(), [&](const Timer &t) { return t.window == window && t.id == id; });
    if (it == list.end()) return FALSE;
    list.erase(it);
    return TRUE;
}

namespace plat {

int timers_wait_ms(void) {
    std::lock_guard<std::recursive_mutex> g(timer_lock());
    auto &list = timer_list().timers;
    if (list.empty()) return -1;
    long long due = list.front().due;
    for (const Timer &t : list) due = std::min(due, t.due);
    long long wait = due - now_ms();
    return wait < 0 ? 0 : int(std::min(wait, 24LL * 3600 * 1000));
}

bool timers_take_due(HWND filter, MSG *msg, bool remove) {
    std::lock_guard<std::recursive_mutex> g(timer_lock());
    long long now = now_ms();
    for (Timer &t : timer_list().timers) {
        if (t.due > now || (filter && t.window != filter)) continue;
        *msg = {t.window, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc), GetTickCount(), {0, 0}};
        // One WM_TIMER however many periods passed, as on the phone.
        if (remove) t.due = now + t.period;
        return true;
    }
    return false;
}

void timers_forget_window(HWND window) {
    std::lock_guard<std::recursive_mutex> g(timer_lock());
    auto &list = timer_list().timers;
    list.erase(std::remove_if(list.begin(), list.end(), [window](const Timer &t) { return t.window == window; }),
               list.end());
}

}  // namespace plat
