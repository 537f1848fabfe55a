#include "store/alarms.h"

#include <cstring>

#include "store/reg_values.h"

AlarmTable Alarms;

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

// The Alarms key, created first when it is missing; NULL when it cannot be
// opened.
static HKEY open_alarms_key(void) {
    ensure_key(ALARMS_KEY);
    return open_existing_key(ALARMS_KEY);
}

static void subkey_name(int index, WCHAR *name, size_t cap) { swprintf(name, cap, L"%d", index); }

static void load_alarm(HKEY alarms, int index) {
    WCHAR name[16];
    subkey_name(index, name, 16);
    HKEY key = open_existing_subkey(alarms, name);
    if (!key) return;
    AlarmRecord *a = &Alarms.Records[index];
    read_flag(key, L"AlarmOn", &a->AlarmOn);
    read_dword(key, L"AThour", &a->AThour);
    read_dword(key, L"ATmin", &a->ATmin);
    read_text(key, L"AlarmSound", a->AlarmSound, MAX_PATH);
    read_text(key, L"AlarmName", a->AlarmName, ALARM_NAME_CHARS);
    read_flag(key, L"UseSystemVol", &a->UseSystemVol);
    read_dword(key, L"Volume", &a->Volume);
    read_dword(key, L"Days", &a->Days);
    read_dword(key, L"AlarmHandle", &a->AlarmHandle);
    RegCloseKey(key);
}

void load_alarms(void) {
    if (!Alarms.Created) return;
    HKEY alarms = open_alarms_key();
    if (!alarms) return;
    for (int i = 0; i < ALARM_COUNT; i++) load_alarm(alarms, i);
    RegCloseKey(alarms);
}

void save_alarm(int index) {
    AlarmRecord *a = alarm_record(index);
    if (!a) return;
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
        write_dword(key, L"AlarmOn", a->AlarmOn);
        write_dword(key, L"AThour", a->AThour);
        write_dword(key, L"ATmin", a->ATmin);
        write_text(key, L"AlarmSound", a->AlarmSound);
        write_text(key, L"AlarmName", a->AlarmName);
        write_dword(key, L"UseSystemVol", a->UseSystemVol);
        write_dword(key, L"Volume", a->Volume);
        write_dword(key, L"Days", a->Days);
        write_dword(key, L"AlarmHandle", a->AlarmHandle);
        RegFlushKey(key);
        RegCloseKey(key);
    }
    RegCloseKey(alarms);
}

void save_alarms(void) {
    HKEY alarms = open_alarms_key();
    if (!alarms) return;
    for (int i = 0; i < ALARM_COUNT; i++) save_alarm(i);
    RegCloseKey(alarms);
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
