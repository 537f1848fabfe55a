#include "tests/support/temp_device.h"

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/shell/message_box_testing.h"
#include "platform/device/clock_testing.h"
#include "platform/device/clock.h"
#include "platform/device/device.h"
#include "platform/shell/message_box.h"

std::string read_whole_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::string make_temp_folder(const char *tag) {
    std::string pattern = std::string("/tmp/velmora-") + tag + "-XXXXXX";
    char *made = mkdtemp(pattern.data());
    if (!made) abort();
    return made;
}

void remove_tree(const std::string &path) {
    nftw(
        path.c_str(), [](const char *p, const struct stat *, int, struct FTW *) { return remove(p); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

void TempDevice::SetUp() {
    root = make_temp_folder("test");
    ASSERT_TRUE(device_open(root.c_str())) << device_error();
    // Nobody answers a box inside a unit test: it is answered at once even
    // when an earlier test put up a screen. Programs the test starts show theirs.
    message_box_set_headless(true);
}

void TempDevice::TearDown() {
    clock_thaw();
    if (const char *runtime = device_runtime_dir()) remove_tree(runtime);
    device_close();
    remove_tree(root);
}

std::string TempDevice::host_with_folders(const std::string &relative) const {
    std::string path = root + "/" + relative;
    for (size_t at = path.find('/', root.size() + 1); at != std::string::npos; at = path.find('/', at + 1))
        mkdir(path.substr(0, at).c_str(), 0755);
    return path;
}
