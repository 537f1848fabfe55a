// The phone's screen: a title bar, the windows, the soft-key bar; composed
// into one frame and shown in an SDL window or kept headless. Internal to
// the platform.
#pragma once

#include <string>

#include "platform/gdi/surface.h"
#include "platform/window/window_internal.h"

namespace plat {

// Starts the screen once a window is shown: chooses the display (SDL or
// headless), listens for velctl and shows message boxes on screen.
void screen_ensure(void);

// Geometry of the screen as it is now (rotation included).
void screen_size(int *width, int *height);
void screen_rect(RECT *rect);
void screen_title_area(RECT *rect);
void screen_work_area(RECT *rect);
void screen_softkey_area(RECT *rect);

// The composed frame (also what a DC of the whole screen draws on).
Surface *screen_frame(void);
// A top-level window's own pixels, sized to the window.
Surface *screen_window_pixels(Window *top_level);
// Pixels changed: the whole screen, or an area of it (screen coordinates);
// composed and presented at the end of the turn.
void screen_touch(void);
void screen_touch_area(const RECT &area);
// Something shown differs from the frame: the windows drew, moved, came or
// went, or the screen itself changed.
bool screen_stale(void);
// Composes the frame now, as much of it as changed.
void screen_compose(void);
// The box of the frame composed since the last call; false when none was.
bool screen_take_unpresented(RECT *box);
// Composes and presents at once (a wait cursor must show before a long job).
void screen_present_now(void);
// The hourglass shows while true.
void screen_set_waiting(bool waiting);
bool screen_waiting(void);

// A window came to the front of the device: with a display, the real window
// comes above the desktop's other windows too, so that a ringing alarm is seen.
void screen_raise(void);

// Applies a new screen size from the device settings (rotation).
void screen_sync_settings(void);
void screen_rotate(void);

// Input as the phone's keys give it: routed to the open menu, the soft keys,
// the Back key's hot key or the focus window.
void input_key(int vk, wchar_t ch);
// What the screen's keyboard or velctl asks for (a key, a rotation, low
// memory, an answer to the box on screen, closing), carried out one at a
// time, each once the program has dealt with the one before.
struct ScreenAction {
    enum Kind { KEY, ROTATE, HIBERNATE, ANSWER, CLOSE } kind;
    int vk;
    wchar_t ch;
    int answer;
};
// Returns the action's number; actions are numbered from 1 in the order queued.
unsigned screen_queue_action(const ScreenAction &action);
// How many actions have been taken up (the last one may still be running).
unsigned screen_actions_taken(void);

// The MessageBoxW presenter: the box on screen, modal.
int screen_message_box(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
// The message box on screen (velctl msgbox): false when none shows.
bool message_box_screen_describe(std::string *caption, std::string *text, std::string *buttons, std::string *icon);
// The foreground window and its controls, one per line (velctl dialog);
// false when no window is in front.
bool screen_describe_foreground(std::string *out);
// Answers the box on screen with a button (IDOK ...) it has; false otherwise.
bool message_box_screen_answer(int button);

// A real window on the host's display showing the screen, scaled
// WINDOW_SCALE times; the program sleeps on the display's descriptor and
// pumps its events from the loop. Each opener returns its backend, or
// nullptr (and says why on stderr) when it cannot open one; the screen then
// runs headless.
constexpr int WINDOW_SCALE = 2;
struct WindowBackend {
    void (*resize)(int width, int height);
    void (*present)(const Surface &frame);
    void (*raise)(void);
    void (*pump)(void);
};
// A plain Xlib window: nothing but the window and its frames, so it is up
// and drawn in a few round trips. nullptr without an X display or where its
// visual is not plain 24-bit colour.
const WindowBackend *x11_window_open(int width, int height);
// SDL2's window, for displays other than plain X11 (or SDL_VIDEODRIVER set).
const WindowBackend *sdl_open(int width, int height);
// Frames straight to an X11 window; false where its visual is not plain
// 24-bit colour.
bool x11_present_open(void *display, unsigned long window, int width, int height);
bool x11_present_resize(int width, int height);
void x11_present(const Surface &frame);
// The whole frame in a new pixmap of the window's size (the caller frees
// it), for a window to be mapped with its picture already in place; 0 when
// it cannot be made.
unsigned long x11_present_pixmap(const Surface &frame);
// The server lost the window's content: the next frame goes whole.
void x11_present_expose(void);

// velctl's control socket, served by the screen's owner.
void control_listen(void);
void control_stop(void);
// Answers requests whose actions are done; called when the loop is idle.
void control_idle(void);

}  // namespace plat
