// velctl's side of the screen's control socket, and the names of the keys.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include "platform/device/device.h"
#include "platform/screen/screen_control.h"
#include "platform/window/window.h"

namespace {

constexpr int REPLY_TIMEOUT_S = 20;

struct KeyName {
    const char *name;
    ScreenKey key;
};

const KeyName KEY_NAMES[] = {
    {"soft1", {VK_TSOFT1, 0}}, {"soft2", {VK_TSOFT2, 0}}, {"up", {VK_UP, 0}},          {"down", {VK_DOWN, 0}},
    {"left", {VK_LEFT, 0}},    {"right", {VK_RIGHT, 0}},  {"action", {VK_RETURN, 0}}, {"back", {VK_TBACK, 0}},
    {"help", {VK_HELP, 0}},
};

bool read_all(int fd, std::string *data) {
    char buf[65536];
    for (;;) {
        ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data->append(buf, size_t(n));
    }
}

// Says why a call failed.
bool refuse(std::string *reply, const std::string &why) {
    *reply = why;
    return false;
}

}  // namespace

bool screen_key_by_name(const char *name, ScreenKey *key) {
    for (const KeyName &k : KEY_NAMES)
        if (strcmp(k.name, name) == 0) {
            *key = k.key;
            return true;
        }
    if (name[0] && !name[1] && (isdigit((unsigned char)name[0]) || name[0] == '*' || name[0] == '#')) {
        *key = screen_key_for_char(wchar_t(name[0]));
        return true;
    }
    return false;
}

ScreenKey screen_key_for_char(wchar_t ch) {
    int vk = 0;
    if (ch >= L'0' && ch <= L'9') vk = int(ch);
    else if (ch >= L'a' && ch <= L'z') vk = int(ch - L'a' + L'A');
    else if (ch >= L'A' && ch <= L'Z') vk = int(ch);
    else if (ch == L' ') vk = VK_SPACE;
    return {vk, ch};
}

bool screen_call(const char *request, std::string *reply, std::vector<unsigned char> *pixels) {
    const char *dir = device_runtime_dir();
    if (!dir) return refuse(reply, device_error());
    std::string path = std::string(dir) + "/screen.sock";
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return refuse(reply, "the runtime folder's path is too long");
    memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        if (fd >= 0) close(fd);
        return refuse(reply, "no program shows the screen of this device");
    }
    struct timeval tv = {REPLY_TIMEOUT_S, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    std::string line = std::string(request) + "\n", data;
    bool sent = send(fd, line.data(), line.size(), MSG_NOSIGNAL) == ssize_t(line.size());
    bool got = sent && read_all(fd, &data);
    close(fd);
    size_t eol = data.find('\n');
    if (!got || eol == std::string::npos) return refuse(reply, "the program showing the screen did not answer");
    std::string head = data.substr(0, eol);
    if (head.compare(0, 6, "error ") == 0) return refuse(reply, head.substr(6));
    if (head.compare(0, 2, "ok") != 0) return refuse(reply, "the program showing the screen answered nonsense");
    *reply = head.size() > 3 ? head.substr(3) : "";
    std::string rest = data.substr(eol + 1);
    if (pixels) pixels->assign(rest.begin(), rest.end());
    else if (!rest.empty()) *reply += "\n" + rest;
    return true;
}
