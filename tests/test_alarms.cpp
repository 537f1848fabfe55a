// The alarm table: defaults, loading what the registry holds, and whole
// records written back.
#include <gtest/gtest.h>

#include "store/alarms.h"
#include "store/settings.h"
#include "tests/support/registry_values.h"
#include "tests/support/temp_device.h"

namespace {

class AlarmTableTest : public TempDevice {
protected:
    void start_up() {
        load_settings();
        create_alarm_table();
        find_app_data_folder();
        set_alarm_defaults();
        load_alarms();
    }
    void TearDown() override {
        free_alarm_table();
        TempDevice::TearDown();
    }
};

TEST_F(AlarmTableTest, AFreshDeviceHasTenDefaultAlarmsAndAnEmptyAlarmsKey) {
    start_up();
    for (int i = 0; i < ALARM_COUNT; i++) {
        const AlarmRecord *a = alarm_record(i);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->AlarmOn, 0u);
        EXPECT_EQ(a->AThour, 7u);
        EXPECT_EQ(a->ATmin, 0u);
        EXPECT_EQ(a->Days, 127u);
        EXPECT_EQ(a->Volume, 8u);
        EXPECT_EQ(a->UseSystemVol, 0u);
        EXPECT_EQ(a->AlarmHandle, 0u);
        EXPECT_STREQ(a->AlarmSound, L"buzz.wav");
        EXPECT_STREQ(a->AlarmName, L"Untitled");
    }
    EXPECT_TRUE(key_exists(ALARMS_KEY));
    EXPECT_EQ(subkey_count(ALARMS_KEY), 0);
    EXPECT_EQ(alarm_record(-1), nullptr);
    EXPECT_EQ(alarm_record(10), nullptr);
}

TEST_F(AlarmTableTest, ASubkeyMissingSomeValuesKeepsTheirDefaults) {
    put_dword(ALARMS_KEY L"\\4", L"AThour", 6);
    put_dword(ALARMS_KEY L"\\4", L"AlarmOn", 5);
    put_text(ALARMS_KEY L"\\4", L"AlarmName", L"Gym");
    start_up();
    const AlarmRecord *a = alarm_record(4);
    EXPECT_EQ(a->AThour, 6u);
    EXPECT_EQ(a->AlarmOn, 1u);  // any non-zero number is on
    EXPECT_STREQ(a->AlarmName, L"Gym");
    EXPECT_EQ(a->ATmin, 0u);
    EXPECT_EQ(a->Volume, 8u);
    EXPECT_STREQ(a->AlarmSound, L"buzz.wav");
    EXPECT_EQ(alarm_record(3)->AThour, 7u);
    save_alarm(4);
    DWORD on = 0;
    ASSERT_TRUE(get_dword(ALARMS_KEY L"\\4", L"AlarmOn", &on));
    EXPECT_EQ(on, 1u);
}

TEST_F(AlarmTableTest, NamesUpToTheirCapacityRoundTripAndLongerOnesAreRefused) {
    start_up();
    std::wstring name79(79, L'a');
    plat::copy_wide(alarm_record(1)->AlarmName, ALARM_NAME_CHARS, name79);
    save_alarm(1);
    EXPECT_EQ(stored_size(ALARMS_KEY L"\\1", L"AlarmName"), 160u);
    put_text(ALARMS_KEY L"\\2", L"AlarmName", std::wstring(80, L'b'));
    put_dword(ALARMS_KEY L"\\2", L"AlarmSound", 3);  // a number where text belongs
    set_alarm_defaults();
    load_alarms();
    EXPECT_EQ(std::wstring(alarm_record(1)->AlarmName), name79);
    EXPECT_STREQ(alarm_record(2)->AlarmName, L"Untitled");
    EXPECT_STREQ(alarm_record(2)->AlarmSound, L"buzz.wav");
}

TEST_F(AlarmTableTest, SavingOneAlarmWritesTheWholeRecord) {
    start_up();
    alarm_record(9)->AlarmHandle = 31;
    save_alarm(9);
    const wchar_t *names[] = {L"AlarmOn", L"AThour",  L"ATmin", L"AlarmSound", L"AlarmName",
                              L"UseSystemVol", L"Volume", L"Days", L"AlarmHandle"};
    for (const wchar_t *n : names) EXPECT_GT(stored_size(ALARMS_KEY L"\\9", n), 0u) << plat::to_utf8(n);
    DWORD days = 0;
    ASSERT_TRUE(get_dword(ALARMS_KEY L"\\9", L"Days", &days));
    EXPECT_EQ(days, 127u);
    EXPECT_EQ(subkey_count(ALARMS_KEY), 1);
    save_alarms();
    EXPECT_EQ(subkey_count(ALARMS_KEY), 10);
}

TEST_F(AlarmTableTest, AReloadKeepsWhatTheRegistryDoesNotHoldAndTheHandleIsReadAlone) {
    start_up();
    alarm_record(0)->AThour = 5;  // changed in memory, never saved
    put_dword(ALARMS_KEY L"\\0", L"AlarmHandle", 88);
    load_alarms();
    EXPECT_EQ(alarm_record(0)->AThour, 5u);
    EXPECT_EQ(alarm_record(0)->AlarmHandle, 88u);
    put_dword(ALARMS_KEY L"\\0", L"AlarmHandle", 89);
    put_dword(ALARMS_KEY L"\\0", L"ATmin", 45);
    reload_alarm_handle(0);
    EXPECT_EQ(alarm_record(0)->AlarmHandle, 89u);
    EXPECT_EQ(alarm_record(0)->ATmin, 0u);
    reload_alarm_handle(12);  // outside the table: nothing happens
}

}  // namespace
