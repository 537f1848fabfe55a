// The screen driven from outside, as people and the end-to-end tests do it:
// velctl presses keys, reads and answers message boxes, rotates and takes
// screenshots of a running program with a soft-key menu bar.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/device/device.h"
#include "platform/screen/screen_control.h"
#include "tests/support/run_program.h"
#include "tests/support/screen_program.h"
#include "tests/support/sockets.h"

namespace {

class ScreenKeys : public ScreenProgram {
protected:
    void start(int width = 240, int height = 320) { start_on_screen(SCREEN_PEER, width, height); }
};

using Lines = std::vector<std::string>;

TEST_F(ScreenKeys, SoftKeysOpenPopupsAndSendCommands) {
    start();
    EXPECT_EQ(velctl({"key", "soft1", "action"}), 0);
    EXPECT_EQ(fresh(), (Lines{"initmenupopup 0", "command 1001"}));
    EXPECT_EQ(velctl({"key", "soft2"}), 0);
    EXPECT_EQ(fresh(), (Lines{"command 1099"}));
    // Down skips the separator to the submenu; the action key opens it.
    EXPECT_EQ(velctl({"key", "soft1", "down", "action", "down", "action"}), 0);
    EXPECT_EQ(fresh(), (Lines{"initmenupopup 0", "initmenupopup 2", "command 1012"}));
}

TEST_F(ScreenKeys, ItemStatesSetBeforeOpeningShow) {
    start();
    int w, h;
    std::vector<unsigned char> unchecked, checked;
    ASSERT_EQ(velctl({"key", "soft1"}), 0);
    ASSERT_TRUE(shot("menu-unchecked", &w, &h, &unchecked));
    // "Locked" (4) is grayed when the menu opens: its digit does nothing.
    EXPECT_EQ(velctl({"key", "4", "back"}), 0);
    // Up from the first item wraps and skips it on the way to "Pause".
    EXPECT_EQ(velctl({"key", "soft1", "up", "up", "up", "action"}), 0);
    EXPECT_EQ(fresh(), (Lines{"initmenupopup 0", "initmenupopup 0", "command 1003"}));
    ASSERT_EQ(velctl({"key", "soft1"}), 0);
    ASSERT_TRUE(shot("menu-checked", &w, &h, &checked));
    // Checking "Pause" changed only the menu's mark column.
    ASSERT_EQ(unchecked.size(), checked.size());
    int changed = 0;
    for (size_t i = 0; i < checked.size(); i++) {
        if (checked[i] == unchecked[i]) continue;
        changed++;
        int x = int(i / 3) % w, y = int(i / 3) / w;
        EXPECT_LT(x, 20) << "changed pixel at " << x << "," << y;
        EXPECT_GT(y, h / 3);
    }
    EXPECT_GT(changed, 10);
}

TEST_F(ScreenKeys, BackArrivesAsAHotKeyUnlessAMenuIsOpen) {
    start();
    EXPECT_EQ(velctl({"key", "back"}), 0);
    EXPECT_EQ(fresh(), (Lines{"hotkey 27 0"}));
    EXPECT_EQ(velctl({"key", "soft1", "back", "back"}), 0);
    EXPECT_EQ(fresh(), (Lines{"initmenupopup 0", "hotkey 27 0"}));
    EXPECT_EQ(velctl({"key", "7", "text", "aZ", "help"}), 0);
    EXPECT_EQ(fresh(), (Lines{"keydown 55", "char 55", "keydown 65", "char 97", "keydown 90", "char 90", "help 0"}));
}

TEST_F(ScreenKeys, MessageBoxIsAnsweredByItsKeysAndByVelctl) {
    start();
    std::string out;
    EXPECT_EQ(velctl({"msgbox"}, &out), 1);
    EXPECT_NE(out.find("no message box is showing"), std::string::npos);
    ASSERT_EQ(velctl({"key", "soft1", "6"}), 0);
    out.clear();
    EXPECT_EQ(velctl({"msgbox"}, &out), 0);
    EXPECT_EQ(out, "caption: Velmora\ntext: The alarm was turned off because the maximum time was reached\nbuttons: ok\n"
                   "icon: information\n");
    out.clear();
    EXPECT_EQ(velctl({"msgbox", "answer", "yes"}, &out), 1);
    EXPECT_NE(out.find("has no button 'yes'"), std::string::npos);
    EXPECT_EQ(velctl({"key", "action"}), 0);
    EXPECT_EQ(fresh(), (Lines{"initmenupopup 0", "command 1006", "msgbox 1"}));
    // Yes/No: the right soft key, Back and velctl answer No, Yes, Yes.
    EXPECT_EQ(velctl({"key", "soft1", "5", "soft2"}), 0);
    EXPECT_EQ(velctl({"key", "soft1", "5", "back"}), 0);
    EXPECT_EQ(velctl({"key", "soft1", "5"}), 0);
    EXPECT_EQ(velctl({"msgbox", "answer", "yes"}), 0);
    EXPECT_EQ(velctl({"key", "soft1", "5", "action"}), 0);
    Lines answers;
    for (const std::string &l : fresh())
        if (l.rfind("msgbox", 0) == 0) answers.push_back(l);
    EXPECT_EQ(answers, (Lines{"msgbox 7", "msgbox 7", "msgbox 6", "msgbox 6"}));
    std::ifstream journal(host("journal.log"));
    std::string all((std::istreambuf_iterator<char>(journal)), std::istreambuf_iterator<char>());
    EXPECT_NE(all.find("[Question] Really quit?"), std::string::npos);
}

TEST_F(ScreenKeys, RotationResizesOnceAndTheScreenshotFollows) {
    start();
    int w, h;
    std::vector<unsigned char> rgb;
    ASSERT_TRUE(shot("portrait", &w, &h, &rgb));
    EXPECT_EQ(w * 1000 + h, 240320);
    std::string out;
    EXPECT_EQ(velctl({"rotate"}, &out), 0);
    EXPECT_EQ(out, "screen = 320x240\n");
    EXPECT_EQ(fresh(), (Lines{"size 320x186", "settingchange 12290"}));
    ASSERT_TRUE(shot("landscape", &w, &h, &rgb));
    EXPECT_EQ(w * 1000 + h, 320240);
    EXPECT_EQ(device_settings()->screen_width, 320);
    EXPECT_EQ(velctl({"hibernate"}), 0);
    EXPECT_EQ(fresh(), (Lines{"hibernate 0"}));
}

TEST_F(ScreenKeys, MenuAndMessageBoxInEveryScreenSize) {
    const int sizes[3][2] = {{240, 320}, {176, 220}, {320, 240}};
    for (auto &size : sizes) {
        start(size[0], size[1]);
        std::string tag = std::to_string(size[0]) + "x" + std::to_string(size[1]);
        int w, h;
        std::vector<unsigned char> rgb;
        ASSERT_EQ(velctl({"key", "soft1", "down"}), 0);
        ASSERT_TRUE(shot("menu-" + tag, &w, &h, &rgb));
        EXPECT_EQ(w, size[0]);
        EXPECT_EQ(h, size[1]);
        ASSERT_EQ(velctl({"key", "back", "soft1", "5"}), 0);
        ASSERT_TRUE(shot("msgbox-" + tag, &w, &h, &rgb));
        EXPECT_EQ(fresh(), (Lines{"initmenupopup 0", "initmenupopup 0", "command 1004"}));
        EXPECT_EQ(stop(), 0);
    }
}

TEST_F(ScreenKeys, VelctlRefusesBadWordsAndAMissingProgram) {
    std::string out;
    EXPECT_EQ(velctl({"key", "jump"}, &out), 2);
    EXPECT_NE(out.find("unknown key 'jump'"), std::string::npos);
    out.clear();
    EXPECT_EQ(velctl({"screenshot", root + "/none.png"}, &out), 1);
    EXPECT_EQ(out, "velctl: no program shows the screen of this device\n");
    EXPECT_EQ(velctl({"msgbox", "answer", "maybe"}), 2);
}

// A clock closed and started again at once meets its last instance still
// ending, with the screen's socket in its hands.
TEST_F(ScreenKeys, AProgramStartedWhileAnotherHoldsTheScreenTakesItOnceThatOneLetsGo) {
    std::string path = std::string(device_runtime_dir()) + "/screen.sock";
    int holder = listen_unix(path);
    ASSERT_GE(holder, 0);
    struct stat held = {}, now = {};
    ASSERT_EQ(stat(path.c_str(), &held), 0);
    program = start_program({SCREEN_PEER, root, record});
    ASSERT_GT(program, 0);
    int waiter = accept_within(holder, 10000);
    ASSERT_GE(waiter, 0) << "the program never looked for the holder";
    // Letting the program's connection go (as a holder does with a silent
    // client) has it look again, and leaves the socket to its holder.
    close(waiter);
    waiter = accept_within(holder, 5000);
    ASSERT_GE(waiter, 0) << "the program stopped waiting for the screen";
    ASSERT_EQ(stat(path.c_str(), &now), 0);
    EXPECT_EQ(now.st_ino, held.st_ino) << "the program took a live holder's socket";
    // The holder ends: its name goes first, then the socket.
    unlink(path.c_str());
    close(holder);
    close(waiter);
    std::string out;
    for (int i = 0; i < 300 && out.rfind("window: \"Screen Peer\"", 0) != 0; i++) {
        out.clear();
        velctl({"dialog"}, &out);
        usleep(10000);
    }
    EXPECT_EQ(out.rfind("window: \"Screen Peer\"", 0), 0u) << out;
    EXPECT_EQ(velctl({"key", "soft2"}), 0);
    Lines got = lines();
    EXPECT_NE(std::find(got.begin(), got.end(), "command 1099"), got.end());
}

}  // namespace
