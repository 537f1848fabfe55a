#include "store/settings.h"

#include "store/reg_values.h"

AppSettings Settings;
AppFolders Folders;

void find_install_folder(void) {
    plat::copy_wide(Folders.InstallFolder, MAX_PATH, DEFAULT_INSTALL_FOLDER);
    Folders.InstallFolderFound = FALSE;
    if (HKEY key = open_existing_key(INSTALL_RECORD_KEY)) {
        if (read_text(key, L"InstallDir", Folders.InstallFolder, MAX_PATH)) Folders.InstallFolderFound = TRUE;
        RegCloseKey(key);
    }
}

void find_app_data_folder(void) {
    plat::copy_wide(Folders.AppDataFolder, MAX_PATH, DEFAULT_APP_DATA_FOLDER);
    LPITEMIDLIST list = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_APPDATA, &list))) {
        WCHAR path[MAX_PATH];
        if (SHGetPathFromIDList(list, path)) plat::copy_wide(Folders.AppDataFolder, MAX_PATH, path);
        CoTaskMemFree(list);
    }
}

namespace {

DWORD locale_uses_24_hours(void) {
    WCHAR indicator[2] = L"";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, indicator, 2);
    return indicator[0] != L'0';
}

}  // namespace

void set_default_settings(void) {
    Settings.TwentyFourHourTime = locale_uses_24_hours();
    Settings.SnoozeTime = 15;
    Settings.SleepTime = 60;
    Settings.SleepPathType = SLEEP_SOURCE_FOLDER;
    Settings.SleepPath[0] = L'\0';
    Settings.TimedSleep = 1;
    Settings.ShowIcon = 0;
    Settings.ShowITime = 1;
    Settings.MaxTime = 5;
    Settings.Silenced = 0;
    Settings.Chime = 0;
    Settings.ChimeSound[0] = L'\0';
    Settings.Countdown = 0;
    Settings.CDFTLow = 0;
    Settings.CDFTHigh = 0;
    Settings.CountdownSound[0] = L'\0';
    Settings.CountdownKeepAwake = 0;
    Settings.Color = RGB(255, 255, 0);
    find_install_folder();
}

void load_settings(void) {
    set_default_settings();
    ensure_key(SETTINGS_KEY);
    HKEY key = open_existing_key(SETTINGS_KEY);
    if (!key) return;
    read_flag(key, L"24HourTime", &Settings.TwentyFourHourTime);
    read_dword(key, L"SnoozeTime", &Settings.SnoozeTime);
    read_dword(key, L"SleepTime", &Settings.SleepTime);
    read_dword(key, L"SleepPathType", &Settings.SleepPathType);
    read_text(key, L"SleepPath", Settings.SleepPath, MAX_PATH);
    read_flag(key, L"TimedSleep", &Settings.TimedSleep);
    read_dword(key, L"MaxTime", &Settings.MaxTime);
    read_flag(key, L"ShowITime", &Settings.ShowITime);
    read_flag(key, L"Silenced", &Settings.Silenced);
    read_flag(key, L"Chime", &Settings.Chime);
    read_text(key, L"ChimeSound", Settings.ChimeSound, MAX_PATH);
    read_dword(key, L"ChimeHandle", &Settings.ChimeHandle);
    read_flag(key, L"Countdown", &Settings.Countdown);
    read_dword(key, L"CountdownTime", &Settings.CountdownTime);
    read_dword(key, L"CDFTLow", &Settings.CDFTLow);
    read_dword(key, L"CDFTHigh", &Settings.CDFTHigh);
    read_text(key, L"CountdownSound", Settings.CountdownSound, MAX_PATH);
    read_dword(key, L"CountdownHandle", &Settings.CountdownHandle);
    read_flag(key, L"CountdownKeepAwake", &Settings.CountdownKeepAwake);
    read_dword(key, L"Color", &Settings.Color);
    RegCloseKey(key);
}

namespace {

// The chime's and the countdown's values, in the order every save writes
// them; the full save writes them in the same places.
void write_chime_values(HKEY key) {
    write_dword(key, L"Chime", Settings.Chime);
    write_text(key, L"ChimeSound", Settings.ChimeSound);
    write_dword(key, L"ChimeHandle", Settings.ChimeHandle);
}

void write_countdown_values(HKEY key) {
    write_dword(key, L"Countdown", Settings.Countdown);
    write_dword(key, L"CountdownTime", Settings.CountdownTime);
    write_dword(key, L"CDFTLow", Settings.CDFTLow);
    write_dword(key, L"CDFTHigh", Settings.CDFTHigh);
    write_text(key, L"CountdownSound", Settings.CountdownSound);
    write_dword(key, L"CountdownHandle", Settings.CountdownHandle);
    write_dword(key, L"CountdownKeepAwake", Settings.CountdownKeepAwake);
}

}  // namespace

void save_settings(void) {
    HKEY key = open_existing_key(SETTINGS_KEY);
    if (!key) return;
    write_dword(key, L"24HourTime", Settings.TwentyFourHourTime);
    write_dword(key, L"SnoozeTime", Settings.SnoozeTime);
    write_dword(key, L"SleepTime", Settings.SleepTime);
    write_dword(key, L"SleepPathType", Settings.SleepPathType);
    write_text(key, L"SleepPath", Settings.SleepPath);
    write_dword(key, L"TimedSleep", Settings.TimedSleep);
    write_dword(key, L"MaxTime", Settings.MaxTime);
    write_dword(key, L"ShowIcon", 0);
    write_dword(key, L"Silenced", Settings.Silenced);
    write_chime_values(key);
    write_countdown_values(key);
    write_dword(key, L"ShowITime", Settings.ShowITime);
    write_dword(key, L"Color", Settings.Color);
    RegFlushKey(key);
    RegCloseKey(key);
}

void save_chime_settings(void) {
    HKEY key = open_existing_key(SETTINGS_KEY);
    if (!key) return;
    write_chime_values(key);
    RegCloseKey(key);
}

void save_countdown_settings(void) {
    HKEY key = open_existing_key(SETTINGS_KEY);
    if (!key) return;
    write_countdown_values(key);
    RegCloseKey(key);
}

void reload_chime_handle(void) {
    HKEY key = open_existing_key(SETTINGS_KEY);
    if (!key) return;
    read_dword(key, L"ChimeHandle", &Settings.ChimeHandle);
    RegCloseKey(key);
}
