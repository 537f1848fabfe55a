// The phone's built-in window classes, there for every program without
// registering them; done once, before the first window is made. The common
// controls come with InitCommonControlsEx.
#include "platform/controls/control_internal.h"

void plat::system_classes_register(void) {
    static bool done = false;
    if (done) return;
    done = true;
    window_register_internal(L"STATIC", static_proc);
    window_register_internal(L"BUTTON", button_proc);
    window_register_internal(L"EDIT", edit_proc);
    window_register_internal(L"LISTBOX", list_box_proc);
    window_register_internal(L"COMBOBOX", combo_box_proc);
    window_register_internal(DIALOG_CLASS, dialog_class_proc);
}
