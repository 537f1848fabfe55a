// The host side: `cmake --install` into a temporary prefix, the files it
// lays checked by the desktop's own validators where they are installed, the
// first start of the clock on a fresh account, and the Debian package
// installed on this machine and removed again (as root only).
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/device/device.h"
#include "platform/screen/screen_control.h"
#include "tests/support/device_processes.h"
#include "tests/support/live_service.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_device.h"

namespace {

namespace fs = std::filesystem;

// The program's path on PATH (or the usual system folders); empty when absent.
std::string find_tool(const std::string &name) {
    std::string dirs = getenv("PATH") ? getenv("PATH") : "";
    dirs += ":/usr/sbin:/sbin:/usr/bin:/bin";
    std::istringstream in(dirs);
    for (std::string dir; std::getline(in, dir, ':');)
        if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0) return dir + "/" + name;
    return "";
}

class HostInstall : public TempDevice {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        prefix = make_temp_folder("prefix");
        ProgramResult r = run_program({CMAKE_COMMAND, "--install", VELMORA_BUILD, "--prefix", prefix});
        ASSERT_EQ(r.exit_code, 0) << r.out << r.err;
    }
    void TearDown() override {
        remove_tree(prefix);
        TempDevice::TearDown();
    }
    std::string at(const char *relative) const { return prefix + "/" + relative; }
    std::string prefix;
};

