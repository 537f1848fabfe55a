// The screen in a plain X11 window, scaled x2. Opening it costs three round
// trips to the server (the connection, the two window-manager atoms, the
// check that the window was made); nothing else is asked, and the frames go
// out through x11_present.cpp without waiting for an answer. The window is
// of fixed size and mapped with its first frame, so it appears drawn.
// Keys: F1 and F2 the soft keys, arrows, Enter the action key, Escape or
// Backspace Back, F9 rotates, F10 help; digits and letters are typed.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cctype>
#include <cstdio>

#include "platform/screen/screen.h"

namespace plat {

namespace {

struct X11Window {
    Display *display = nullptr;
    ::Window window = 0;
    Atom delete_window = 0;
    bool shown = false;
};

X11Window &xw() {
    static X11Window w;
    return w;
}

struct KeyAction {
    KeySym sym;
    ScreenAction::Kind kind;
    int vk;
};

constexpr KeyAction KEYS[] = {
    {XK_F1, ScreenAction::KEY, VK_TSOFT1},      {XK_F2, ScreenAction::KEY, VK_TSOFT2},
    {XK_Up, ScreenAction::KEY, VK_UP},          {XK_Down, ScreenAction::KEY, VK_DOWN},
    {XK_Left, ScreenAction::KEY, VK_LEFT},      {XK_Right, ScreenAction::KEY, VK_RIGHT},
    {XK_Return, ScreenAction::KEY, VK_RETURN},  {XK_KP_Enter, ScreenAction::KEY, VK_RETURN},
    {XK_Escape, ScreenAction::KEY, VK_TBACK},   {XK_BackSpace, ScreenAction::KEY, VK_TBACK},
    {XK_F9, ScreenAction::ROTATE, 0},           {XK_F10, ScreenAction::KEY, VK_HELP},
};

// A key of the keypad, or the ASCII character the key types.
void on_key(XKeyEvent &e) {
    char text[8];
    KeySym sym = NoSymbol;
    int n = XLookupString(&e, text, sizeof text, &sym, nullptr);
    for (const KeyAction &k : KEYS) {
        if (k.sym != sym) continue;
        screen_queue_action({k.kind, k.vk, 0, 0});
        return;
    }
    for (int i = 0; i < n; i++) {
        unsigned char c = (unsigned char)text[i];
        if (c < 0x20 || c >= 0x7F) continue;  // the keypad types printable ASCII only
        screen_queue_action({ScreenAction::KEY, isalnum(c) ? toupper(c) : 0, wchar_t(c), 0});
    }
}

// The server may have handed events to Xlib's queue while the program wrote
// to it; the loop would sleep on them, so it is woken to take them.
void wake_for_queued(Display *d) {
    if (XEventsQueued(d, QueuedAlready) > 0) loop_post(nullptr, WM_NULL, 0, 0);
}

// Takes the events Xlib holds, and with QueuedAfterReading those waiting on
// the connection too.
void take_events(int mode) {
    X11Window &x = xw();
    while (XEventsQueued(x.display, mode) > 0) {
        XEvent e;
        XNextEvent(x.display, &e);
        switch (e.type) {
        case KeyPress: on_key(e.xkey); break;
        case Expose:
            if (e.xexpose.count != 0) break;
            x11_present_expose();
            screen_touch();
            break;
        case ClientMessage:
            if (Atom(e.xclient.data.l[0]) == x.delete_window)
                screen_queue_action({ScreenAction::CLOSE, 0, 0, 0});
            break;
        default: break;
        }
    }
}

// Every loop turn: what Xlib holds already, without a system call; the
// display's descriptor wakes the loop for the rest.
void pump(void) { take_events(QueuedAlready); }

void on_ready(int, void *) { take_events(QueuedAfterReading); }

// A window of the screen's size that neither the user nor the window
// manager can resize.
void fix_size(int w, int h) {
    XSizeHints *hints = XAllocSizeHints();
    if (!hints) return;
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = w * WINDOW_SCALE;
    hints->min_height = hints->max_height = h * WINDOW_SCALE;
    XSetWMNormalHints(xw().display, xw().window, hints);
    XFree(hints);
}

void name_window(X11Window &x) {
    XStoreName(x.display, x.window, "Velmora");
    XClassHint cls = {const_cast<char *>("velmora"), const_cast<char *>("Velmora")};
    XSetClassHint(x.display, x.window, &cls);
    const char *names[] = {"WM_PROTOCOLS", "WM_DELETE_WINDOW"};
    Atom atoms[2];
    if (!XInternAtoms(x.display, const_cast<char **>(names), 2, False, atoms)) return;
    x.delete_window = atoms[1];
    XChangeProperty(x.display, x.window, atoms[0], XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char *>(&x.delete_window), 1);
}

// No background: the server paints nothing before the first frame.
::Window make_window(Display *d, int w, int h) {
    XSetWindowAttributes a = {};
    a.background_pixmap = None;
    a.event_mask = KeyPressMask | ExposureMask;
    return XCreateWindow(d, DefaultRootWindow(d), 0, 0, unsigned(w * WINDOW_SCALE), unsigned(h * WINDOW_SCALE), 0,
                         CopyFromParent, InputOutput, CopyFromParent, CWBackPixmap | CWEventMask, &a);
}

void resize(int w, int h) {
    X11Window &x = xw();
    fix_size(w, h);
    XResizeWindow(x.display, x.window, unsigned(w * WINDOW_SCALE), unsigned(h * WINDOW_SCALE));
    x11_present_resize(w, h);
    XFlush(x.display);
}

// The window appears with its first frame as its background, which the
// server paints as it maps it: it is never seen undrawn. The background is
// let go at once, so that a later exposure does not flash the old frame.
void show_with(X11Window &x, const Surface &frame) {
    Pixmap first = x11_present_pixmap(frame);
    if (first) XSetWindowBackgroundPixmap(x.display, x.window, first);
    XMapWindow(x.display, x.window);
    if (!first) return;
    XSetWindowBackgroundPixmap(x.display, x.window, None);
    XFreePixmap(x.display, first);
}

void present(const Surface &frame) {
    X11Window &x = xw();
    if (x.shown) {
        x11_present(frame);
    } else {
        show_with(x, frame);
        x.shown = true;
        XFlush(x.display);
    }
    wake_for_queued(x.display);
}

void raise_window(void) {
    XRaiseWindow(xw().display, xw().window);
    XFlush(xw().display);
}

// Xlib's own handler ends the program on any error the server reports; a
// frame the server refused must not end an alarm clock.
int report_error(Display *d, XErrorEvent *e) {
    char what[128];
    XGetErrorText(d, e->error_code, what, sizeof what);
    fprintf(stderr, "velmora: the X server refused request %d: %s\n", e->request_code, what);
    return 0;
}

void close_display(X11Window &x) {
    XCloseDisplay(x.display);
    x = X11Window{};
}

}  // namespace

const WindowBackend *x11_window_open(int w, int h) {
    X11Window &x = xw();
    x.display = XOpenDisplay(nullptr);
    if (!x.display) return nullptr;
    XSetErrorHandler(report_error);
    x.window = make_window(x.display, w, h);
    name_window(x);  // its round trip also shows that the window was made
    fix_size(w, h);
    if (!x.window || !x11_present_open(x.display, x.window, w, h)) {
        close_display(x);
        return nullptr;
    }
    loop_watch_fd(ConnectionNumber(x.display), on_ready, nullptr);
    static constexpr WindowBackend backend = {resize, present, raise_window, pump};
    return &backend;
}

}  // namespace plat
