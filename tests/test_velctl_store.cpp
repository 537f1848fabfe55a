// velctl on the device, the registry and the store, as a person uses it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/device/device.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_device.h"

namespace {

class Velctl : public TempDevice {
protected:
    ProgramResult velctl(std::vector<std::string> words, std::vector<std::string> env = {}, int user = -1) {
        words.insert(words.begin(), {VELCTL, "--device", root});
        return run_program(words, env, user);
    }
};

const char *ALARM3 = "Software\\Tamsett\\Velmora\\Alarms\\3";

TEST_F(Velctl, SetsListsAndGetsValues) {
    ASSERT_EQ(velctl({"reg", "set", ALARM3, "AThour", "dword", "0x10"}).exit_code, 0);
    ASSERT_EQ(velctl({"reg", "set", ALARM3, "AlarmName", "sz", "Früh"}).exit_code, 0);
    ProgramResult list = velctl({"reg", "list", "software\\tamsett\\velmora\\alarms\\3"});
    ASSERT_EQ(list.exit_code, 0) << list.err;
    EXPECT_NE(list.out.find("AThour"), std::string::npos);
    EXPECT_NE(list.out.find("REG_DWORD"), std::string::npos);
    EXPECT_NE(list.out.find("16 (0x00000010)"), std::string::npos);
    EXPECT_NE(list.out.find("10 bytes  Früh"), std::string::npos);  // four characters and the terminator in UTF-16
    ProgramResult parent = velctl({"reg", "list", "Software\\Tamsett\\Velmora\\Alarms"});
    EXPECT_NE(parent.out.find("[3]"), std::string::npos);
    EXPECT_EQ(velctl({"reg", "get", ALARM3, "athour"}).out, "16\n");
    EXPECT_EQ(velctl({"reg", "get", ALARM3, "AlarmName"}).out, "Früh\n");
}

TEST_F(Velctl, WrongWordsGetOneClearLine) {
    struct Case {
        std::vector<std::string> words;
        int code;
        const char *says;
    } cases[] = {
        {{"reg", "get", "No\\Such\\Key", "X"}, 1, "no key No\\Such\\Key"},
        {{"reg", "get", ALARM3, "Missing"}, 1, "no key"},
        {{"reg", "set", ALARM3, "AThour", "dword", "4294967296"}, 1, "not a 32-bit number"},
        {{"reg", "set", ALARM3, "AThour", "dword", "-1"}, 1, "not a 32-bit number"},
        {{"reg", "set", ALARM3, "AThour", "qword", "1"}, 2, "dword or sz"},
        {{"reg", "frobnicate"}, 2, "usage"},
        {{"nonsense"}, 2, "unknown verb"},
    };
    for (const Case &c : cases) {
        ProgramResult r = velctl(c.words);
        EXPECT_EQ(r.exit_code, c.code) << c.words[0] << " " << (c.words.size() > 1 ? c.words[1] : "");
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("velctl: "), r.err.rfind("velctl: "));  // one line about the failure
    }
    EXPECT_EQ(velctl({"reg", "--help"}).exit_code, 0);
}

TEST_F(Velctl, ShowsTheStoreAsAFreshDeviceHasIt) {
    ProgramResult s = velctl({"settings"});
    ASSERT_EQ(s.exit_code, 0);
    EXPECT_NE(s.out.find("SnoozeTime = 15\n"), std::string::npos);
    EXPECT_NE(s.out.find("Color = 0x00FFFF\n"), std::string::npos);
    ProgramResult a = velctl({"alarms"});
    ASSERT_EQ(a.exit_code, 0);
    EXPECT_NE(a.out.find("10  off  07:00  every day"), std::string::npos);
    ProgramResult d = velctl({"device"});
    EXPECT_NE(d.out.find("root = " + root), std::string::npos);
    EXPECT_NE(d.out.find("screen = 240x320"), std::string::npos);
}

TEST_F(Velctl, TheTimeFormatFollowsTheLocale) {
    if (access("/usr/lib/locale/locale-archive", R_OK) != 0) GTEST_SKIP() << "no compiled locales";
    ProgramResult twelve = velctl({"settings"}, {"LC_ALL=en_US.UTF-8"});
    ProgramResult twenty_four = velctl({"settings"}, {"LC_ALL=de_DE.UTF-8"});
    if (twelve.out.find("24HourTime = 0") == std::string::npos &&
        system("locale -a | grep -qi en_US.utf8") != 0)
        GTEST_SKIP() << "en_US.UTF-8 is not installed (scripts/deps.sh generates it)";
    EXPECT_NE(twelve.out.find("24HourTime = 0\n"), std::string::npos);
    EXPECT_NE(twenty_four.out.find("24HourTime = 1\n"), std::string::npos);
}

TEST_F(Velctl, ADamagedStoreIsNamedInOneLine) {
    ASSERT_EQ(velctl({"reg", "set", ALARM3, "AThour", "dword", "1"}).exit_code, 0);
    device_close();
    {
        std::ofstream out(host("registry.db"), std::ios::binary | std::ios::trunc);
        out << std::string(4096, 'Z');
    }
    unlink(host("registry.db-wal").c_str());
    unlink(host("registry.db-shm").c_str());
    ProgramResult r = velctl({"reg", "get", ALARM3, "AThour"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("is corrupt"), std::string::npos) << r.err;
    // The settings are not shown as their defaults.
    ProgramResult s = velctl({"settings"});
    EXPECT_EQ(s.exit_code, 1);
    EXPECT_NE(s.err.find("cannot read the settings: the registry"), std::string::npos) << s.err;
    EXPECT_NE(s.err.find("is corrupt"), std::string::npos) << s.err;
}

TEST_F(Velctl, AReadOnlyStoreIsReadButNotWritten) {
    ASSERT_EQ(velctl({"reg", "set", ALARM3, "AThour", "dword", "9"}).exit_code, 0);
    device_close();
    // Root writes anywhere, so the read-only case is checked as nobody.
    int user = geteuid() == 0 ? 65534 : -1;
    chmod(root.c_str(), 0755);
    chmod(host("registry.db").c_str(), 0444);
    if (user < 0) chmod(root.c_str(), 0555);
    ProgramResult get = velctl({"reg", "get", ALARM3, "AThour"}, {}, user);
    EXPECT_EQ(get.out, "9\n") << get.err;
    ProgramResult set = velctl({"reg", "set", ALARM3, "AThour", "dword", "10"}, {}, user);
    EXPECT_EQ(set.exit_code, 1);
    EXPECT_NE(set.err.find("read-only"), std::string::npos) << set.err;
    EXPECT_EQ(set.err.find('\n'), set.err.size() - 1);
    chmod(root.c_str(), 0755);
}

TEST(VelctlDevice, AFolderThatCannotBeCreatedIsNamed) {
    ProgramResult r = run_program({VELCTL, "--device", "/proc/velmora/nope", "device"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.err.rfind("velctl: cannot create the device folder /proc/velmora/nope", 0), 0u) << r.err;
}

}  // namespace
