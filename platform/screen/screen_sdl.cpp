// The screen in SDL2's window, scaled x2, nearest pixel, where the display is
// not plain X11 (screen_x11.cpp) or SDL_VIDEODRIVER asks for SDL. The
// program sleeps on the X11 connection's descriptor, so an idle clock does
// not poll; on X11 the frames go straight to the server (x11_present.cpp).
// Keys: F1 and F2 the soft keys, arrows, Enter the action key, Escape or
// Backspace Back, F9 rotates, F10 help; digits and letters are typed.
#include <X11/Xlib.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "platform/core/sdl_library.h"
#include "platform/screen/screen.h"

namespace plat {

namespace {

constexpr int POLL_MS = 20;  // only where the display has no descriptor to sleep on

struct SdlScreen {
    SDL_Window *window = nullptr;
    SDL_Renderer *renderer = nullptr;  // only where frames cannot go straight to X
    SDL_Texture *texture = nullptr;
    bool direct = false;  // frames go straight to the X server
    bool shown = false;
    int fd = -1;
    bool own_fd = false;
};

SdlScreen &sdl() {
    static SdlScreen s;
    return s;
}

void queue_key(int vk, wchar_t ch) { screen_queue_action({ScreenAction::KEY, vk, ch, 0}); }

void on_key(const SDL_Keysym &key) {
    switch (key.sym) {
    case SDLK_F1: queue_key(VK_TSOFT1, 0); break;
    case SDLK_F2: queue_key(VK_TSOFT2, 0); break;
    case SDLK_UP: queue_key(VK_UP, 0); break;
    case SDLK_DOWN: queue_key(VK_DOWN, 0); break;
    case SDLK_LEFT: queue_key(VK_LEFT, 0); break;
    case SDLK_RIGHT: queue_key(VK_RIGHT, 0); break;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: queue_key(VK_RETURN, 0); break;
    case SDLK_ESCAPE:
    case SDLK_BACKSPACE: queue_key(VK_TBACK, 0); break;
    case SDLK_F9: screen_queue_action({ScreenAction::ROTATE, 0, 0, 0}); break;
    case SDLK_F10: queue_key(VK_HELP, 0); break;
    default: break;
    }
}

void on_text(const char *text) {
    for (const char *p = text; *p; p++) {
        unsigned char c = (unsigned char)*p;
        if (c >= 0x80) continue;  // the keypad types ASCII only
        int vk = isalnum(c) ? toupper(c) : 0;
        queue_key(vk, wchar_t(c));
    }
}

void pump(void);

void on_ready(int fd, void *) {
    if (sdl().own_fd) {
        uint64_t ticks;
        ssize_t ignored = read(fd, &ticks, sizeof ticks);
        (void)ignored;
    }
    pump();
}

bool make_texture(int w, int h) {
    SdlScreen &s = sdl();
    if (s.texture) sdl_library()->DestroyTexture(s.texture);
    s.texture = sdl_library()->CreateTexture(s.renderer, SDL_PIXELFORMAT_BGR24, SDL_TEXTUREACCESS_STREAMING, w, h);
    return s.texture != nullptr;
}

// Frames straight to the X server where the display is X11, else through
// SDL's software renderer; the program sleeps on the display's descriptor.
bool make_presenter(int w, int h) {
    SdlScreen &s = sdl();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    bool x11 = sdl_library()->GetWindowWMInfo(s.window, &info) && info.subsystem == SDL_SYSWM_X11;
    if (x11) s.fd = XConnectionNumber(info.info.x11.display);
    s.direct = x11 && x11_present_open(info.info.x11.display, info.info.x11.window, w, h);
    if (s.direct) return true;
    s.renderer = sdl_library()->CreateRenderer(s.window, -1, SDL_RENDERER_SOFTWARE);
    return s.renderer && make_texture(w, h);
}

void watch_display() {
    SdlScreen &s = sdl();
    if (s.fd < 0) {
        s.fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
        struct itimerspec every = {{0, POLL_MS * 1000000L}, {0, POLL_MS * 1000000L}};
        timerfd_settime(s.fd, 0, &every, nullptr);
        s.own_fd = true;
    }
    if (s.fd >= 0) loop_watch_fd(s.fd, on_ready, nullptr);
}

void resize(int w, int h) {
    SdlScreen &s = sdl();
    if (!s.window) return;
    sdl_library()->SetWindowSize(s.window, w * WINDOW_SCALE, h * WINDOW_SCALE);
    if (s.direct)
        x11_present_resize(w, h);
    else
        make_texture(w, h);
}

void present(const Surface &frame) {
    SdlScreen &s = sdl();
    if (!s.window) return;
    if (!s.shown) {
        sdl_library()->ShowWindow(s.window);
        s.shown = true;
    }
    if (s.direct) {
        x11_present(frame);
        return;
    }
    if (!s.texture) return;
    sdl_library()->UpdateTexture(s.texture, nullptr, frame.row0, int(frame.stride));
    sdl_library()->RenderClear(s.renderer);
    sdl_library()->RenderCopy(s.renderer, s.texture, nullptr, nullptr);
    sdl_library()->RenderPresent(s.renderer);
}

void raise_window(void) {
    if (sdl().window) sdl_library()->RaiseWindow(sdl().window);
}

void pump(void) {
    if (!sdl().window) return;
    SDL_Event e;
    while (sdl_library()->PollEvent(&e)) {
        switch (e.type) {
        case SDL_KEYDOWN: on_key(e.key.keysym); break;
        case SDL_TEXTINPUT: on_text(e.text.text); break;
        case SDL_QUIT: screen_queue_action({ScreenAction::CLOSE, 0, 0, 0}); break;
        case SDL_WINDOWEVENT:
            if (e.window.event != SDL_WINDOWEVENT_EXPOSED) break;
            x11_present_expose();
            screen_touch();
            break;
        default: break;
        }
    }
}

}  // namespace

const WindowBackend *sdl_open(int w, int h) {
    SdlScreen &s = sdl();
    if (!sdl_library()) {
        fputs("velmora: no SDL2 library (libSDL2-2.0.so.0); the screen runs headless\n", stderr);
        return nullptr;
    }
    sdl_library()->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sdl_library()->SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    // The software renderer draws straight into the window's own framebuffer;
    // without this SDL puts a GL texture behind it and its threads wake a
    // sleeping clock.
    sdl_library()->SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A window of fixed size on one screen needs no display modes: without
    // these SDL asks the server dozens of questions before the window opens.
    sdl_library()->SetHint(SDL_HINT_VIDEO_X11_XRANDR, "0");
    sdl_library()->SetHint(SDL_HINT_VIDEO_X11_XVIDMODE, "0");
    sdl_library()->SetHint(SDL_HINT_VIDEO_X11_XINERAMA, "0");
    const char *x = getenv("DISPLAY");
    if (x && *x && !getenv("SDL_VIDEODRIVER")) sdl_library()->SetHint(SDL_HINT_VIDEODRIVER, "x11");
    if (sdl_library()->InitSubSystem(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "velmora: no display (%s); the screen runs headless\n", sdl_library()->GetError());
        return nullptr;
    }
    // Hidden until its first frame: the window appears drawn.
    s.window = sdl_library()->CreateWindow("Velmora", 0, 0, w * WINDOW_SCALE, h * WINDOW_SCALE, SDL_WINDOW_HIDDEN);
    if (!s.window || !make_presenter(w, h)) {
        fprintf(stderr, "velmora: cannot open the screen window (%s); the screen runs headless\n",
                sdl_library()->GetError());
        if (s.window) sdl_library()->DestroyWindow(s.window);
        s.window = nullptr;
        sdl_library()->QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    sdl_library()->StartTextInput();
    watch_display();
    static constexpr WindowBackend backend = {resize, present, raise_window, pump};
    return &backend;
}

}  // namespace plat
