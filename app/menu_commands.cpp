#include "app/main_window.h"
#include "app/menu_commands.h"

// The commands come with the dialogs they open; until then every command
// takes the default handling.
LRESULT on_command(WORD command, WORD code, HWND source) {
    return DefWindowProcW(MainWindow.window, WM_COMMAND, WPARAM(MAKELONG(command, code)), reinterpret_cast<LPARAM>(source));
}
