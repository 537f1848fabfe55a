#include "bench/compare/xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "bench/compare/compare.h"
#include "tests/support/temp_device.h"

extern char **environ;

namespace {

unsigned be32(const unsigned char *p) {
    return unsigned(p[0]) << 24 | unsigned(p[1]) << 16 | unsigned(p[2]) << 8 | p[3];
}

// XWD header fields, each a big-endian 32-bit number.
constexpr int XWD_HEADER_SIZE = 0, XWD_WIDTH = 4, XWD_HEIGHT = 5, XWD_BITS_PER_PIXEL = 11, XWD_BYTES_PER_LINE = 12,
              XWD_COLOURS = 19;
constexpr size_t XWD_COLOUR_BYTES = 12;

}  // namespace

// Without -noreset the server resets when its last client leaves, and a
// program that looks at the display before it opens it would meet the reset.
bool xvfb_start(const std::string &program, Xvfb &x) {
    x.fbdir = make_temp_folder("xvfb");
    int ready[2];
    if (pipe(ready) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ready[1], 3);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const char *args[] = {program.c_str(), "-displayfd", "3",   "-screen", "0",        "1024x768x24", "-fbdir",
                          x.fbdir.c_str(), "-nolisten",  "tcp", "-br",     "-noreset", nullptr};
    int rc = posix_spawn(&x.pid, args[0], &actions, nullptr, const_cast<char **>(args), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ready[1]);
    // The number, then a newline: closing before the newline would kill it.
    std::string number;
    pollfd p = {ready[0], POLLIN, 0};
    char c = 0;
    while (rc == 0 && c != '\n' && poll(&p, 1, 10000) == 1 && read(ready[0], &c, 1) == 1) number += c;
    bool came_up = c == '\n';
    close(ready[0]);
    if (!came_up) {
        xvfb_stop(x);
        return false;
    }
    x.display = ":" + std::to_string(atoi(number.c_str()));
    return true;
}

void xvfb_stop(Xvfb &x) {
    if (x.pid > 0) stop_program(x.pid);
    x.pid = -1;
    if (!x.fbdir.empty()) remove_tree(x.fbdir);
    x.fbdir.clear();
}

bool framebuffer_open(const Xvfb &x, Framebuffer &fb) {
    std::string path = x.fbdir + "/Xvfb_screen0";
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) {
        if (fd >= 0) close(fd);
        return false;
    }
    fb.length = size_t(st.st_size);
    fb.map = mmap(nullptr, fb.length, PROT_READ, MAP_SHARED, fd, 0);
    close(fd);
    if (fb.map == MAP_FAILED) return false;
    auto *head = static_cast<const unsigned char *>(fb.map);
    auto field = [&](int i) { return be32(head + 4 * i); };
    if (field(XWD_BITS_PER_PIXEL) != 32) {
        framebuffer_close(fb);
        return false;
    }
    fb.width = int(field(XWD_WIDTH));
    fb.height = int(field(XWD_HEIGHT));
    fb.bytes_per_line = field(XWD_BYTES_PER_LINE);
    fb.pixels = head + field(XWD_HEADER_SIZE) + field(XWD_COLOURS) * XWD_COLOUR_BYTES;
    return true;
}

void framebuffer_close(Framebuffer &fb) {
    if (fb.map && fb.map != MAP_FAILED) munmap(fb.map, fb.length);
    fb = Framebuffer{};
}
