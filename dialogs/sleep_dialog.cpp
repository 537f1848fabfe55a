// Sleep: what plays (a folder, a file or a playlist) and when it stops (when
// the sounds run out or after a time). "Sleep" builds the list of songs and
// hands it to the caller, which starts the music. A source picked here is
// in the settings at once, whatever the result.
#include "dialogs/dialog_frame.h"
#include "dialogs/dialogs.h"
#include "dialogs/time_spinner.h"
#include "resources/dialog_resources.h"
#include "sound/song_list.h"
#include "store/settings.h"

namespace {

// The drop-down's items, in this order.
enum SourceChoice { CHOICE_FOLDER, CHOICE_FILE, CHOICE_PLAYLIST };
const WCHAR *const SOURCE_ITEMS[] = {L"Folder", L"File", L"Playlist"};

constexpr WCHAR NO_SOUNDS[] = L"No supported sound files were found";

struct SleepDialog {
    HWND bar;
    HFONT digit_font;
    SongNode **list;  // where "Sleep" leaves the songs
};

SleepDialog SleepBox;

void enable_sleep(bool on) { SendMessageW(SleepBox.bar, TB_ENABLEBUTTON, IDC_SLEEP, MAKELONG(on ? TRUE : FALSE, 0)); }

LPCWSTR kind_label(DWORD kind) {
    if (kind == SLEEP_SOURCE_FOLDER) return L"Folder:";
    return kind == SLEEP_SOURCE_PLAYLIST ? L"Playlist:" : L"File:";
}

void on_init(HWND dialog) {
    SleepBox.bar = start_full_screen(dialog, IDB_SLEEP_CANCEL);
    SleepBox.digit_font = spinner_create_font(dialog);
    spinner_show(dialog, Settings.SleepTime);
    for (LPCWSTR item : SOURCE_ITEMS)
        SendDlgItemMessageW(dialog, IDC_SLEEP_SOURCE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    // The list offers folders first, whatever kind is stored.
    SendDlgItemMessageW(dialog, IDC_SLEEP_SOURCE, CB_SETCURSEL, CHOICE_FOLDER, 0);
    SetDlgItemTextW(dialog, IDC_SLEEP_KIND, kind_label(Settings.SleepPathType));
    bool chosen = Settings.SleepPath[0] != L'\0';
    if (chosen)
        set_fitted_text(dialog, IDC_SLEEP_NAME, last_component(Settings.SleepPath));
    else
        SetDlgItemTextW(dialog, IDC_SLEEP_NAME, L"No Sounds Selected");
    enable_sleep(chosen);
    CheckDlgButton(dialog, Settings.TimedSleep ? IDC_SLEEP_TIMED : IDC_SLEEP_UNTIL_END, BST_CHECKED);
}

void take_source(HWND dialog, DWORD kind, LPCWSTR path) {
    swprintf(Settings.SleepPath, MAX_PATH, L"%ls", path);
    Settings.SleepPathType = kind;
    SetDlgItemTextW(dialog, IDC_SLEEP_KIND, kind_label(kind));
    set_fitted_text(dialog, IDC_SLEEP_NAME, last_component(path));
    enable_sleep(true);
}

// A playlist is taken only when it names at least one song that plays.
void take_playlist(HWND dialog, LPCWSTR path) {
    SongNode *entries = ReadPlaylist(path);
    if (!entries) {
        MessageBoxW(dialog, NO_SOUNDS, L"Velmora", MB_OK | MB_ICONERROR);
        return;
    }
    FreeSongList(entries);
    take_source(dialog, SLEEP_SOURCE_PLAYLIST, path);
}

void on_select(HWND dialog) {
    switch (SendDlgItemMessageW(dialog, IDC_SLEEP_SOURCE, CB_GETCURSEL, 0, 0)) {
        case CHOICE_FOLDER:
            if (run_choose_folder(dialog, choose_folder_template()) == IDOK)
                take_source(dialog, SLEEP_SOURCE_FOLDER, Browsers.folder_path);
            break;
        case CHOICE_FILE:
            if (run_select_sound(dialog, BROWSE_SOUNDS) == IDOK)
                take_source(dialog, SLEEP_SOURCE_FILE, Browsers.sound_path);
            break;
        case CHOICE_PLAYLIST:
            if (run_select_sound(dialog, BROWSE_PLAYLISTS) == IDOK) take_playlist(dialog, Browsers.sound_path);
            break;
        default:
            break;
    }
    bring_to_front(dialog);
}

// An empty path would walk the whole device as a folder; it holds no songs.
SongNode *build_list(void) {
    if (!Settings.SleepPath[0]) return nullptr;
    HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    SongNode *list = BuildSleepList(int(Settings.SleepPathType), Settings.SleepPath);
    SetCursor(old);
    return list;
}

void on_sleep(HWND dialog) {
    SongNode *list = build_list();
    if (!list) {
        MessageBoxW(dialog, NO_SOUNDS, L"Velmora", MB_OK | MB_ICONERROR);
        return;
    }
    DWORD minutes = spinner_read(dialog);
    if (minutes == 0) {
        FreeSongList(list);
        MessageBoxW(nullptr, L"The sleep time must be greater than zero", L"Error", MB_OK);
        return;
    }
    Settings.SleepTime = minutes;
    Settings.TimedSleep = IsDlgButtonChecked(dialog, IDC_SLEEP_TIMED) == BST_CHECKED ? 1 : 0;
    *SleepBox.list = list;
    EndDialog(dialog, IDC_SLEEP);
}

void on_command(HWND dialog, int id, int code) {
    switch (id) {
        case IDC_SLEEP_SELECT:
            if (code == BN_CLICKED) on_select(dialog);
            break;
        case IDC_SLEEP:
            on_sleep(dialog);
            break;
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, IDOK);
            break;
        default:
            break;
    }
}

INT_PTR sleep_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_INITDIALOG)
        return spinner_dialog_message(dialog, message, wparam, lparam, &SleepBox.digit_font, on_command);
    on_init(dialog);
    return TRUE;
}

}  // namespace

INT_PTR run_sleep(HWND owner, SongNode **list) {
    *list = nullptr;
    SleepBox.list = list;
    return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_SLEEP), owner, sleep_proc, 0);
}
