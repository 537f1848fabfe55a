// Set Alarm: the ten alarms, one on screen at a time. Each switch of alarm
// stores what the screen shows into that alarm's record; OK saves the whole
// table and arms every alarm again, Cancel only leaves the screen's edits.
#include "app/clock_face.h"
#include "dialogs/dialog_frame.h"
#include "dialogs/dialogs.h"
#include "resources/dialog_resources.h"
#include "sound/ringing.h"
#include "sound/sound_player.h"
#include "store/alarms.h"
#include "store/scheduling.h"
#include "store/settings.h"

namespace {

constexpr int LABEL_POINTS = 11;
constexpr int VOLUME_LEVELS = 10;
constexpr int UNSELECTED_VOLUME = 2;
constexpr DWORD SETTLE_MS = 1000;  // after arming, before the dialog goes

const WCHAR *const DAY_NAMES[] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"};
constexpr int DAY_COUNT = 7;

const int CAPTIONS[] = {
    IDC_TIME_CAPTION, IDC_ALARM_CAPTION, IDC_NAME_CAPTION, IDC_SOUND_CAPTION, IDC_VOLUME_CAPTION, IDC_DAYS_CAPTION, 0};

struct SetAlarmState {
    int current;         // the alarm on screen, 0 ... 9
    DWORD saved_volume;  // the device's wave volume before the dialog
    HFONT label_font;
};

SetAlarmState Editor;

LRESULT send(HWND dialog, int id, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
    return SendDlgItemMessageW(dialog, id, message, wparam, lparam);
}

void add_numbers(HWND dialog, int id, int last) {
    for (int n = 1; n <= last; n++) {
        WCHAR text[8];
        swprintf(text, 8, L"%d", n);
        send(dialog, id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
}

void warn_without_sounds(HWND dialog) {
    WCHAR pattern[MAX_PATH];
    swprintf(pattern, MAX_PATH, L"%ls\\sounds\\*.WAV", Folders.InstallFolder);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        return;
    }
    SetForegroundWindow(dialog);
    MessageBoxW(dialog, L"Can't find alarm sounds.  You should re-install this package.", L"Error", MB_ICONERROR);
}

void show_sound(HWND dialog, LPCWSTR sound) {
    SetDlgItemTextW(dialog, IDC_SOUND_NAME,
                    wcscmp(sound, DEFAULT_ALARM_SOUND) == 0 ? L"<default>" : last_component(sound));
}

void load_controls(HWND dialog) {
    const AlarmRecord *alarm = alarm_record(Editor.current);
    if (!alarm) return;
    SYSTEMTIME time;
    GetLocalTime(&time);
    // A damaged record's hour or minute still shows a time of day.
    time.wHour = WORD(alarm->AThour % 24), time.wMinute = WORD(alarm->ATmin % 60);
    time.wSecond = time.wMilliseconds = 0;
    send(dialog, IDC_ALARM_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    SetDlgItemTextW(dialog, IDC_ALARM_NAME, alarm->AlarmName);
    CheckDlgButton(dialog, IDC_ALARM_ON, alarm->AlarmOn ? BST_CHECKED : BST_UNCHECKED);
    for (int day = 0; day < DAY_COUNT; day++) send(dialog, IDC_DAYS_LIST, LB_SETSEL, (alarm->Days >> day) & 1, day);
    CheckDlgButton(dialog, IDC_USE_SYSTEM_VOLUME, alarm->UseSystemVol ? BST_CHECKED : BST_UNCHECKED);
    send(dialog, IDC_VOLUME_LIST, LB_SETCURSEL, WPARAM(alarm->Volume - 1));
    show_sound(dialog, alarm->AlarmSound);
}

int selected_volume(HWND dialog) {
    LRESULT selected = send(dialog, IDC_VOLUME_LIST, LB_GETCURSEL);
    return selected < 0 ? UNSELECTED_VOLUME : int(selected) + 1;
}

// An alarm with no day would never ring: it gets every day, and the user is told.
void store_days(HWND dialog, AlarmRecord *alarm) {
    alarm->Days = 0;
    for (int day = 0; day < DAY_COUNT; day++)
        if (send(dialog, IDC_DAYS_LIST, LB_GETSEL, day) > 0) alarm->Days |= 1u << day;
    if (alarm->Days) return;
    alarm->Days = ALL_DAYS;
    WCHAR text[128];
    swprintf(text, 128, L"No days were selected for alarm %d.  All days have been automatically selected",
             Editor.current + 1);
    MessageBoxW(dialog, text, L"No Days Selected", MB_OK | MB_ICONEXCLAMATION);
}

void store_controls(HWND dialog) {
    AlarmRecord *alarm = alarm_record(Editor.current);
    if (!alarm) return;
    SYSTEMTIME time;
    if (send(dialog, IDC_ALARM_TIME, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) == GDT_VALID) {
        alarm->AThour = time.wHour;
        alarm->ATmin = time.wMinute;
    }
    alarm->AlarmOn = IsDlgButtonChecked(dialog, IDC_ALARM_ON) == BST_CHECKED ? 1 : 0;
    GetDlgItemTextW(dialog, IDC_ALARM_NAME, alarm->AlarmName, ALARM_NAME_CHARS);
    alarm->Volume = DWORD(selected_volume(dialog));
    alarm->UseSystemVol = IsDlgButtonChecked(dialog, IDC_USE_SYSTEM_VOLUME) == BST_CHECKED ? 1 : 0;
    store_days(dialog, alarm);
}

void on_init(HWND dialog) {
    Editor.current = 0;
    Editor.saved_volume = GetWaveVolume();
    if (!start_full_screen(dialog, IDB_OK_CANCEL)) {
        EndDialog(dialog, -1);
        return;
    }
    Editor.label_font = create_points_font(L"Nina", FW_SEMIBOLD, LABEL_POINTS);
    set_controls_font(dialog, CAPTIONS, Editor.label_font);
    warn_without_sounds(dialog);
    add_numbers(dialog, IDC_VOLUME_LIST, VOLUME_LEVELS);
    for (const WCHAR *day : DAY_NAMES) send(dialog, IDC_DAYS_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(day));
    add_numbers(dialog, IDC_ALARM_LIST, ALARM_COUNT);
    send(dialog, IDC_ALARM_LIST, LB_SETCURSEL, 0);
    send(dialog, IDC_ALARM_NAME, EM_LIMITTEXT, ALARM_NAME_CHARS - 1);
    load_controls(dialog);
    SetFocus(dialog);
    SetForegroundWindow(dialog);
}

void close_editor(HWND dialog, INT_PTR result) {
    if (Editor.label_font) DeleteObject(Editor.label_font);
    Editor.label_font = nullptr;
    SetWaveVolume(Editor.saved_volume);
    EndDialog(dialog, result);
}

void on_alarm_chosen(HWND dialog) {
    store_controls(dialog);
    LRESULT chosen = send(dialog, IDC_ALARM_LIST, LB_GETCURSEL);
    Editor.current = chosen >= 0 && chosen < ALARM_COUNT ? int(chosen) : 0;
    load_controls(dialog);
}

// The sample plays at the level the alarm would ring at.
void on_volume_chosen(HWND dialog) {
    PlaySoundW(nullptr, nullptr, 0);
    SetVolumeStep(selected_volume(dialog));
    WCHAR sample[MAX_PATH];
    swprintf(sample, MAX_PATH, L"%ls\\sounds\\volume.wav", Folders.InstallFolder);
    PlaySoundW(sample, nullptr, SND_ASYNC | SND_FILENAME);
}

void on_browse(HWND dialog) {
    if (run_select_sound(dialog, BROWSE_SOUNDS) != IDOK) return;
    AlarmRecord *alarm = alarm_record(Editor.current);
    if (!alarm) return;
    swprintf(alarm->AlarmSound, MAX_PATH, L"%ls", Browsers.sound_path);
    show_sound(dialog, alarm->AlarmSound);
}

// The alarm on screen rings now, as it is set; its Snooze arms nothing.
void on_test(HWND dialog) {
    store_controls(dialog);
    TestRing = 1;
    RingingAlarmIndex = Editor.current;
    run_alarm_ringing(dialog, screen_layout());
    TestRing = 0;
}

void on_ok(HWND dialog) {
    store_controls(dialog);
    save_alarms();
    schedule_all(dialog);
    Sleep(SETTLE_MS);
    close_editor(dialog, IDOK);
}

void on_command(HWND dialog, int id, int code) {
    switch (id) {
        case IDC_ALARM_LIST:
            if (code == LBN_SELCHANGE) on_alarm_chosen(dialog);
            break;
        case IDC_VOLUME_LIST:
            if (code == LBN_SELCHANGE) on_volume_chosen(dialog);
            break;
        case IDC_BROWSE:
            if (code == BN_CLICKED) on_browse(dialog);
            break;
        case IDC_TEST:
            if (code == BN_CLICKED) on_test(dialog);
            break;
        case IDOK:
            on_ok(dialog);
            break;
        case IDCANCEL:
            close_editor(dialog, IDCANCEL);
            break;
        default:
            break;
    }
}

INT_PTR set_alarm_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            on_init(dialog);
            return FALSE;
        case WM_COMMAND:
            on_command(dialog, LOWORD(wparam), HIWORD(wparam));
            return TRUE;
        default:
            return pass_back_key(message, wparam, lparam);
    }
}

}  // namespace

INT_PTR run_set_alarm(HWND owner) {
    return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_SET_ALARM), owner, set_alarm_proc, 0);
}
