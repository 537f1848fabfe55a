// The process's message queue and loop. Posted messages come first, then
// the quit request, then painting, then timers; while nothing is pending the
// loop sleeps in epoll on the queue's wake-up descriptor, the timers' next due
// time and the descriptors other services watch (sockets, the display).
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/device/clock.h"
#include "platform/device/device.h"
#include "platform/core/last_error.h"
#include "platform/window/timers.h"
#include "platform/window/window_internal.h"

using plat::Window;

namespace {

struct Watch {
    int fd;
    plat::FdHandler handler;
    void *context;
    long long deadline_ms;  // 0: none
};

struct MessageLoop {
    std::mutex lock;  // guards `posted`, `quit` and `quit_code`; posts come from any thread
    std::deque<MSG> posted;
    bool quit = false;
    int quit_code = 0;
    int wake_fd = -1;
    int epoll_fd = -1;
    std::vector<Watch> watches;           // user-interface thread only
    std::vector<void (*)(void)> idle_hooks;
};

MessageLoop &loop() {
    static MessageLoop l;
    return l;
}

void ensure_fds(MessageLoop &l) {
    static std::once_flag once;
    std::call_once(once, [&l] {
        l.wake_fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        l.epoll_fd = epoll_create1(EPOLL_CLOEXEC);
        struct epoll_event ev = {};
        ev.events = EPOLLIN;
        ev.data.fd = l.wake_fd;
        epoll_ctl(l.epoll_fd, EPOLL_CTL_ADD, l.wake_fd, &ev);
    });
}

void wake(MessageLoop &l) {
    uint64_t one = 1;
    ssize_t ignored = write(l.wake_fd, &one, sizeof one);
    (void)ignored;
}

bool matches(HWND filter, HWND window) {
    if (!filter || window == filter) return true;
    // A window filter also takes the messages of its children.
    for (Window *w = plat::window_get(window); w && w->parent; w = plat::window_get(w->parent))
        if (w->parent == filter) return true;
    return false;
}

bool in_range(UINT message, UINT first, UINT last) {
    return (first == 0 && last == 0) || (message >= first && message <= last);
}

// The wait shortened so that the nearest watch deadline is not overslept.
int until_deadline(const MessageLoop &l, int timeout_ms) {
    long long now = plat::loop_now_ms();
    for (const Watch &w : l.watches) {
        if (w.deadline_ms == 0) continue;
        long long left = w.deadline_ms > now ? w.deadline_ms - now : 0;
        if (timeout_ms < 0 || left < timeout_ms) timeout_ms = int(left);
    }
    return timeout_ms;
}

// Runs the handlers of the watches whose deadline passed; each handler sees
// for itself that its time is up. O(n) in the watches.
void run_expired(MessageLoop &l) {
    long long now = plat::loop_now_ms();
    std::vector<int> expired;
    for (const Watch &w : l.watches)
        if (w.deadline_ms != 0 && w.deadline_ms <= now) expired.push_back(w.fd);
    for (int fd : expired) {
        auto it = std::find_if(l.watches.begin(), l.watches.end(), [fd](const Watch &w) { return w.fd == fd; });
        if (it == l.watches.end() || it->deadline_ms == 0 || it->deadline_ms > now) continue;
        Watch w = *it;
        w.handler(w.fd, w.context);
    }
}

// Waits up to `timeout_ms` for any watched descriptor and runs the handlers
// of those that are ready or whose deadline passed.
void poll_descriptors(MessageLoop &l, int timeout_ms) {
    struct epoll_event events[16];
    if (timeout_ms != 0) device_settings_turn(false);
    int n = epoll_wait(l.epoll_fd, events, 16, until_deadline(l, timeout_ms));
    // Whatever woke us may come after a change of the device's settings.
    if (n > 0 || timeout_ms != 0) device_settings_turn(true);
    for (int i = 0; i < n; i++) {
        int fd = events[i].data.fd;
        if (fd == l.wake_fd) {
            uint64_t count;
            ssize_t ignored = read(l.wake_fd, &count, sizeof count);
            (void)ignored;
            continue;
        }
        // A handler may unwatch descriptors, so look each one up afresh.
        auto it = std::find_if(l.watches.begin(), l.watches.end(), [fd](const Watch &w) { return w.fd == fd; });
        if (it == l.watches.end()) continue;
        Watch w = *it;
        w.handler(w.fd, w.context);
    }
    run_expired(l);
}

// The first window in painting order (parents before children, bottom of
// the z-order first) that is visible and has an update region.
HWND find_dirty(const std::vector<HWND> &list, HWND filter) {
    for (HWND h : list) {
        Window *w = plat::window_get(h);
        if (!w || !(w->style & WS_VISIBLE) || w->destroying) continue;
        if (w->dirty && matches(filter, h)) return h;
        if (HWND child = find_dirty(w->children, filter)) return child;
    }
    return nullptr;
}

bool take_message(MessageLoop &l, LPMSG msg, HWND filter, UINT first, UINT last, bool remove) {
    {
        std::lock_guard<std::mutex> g(l.lock);
        for (auto it = l.posted.begin(); it != l.posted.end(); ++it) {
            if (!matches(filter, it->hwnd) || !in_range(it->message, first, last)) continue;
            *msg = *it;
            if (remove) l.posted.erase(it);
            return true;
        }
        if (l.quit && in_range(WM_QUIT, first, last)) {
            *msg = {nullptr, WM_QUIT, WPARAM(l.quit_code), 0, GetTickCount(), {0, 0}};
            if (remove) l.quit = false;
            return true;
        }
    }
    if (in_range(WM_PAINT, first, last)) {
        if (HWND dirty = find_dirty(plat::window_table().top_levels, filter)) {
            *msg = {dirty, WM_PAINT, 0, 0, GetTickCount(), {0, 0}};
            return true;
        }
    }
    return in_range(WM_TIMER, first, last) && plat::timers_take_due(filter, msg, remove);
}

}  // namespace

