#include "tests/support/sockets.h"

#include <dirent.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "platform/device/device.h"

namespace {

sockaddr_un address(const std::string &path) {
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    return addr;
}

}  // namespace

int connect_unix(const std::string &path, int type) {
    int fd = socket(AF_UNIX, type | SOCK_CLOEXEC, 0);
    sockaddr_un addr = address(path);
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0) return fd;
    if (fd >= 0) close(fd);
    return -1;
}

int listen_unix(const std::string &path) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr = address(path);
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0 && listen(fd, 4) == 0) return fd;
    if (fd >= 0) close(fd);
    return -1;
}

int accept_within(int listener, int ms) {
    pollfd p = {listener, POLLIN, 0};
    if (poll(&p, 1, ms) != 1) return -1;
    return accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
}

std::string window_socket_path(void) {
    const char *dir = device_runtime_dir();
    DIR *d = dir ? opendir(dir) : nullptr;
    std::string path;
    while (struct dirent *e = d ? readdir(d) : nullptr) {
        std::string name = e->d_name;
        if (name.compare(0, 2, "w-") == 0 && name.size() > 5 && name.compare(name.size() - 5, 5, ".sock") == 0)
            path = std::string(dir) + "/" + name;
    }
    if (d) closedir(d);
    return path;
}
