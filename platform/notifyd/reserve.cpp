// Room kept on the device's disk for due requests: a file made while there is
// room, given back as soon as the disk is full, so that a claim, its journal
// line and the program it starts still find room. It is made again only once
// there is room for it twice over, so that it is not made and given back in
// turn.
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/device/device.h"
#include "platform/device/journal.h"
#include "platform/notifyd/notifyd.h"

namespace {

constexpr off_t RESERVE_BYTES = 512 * 1024;
const char RESERVE_FILE[] = "notify.reserve";

struct Reserve {
    bool full_told = false;  // the journal has it since the room was given back
};

Reserve &reserve() {
    static Reserve r;
    return r;
}

long long free_bytes(const char *root) {
    struct statvfs st;
    if (statvfs(root, &st) != 0) return -1;
    return (long long)st.f_bavail * (long long)st.f_frsize;
}

bool make_reserve(const std::string &path) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool made = posix_fallocate(fd, 0, RESERVE_BYTES) == 0;
    close(fd);
    if (!made) unlink(path.c_str());
    return made;
}

}  // namespace

void reserve_tend(void) {
    const char *root = device_root();
    if (!root) return;
    std::string path = std::string(root) + "/" + RESERVE_FILE;
    bool kept = access(path.c_str(), F_OK) == 0;
    long long room = free_bytes(root);
    if (room < 0) return;
    Reserve &r = reserve();
    if (kept && room < RESERVE_BYTES) {
        unlink(path.c_str());
        kept = false;
    }
    if (!kept && room >= 2 * RESERVE_BYTES && make_reserve(path)) {
        r.full_told = false;
        return;
    }
    if (!kept && room < 2 * RESERVE_BYTES && !r.full_told) {
        wchar_t line[256];
        swprintf(line, 256, L"the device's disk is full (%lld bytes free): due requests use the room kept for them",
                 free_bytes(root));
        journal_write("notification", line);
        r.full_told = true;
    }
}
