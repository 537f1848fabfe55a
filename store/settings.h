// The settings record that every program of the system loads at start and
// saves back; the registry key "Software\Tamsett\Velmora" is where the
// programs share it.
#pragma once

#include "platform/phone.h"

#define SETTINGS_KEY L"Software\\Tamsett\\Velmora"
#define INSTALL_RECORD_KEY L"\\Security\\AppInstall\\Tamsett Velmora"
#define DEFAULT_INSTALL_FOLDER L"\\IPSM\\Program Files\\Velmora"
#define DEFAULT_APP_DATA_FOLDER L"\\IPSM\\Application Data"

// Sleep source kinds of SleepPathType.
#define SLEEP_SOURCE_FOLDER 0
#define SLEEP_SOURCE_PLAYLIST 1
#define SLEEP_SOURCE_FILE 2

struct AppSettings {
    DWORD TwentyFourHourTime;  // stored as "24HourTime"
    DWORD SnoozeTime;          // minutes
    DWORD SleepTime;           // minutes
    DWORD SleepPathType;
    WCHAR SleepPath[MAX_PATH];
    DWORD TimedSleep;
    DWORD ShowIcon;            // never loaded; always 0
    DWORD ShowITime;
    DWORD MaxTime;             // minutes
    DWORD Silenced;
    DWORD Chime;
    WCHAR ChimeSound[MAX_PATH];
    DWORD ChimeHandle;
    DWORD Countdown;
    DWORD CountdownTime;       // minutes
    DWORD CDFTLow;             // countdown end as a local file time
    DWORD CDFTHigh;
    WCHAR CountdownSound[MAX_PATH];
    DWORD CountdownHandle;
    DWORD CountdownKeepAwake;
    COLORREF Color;
    // The last load could not read the registry: the record holds defaults
    // and is never saved, so that nothing stored is written over.
    bool LoadFailed;
};

// The two folders every program needs, held beside the settings.
struct AppFolders {
    WCHAR InstallFolder[MAX_PATH];
    BOOL InstallFolderFound;  // "InstallDir" was read from the installer's record
    WCHAR AppDataFolder[MAX_PATH];
};

extern AppSettings Settings;
extern AppFolders Folders;

// Defaults (all but ChimeHandle, CountdownTime and CountdownHandle) and the
// install folder; the first step of load_settings.
void set_default_settings(void);
// ERROR_SUCCESS or ERROR_FILE_NOT_FOUND when the registry could be read (the
// default folder stays when it holds none), else the registry's error.
LONG find_install_folder(void);

// Defaults, then what the registry holds; Settings.LoadFailed when it could
// not be read. The saves do nothing while it is set.
void load_settings(void);
void save_settings(void);
void save_chime_settings(void);
void save_countdown_settings(void);
void reload_chime_handle(void);
void find_app_data_folder(void);
