// InitCommonControlsEx: registers the common control classes a program asks
// for. Image lists need no registering.
#include "platform/controls/control_internal.h"

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX *init) {
    if (!init || init->dwSize != sizeof *init) return FALSE;
    plat::system_classes_register();
    bool ok = true;
    if (init->dwICC & ICC_LISTVIEW_CLASSES) ok &= plat::window_register_internal(WC_LISTVIEWW, plat::list_view_proc);
    if (init->dwICC & ICC_TREEVIEW_CLASSES) ok &= plat::window_register_internal(WC_TREEVIEWW, plat::tree_view_proc);
    if (init->dwICC & ICC_UPDOWN_CLASS) ok &= plat::window_register_internal(UPDOWN_CLASSW, plat::up_down_proc);
    if (init->dwICC & ICC_DATE_CLASSES) ok &= plat::window_register_internal(DATETIMEPICK_CLASSW, plat::date_time_proc);
    return ok ? TRUE : FALSE;
}
