#include "store/settings.h"

#include <cstddef>

#include "store/reg_values.h"

AppSettings Settings;
AppFolders Folders;

LONG find_install_folder(void) {
    plat::copy_wide(Folders.InstallFolder, MAX_PATH, DEFAULT_INSTALL_FOLDER);
    Folders.InstallFolderFound = FALSE;
    HKEY key = nullptr;
    LONG err = RegOpenKeyExW(HKEY_LOCAL_MACHINE, INSTALL_RECORD_KEY, 0, 0, &key);
    if (err != ERROR_SUCCESS) return err;
    if (read_text(key, L"InstallDir", Folders.InstallFolder, MAX_PATH)) Folders.InstallFolderFound = TRUE;
    RegCloseKey(key);
    return ERROR_SUCCESS;
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

void set_default_values(void) {
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
    Settings.LoadFailed = false;
}

}  // namespace

void set_default_settings(void) {
    set_default_values();
    find_install_folder();
}

namespace {

// Which save writes a value: every save writes all of them.
enum SettingsGroup { GENERAL, CHIME, COUNTDOWN };

// The settings' values in the order every save writes them.
const RegField SETTINGS_FIELDS[] = {
    {L"24HourTime", offsetof(AppSettings, TwentyFourHourTime), FIELD_FLAG, 0, GENERAL},
    {L"SnoozeTime", offsetof(AppSettings, SnoozeTime), FIELD_NUMBER, 0, GENERAL},
    {L"SleepTime", offsetof(AppSettings, SleepTime), FIELD_NUMBER, 0, GENERAL},
    {L"SleepPathType", offsetof(AppSettings, SleepPathType), FIELD_NUMBER, 0, GENERAL},
    {L"SleepPath", offsetof(AppSettings, SleepPath), FIELD_TEXT, MAX_PATH, GENERAL},
    {L"TimedSleep", offsetof(AppSettings, TimedSleep), FIELD_FLAG, 0, GENERAL},
    {L"MaxTime", offsetof(AppSettings, MaxTime), FIELD_NUMBER, 0, GENERAL},
    {L"ShowIcon", offsetof(AppSettings, ShowIcon), FIELD_ZERO, 0, GENERAL},
    {L"Silenced", offsetof(AppSettings, Silenced), FIELD_FLAG, 0, GENERAL},
    {L"Chime", offsetof(AppSettings, Chime), FIELD_FLAG, 0, CHIME},
    {L"ChimeSound", offsetof(AppSettings, ChimeSound), FIELD_TEXT, MAX_PATH, CHIME},
    {L"ChimeHandle", offsetof(AppSettings, ChimeHandle), FIELD_NUMBER, 0, CHIME},
    {L"Countdown", offsetof(AppSettings, Countdown), FIELD_FLAG, 0, COUNTDOWN},
    {L"CountdownTime", offsetof(AppSettings, CountdownTime), FIELD_NUMBER, 0, COUNTDOWN},
    {L"CDFTLow", offsetof(AppSettings, CDFTLow), FIELD_NUMBER, 0, COUNTDOWN},
    {L"CDFTHigh", offsetof(AppSettings, CDFTHigh), FIELD_NUMBER, 0, COUNTDOWN},
    {L"CountdownSound", offsetof(AppSettings, CountdownSound), FIELD_TEXT, MAX_PATH, COUNTDOWN},
    {L"CountdownHandle", offsetof(AppSettings, CountdownHandle), FIELD_NUMBER, 0, COUNTDOWN},
    {L"CountdownKeepAwake", offsetof(AppSettings, CountdownKeepAwake), FIELD_FLAG, 0, COUNTDOWN},
    {L"ShowITime", offsetof(AppSettings, ShowITime), FIELD_FLAG, 0, GENERAL},
    {L"Color", offsetof(AppSettings, Color), FIELD_NUMBER, 0, GENERAL},
};

// Writes the values of `group`, or all of them for GENERAL, and commits them
// together; never the defaults of a load that failed.
void save_group(SettingsGroup group) {
    if (Settings.LoadFailed) return;
    HKEY key = open_existing_key(SETTINGS_KEY);
    if (!key) return;
    for (const RegField &f : SETTINGS_FIELDS)
        if (group == GENERAL || f.group == group) write_field(key, f, &Settings);
    RegFlushKey(key);
    RegCloseKey(key);
}

}  // namespace

void load_settings(void) {
    set_default_values();
    // One failed read is enough to know: a registry held by another program
    // is not waited for again.
    LONG err = find_install_folder();
    HKEY key = nullptr;
    if (err == ERROR_SUCCESS || err == ERROR_FILE_NOT_FOUND) err = open_store_key(SETTINGS_KEY, &key);
    Settings.LoadFailed = err != ERROR_SUCCESS;
    if (Settings.LoadFailed) return;
    for (const RegField &f : SETTINGS_FIELDS) read_field(key, f, &Settings);
    RegCloseKey(key);
}

void save_settings(void) { save_group(GENERAL); }

void save_chime_settings(void) { save_group(CHIME); }

void save_countdown_settings(void) { save_group(COUNTDOWN); }

void reload_chime_handle(void) {
    HKEY key = open_existing_key(SETTINGS_KEY);
    if (!key) return;
    read_dword(key, L"ChimeHandle", &Settings.ChimeHandle);
    RegCloseKey(key);
}
