// What the foreground window shows, for `velctl dialog`: its title, the
// control with the focus and one line per control with its identifier, class,
// text and what it holds. End-to-end tests read a dialog's state this way.
#include "platform/dialog_manager/dialog_internal.h"
#include "platform/screen/screen.h"
#include "platform/core/text.h"

namespace plat {

namespace {

void describe_window(HWND handle, std::string *out) {
    Window *w = window_get(handle);
    if (!w) return;
    *out += std::to_string(w->id) + " " + to_utf8(w->window_class->name.c_str()) + " " + quoted(w->title);
    if (!w->enabled) *out += " disabled";
    if (!(w->style & WS_VISIBLE)) *out += " hidden";
    if (GetFocus() == handle) *out += " focus";
    if (w->state) w->state->describe(handle, out);
}

}  // namespace

bool screen_describe_foreground(std::string *out) {
    Window *fg = window_get(window_table().foreground);
    if (!fg) return false;
    *out = "window: " + quoted(fg->title);
    if (fg->state) fg->state->describe(fg->handle, out);
    Window *focus = window_get(GetFocus());
    *out += "\nfocus: " + (focus && focus->parent ? std::to_string(focus->id) : std::string("none"));
    for (HWND child : fg->children) {
        *out += "\n";
        describe_window(child, out);
    }
    return true;
}

}  // namespace plat
