// The messages other programs post to the main window. Once closing has
// begun, events and silencing are ignored; the reloads still happen, so the
// table saved at exit holds what the others wrote.
#include "app/event_dispatch.h"
#include "app/main_window.h"
#include "store/alarms.h"
#include "store/settings.h"

LRESULT on_private_message(UINT message, WPARAM wparam) {
    switch (message) {
    case MSG_EVENT:
        if (!MainWindow.Closing) dispatch_event(wparam);
        break;
    case MSG_SILENCE_ON:
    case MSG_SILENCE_OFF:
        if (!MainWindow.Closing) set_silenced(message == MSG_SILENCE_ON);
        break;
    case MSG_RELOAD_ALARMS: load_alarms(); break;
    case MSG_RELOAD_CHIME: reload_chime_handle(); break;
    default: break;  // MSG_RESERVED
    }
    return 0;
}
