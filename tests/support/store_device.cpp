#include "tests/support/store_device.h"

#include <cstdlib>

#include "store/alarms.h"
#include "store/settings.h"

void StoreDevice::SetUp() {
    TempDevice::SetUp();
    setenv("VELMORA_NOTIFYD", "off", 1);
    load_settings();
    find_app_data_folder();
    create_alarm_table();
    set_alarm_defaults();
    load_alarms();
}

void StoreDevice::TearDown() {
    free_alarm_table();
    TempDevice::TearDown();
}

void save_daily_alarm(int index, int hour, int minute) {
    AlarmRecord *a = alarm_record(index);
    a->AlarmOn = 1;
    a->AThour = DWORD(hour);
    a->ATmin = DWORD(minute);
    a->Days = ALL_DAYS;
    save_alarm(index);
}
