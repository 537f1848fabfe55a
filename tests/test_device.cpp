// The device folder: paths between the device and the host, the settings
// file, and text crossing between encodings.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/device/device.h"
#include "platform/phone.h"
#include "tests/support/temp_device.h"

namespace {

using Device = TempDevice;

TEST_F(Device, DevicePathsMapIntoTheRootAndBack) {
    char host_path[DEVICE_HOST_PATH];
    ASSERT_TRUE(device_host_path(L"\\IPSM\\Program Files\\Velmora\\sounds\\buzz.wav", host_path, sizeof host_path));
    EXPECT_EQ(std::string(host_path), root + "/IPSM/Program Files/Velmora/sounds/buzz.wav");
    WCHAR back[MAX_PATH];
    ASSERT_TRUE(device_path_of(host_path, back, MAX_PATH));
    EXPECT_STREQ(back, L"\\IPSM\\Program Files\\Velmora\\sounds\\buzz.wav");
    ASSERT_TRUE(device_path_of(root.c_str(), back, MAX_PATH));
    EXPECT_STREQ(back, L"\\");
    EXPECT_FALSE(device_path_of("/etc/passwd", back, MAX_PATH));
    // A device path never leads out of the device.
    EXPECT_FALSE(device_host_path(L"\\My Documents\\..\\..\\etc\\passwd", host_path, sizeof host_path));
    EXPECT_FALSE(device_host_path(L"relative\\path", host_path, sizeof host_path));
    EXPECT_FALSE(device_host_path(L"\\x", host_path, 8));  // no room
    struct stat st;
    EXPECT_EQ(stat(host("IPSM/Application Data").c_str(), &st), 0);
    EXPECT_EQ(stat(host("My Documents").c_str(), &st), 0);
}

TEST_F(Device, AMountShowsAHostFolderInsideTheDevice) {
    std::string music = make_temp_folder("music");
    DeviceSettings ds = *device_settings();
    ds.mount_count = 1;
    wcscpy(ds.mounts[0].device_folder, L"\\My Documents\\Music");
    snprintf(ds.mounts[0].host_folder, sizeof ds.mounts[0].host_folder, "%s", music.c_str());
    ASSERT_TRUE(device_save_settings(&ds));
    char host_path[DEVICE_HOST_PATH];
    ASSERT_TRUE(device_host_path(L"\\my documents\\music\\a\\song.mp3", host_path, sizeof host_path));
    EXPECT_EQ(std::string(host_path), music + "/a/song.mp3");
    ASSERT_TRUE(device_host_path(L"\\My Documents\\Musical.mp3", host_path, sizeof host_path));
    EXPECT_EQ(std::string(host_path), root + "/My Documents/Musical.mp3");  // a prefix is not a folder
    WCHAR back[MAX_PATH];
    ASSERT_TRUE(device_path_of((music + "/x.ogg").c_str(), back, MAX_PATH));
    EXPECT_STREQ(back, L"\\My Documents\\Music\\x.ogg");
    remove_tree(music);
}

TEST_F(Device, TheSettingsFileIsReadWhenItChangesAndBadLinesAreIgnored) {
    const DeviceSettings *ds = device_settings();
    EXPECT_EQ(ds->screen_width, 240);
    EXPECT_EQ(ds->screen_height, 320);
    unsigned generation = device_settings_generation();
    {
        std::ofstream out(host("device.conf"));
        out << "screen = 176x220\nscreen = 999x1\nclock_offset = -3600\nsound_profile = silent\n"
               "wave_volume = 0x7FFF7FFF\nstorage_card = \\SD Card\ngarbage line\nmount = no bar here\n";
    }
    ds = device_settings();
    EXPECT_EQ(ds->screen_width, 176);
    EXPECT_EQ(ds->screen_height, 220);
    EXPECT_EQ(ds->clock_offset, -3600);
    EXPECT_EQ(ds->sound_profile, DEVICE_PROFILE_SILENT);
    EXPECT_EQ(ds->wave_volume, 0x7FFF7FFFu);
    EXPECT_EQ(ds->card_count, 1);
    EXPECT_STREQ(ds->cards[0], L"\\SD Card");
    EXPECT_EQ(ds->mount_count, 0);
    EXPECT_NE(device_settings_generation(), generation);
}

// What is written is read back as it was, even what the defaults would fill
// in; a zone is a name under the zone folder, never a file of its own.
TEST_F(Device, SavedSettingsReadBackAsTheyWereAndOnlyZoneNamesAreZones) {
    DeviceSettings none = *device_settings();
    none.card_count = 0;
    ASSERT_TRUE(device_save_settings(&none));
    EXPECT_EQ(device_settings()->card_count, 0);
    std::ofstream(host("device.conf")) << "storage_card = \\" << std::string(300, 'x') << "\nstorage_card = \\SD\n";
    EXPECT_EQ(device_settings()->card_count, 1);  // too long for a path: not cut to another one
    EXPECT_STREQ(device_settings()->cards[0], L"\\SD");
    for (const char *zone : {"/dev/stdin", "../../etc/passwd", "Europe/Berlin;x"}) {
        std::ofstream(host("device.conf")) << "time_zone = Asia/Tokyo\ntime_zone = " << zone << "\n";
        EXPECT_STREQ(device_settings()->time_zone, "Asia/Tokyo") << zone;
    }
}

TEST_F(Device, TheRuntimeFolderIsPrivate) {
    const char *dir = device_runtime_dir();
    ASSERT_NE(dir, nullptr);
    struct stat st;
    ASSERT_EQ(stat(dir, &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_LT(strlen(dir) + 45, 108u);  // room for a socket name
}

TEST(DeviceRoot, AFolderThatCannotBeMadeIsReportedAndTheStoreStaysSilent) {
    EXPECT_FALSE(device_open("/proc/velmora-cannot-exist"));
    EXPECT_NE(std::string(device_error()).find("/proc/velmora-cannot-exist"), std::string::npos);
    HKEY key;
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, 0, &key), ERROR_SUCCESS);
    device_close();
}

TEST(Text, EncodingsRoundTripAndBadBytesAreEscapedOneByOne) {
    std::wstring bell = L"Gl\u00f6ckchen \U0001F514";
    EXPECT_EQ(plat::from_utf8(plat::to_utf8(bell.c_str()).c_str()), bell);
    std::string le = plat::to_utf16le(bell.c_str(), bell.size());
    EXPECT_EQ(le.size(), (bell.size() + 1) * 2);  // the bell needs two units
    EXPECT_EQ(plat::from_utf16le(reinterpret_cast<const unsigned char *>(le.data()), le.size()), bell);
    EXPECT_EQ(plat::from_utf8("a\xff\xc0\x80z"), L"a\xDCFF\xDCC0\xDC80z");
    const unsigned char lone[] = {0x00, 0xD8, 0x41, 0x00};  // a high surrogate alone, then 'A'
    EXPECT_EQ(plat::from_utf16le(lone, 4), L"\uFFFDA");
    WCHAR out[4];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcdef", -1, out, 4), 0);  // no room: nothing written
    char narrow[8];
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"\u00e9", -1, narrow, 8, nullptr, nullptr), 3);
    WCHAR small[3];
    EXPECT_FALSE(plat::copy_wide(small, 3, L"abcd"));
    EXPECT_STREQ(small, L"ab");
}

}  // namespace
