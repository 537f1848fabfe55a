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
