// The caller's side of the notification service: tell a running notifyd to
// look again, or start one. The program is found, in this order, at
// $VELMORA_NOTIFYD, beside the calling program, where this build put it, and
// on PATH. VELMORA_NOTIFYD=off registers without starting anything (tests
// that start the service themselves).
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/device/device.h"
#include "platform/notify/notify.h"
#include "platform/notify/notify_db.h"
#include "platform/device/process.h"

namespace {

bool executable(const std::string &path) { return !path.empty() && access(path.c_str(), X_OK) == 0; }

std::string on_path() {
    const char *path = getenv("PATH");
    std::string all = path ? path : "";
    for (size_t i = 0; i <= all.size();) {
        size_t j = all.find(':', i);
        if (j == std::string::npos) j = all.size();
        std::string candidate = all.substr(i, j - i) + "/notifyd";
        if (j > i && executable(candidate)) return candidate;
        i = j + 1;
    }
    return "";
}

std::string find_service(const char *setting) {
    if (setting && *setting) return executable(setting) ? setting : "";
    std::string beside = plat::beside_own_program("notifyd");
    if (executable(beside)) return beside;
#ifdef VELMORA_BUILT_NOTIFYD
    if (executable(VELMORA_BUILT_NOTIFYD)) return VELMORA_BUILT_NOTIFYD;
#endif
    return on_path();
}

}  // namespace

namespace plat {

bool notify_service_poke(void) {
    const char *dir = device_runtime_dir();
    if (!dir) return false;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    int n = snprintf(addr.sun_path, sizeof addr.sun_path, "%s/notifyd.sock", dir);
    if (n <= 0 || size_t(n) >= sizeof addr.sun_path) return false;
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    char byte = 1;
    bool sent = sendto(fd, &byte, 1, MSG_DONTWAIT, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 1;
    // A full queue means the service has looks pending already.
    bool ok = sent || errno == EAGAIN;
    close(fd);
    return ok;
}

}  // namespace plat

bool notify_service_ensure(void) {
    if (plat::notify_service_poke()) return true;
    const char *setting = getenv("VELMORA_NOTIFYD");
    if (setting && strcmp(setting, "off") == 0) return true;
    std::string path = find_service(setting);
    if (path.empty()) {
        device_set_error("cannot find the notification service notifyd (set VELMORA_NOTIFYD)");
        return false;
    }
    if (plat::spawn_program(path.c_str(), {}, true) < 0) {
        device_set_error("cannot start %s: %s", path.c_str(), strerror(errno));
        return false;
    }
    return true;
}
