#include "tests/support/small_disk.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

bool mount_small_disk(const std::string &folder, int megabytes) {
    std::string options = "size=" + std::to_string(megabytes) + "m,mode=0755";
    return mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

void unmount_small_disk(const std::string &folder) { umount2(folder.c_str(), MNT_DETACH); }

bool fill_disk(const std::string &folder) {
    int fd = open((folder + "/filler").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    std::vector<char> block(65536, 'x');
    // Big blocks first, then smaller ones down to single bytes.
    for (size_t size = block.size(); size > 0; size /= 2)
        while (write(fd, block.data(), size) == ssize_t(size)) {
        }
    bool full = errno == ENOSPC;
    close(fd);
    return full;
}

void free_disk(const std::string &folder) { unlink((folder + "/filler").c_str()); }
