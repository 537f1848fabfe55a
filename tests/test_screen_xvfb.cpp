// The screen in a real window under Xvfb: the window shows exactly the
// pixels of the headless screen, scaled x2, and the keys and the close
// button of the display reach the program.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/screen/screen_control.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_device.h"

// Last: its macros (None, Bool, Status) would rename what the headers above declare.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

bool on_path(const char *program) {
    return run_program({"/bin/sh", "-c", std::string("command -v ") + program}).exit_code == 0;
}

bool exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

class ScreenOnX : public TempDevice {
protected:
    void TearDown() override {
        stop_program(peer);
        stop_program(xvfb);
        TempDevice::TearDown();
    }
    int velctl(std::vector<std::string> words) {
        std::vector<std::string> argv = {VELCTL, "--device", root};
        argv.insert(argv.end(), words.begin(), words.end());
        return run_program(argv).exit_code;
    }
    // Starts the test program, opens its menu and takes a screenshot.
    void run_peer(const std::vector<std::string> &env, const std::string &png) {
        peer = start_program({SCREEN_PEER, root, root + "/record.txt"}, env);
        ASSERT_GT(peer, 0);
        bool up = false;
        for (int i = 0; i < 500 && !up; i++) {
            up = velctl({"key", "soft1"}) == 0;
            if (!up) usleep(10000);
        }
        ASSERT_TRUE(up) << "the test program's screen never answered";
        ASSERT_EQ(velctl({"screenshot", png}), 0);
    }
    // Starts Xvfb on a free display; its name, or "" when it is not there.
    std::string start_display() {
        int display = 91 + int(getpid() % 400);
        while (exists("/tmp/.X11-unix/X" + std::to_string(display)) ||
               exists("/tmp/.X" + std::to_string(display) + "-lock"))
            display++;
        std::string name = ":" + std::to_string(display);
        xvfb =
            start_program({"/bin/sh", "-c", "exec Xvfb " + name + " -screen 0 640x700x24 -nolisten tcp 2>/dev/null"});
        for (int i = 0; i < 500 && !exists("/tmp/.X11-unix/X" + std::to_string(display)); i++) usleep(10000);
        return exists("/tmp/.X11-unix/X" + std::to_string(display)) ? name : "";
    }
    // Pixels of the screen shot `png` that the X server does not show, scaled
    // x2 in the top-left corner; -1 when nothing could be grabbed. Polls a
    // while, as the server shows a new frame a moment later.
    int grab_mismatch(const std::string &display, const std::string &png) {
        int w, h, rw = 0, rh = 0, mismatch = -1;
        std::vector<unsigned char> expect, shown;
        if (!png_read_rgb(png.c_str(), &w, &h, &expect)) return -1;
        std::string grab = root + "/grab.png";
        for (int attempt = 0; attempt < 50 && mismatch != 0; attempt++) {
            usleep(20000);
            if (run_program({"/bin/sh", "-c", "import -display " + display + " -window root " + grab}).exit_code != 0)
                continue;
            if (!png_read_rgb(grab.c_str(), &rw, &rh, &shown) || rw < 2 * w || rh < 2 * h) continue;
            mismatch = 0;
            for (int y = 0; y < 2 * h; y++)
                for (int x = 0; x < 2 * w; x++)
                    for (int c = 0; c < 3; c++)
                        mismatch += shown[(size_t(y) * rw + x) * 3 + c] != expect[(size_t(y / 2) * w + x / 2) * 3 + c];
        }
        return mismatch;
    }
    pid_t xvfb = -1, peer = -1;
};

// The program's window on the display, once it is mapped; 0 after 5 s.
::Window mapped_window(Display *d) {
    for (int attempt = 0; attempt < 250; attempt++) {
        ::Window root, parent, *children = nullptr;
        unsigned count = 0;
        ::Window found = 0;
        if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) {
            for (unsigned i = 0; i < count && !found; i++) {
                XWindowAttributes a;
                if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable) found = children[i];
            }
            XFree(children);
        }
        if (found) return found;
        usleep(20000);
    }
    return 0;
}

void send_key(Display *d, ::Window w, KeySym sym) {
    XEvent e = {};
    e.xkey.type = KeyPress;
    e.xkey.display = d;
    e.xkey.window = w;
    e.xkey.root = DefaultRootWindow(d);
    e.xkey.same_screen = True;
    e.xkey.keycode = XKeysymToKeycode(d, sym);
    XSendEvent(d, w, True, KeyPressMask, &e);
    XFlush(d);
}

// Waits until the record file holds `line`.
bool recorded(const std::string &record, const std::string &line) {
    for (int i = 0; i < 250; i++) {
        if (("\n" + read_whole_file(record)).find("\n" + line + "\n") != std::string::npos) return true;
        usleep(20000);
    }
    return false;
}

