// The folder of a device's sockets when XDG_RUNTIME_DIR is not set: its
// predictable name in /tmp may have been made first by someone else, who
// must not be able to disable the clock or listen in.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/device/device.h"
#include "platform/phone.h"
#include "tests/support/live_service.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_device.h"

namespace {

// Another user's id, for a folder made by someone else.
constexpr uid_t STRANGER = 65534;

class RuntimeFolder : public TempDevice {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        home = make_temp_folder("home");
        saved_home = getenv("HOME") ? getenv("HOME") : "";
        if (const char *xdg = getenv("XDG_RUNTIME_DIR")) saved_xdg = xdg, had_xdg = true;
        setenv("HOME", home.c_str(), 1);
        unsetenv("XDG_RUNTIME_DIR");
        reopen();
    }
    void TearDown() override {
        if (peer > 0) stop_program(peer);
        remove_tree(taken);
        TempDevice::TearDown();
        remove_tree(home);
        setenv("HOME", saved_home.c_str(), 1);
        if (had_xdg) setenv("XDG_RUNTIME_DIR", saved_xdg.c_str(), 1);
    }
    // Forgets the runtime folder found so far.
    void reopen() {
        device_close();
        ASSERT_TRUE(device_open(root.c_str()));
    }
    // The name every program of this device would use in /tmp.
    std::string predictable() {
        uint64_t h = 1469598103934665603ull;
        for (char c : root) h = (h ^ (unsigned char)c) * 1099511628211ull;
        char name[128];
        snprintf(name, sizeof name, "/tmp/velmora-%u-%016llx", (unsigned)getuid(), (unsigned long long)h);
        return name;
    }
    void take_first(uid_t owner, mode_t mode) {
        taken = predictable();
        ASSERT_EQ(mkdir(taken.c_str(), mode), 0);
        ASSERT_EQ(chmod(taken.c_str(), mode), 0);
        ASSERT_EQ(chown(taken.c_str(), owner, owner), 0);
    }
    int velctl(std::vector<std::string> words, std::string *out) {
        std::vector<std::string> argv = {built_velctl(), "--device", root};
        argv.insert(argv.end(), words.begin(), words.end());
        ProgramResult r = run_program(argv);
        *out = r.out + r.err;
        return r.exit_code;
    }

    std::string home, saved_home, saved_xdg, taken;
    bool had_xdg = false;
    pid_t peer = -1;
};

TEST_F(RuntimeFolder, AFolderInTmpMadeFirstByAnotherUserIsRefusedAndOneUnderHomeServes) {
    if (getuid() != 0) GTEST_SKIP() << "making a folder of another user needs root";
    take_first(STRANGER, 0777);
    const char *dir = device_runtime_dir();
    ASSERT_NE(dir, nullptr) << device_error();
    EXPECT_EQ(std::string(dir).compare(0, home.size(), home), 0) << dir;
    struct stat st;
    ASSERT_EQ(stat(dir, &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // Every program of the device meets there: a window of another process is found.
    peer = start_program({built_window_peer(), root, "Peer One", root + "/record.txt"});
    std::string out;
    for (int i = 0; i < 500 && velctl({"windows"}, &out) == 0 && out.find("Peer") == std::string::npos; i++)
        usleep(10000);
    EXPECT_EQ(velctl({"windows"}, &out), 0);
    EXPECT_NE(out.find("Peer\tPeer One"), std::string::npos) << out;
    EXPECT_NE(out.find("belongs to another user"), std::string::npos) << out;
}

TEST_F(RuntimeFolder, AFolderOfOursThatOthersMayEnterIsRefusedToo) {
    take_first(getuid(), 0777);
    const char *dir = device_runtime_dir();
    ASSERT_NE(dir, nullptr) << device_error();
    EXPECT_NE(std::string(dir), taken);
    EXPECT_EQ(std::string(dir).compare(0, home.size(), home), 0) << dir;
}

TEST_F(RuntimeFolder, WithNoPrivateFolderAnywhereVelctlSaysWhyAndFails) {
    take_first(getuid(), 0777);
    // A home that is a file: nothing can be made under it.
    std::string file = home + "/not-a-folder";
    fclose(fopen(file.c_str(), "w"));
    setenv("HOME", file.c_str(), 1);
    reopen();
    EXPECT_EQ(device_runtime_dir(), nullptr);
    std::string out;
    for (const char *verb : {"windows", "screenshot"}) {
        std::vector<std::string> words = {verb};
        if (std::string(verb) == "screenshot") words.push_back(root + "/shot.png");
        EXPECT_EQ(velctl(words, &out), 1) << verb;
        EXPECT_NE(out.find(taken), std::string::npos) << verb << ": " << out;
    }
}

TEST_F(RuntimeFolder, TheClockThatNoOneCanReachSaysSo) {
    take_first(getuid(), 0777);
    std::string file = home + "/not-a-folder";
    fclose(fopen(file.c_str(), "w"));
    // It runs on, so it is ended after a while; the box is in the journal.
    ProgramResult r = run_program({VELMORA_PROGRAM}, {"VELMORA_DEVICE=" + root, "HOME=" + file}, -1, 3);
    std::string journal;
    FILE *f = fopen((root + "/journal.log").c_str(), "r");
    for (int c; f && (c = fgetc(f)) != EOF;) journal += char(c);
    if (f) fclose(f);
    EXPECT_NE(journal.find("Velmora cannot be reached by its alarm manager"), std::string::npos) << journal;
    EXPECT_NE(r.err.find(taken), std::string::npos) << r.err;
}

}  // namespace
