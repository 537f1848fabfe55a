// The settings record: defaults on a fresh device, what loads and what is
// written back, and values the store must not take.
#include <gtest/gtest.h>

#include "store/settings.h"
#include "tests/support/registry_values.h"
#include "tests/support/temp_device.h"

namespace {

using Settings_ = TempDevice;

TEST_F(Settings_, AFreshDeviceGetsTheDefaultsAndTheKey) {
    ASSERT_FALSE(key_exists(SETTINGS_KEY));
    load_settings();
    EXPECT_TRUE(key_exists(SETTINGS_KEY));
    EXPECT_EQ(Settings.SnoozeTime, 15u);
    EXPECT_EQ(Settings.SleepTime, 60u);
    EXPECT_EQ(Settings.MaxTime, 5u);
    EXPECT_EQ(Settings.TimedSleep, 1u);
    EXPECT_EQ(Settings.ShowITime, 1u);
    EXPECT_EQ(Settings.Silenced, 0u);
    EXPECT_EQ(Settings.Color, RGB(255, 255, 0));
    EXPECT_EQ(Settings.TwentyFourHourTime, 1u);  // the tests run in the C locale: 24-hour
    EXPECT_STREQ(Folders.InstallFolder, L"\\IPSM\\Program Files\\Velmora");
    EXPECT_FALSE(Folders.InstallFolderFound);
    find_app_data_folder();
    EXPECT_STREQ(Folders.AppDataFolder, L"\\IPSM\\Application Data");
}

TEST_F(Settings_, FlagsLoadAsOneAndNumbersAsStored) {
    put_dword(SETTINGS_KEY, L"Silenced", 7);
    put_dword(SETTINGS_KEY, L"24HourTime", 0);
    put_dword(SETTINGS_KEY, L"MaxTime", 123456);
    put_dword(SETTINGS_KEY, L"Color", RGB(1, 2, 3));
    put_text(SETTINGS_KEY, L"ChimeSound", L"\\My Documents\\ding.wav");
    load_settings();
    EXPECT_EQ(Settings.Silenced, 1u);
    EXPECT_EQ(Settings.TwentyFourHourTime, 0u);
    EXPECT_EQ(Settings.MaxTime, 123456u);
    EXPECT_EQ(Settings.Color, RGB(1, 2, 3));
    EXPECT_STREQ(Settings.ChimeSound, L"\\My Documents\\ding.wav");
}

TEST_F(Settings_, ValuesOfTheWrongTypeOrSizeLeaveTheDefaults) {
    put_text(SETTINGS_KEY, L"SnoozeTime", L"20");
    BYTE two[2] = {1, 2};
    put_bytes(SETTINGS_KEY, L"MaxTime", REG_BINARY, two, 2);
    put_dword(SETTINGS_KEY, L"SleepPath", 42);
    put_text(SETTINGS_KEY, L"ChimeSound", std::wstring(300, L'x'));
    load_settings();
    EXPECT_EQ(Settings.SnoozeTime, 15u);
    EXPECT_EQ(Settings.MaxTime, 5u);
    EXPECT_STREQ(Settings.SleepPath, L"");
    EXPECT_STREQ(Settings.ChimeSound, L"");
}

TEST_F(Settings_, AFullSaveWritesShowIconAsZeroAndEverythingElse) {
    put_dword(SETTINGS_KEY, L"ShowIcon", 5);
    load_settings();
    Settings.SnoozeTime = 9;
    Settings.CDFTHigh = 0x01DB0000;
    save_settings();
    DWORD v = 99;
    ASSERT_TRUE(get_dword(SETTINGS_KEY, L"ShowIcon", &v));
    EXPECT_EQ(v, 0u);
    ASSERT_TRUE(get_dword(SETTINGS_KEY, L"SnoozeTime", &v));
    EXPECT_EQ(v, 9u);
    ASSERT_TRUE(get_dword(SETTINGS_KEY, L"CDFTHigh", &v));
    EXPECT_EQ(v, 0x01DB0000u);
    std::wstring sound;
    EXPECT_TRUE(get_text(SETTINGS_KEY, L"CountdownSound", &sound));
    EXPECT_EQ(stored_size(SETTINGS_KEY, L"CountdownSound"), 2u);  // empty text with its terminator
}

TEST_F(Settings_, HandlesSurviveTheDefaultsAndPartialSavesWriteTheirPart) {
    put_dword(SETTINGS_KEY, L"ChimeHandle", 77);
    load_settings();
    Settings.ChimeHandle = 5;  // as if another load had happened earlier in the run
    Settings.CountdownHandle = 6;
    Settings.CountdownTime = 30;
    set_default_settings();
    EXPECT_EQ(Settings.ChimeHandle, 5u);
    EXPECT_EQ(Settings.CountdownHandle, 6u);
    EXPECT_EQ(Settings.CountdownTime, 30u);
    Settings.Chime = 1;
    Settings.SnoozeTime = 1;
    save_chime_settings();
    DWORD v;
    ASSERT_TRUE(get_dword(SETTINGS_KEY, L"ChimeHandle", &v));
    EXPECT_EQ(v, 5u);
    EXPECT_FALSE(get_dword(SETTINGS_KEY, L"SnoozeTime", &v));
    save_countdown_settings();
    ASSERT_TRUE(get_dword(SETTINGS_KEY, L"CountdownTime", &v));
    EXPECT_EQ(v, 30u);
    put_dword(SETTINGS_KEY, L"ChimeHandle", 1234);
    reload_chime_handle();
    EXPECT_EQ(Settings.ChimeHandle, 1234u);
}

TEST_F(Settings_, TheInstallFolderComesFromTheInstallersRecord) {
    put_text(INSTALL_RECORD_KEY, L"InstallDir", L"\\Storage Card\\Program Files\\Velmora");
    load_settings();
    EXPECT_STREQ(Folders.InstallFolder, L"\\Storage Card\\Program Files\\Velmora");
    EXPECT_TRUE(Folders.InstallFolderFound);
}

TEST_F(Settings_, ASaveWithoutTheKeyWritesNothing) {
    load_settings();
    HKEY parent;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Tamsett", 0, 0, &parent), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyW(parent, L"Velmora"), ERROR_SUCCESS);
    RegCloseKey(parent);
    save_settings();
    save_chime_settings();
    EXPECT_FALSE(key_exists(SETTINGS_KEY));
}

}  // namespace
