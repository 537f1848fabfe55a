// Opens one of the clock's settings dialogs on the device's screen, owned by
// a plain window, for end-to-end tests and for looking at: "set_alarm",
// "set_snooze", "settings", "choose_color", "about", "hourly_chime",
// "select_sound", "select_playlist", "choose_folder" (the template of the
// screen's class), "sleep" or "countdown". Writes "open NAME" and then "result N" to the record file.
#include <cstdio>
#include <cstring>

#include "app/program.h"
#include "dialogs/dialogs.h"
#include "platform/device/device.h"
#include "platform/phone.h"
#include "sound/song_list.h"
#include "store/alarms.h"
#include "store/settings.h"
#include "tests/support/owner_window.h"

namespace {

constexpr UINT MSG_OPEN = WM_APP + 1;

FILE *record;
const char *wanted;

INT_PTR open_dialog(HWND owner) {
    if (!strcmp(wanted, "set_alarm")) return run_set_alarm(owner);
    if (!strcmp(wanted, "set_snooze")) return run_set_snooze(owner);
    if (!strcmp(wanted, "settings")) return run_settings(owner);
    if (!strcmp(wanted, "choose_color")) return INT_PTR(run_choose_color(owner));
    if (!strcmp(wanted, "about")) return run_about(owner);
    if (!strcmp(wanted, "hourly_chime")) return run_hourly_chime(owner);
    if (!strcmp(wanted, "select_sound")) return run_select_sound(owner, BROWSE_SOUNDS);
    if (!strcmp(wanted, "select_playlist")) return run_select_sound(owner, BROWSE_PLAYLISTS);
    if (!strcmp(wanted, "choose_folder")) return run_choose_folder(owner, choose_folder_template());
    if (!strcmp(wanted, "countdown")) return run_countdown(owner);
    if (!strcmp(wanted, "sleep")) {
        SongNode *songs = nullptr;
        INT_PTR result = run_sleep(owner, &songs);
        FreeSongList(songs);
        return result;
    }
    return -2;
}

LRESULT owner_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
        case MSG_OPEN:
            fprintf(record, "open %s\n", wanted);
            fflush(record);
            fprintf(record, "result %ld\n", long(open_dialog(w)));
            fflush(record);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(w, m, wp, lp);
    }
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: dialog_viewer DEVICE RECORD-FILE DIALOG\n");
        return 2;
    }
    if (!device_open(argv[1])) return 3;
    record = fopen(argv[2], "a");
    if (!record) return 4;
    wanted = argv[3];
    register_app_resources();
    INITCOMMONCONTROLSEX icc = {sizeof icc,
                                ICC_DATE_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    load_store();
    int result = run_owner_window(L"ViewerOwner", L"Viewer", owner_proc, MSG_OPEN);
    free_alarm_table();
    fclose(record);
    return result < 0 ? 5 : result;
}
