// The screen: its size (a device setting, swapped by rotation), the areas of
// the title bar, the windows and the soft keys, the frame the windows are
// composed into, and the display that shows it. Each program that shows a
// window owns a screen; velctl reaches it through the control socket.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>

#include "platform/device/device.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/shell/menu_internal.h"
#include "platform/shell/message_box.h"
#include "platform/screen/screen.h"

namespace plat {

namespace {

struct Screen {
    bool started = false;
    const WindowBackend *window = nullptr;  // none: headless
    int width = 0;
    int height = 0;
    unsigned generation = 0;
    Surface frame;
    bool waiting = false;
    std::deque<ScreenAction> actions;
    unsigned queued = 0;  // actions ever queued, and taken up
    unsigned taken = 0;
};

Screen &screen() {
    static Screen s;
    return s;
}

// Title and soft-key bars: 24 + 30 pixels on the larger screens, 18 + 22 on
// the 176x220 one, which leaves 240x266, 320x186 and 176x180 for windows.
int title_height(int w, int h) { return (w < h ? w : h) < 240 ? 18 : 24; }
int softkey_height(int w, int h) { return (w < h ? w : h) < 240 ? 22 : 30; }

void areas(int w, int h, RECT *title, RECT *work, RECT *keys) {
    int t = title_height(w, h), k = softkey_height(w, h);
    if (title) SetRect(title, 0, 0, w, t);
    if (work) SetRect(work, 0, t, w, h - k);
    if (keys) SetRect(keys, 0, h - k, w, h);
}

bool want_window() {
    const char *choice = getenv("VELMORA_SCREEN");
    if (choice && strcmp(choice, "headless") == 0) return false;
    if (choice && strcmp(choice, "sdl") == 0) return true;
    const char *x = getenv("DISPLAY"), *wl = getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wl && *wl);
}

// On an X display the plain window, unless SDL's own driver is asked for;
// SDL's window everywhere else.
const WindowBackend *open_window(int w, int h) {
    const char *x = getenv("DISPLAY");
    if (x && *x && !getenv("SDL_VIDEODRIVER"))
        if (const WindowBackend *b = x11_window_open(w, h)) return b;
    return sdl_open(w, h);
}

// Windows that filled the old screen or one of its areas fill the new one.
void follow_size(const RECT old_areas[4], const RECT new_areas[4]) {
    std::vector<HWND> tops = window_table().top_levels;
    for (HWND h : tops) {
        Window *w = window_get(h);
        if (!w || !w->remote.empty()) continue;
        for (int i = 0; i < 4; i++) {
            if (!EqualRect(&w->rect, &old_areas[i])) continue;
            const RECT &r = new_areas[i];
            SetWindowPos(h, nullptr, int(r.left), int(r.top), int(r.right - r.left), int(r.bottom - r.top),
                         SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
    }
    tops = window_table().top_levels;
    for (HWND h : tops) {
        Window *w = window_get(h);
        if (w && w->remote.empty() && !(w->ex_style & WS_EX_NOACTIVATE))
            SendMessageW(h, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
    }
}

void apply_size(int w, int h) {
    Screen &s = screen();
    RECT old_areas[4], new_areas[4];
    SetRect(&old_areas[0], 0, 0, s.width, s.height);
    areas(s.width, s.height, &old_areas[1], &old_areas[2], &old_areas[3]);
    s.width = w;
    s.height = h;
    SetRect(&new_areas[0], 0, 0, w, h);
    areas(w, h, &new_areas[1], &new_areas[2], &new_areas[3]);
    surface_alloc(s.frame, w, h);
    screen_touch();
    if (!s.started) return;
    menu_close_all();
    if (s.window) s.window->resize(w, h);
    follow_size(old_areas, new_areas);
}

void run_action(const ScreenAction &a) {
    switch (a.kind) {
    case ScreenAction::KEY: input_key(a.vk, a.ch); break;
    case ScreenAction::ROTATE: screen_rotate(); break;
    case ScreenAction::HIBERNATE: {
        std::vector<HWND> tops = window_table().top_levels;
        for (HWND h : tops)
            if (Window *w = window_get(h); w && w->remote.empty() && !(w->ex_style & WS_EX_NOACTIVATE))
                PostMessageW(h, WM_HIBERNATE, 0, 0);
        break;
    }
    case ScreenAction::ANSWER: message_box_screen_answer(a.answer); break;
    case ScreenAction::CLOSE: {
        HWND fg = window_table().foreground;
        Window *w = window_get(fg);
        while (w && w->owner) w = window_get(w->owner);
        if (w) PostMessageW(w->handle, WM_CLOSE, 0, 0);
        break;
    }
    }
}

// Once per loop turn, when the program has nothing else to do: the next
// key or command from outside, else compose, present and answer velctl.
void screen_idle() {
    Screen &s = screen();
    if (s.window) s.window->pump();
    screen_sync_settings();
    if (!s.actions.empty()) {
        ScreenAction a = s.actions.front();
        s.actions.pop_front();
        s.taken++;
        run_action(a);
        // Another turn follows, so the next action or the answer comes after
        // whatever this one caused.
        loop_post(nullptr, WM_NULL, 0, 0);
        return;
    }
    if (screen_stale()) screen_present_now();
    control_idle();
}

void on_device_closed() { control_stop(); }

}  // namespace

void screen_size(int *w, int *h) {
    Screen &s = screen();
    if (!s.started || s.width == 0) {
        const DeviceSettings *ds = device_settings();
        *w = ds->screen_width;
        *h = ds->screen_height;
        return;
    }
    *w = s.width;
    *h = s.height;
}

void screen_rect(RECT *r) {
    int w, h;
    screen_size(&w, &h);
    SetRect(r, 0, 0, w, h);
}

void screen_title_area(RECT *r) {
    int w, h;
    screen_size(&w, &h);
    areas(w, h, r, nullptr, nullptr);
}

void screen_work_area(RECT *r) {
    int w, h;
    screen_size(&w, &h);
    areas(w, h, nullptr, r, nullptr);
}

void screen_softkey_area(RECT *r) {
    int w, h;
    screen_size(&w, &h);
    areas(w, h, nullptr, nullptr, r);
}

void window_default_rect(RECT *rect) {
    screen_sync_settings();
    screen_work_area(rect);
}

Surface *screen_frame(void) {
    Screen &s = screen();
    int w, h;
    screen_size(&w, &h);
    if (s.frame.width != w || s.frame.height != h) surface_alloc(s.frame, w, h);
    return &s.frame;
}

Surface *screen_window_pixels(Window *top) {
    int w = int(top->rect.right - top->rect.left), h = int(top->rect.bottom - top->rect.top);
    if (w <= 0 || h <= 0) return nullptr;
    if (!top->pixels) top->pixels = std::make_shared<Surface>();
    if (top->pixels->width != w || top->pixels->height != h) {
        if (!surface_alloc(*top->pixels, w, h)) return nullptr;
    }
    return top->pixels.get();
}

void screen_present_now(void) {
    Screen &s = screen();
    screen_compose();
    if (s.window) s.window->present(s.frame);
}

void screen_raise(void) {
    if (screen().window) screen().window->raise();
}

void screen_set_waiting(bool waiting) {
    Screen &s = screen();
    if (s.waiting == waiting) return;
    s.waiting = waiting;
    screen_touch();
    if (s.started) screen_present_now();
}

bool screen_waiting(void) { return screen().waiting; }

void screen_sync_settings(void) {
    Screen &s = screen();
    if (!s.started) return;
    unsigned g = device_settings_generation();
    if (g == s.generation) return;
    s.generation = g;
    const DeviceSettings *ds = device_settings();
    if (ds->screen_width != s.width || ds->screen_height != s.height) apply_size(ds->screen_width, ds->screen_height);
}

void screen_rotate(void) {
    DeviceSettings next = *device_settings();
    next.screen_width = screen().height;
    next.screen_height = screen().width;
    if (!device_save_settings(&next)) {
        fprintf(stderr, "velmora: cannot save the rotated screen: %s\n", device_error());
        return;
    }
    screen_sync_settings();
}

unsigned screen_queue_action(const ScreenAction &action) {
    screen().actions.push_back(action);
    loop_post(nullptr, WM_NULL, 0, 0);
    return ++screen().queued;
}

unsigned screen_actions_taken(void) { return screen().taken; }

void screen_ensure(void) {
    Screen &s = screen();
    if (s.started) {
        screen_sync_settings();
        control_listen();
        return;
    }
    font_prefetch();
    const DeviceSettings *ds = device_settings();
    s.width = ds->screen_width;
    s.height = ds->screen_height;
    s.generation = device_settings_generation();
    surface_alloc(s.frame, s.width, s.height);
    s.started = true;
    s.window = want_window() ? open_window(s.width, s.height) : nullptr;
    loop_add_idle_hook(screen_idle);
    device_add_close_hook(on_device_closed);
    message_box_set_presenter(screen_message_box);
    control_listen();
}

}  // namespace plat