TEST_F(HostInstall, LaysTheToolsThePackageTheDesktopEntryAndTheLoginStartsNamingTheirPrograms) {
    for (const char *program : {"bin/notifyd", "bin/velctl", "bin/velpkg", "bin/velmora"})
        EXPECT_EQ(access(at(program).c_str(), X_OK), 0) << program;
    EXPECT_EQ(read_whole_file(at("share/velmora/Velmora.vpk")), read_whole_file(VELMORA_PACKAGE));
    EXPECT_NE(
        read_whole_file(at("lib/systemd/user/velmora-notifyd.service")).find("\nExecStart=" + at("bin/notifyd") + "\n"),
        std::string::npos);
    EXPECT_NE(
        read_whole_file(at("etc/xdg/autostart/velmora-notifyd.desktop")).find("\nExec=" + at("bin/notifyd") + "\n"),
        std::string::npos);
    std::string entry = read_whole_file(at("share/applications/velmora.desktop"));
    EXPECT_NE(entry.find("\nExec=" + at("bin/velmora") + "\n"), std::string::npos);
    EXPECT_NE(entry.find("\nIcon=velmora\n"), std::string::npos);
    ProgramResult help = run_program({at("bin/velpkg"), "--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.out.find("velpkg [--device DIR] install FILE"), std::string::npos);
}

TEST_F(HostInstall, TheIconIsDrawnWithATransparentCornerAtEachSize) {
    for (int size : {48, 128, 256}) {
        std::string path = at(
            ("share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/velmora.png").c_str());
        std::string bytes = read_whole_file(path);
        ASSERT_GT(bytes.size(), 33u);
        EXPECT_EQ(bytes[25], 6) << "RGBA";  // IHDR's colour type
        int w = 0, h = 0;
        std::vector<unsigned char> rgb;
        ASSERT_TRUE(png_read_rgb(path.c_str(), &w, &h, &rgb)) << path;
        ASSERT_EQ(w, size);
        ASSERT_EQ(h, size);
        auto px = [&](int x, int y) { return &rgb[size_t(y * w + x) * 3]; };
        // Read without alpha the picture lies on black: the corner shows it,
        // the tile inside it is grey, the ring of the clock yellow.
        EXPECT_EQ(px(0, 0)[0] + px(0, 0)[1] + px(0, 0)[2], 0);
        EXPECT_GT(px(size / 5, size / 10)[2], 20);
        unsigned char *ring = px(size / 2, size * 28 / 100);
        EXPECT_GT(ring[0], 200);
        EXPECT_GT(ring[1], 200);
        EXPECT_LT(ring[2], 60);
    }
}

TEST_F(HostInstall, TheUserUnitPassesSystemdsCheck) {
    std::string analyze = find_tool("systemd-analyze");
    if (analyze.empty()) GTEST_SKIP() << "systemd-analyze is not installed here";
    std::string runtime = make_temp_folder("runtime");
    chmod(runtime.c_str(), 0700);
    ProgramResult r = run_program({analyze, "verify", "--user", at("lib/systemd/user/velmora-notifyd.service")},
                                  {"XDG_RUNTIME_DIR=" + runtime});
    remove_tree(runtime);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.err, "");
}

TEST_F(HostInstall, TheDesktopEntriesPassTheirValidator) {
    std::string validate = find_tool("desktop-file-validate");
    if (validate.empty()) GTEST_SKIP() << "desktop-file-validate is not installed here";
    for (const char *entry : {"share/applications/velmora.desktop", "etc/xdg/autostart/velmora-notifyd.desktop"}) {
        ProgramResult r = run_program({validate, at(entry)});
        EXPECT_EQ(r.exit_code, 0) << entry << ": " << r.out << r.err;
        EXPECT_EQ(r.out + r.err, "") << entry;
    }
}

TEST_F(HostInstall, TheFirstStartOnAFreshAccountInstallsThePackageIntoTheDefaultDevice) {
    std::string home = make_temp_folder("home");
    std::vector<std::string> account = {
        "HOME=" + home, "XDG_DATA_HOME=", "VELMORA_DEVICE=", "DISPLAY=", "WAYLAND_DISPLAY=", "VELMORA_SCREEN=headless"};
    ProgramResult first = run_program({at("bin/velmora")}, account);
    ASSERT_EQ(first.exit_code, 0) << first.out << first.err;
    EXPECT_NE(first.out.find("velpkg: installed Velmora 1.0.0"), std::string::npos) << first.out;
    std::string device = home + "/.local/share/velmora/device";
    ASSERT_TRUE(device_open(device.c_str()));
    for (int i = 0; i < 200 && !FindWindowW(L"Velmora", L"Velmora"); i++) usleep(50000);
    EXPECT_NE(FindWindowW(L"Velmora", L"Velmora"), nullptr);
    ProgramResult list = run_program({at("bin/velpkg"), "list"}, account);
    EXPECT_EQ(list.out, "Velmora\t1.0.0\tTamsett\t\\IPSM\\Program Files\\Velmora\n");

    // The second start finds this version installed and only starts the clock.
    ProgramResult second = run_program({at("bin/velmora")}, account);
    EXPECT_EQ(second.exit_code, 0);
    EXPECT_EQ(second.out.find("velpkg:"), std::string::npos) << second.out;
    end_device_processes();
    remove_tree(device_runtime_dir());
    device_close();
    remove_tree(home);
    ASSERT_TRUE(device_open(root.c_str()));
}

// What the Debian package touches, by name: equal before installing it and
// after removing it.
std::set<std::string> machine_files(void) {
    std::set<std::string> all;
    for (const char *top : {"/usr/bin", "/usr/share/velmora", "/usr/share/applications", "/usr/share/icons/hicolor",
                            "/usr/lib/systemd/user", "/etc/xdg/autostart", "/etc/systemd/user"}) {
        std::error_code ignored;
        if (!fs::exists(top)) continue;
        for (auto it = fs::recursive_directory_iterator(top, ignored); it != fs::recursive_directory_iterator();
             it.increment(ignored))
            if (it->path().filename() != "icon-theme.cache" && it->path().filename() != "mimeinfo.cache")
                all.insert(it->path().string());
    }
    return all;
}

TEST(DebianPackage, InstallsRunsFromPathAndRemovesCleanly) {
    std::string dpkg = find_tool("dpkg");
    if (dpkg.empty()) GTEST_SKIP() << "dpkg is not installed here: no Debian package test";
    if (geteuid() != 0) GTEST_SKIP() << "dpkg -i needs root; the test runs as root in CI";
    if (run_program({dpkg, "-s", "velmora"}).exit_code == 0)
        GTEST_SKIP() << "a velmora package is installed on this machine already; it is left alone";
    std::string out = make_temp_folder("deb");
    ProgramResult made = run_program(
        {CPACK_COMMAND, "-G", "DEB", "--config", std::string(VELMORA_BUILD) + "/CPackConfig.cmake", "-B", out}, {}, -1,
        120);
    ASSERT_EQ(made.exit_code, 0) << made.out << made.err;
    std::string deb = out + "/velmora_1.0.0_amd64.deb";
    for (auto &e : fs::directory_iterator(out))
        if (e.path().extension() == ".deb") deb = e.path().string();

    std::set<std::string> before = machine_files();
    ProgramResult installed = run_program({dpkg, "-i", deb}, {}, -1, 120);
    ASSERT_EQ(installed.exit_code, 0) << installed.out << installed.err;
    for (const char *tool : {"velctl", "velpkg"}) {
        ProgramResult help = run_program({"/bin/sh", "-c", std::string(tool) + " --help"}, {"PATH=/usr/bin:/bin"});
        EXPECT_EQ(help.exit_code, 0) << tool << help.err;
        EXPECT_NE(help.out.find(std::string("usage")), std::string::npos) << tool;
    }
    EXPECT_TRUE(fs::exists("/usr/lib/systemd/user/velmora-notifyd.service"));
    EXPECT_TRUE(fs::exists("/etc/xdg/autostart/velmora-notifyd.desktop"));
    // The install step gives notifyd its capability, or says why it could not.
    std::string getcap = find_tool("getcap");
    bool capable =
        !getcap.empty() && run_program({getcap, "/usr/bin/notifyd"}).out.find("cap_wake_alarm") != std::string::npos;
    EXPECT_TRUE(capable || installed.out.find("could not be given cap_wake_alarm") != std::string::npos)
        << installed.out;
    if (!find_tool("systemctl").empty()) {
        EXPECT_TRUE(fs::is_symlink("/etc/systemd/user/default.target.wants/velmora-notifyd.service"));
    }

    ProgramResult removed = run_program({dpkg, "-r", "velmora"}, {}, -1, 120);
    EXPECT_EQ(removed.exit_code, 0) << removed.out << removed.err;
    EXPECT_NE(run_program({dpkg, "-s", "velmora"}).exit_code, 0);
    EXPECT_EQ(machine_files(), before);
    remove_tree(out);
}

}  // namespace
