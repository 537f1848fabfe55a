// The screen in a real window: under Xvfb, through SDL2's X11 driver, the
// window shows exactly the pixels of the headless screen, scaled x2.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/screen/screen_control.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_device.h"

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
    pid_t xvfb = -1, peer = -1;
};

TEST_F(ScreenOnX, RealWindowShowsTheHeadlessPixels) {
    if (!on_path("Xvfb")) GTEST_SKIP() << "Xvfb is not installed (scripts/deps.sh installs xvfb)";
    if (!on_path("import")) GTEST_SKIP() << "ImageMagick's import is not installed (scripts/deps.sh installs it)";
    int display = 91 + int(getpid() % 400);
    while (exists("/tmp/.X11-unix/X" + std::to_string(display)) || exists("/tmp/.X" + std::to_string(display) + "-lock"))
        display++;
    std::string name = ":" + std::to_string(display);
    xvfb = start_program({"/bin/sh", "-c", "exec Xvfb " + name + " -screen 0 640x700x24 -nolisten tcp 2>/dev/null"});
    for (int i = 0; i < 500 && !exists("/tmp/.X11-unix/X" + std::to_string(display)); i++) usleep(10000);
    ASSERT_TRUE(exists("/tmp/.X11-unix/X" + std::to_string(display))) << "Xvfb did not start";

    std::string headless = root + "/headless.png", windowed = root + "/windowed.png";
    run_peer({"VELMORA_SCREEN=headless"}, headless);
    stop_program(peer);
    run_peer({"VELMORA_SCREEN=sdl", "DISPLAY=" + name}, windowed);

    int w, h, ww, wh;
    std::vector<unsigned char> expect, frame;
    ASSERT_TRUE(png_read_rgb(headless.c_str(), &w, &h, &expect));
    ASSERT_TRUE(png_read_rgb(windowed.c_str(), &ww, &wh, &frame));
    EXPECT_EQ(frame, expect) << "the windowed program composed other pixels";
    // What the X server shows, at the window's place in the top-left corner.
    std::string grab = root + "/grab.png";
    int rw = 0, rh = 0, mismatch = -1;
    std::vector<unsigned char> shown;
    for (int attempt = 0; attempt < 50 && mismatch != 0; attempt++) {
        usleep(20000);
        if (run_program({"/bin/sh", "-c", "import -display " + name + " -window root " + grab}).exit_code != 0) continue;
        if (!png_read_rgb(grab.c_str(), &rw, &rh, &shown) || rw < 2 * w || rh < 2 * h) continue;
        mismatch = 0;
        for (int y = 0; y < 2 * h; y++)
            for (int x = 0; x < 2 * w; x++)
                for (int c = 0; c < 3; c++)
                    mismatch += shown[(size_t(y) * rw + x) * 3 + c] != expect[(size_t(y / 2) * w + x / 2) * 3 + c];
    }
    EXPECT_EQ(mismatch, 0) << "the window does not show the headless screen's pixels";
}

}  // namespace
