// The help key: the phone's help viewer stands for the host's viewer, which a
// test replaces with a script that writes down what it was asked to show.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/device/device.h"
#include "platform/device/process.h"
#include "tests/support/device_processes.h"
#include "tests/support/live_service.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_device.h"

namespace {

class Help : public TempDevice {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        bin = make_temp_folder("viewer");
        record = bin + "/shown";
        std::ofstream(bin + "/xdg-open") << "#!/bin/sh\nprintf '%s\\n' \"$*\" >> " << record << "\n";
        chmod((bin + "/xdg-open").c_str(), 0755);
        saved_path = getenv("PATH") ? getenv("PATH") : "";
        const char *display = getenv("DISPLAY");
        saved_display = display ? display : "";
        setenv("PATH", (bin + ":" + saved_path).c_str(), 1);
        setenv("DISPLAY", ":97", 1);
        unsetenv("WAYLAND_DISPLAY");
    }
    void TearDown() override {
        end_device_processes();
        setenv("PATH", saved_path.c_str(), 1);
        if (saved_display.empty())
            unsetenv("DISPLAY");
        else
            setenv("DISPLAY", saved_display.c_str(), 1);
        remove_tree(bin);
        TempDevice::TearDown();
    }
    BOOL start_help(const wchar_t *argument) {
        WCHAR line[MAX_PATH];
        plat::copy_wide(line, MAX_PATH, argument);
        PROCESS_INFORMATION info;
        BOOL ok = CreateProcessW(L"peghelp", line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info);
        if (ok) {
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
        return ok;
    }
    std::string shown(int timeout_ms) {
        for (long long until = host_now_ms() + timeout_ms; host_now_ms() < until; usleep(20000)) {
            std::string text = read_whole_file(record);
            if (!text.empty()) return text;
        }
        return "";
    }
    void lay_page(const char *relative) {
        std::string path = host(relative);
        mkdir(path.substr(0, path.rfind('/')).c_str(), 0755);
        std::ofstream(path) << "<h1 id=\"vel_help\">Help</h1>";
    }

    std::string bin, record, saved_path, saved_display;
};

TEST_F(Help, ThePhonesViewerOpensTheDevicesPageInTheHostsViewer) {
    lay_page("Windows/vel.htp");
    ASSERT_TRUE(start_help(L"file:vel.htp#vel_help"));
    EXPECT_EQ(shown(5000), "file://" + root + "/Windows/vel.htp#vel_help\n");
    EXPECT_NE(read_whole_file(host("journal.log")).find("help: showing \\Windows\\vel.htp#vel_help"),
              std::string::npos);

    // A page with a space in its path travels escaped.
    lay_page("IPSM/Program Files/guide.htp");
    remove(record.c_str());
    ASSERT_TRUE(start_help(L"\\IPSM\\Program Files\\guide.htp"));
    EXPECT_EQ(shown(5000), "file://" + root + "/IPSM/Program%20Files/guide.htp\n");
}

TEST_F(Help, NoDisplayOrNoPageShowsNothingAndTheJournalSaysWhy) {
    ASSERT_FALSE(start_help(L"file:vel.htp#vel_help"));
    EXPECT_NE(read_whole_file(host("journal.log")).find("help: the help page \\Windows\\vel.htp is missing"),
              std::string::npos);
    lay_page("Windows/vel.htp");
    unsetenv("DISPLAY");
    ASSERT_FALSE(start_help(L"file:vel.htp#vel_help"));
    EXPECT_NE(read_whole_file(host("journal.log")).find("help: no display or no xdg-open to show \\Windows\\vel.htp"),
              std::string::npos);
    EXPECT_EQ(shown(300), "");
}

// End to end: the installed clock, the help key, the page the package shipped.
TEST_F(Help, TheHelpKeyOfTheInstalledClockShowsThePackagesHelpPage) {
    ProgramResult r = run_program({VELPKG, "--device", root, "install", VELMORA_PACKAGE}, {"VELMORA_NOTIFYD=off"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    PROCESS_INFORMATION info;
    ASSERT_TRUE(CreateProcessW(L"\\IPSM\\Program Files\\Velmora\\Velmora.exe", nullptr, nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, nullptr, &info));
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    for (int i = 0; i < 200 && !FindWindowW(L"Velmora", L"Velmora"); i++) usleep(50000);
    ASSERT_EQ(run_velctl({"key", "help"}), 0);
    std::string url = shown(5000);
    ASSERT_EQ(url, "file://" + root + "/Windows/vel.htp#vel_help\n");
    std::string page = read_whole_file(host("Windows/vel.htp"));
    EXPECT_NE(page.find("id=\"vel_help\""), std::string::npos);
    for (const char *command : {"Start Sleep", "Start Countdown", "Chime", "Cancel Snooze", "Silence all alarms",
                                "Set Alarms", "Set Snooze", "General Settings", "Rebuild Alarms", "About", "Exit"})
        EXPECT_NE(page.find(command), std::string::npos) << command;
}

}  // namespace