namespace plat {

long long loop_now_ms(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

void loop_watch_fd(int fd, FdHandler handler, void *context, unsigned events, long long deadline_ms) {
    MessageLoop &l = loop();
    ensure_fds(l);
    loop_unwatch_fd(fd);
    struct epoll_event ev = {};
    ev.events = ((events & LOOP_READ) ? EPOLLIN : 0u) | ((events & LOOP_WRITE) ? EPOLLOUT : 0u);
    ev.data.fd = fd;
    if (epoll_ctl(l.epoll_fd, EPOLL_CTL_ADD, fd, &ev) == 0) l.watches.push_back({fd, handler, context, deadline_ms});
}

void loop_unwatch_fd(int fd) {
    MessageLoop &l = loop();
    auto it = std::find_if(l.watches.begin(), l.watches.end(), [fd](const Watch &w) { return w.fd == fd; });
    if (it == l.watches.end()) return;
    epoll_ctl(l.epoll_fd, EPOLL_CTL_DEL, fd, nullptr);
    l.watches.erase(it);
}

void loop_add_idle_hook(void (*hook)(void)) {
    auto &hooks = loop().idle_hooks;
    if (std::find(hooks.begin(), hooks.end(), hook) == hooks.end()) hooks.push_back(hook);
}

void loop_forget_window(HWND window) {
    MessageLoop &l = loop();
    {
        std::lock_guard<std::mutex> g(l.lock);
        l.posted.erase(std::remove_if(l.posted.begin(), l.posted.end(), [window](const MSG &m) { return m.hwnd == window; }),
                       l.posted.end());
    }
    timers_forget_window(window);
}

void loop_post(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    MessageLoop &l = loop();
    ensure_fds(l);
    {
        std::lock_guard<std::mutex> g(l.lock);
        l.posted.push_back({window, message, wparam, lparam, GetTickCount(), {0, 0}});
    }
    wake(l);
}

}  // namespace plat

BOOL PeekMessageW(LPMSG msg, HWND filter, UINT first, UINT last, UINT remove) {
    if (!msg) return FALSE;
    MessageLoop &l = loop();
    ensure_fds(l);
    poll_descriptors(l, 0);
    if (take_message(l, msg, filter, first, last, (remove & PM_REMOVE) != 0)) return TRUE;
    device_settings_turn(false);  // the caller's loop has nothing left to handle
    return FALSE;
}

BOOL GetMessageW(LPMSG msg, HWND filter, UINT first, UINT last) {
    if (!msg) return -1;
    if (filter && !IsWindow(filter)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    MessageLoop &l = loop();
    ensure_fds(l);
    poll_descriptors(l, 0);
    for (;;) {
        if (take_message(l, msg, filter, first, last, true)) return msg->message == WM_QUIT ? FALSE : TRUE;
        for (auto hook : l.idle_hooks) hook();
        if (take_message(l, msg, filter, first, last, true)) return msg->message == WM_QUIT ? FALSE : TRUE;
        // The wait just taken in what was ready; no second look before the next message.
        poll_descriptors(l, plat::timers_wait_ms());
    }
}

LRESULT DispatchMessageW(const MSG *msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg->hwnd) return 0;
    Window *w = plat::window_get(msg->hwnd);
    if (!w || !w->remote.empty()) return 0;
    return CallWindowProcW(w->proc, msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return proc ? proc(window, message, wparam, lparam) : 0;
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (window) {
        Window *w = plat::window_get(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (!w->remote.empty()) return plat::ipc_post(w, message, wparam, lparam);
    }
    plat::loop_post(window, message, wparam, lparam);
    return TRUE;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Window *w = plat::window_get(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (!w->remote.empty()) return plat::ipc_send(w, message, wparam, lparam);
    return CallWindowProcW(w->proc, window, message, wparam, lparam);
}

void PostQuitMessage(int exit_code) {
    MessageLoop &l = loop();
    ensure_fds(l);
    {
        std::lock_guard<std::mutex> g(l.lock);
        l.quit = true;
        l.quit_code = exit_code;
    }
    wake(l);
}
