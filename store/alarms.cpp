#include "store/alarms.h"

#include <cstddef>
#include <cstring>

#include "store/reg_values.h"
#include "store/settings.h"

AlarmTable Alarms;

namespace {

// A record's nine values, in the order they are read and written.
const RegField ALARM_FIELDS[] = {
    {L"AlarmOn", offsetof(AlarmRecord, AlarmOn), FIELD_FLAG, 0, 0},
    {L"AThour", offsetof(AlarmRecord, AThour), FIELD_NUMBER, 0, 0},
    {L"ATmin", offsetof(AlarmRecord, ATmin), FIELD_NUMBER, 0, 0},
    {L"AlarmSound", offsetof(AlarmRecord, AlarmSound), FIELD_TEXT, MAX_PATH, 0},
    {L"AlarmName", offsetof(AlarmRecord, AlarmName), FIELD_TEXT, ALARM_NAME_CHARS, 0},
    {L"UseSystemVol", offsetof(AlarmRecord, UseSystemVol), FIELD_FLAG, 0, 0},
    {L"Volume", offsetof(AlarmRecord, Volume), FIELD_NUMBER, 0, 0},
    {L"Days", offsetof(AlarmRecord, Days), FIELD_NUMBER, 0, 0},
    {L"AlarmHandle", offsetof(AlarmRecord, AlarmHandle), FIELD_NUMBER, 0, 0},
};

}  // namespace

AlarmRecord *alarm_record(int index) {
    if (!Alarms.Created || index < 0 || index >= ALARM_COUNT) return nullptr;
    return &Alarms.Records[index];
}

void create_alarm_table(void) {
    memset(&Alarms, 0, sizeof Alarms);
    Alarms.Created = true;
}

void free_alarm_table(void) { memset(&Alarms, 0, sizeof Alarms); }

void set_alarm_defaults(void) {
    for (int i = 0; i < ALARM_COUNT; i++) {
        AlarmRecord *a = alarm_record(i);
        if (!a) return;
        a->AlarmHandle = 0;
        a->AlarmOn = 0;
        a->AThour = 7;
        a->ATmin = 0;
        plat::copy_wide(a->AlarmSound, MAX_PATH, DEFAULT_ALARM_SOUND);
        a->UseSystemVol = 0;
        a->Volume = 8;
        a->Days = ALL_DAYS;
        plat::copy_wide(a->AlarmName, ALARM_NAME_CHARS, DEFAULT_ALARM_NAME);
    }
}

namespace {

void subkey_name(int index, WCHAR *name, size_t cap) { swprintf(name, cap, L"%d", index); }

// One record; a missing subkey leaves its defaults. False when the registry
// could not be read.
bool load_alarm(HKEY alarms, int index) {
    WCHAR name[16];
    subkey_name(index, name, 16);
    HKEY key = nullptr;
    LONG err = RegOpenKeyExW(alarms, name, 0, 0, &key);
    if (err != ERROR_SUCCESS) return err == ERROR_FILE_NOT_FOUND;
    for (const RegField &f : ALARM_FIELDS) read_field(key, f, &Alarms.Records[index]);
    RegCloseKey(key);
    return true;
}

// The Alarms key, created first when it is missing; NULL when it cannot be
// opened.
HKEY open_alarms_key(void) {
    HKEY key = nullptr;
    return open_store_key(ALARMS_KEY, &key) == ERROR_SUCCESS ? key : nullptr;
}

}  // namespace

void load_alarms(void) {
    if (!Alarms.Created) return;
    HKEY alarms = open_alarms_key();
    bool read = alarms != nullptr;
    for (int i = 0; read && i < ALARM_COUNT; i++) read = load_alarm(alarms, i);
    if (alarms) RegCloseKey(alarms);
    Alarms.LoadFailed = !read;
}

void save_alarm(int index) {
    AlarmRecord *a = alarm_record(index);
    if (!a || Alarms.LoadFailed) return;  // never the defaults of a load that failed
    HKEY alarms = open_alarms_key();
    if (!alarms) return;
    WCHAR name[16];
    subkey_name(index, name, 16);
    HKEY key = open_existing_subkey(alarms, name);
    if (!key) {
        DWORD disposition = 0;
        if (RegCreateKeyExW(alarms, name, 0, nullptr, 0, 0, nullptr, &key, &disposition) == ERROR_SUCCESS)
            RegCloseKey(key);
        key = open_existing_subkey(alarms, name);
    }
    if (key) {
        for (const RegField &f : ALARM_FIELDS) write_field(key, f, a);
        RegFlushKey(key);
        RegCloseKey(key);
    }
    RegCloseKey(alarms);
}

void save_alarms(void) {
    for (int i = 0; i < ALARM_COUNT; i++) save_alarm(i);
}

void reload_alarm_handle(int index) {
    AlarmRecord *a = alarm_record(index);
    if (!a) return;
    HKEY alarms = open_alarms_key();
    if (!alarms) return;
    WCHAR name[16];
    subkey_name(index, name, 16);
    if (HKEY key = open_existing_subkey(alarms, name)) {
        read_dword(key, L"AlarmHandle", &a->AlarmHandle);
        RegCloseKey(key);
    }
    RegCloseKey(alarms);
}

void load_store(void) {
    load_settings();
    find_app_data_folder();
    create_alarm_table();
    set_alarm_defaults();
    // A registry that could not be read a moment ago is not waited for again.
    if (Settings.LoadFailed)
        Alarms.LoadFailed = true;
    else
        load_alarms();
}