// The plain X11 window, and SDL's window when SDL_VIDEODRIVER asks for it.
TEST_F(ScreenOnX, RealWindowShowsTheHeadlessPixels) {
    if (!on_path("Xvfb")) GTEST_SKIP() << "Xvfb is not installed (scripts/deps.sh installs xvfb)";
    if (!on_path("import")) GTEST_SKIP() << "ImageMagick's import is not installed (scripts/deps.sh installs it)";
    std::string name = start_display();
    ASSERT_FALSE(name.empty()) << "Xvfb did not start";

    std::string headless = root + "/headless.png", windowed = root + "/windowed.png";
    run_peer({"VELMORA_SCREEN=headless"}, headless);
    int w, h;
    std::vector<unsigned char> expect;
    ASSERT_TRUE(png_read_rgb(headless.c_str(), &w, &h, &expect));
    for (const char *driver : {"", "SDL_VIDEODRIVER=x11"}) {
        stop_program(peer);
        std::vector<std::string> env = {"VELMORA_SCREEN=sdl", "DISPLAY=" + name};
        if (*driver) env.push_back(driver);
        run_peer(env, windowed);
        int ww, wh;
        std::vector<unsigned char> frame;
        ASSERT_TRUE(png_read_rgb(windowed.c_str(), &ww, &wh, &frame)) << driver;
        EXPECT_EQ(frame, expect) << "the windowed program composed other pixels " << driver;
        EXPECT_EQ(grab_mismatch(name, headless), 0) << "the window does not show the headless screen's pixels " << driver;
    }
}

// Two devices' screens in the same corner of one display: the one whose
// window comes to the front on its device (a message box, as a ringing
// alarm's dialog does) comes above the other on the display.
TEST_F(ScreenOnX, AWindowThatComesToTheFrontRaisesTheRealWindow) {
    if (!on_path("Xvfb")) GTEST_SKIP() << "Xvfb is not installed (scripts/deps.sh installs xvfb)";
    if (!on_path("import")) GTEST_SKIP() << "ImageMagick's import is not installed (scripts/deps.sh installs it)";
    std::string name = start_display();
    ASSERT_FALSE(name.empty()) << "Xvfb did not start";
    std::string first = root + "/first.png";
    run_peer({"VELMORA_SCREEN=sdl", "DISPLAY=" + name}, first);

    std::string other = make_temp_folder("other"), second = root + "/second.png";
    pid_t above = start_program({SCREEN_PEER, other, other + "/record.txt"}, {"VELMORA_SCREEN=sdl", "DISPLAY=" + name});
    for (int i = 0; i < 500 && run_program({VELCTL, "--device", other, "screenshot", second}).exit_code != 0; i++)
        usleep(10000);
    EXPECT_EQ(grab_mismatch(name, second), 0) << "the second window is not above the first";

    ASSERT_EQ(velctl({"post", "ScreenPeer", "Screen Peer", "0x111", "1006"}), 0);  // a box comes up
    for (int i = 0; i < 100 && run_program({VELCTL, "--device", root, "msgbox"}).exit_code != 0; i++) usleep(20000);
    std::string boxed = root + "/boxed.png";
    ASSERT_EQ(velctl({"screenshot", boxed}), 0);
    EXPECT_EQ(grab_mismatch(name, boxed), 0) << "the window with the box did not come above the other";
    stop_program(above);
    remove_tree(other);
}

// The display's keys are the keypad's: an arrow, a typed letter, the right
// soft key; the window's close button closes the program's window.
TEST_F(ScreenOnX, KeysAndTheCloseButtonOfTheDisplayReachTheProgram) {
    if (!on_path("Xvfb")) GTEST_SKIP() << "Xvfb is not installed (scripts/deps.sh installs xvfb)";
    std::string name = start_display();
    ASSERT_FALSE(name.empty()) << "Xvfb did not start";
    std::string record = root + "/record.txt";
    peer = start_program({SCREEN_PEER, root, record}, {"VELMORA_SCREEN=sdl", "DISPLAY=" + name});
    ASSERT_GT(peer, 0);
    Display *d = XOpenDisplay(name.c_str());
    ASSERT_NE(d, nullptr);
    ::Window w = mapped_window(d);
    ASSERT_NE(w, 0u) << "the program's window never appeared";

    send_key(d, w, XK_Up);
    EXPECT_TRUE(recorded(record, "keydown 38")) << read_whole_file(record);
    send_key(d, w, XK_q);
    EXPECT_TRUE(recorded(record, "keydown 81")) << read_whole_file(record);
    EXPECT_TRUE(recorded(record, "char 113")) << read_whole_file(record);
    send_key(d, w, XK_F2);
    EXPECT_TRUE(recorded(record, "command 1099")) << read_whole_file(record);

    XEvent close = {};
    close.xclient.type = ClientMessage;
    close.xclient.window = w;
    close.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
    XSendEvent(d, w, False, NoEventMask, &close);
    XFlush(d);
    int status = -1;
    for (int i = 0; i < 250 && waitpid(peer, &status, WNOHANG) == 0; i++) usleep(20000);
    EXPECT_TRUE(WIFEXITED(status)) << "the program did not end when its window was closed";
    if (WIFEXITED(status)) peer = -1;
    XCloseDisplay(d);
}

}  // namespace
