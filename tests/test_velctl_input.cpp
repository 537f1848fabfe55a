// velctl refuses what it cannot carry out faithfully, and does what it was
// asked in full: numbers as a person writes them, text that is UTF-8, clocks
// within reach, a device that is named, long typing, an answer that ends the
// program.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/device/device.h"
#include "platform/phone.h"
#include "tests/support/live_service.h"
#include "tests/support/run_program.h"
#include "tests/support/screen_program.h"

namespace {

constexpr const char *KEY = "Software\\Tamsett\\Velmora";

class VelctlInput : public ScreenProgram {
protected:
    ProgramResult run(std::vector<std::string> words) {
        std::vector<std::string> argv = {built_velctl(), "--device", root};
        argv.insert(argv.end(), words.begin(), words.end());
        return run_program(argv);
    }
    std::string get(const char *name) { return run({"reg", "get", KEY, name}).out; }
};

TEST_F(VelctlInput, NumbersAreDecimalUnlessMarkedHex) {
    EXPECT_EQ(run({"reg", "set", KEY, "SnoozeTime", "dword", "010"}).exit_code, 0);
    EXPECT_EQ(get("SnoozeTime"), "10\n");
    EXPECT_EQ(run({"reg", "set", KEY, "SnoozeTime", "dword", "09"}).exit_code, 0);
    EXPECT_EQ(get("SnoozeTime"), "9\n");
    EXPECT_EQ(run({"reg", "set", KEY, "Color", "dword", "0x00FF00"}).exit_code, 0);
    EXPECT_EQ(get("Color"), "65280\n");
    for (const char *bad : {"1e3", "0x", "12 ", "4294967296", "-1"})
        EXPECT_EQ(run({"reg", "set", KEY, "SnoozeTime", "dword", bad}).exit_code, 1) << bad;
    EXPECT_EQ(get("SnoozeTime"), "9\n");
}

TEST_F(VelctlInput, TextThatIsNotUtf8IsRefusedAndNothingIsStored) {
    const std::string latin1 = "Caf\xe9";  // a Latin-1 byte, not UTF-8
    ProgramResult r = run({"reg", "set", KEY, "AlarmName", "sz", latin1});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("UTF-8"), std::string::npos) << r.err;
    EXPECT_EQ(run({"reg", "set", KEY, latin1, "sz", "x"}).exit_code, 1);
    EXPECT_EQ(run({"reg", "set", std::string(KEY) + "\\" + latin1, "A", "sz", "x"}).exit_code, 1);
    EXPECT_EQ(run({"reg", "get", KEY, "AlarmName"}).exit_code, 1);  // never stored
    EXPECT_EQ(run({"post", latin1, "Velmora", "0x8001", "0"}).exit_code, 1);
    // Proper UTF-8 goes through untouched.
    EXPECT_EQ(run({"reg", "set", KEY, "AlarmName", "sz", "Caf\xc3\xa9 \xe2\x8f\xb0"}).exit_code, 0);
    EXPECT_EQ(get("AlarmName"), "Caf\xc3\xa9 \xe2\x8f\xb0\n");
}

TEST_F(VelctlInput, ClocksBeyondAFewHundredYearsAreRefused) {
    EXPECT_EQ(run({"clock", "offset", "3600"}).exit_code, 0);
    for (const char *far : {"99999999999", "-99999999999", "1750000000000"})
        EXPECT_EQ(run({"clock", "offset", far}).exit_code, 1) << far;
    EXPECT_EQ(run({"clock", "set", "9999-01-01 00:00:00"}).exit_code, 1);
    EXPECT_EQ(device_settings()->clock_offset, 3600);
    // One written into the settings file by hand is not believed either.
    DeviceSettings ds = *device_settings();
    ds.clock_offset = 1750000000000LL;
    ASSERT_TRUE(device_save_settings(&ds));
    std::string shown = run({"clock"}).out;
    int year = atoi(shown.c_str());
    EXPECT_GT(year, 2000) << shown;
    EXPECT_LT(year, 2500) << shown;
}

TEST_F(VelctlInput, AnEmptyDeviceNameIsAnError) {
    ProgramResult r = run_program({built_velctl(), "--device", "", "device"});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_NE(r.err.find("--device"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
}

TEST_F(VelctlInput, LongTextIsTypedWhole) {
    start_on_screen(SCREEN_PEER, 240, 320);
    std::string text(3000, 'a');
    for (size_t i = 0; i < text.size(); i += 7) text[i] = 'b';
    ASSERT_EQ(velctl({"key", "text", text}), 0);
    std::vector<std::string> chars;
    for (const std::string &l : fresh())
        if (l.compare(0, 5, "char ") == 0) chars.push_back(l);
    ASSERT_EQ(chars.size(), text.size());
    EXPECT_EQ(chars.front(), "char 98");
    EXPECT_EQ(chars.back(), "char " + std::to_string(int(text.back())));
}

TEST_F(VelctlInput, AnAnswerThatEndsTheProgramIsASuccess) {
    start_on_screen(SCREEN_PEER, 240, 320, {"--leave"});
    ASSERT_EQ(velctl({"key", "soft2"}), 0);
    std::string out;
    ASSERT_EQ(velctl({"msgbox"}, &out), 0);
    ASSERT_NE(out.find("Leaving now"), std::string::npos) << out;
    EXPECT_EQ(velctl({"msgbox", "answer", "ok"}, &out), 0) << out;
    int status = -1;
    for (int i = 0; i < 500 && waitpid(program, &status, WNOHANG) == 0; i++) usleep(10000);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    program = -1;
}

}  // namespace
