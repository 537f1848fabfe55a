// velbitmapgen as the build and people run it: its options, its previews,
// and a source file that is either written whole or not at all.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_device.h"

extern char **environ;

namespace {

int run_generator(std::vector<std::string> args) {
    args.insert(args.begin(), BITMAP_GENERATOR);
    std::vector<char *> argv;
    for (std::string &a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    int status = -1;
    if (posix_spawn(&pid, BITMAP_GENERATOR, &quiet, nullptr, argv.data(), environ) == 0) waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&quiet);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::string head_of(const std::string &path, size_t n) {
    std::ifstream in(path, std::ios::binary);
    std::string s(n, '\0');
    in.read(s.data(), std::streamsize(n));
    s.resize(size_t(in.gcount()));
    return s;
}

class BitmapGenerator : public ::testing::Test {
protected:
    void SetUp() override { dir = make_temp_folder("bitmapgen"); }
    void TearDown() override { remove_tree(dir); }
    std::string dir;
};

}  // namespace

TEST_F(BitmapGenerator, RefusesUnknownOrMissingOptions) {
    EXPECT_EQ(run_generator({}), 2);
    EXPECT_EQ(run_generator({"--colour", "red"}), 2);
    EXPECT_EQ(run_generator({"--source"}), 2);
    EXPECT_EQ(run_generator({"--help"}), 0);
}

TEST_F(BitmapGenerator, PreviewsAreImagesOfTheirSizes) {
    ASSERT_EQ(run_generator({"--preview", dir}), 0);
    EXPECT_EQ(head_of(dir + "/308_large_background.ppm", 15), "P6\n240 266\n255\n");
    EXPECT_EQ(head_of(dir + "/247_landscape_digit_8.ppm", 12), "P6\n36 70\n255");
    EXPECT_EQ(head_of(dir + "/face_small_yellow_1234_pm_bell.ppm", 15), "P6\n176 180\n255\n");
}

TEST_F(BitmapGenerator, SourceIsWrittenWholeOrNotAtAll) {
    std::string source = dir + "/bitmaps.cpp";
    ASSERT_EQ(run_generator({"--source", source}), 0);
    std::ifstream in(source);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("void register_clock_bitmaps(void)"), std::string::npos);
    EXPECT_NE(text.str().find("{325, 180, 180, 24, bitmap_325}"), std::string::npos);
    EXPECT_FALSE(exists(source + ".partial"));

    std::string nowhere = dir + "/missing/bitmaps.cpp";
    EXPECT_EQ(run_generator({"--source", nowhere}), 1);
    EXPECT_FALSE(exists(nowhere));
    EXPECT_EQ(run_generator({"--preview", dir + "/missing"}), 1);
}
