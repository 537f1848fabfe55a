#include "tests/support/screen_program.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "platform/device/device.h"
#include "platform/screen/screen_control.h"
#include "tests/support/run_program.h"

void ScreenProgram::SetUp() {
    TempDevice::SetUp();
    record = root + "/record.txt";
}

void ScreenProgram::TearDown() {
    if (program > 0) EXPECT_EQ(stop(), 0);
    TempDevice::TearDown();
}

void ScreenProgram::start_on_screen(const std::string &path, int width, int height, const std::vector<std::string> &args) {
    DeviceSettings ds = *device_settings();
    ds.screen_width = width;
    ds.screen_height = height;
    ASSERT_TRUE(device_save_settings(&ds));
    std::vector<std::string> argv = {path, root, record};
    argv.insert(argv.end(), args.begin(), args.end());
    program = start_program(argv);
    ASSERT_GT(program, 0);
    for (int i = 0; i < 500 && lines().empty(); i++) usleep(10000);
    ASSERT_FALSE(lines().empty()) << "the program never started";
    std::string out;
    for (int i = 0; i < 200 && velctl({"msgbox"}, &out) == 1 && out.find("no program") != std::string::npos; i++)
        out.clear(), usleep(10000);
    mark = lines().size();
}

int ScreenProgram::stop() {
    int code = stop_program(program);
    program = -1;
    return code;
}

int ScreenProgram::velctl(std::vector<std::string> words, std::string *out) {
    std::vector<std::string> argv = {VELMORA_TEST_VELCTL, "--device", root};
    argv.insert(argv.end(), words.begin(), words.end());
    ProgramResult r = run_program(argv);
    if (out) *out = r.out + r.err;
    return r.exit_code;
}

std::vector<std::string> ScreenProgram::lines() {
    std::vector<std::string> out;
    std::ifstream in(record);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

std::vector<std::string> ScreenProgram::fresh() {
    std::vector<std::string> all = lines();
    std::vector<std::string> out(all.begin() + long(std::min(mark, all.size())), all.end());
    mark = all.size();
    return out;
}

bool ScreenProgram::shot(const std::string &name, int *w, int *h, std::vector<unsigned char> *rgb) {
    std::string file = root + "/" + name + ".png";
    if (velctl({"screenshot", file}) != 0 || !png_read_rgb(file.c_str(), w, h, rgb)) return false;
    if (const char *keep = getenv("VELMORA_SHOTS")) run_program({"/bin/cp", file, std::string(keep) + "/" + name + ".png"});
    return true;
}
