// velbitmapgen as the build and people run it: its options, its previews,
// and a source file that is either written whole or not at all.
#include <gtest/gtest.h>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/core/resources.h"
#include "resources/clock_bitmaps.h"
#include "support/bitmap_runs.h"
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

// The pixels of a binary PPM as the generator writes it; empty when it is not one.
std::string ppm_pixels(const std::string &path, int *width, int *height) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int depth = 0;
    if (!(in >> magic >> *width >> *height >> depth) || magic != "P6" || depth != 255) return "";
    in.get();
    std::string pixels(size_t(*width) * size_t(*height) * 3, '\0');
    in.read(pixels.data(), std::streamsize(pixels.size()));
    return in.gcount() == std::streamsize(pixels.size()) ? pixels : "";
}

// The preview file "<id>_<name>.ppm" in folder; empty when there is none.
std::string preview_named(const std::string &folder, int id) {
    std::string prefix = std::to_string(id) + "_", found;
    DIR *d = opendir(folder.c_str());
    if (!d) return "";
    while (dirent *e = readdir(d))
        if (std::string(e->d_name).rfind(prefix, 0) == 0) found = e->d_name;
    closedir(d);
    return found;
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

// The packed runs compiled into the programs give back every pixel drawn.
TEST_F(BitmapGenerator, CompiledBitmapsUnpackToTheDrawnPixels) {
    ASSERT_EQ(run_generator({"--preview", dir}), 0);
    register_clock_bitmaps();
    size_t packed = 0, raw = 0;
    for (int id : {116, 193, 205, 215, 247, 277, 307, 308, 309, 312, 324, 325}) {
        const BitmapResource *bitmap = resources_find_bitmap(id);
        ASSERT_NE(bitmap, nullptr) << id;
        std::string name = preview_named(dir, id);
        int width = 0, height = 0;
        std::string drawn = ppm_pixels(dir + "/" + name, &width, &height);
        EXPECT_EQ(width, bitmap->width) << name;
        EXPECT_EQ(height, bitmap->height) << name;
        ASSERT_FALSE(drawn.empty()) << id;
        std::vector<unsigned char> unpacked = bitmap_pixels(bitmap);
        EXPECT_TRUE(std::string(unpacked.begin(), unpacked.end()) == drawn) << "bitmap " << id;
        packed += size_t(bitmap->runs_size);
        raw += drawn.size();
    }
    EXPECT_LT(packed * 4, raw) << "the images hardly pack";
}

TEST_F(BitmapGenerator, SourceIsWrittenWholeOrNotAtAll) {
    std::string source = dir + "/bitmaps.cpp";
    ASSERT_EQ(run_generator({"--source", source}), 0);
    std::ifstream in(source);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("void register_clock_bitmaps(void)"), std::string::npos);
    EXPECT_NE(text.str().find("{325, 180, 180, 24, bitmap_325, "), std::string::npos);
    EXPECT_FALSE(exists(source + ".partial"));

    std::string nowhere = dir + "/missing/bitmaps.cpp";
    EXPECT_EQ(run_generator({"--source", nowhere}), 1);
    EXPECT_FALSE(exists(nowhere));
    EXPECT_EQ(run_generator({"--preview", dir + "/missing"}), 1);
}
