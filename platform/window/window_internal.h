// The window system's own records, shared by the platform's window, message,
// screen and dialog services. Not for the system's code.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/window/window.h"

namespace plat {

struct Surface;

// What a window of one of the platform's classes (a control, a dialog) keeps
// besides the window record; freed with the window.
struct ClassState {
    virtual ~ClassState() = default;
    // Adds what the window shows and holds, for `velctl dialog` (" key=value ...").
    virtual void describe(HWND, std::string *) const {}
};

struct WindowClass {
    std::wstring name;
    WNDCLASSW info;
};

struct Window {
    HWND handle = nullptr;
    const WindowClass *window_class = nullptr;
    WNDPROC proc = nullptr;
    std::wstring title;
    DWORD style = 0;
    DWORD ex_style = 0;
    HWND parent = nullptr;            // child windows only
    HWND owner = nullptr;             // top-level windows may have an owner
    std::vector<HWND> children;       // bottom of the z-order first
    RECT rect = {0, 0, 0, 0};         // in the parent's client area, or on the screen
    int id = 0;                       // a child's control identifier
    HINSTANCE instance = nullptr;
    std::map<int, LONG_PTR> longs;    // GWL_USERDATA, DWL_* and extra bytes
    bool enabled = true;
    bool topmost = false;
    bool destroying = false;
    bool dirty = false;               // has an update region
    bool erase = false;
    RECT invalid = {0, 0, 0, 0};      // bounding box of the update region, client coordinates
    HFONT font = nullptr;             // set by WM_SETFONT
    std::unique_ptr<ClassState> state;
    // A top-level window's own pixels; the screen composes them.
    std::shared_ptr<Surface> pixels;
    // A window of another process found by FindWindowW: its socket path.
    std::string remote;
    // A published top-level window: the socket other processes reach it by.
    int listen_fd = -1;
    std::string listen_path;
};

struct WindowTable {
    std::recursive_mutex lock;
    std::map<std::wstring, WindowClass> classes;  // by folded name
    std::map<uintptr_t, std::unique_ptr<Window>> windows;
    std::vector<HWND> top_levels;                 // bottom of the z-order first
    uintptr_t next_handle = 0x1000;
    HWND foreground = nullptr;
    HWND focus = nullptr;                         // the window that takes the keys
    // Top-level windows were shown, hidden, moved or restacked since the
    // screen last composed them.
    bool layout_changed = false;
};

WindowTable &window_table();

// A live window of this process (or a remote stand-in); NULL otherwise.
// Only the user-interface thread may keep the pointer, and never across a
// call of a window procedure.
Window *window_get(HWND handle);

// The phone's built-in classes ("STATIC", ...), there for every program
// without registering them; done once, before the first window is made.
void system_classes_register(void);

// Registers one of the platform's own window classes (soft-key bar, popup
// menu, message box) the first time it is needed.
bool window_register_internal(const WCHAR *class_name, WNDPROC proc);

// Gives out a new handle; handles are never reused and keep bit 0 clear.
HWND window_new_handle(WindowTable &table);

// The screen's work area for top-level windows of default size: between the
// title bar and the soft-key bar.
void window_default_rect(RECT *rect);

// Moves a top-level window to the top of its band (topmost windows stay above
// the others).
void window_raise(WindowTable &table, HWND window);

// The message loop's services for the platform's other parts.
typedef void (*FdHandler)(int fd, void *context);
#define LOOP_READ 1u
#define LOOP_WRITE 2u
// Runs `handler` when `fd` is ready for `events`; with a `deadline_ms` (a
// loop_now_ms() instant, 0 for none) also once that passes, so that a peer
// that never sends or never reads can be let go. A handler never blocks.
void loop_watch_fd(int fd, FdHandler handler, void *context, unsigned events = LOOP_READ, long long deadline_ms = 0);
// The monotonic clock the deadlines are counted on, in ms.
long long loop_now_ms(void);
void loop_unwatch_fd(int fd);
// Called when the queue runs dry, before the loop waits (e.g. to present a
// frame once all painting of the turn is done).
void loop_add_idle_hook(void (*hook)(void));
// Drops the queued messages and timers of a destroyed window.
void loop_forget_window(HWND window);
// Queues a message from any thread and wakes the loop.
void loop_post(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Cross-process windows.
void ipc_publish(Window *window);
// Serves the listening socket of a published window from the loop, and stops.
void ipc_serve(int listen_fd, HWND window);
void ipc_stop_serving(int listen_fd, HWND window);
void ipc_unpublish(Window *window);
HWND ipc_find(LPCWSTR class_name, LPCWSTR title);
BOOL ipc_post(const Window *remote, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT ipc_send(const Window *remote, UINT message, WPARAM wparam, LPARAM lparam);
BOOL ipc_foreground(const Window *remote);
bool ipc_alive(const Window *remote);
// The process that listens for the remote window; 0 when it is gone.
DWORD ipc_owner(const Window *remote);

}  // namespace plat
