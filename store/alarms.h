// The ten user alarms. The index is an alarm's identity everywhere: its
// registry subkey ("0" ... "9"), its event identifier, and, plus one, the
// number the user sees.
#pragma once

#include "platform/phone.h"

#define ALARM_COUNT 10
#define ALARM_NAME_CHARS 80
#define ALARMS_KEY L"Software\\Tamsett\\Velmora\\Alarms"
#define DEFAULT_ALARM_SOUND L"buzz.wav"
#define DEFAULT_ALARM_NAME L"Untitled"
#define ALL_DAYS 127

struct AlarmRecord {
    DWORD AlarmHandle;  // the registered notification; 0 = none
    DWORD AlarmOn;
    DWORD AThour;
    DWORD ATmin;
    WCHAR AlarmSound[MAX_PATH];  // a full path, or exactly "buzz.wav" for the default file
    DWORD UseSystemVol;
    DWORD Volume;  // step 1 ... 10
    DWORD Days;    // bit 0 Sunday ... bit 6 Saturday
    WCHAR AlarmName[ALARM_NAME_CHARS];
};

struct AlarmTable {
    AlarmRecord Records[ALARM_COUNT];
    bool Created;
    // The last load could not read the registry: the records hold defaults,
    // are never saved and arm nothing.
    bool LoadFailed;
};

extern AlarmTable Alarms;

// The record of a valid index of a created table, else NULL.
AlarmRecord *alarm_record(int index);

void create_alarm_table(void);
void set_alarm_defaults(void);
// What the registry holds over the table; Alarms.LoadFailed when it could
// not be read. The saves do nothing while it is set.
void load_alarms(void);
void save_alarms(void);
void save_alarm(int index);
void reload_alarm_handle(int index);
void free_alarm_table(void);

// The start-up of every program that uses the table: the settings, the
// application-data folder, a fresh table with its defaults, then the alarms
// (not read, and marked failed, when the settings could not be read).
void load_store(void);
