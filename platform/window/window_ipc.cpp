// Windows reachable from other processes of the device. A top-level window
// with a class and a title listens on a Unix seqpacket socket in the device's
// private runtime folder, named from hashes of the two; another process finds
// it by the same name. Beside the socket a ".name" file holds the class and
// the title as text, for people listing the windows. This is the sending and
// finding side; window_ipc_server.cpp receives. Every wait on another process
// is bounded: a stopped receiver makes a post or a send fail, never hang.
#include <dirent.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/core/last_error.h"
#include "platform/core/text.h"
#include "platform/device/device.h"
#include "platform/window/window_internal.h"
#include "platform/window/window_wire.h"

using plat::Window;

namespace {

// A listener's backlog full (its process stopped or stuck) makes a connect wait this long at most.
constexpr int CONNECT_TIMEOUT_MS = 500;
// A send fails when its reply has not come by then.
constexpr int SEND_TIMEOUT_MS = 5000;
const char SOCKET_SUFFIX[] = ".sock";
const char NAME_SUFFIX[] = ".name";

std::string hash_part(const std::wstring &text) {
    uint64_t h = 1469598103934665603ull;
    for (char c : plat::to_utf8(text.c_str())) h = (h ^ (unsigned char)c) * 1099511628211ull;
    char buf[17];
    snprintf(buf, sizeof buf, "%016llx", (unsigned long long)h);
    return buf;
}

std::string socket_name(const std::wstring &class_name, const std::wstring &title) {
    return "w-" + hash_part(plat::fold_case(class_name.c_str())) + "-" + hash_part(title) + SOCKET_SUFFIX;
}

// The ".name" file beside a socket.
std::string name_file(const std::string &socket_path) {
    return socket_path.substr(0, socket_path.size() - strlen(SOCKET_SUFFIX)) + NAME_SUFFIX;
}

// Class and title, each ended by a NUL, in UTF-8; written whole or not at all.
void write_name_file(const std::string &socket_path, const std::wstring &class_name, const std::wstring &title) {
    std::string path = name_file(socket_path), temporary = path + "." + std::to_string(getpid());
    std::string text = plat::to_utf8(class_name.c_str());
    text += '\0';
    text += plat::to_utf8(title.c_str());
    text += '\0';
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(text.data(), std::streamsize(text.size()));
        if (!out) return (void)unlink(temporary.c_str());
    }
    if (rename(temporary.c_str(), path.c_str()) != 0) unlink(temporary.c_str());
}

bool read_name_file(const std::string &path, std::wstring &class_name, std::wstring &title) {
    std::ifstream in(path, std::ios::binary);
    std::string c, t;
    if (!std::getline(in, c, '\0') || !std::getline(in, t, '\0')) return false;
    class_name = plat::from_utf8(c.c_str());
    title = plat::from_utf8(t.c_str());
    return true;
}

void remove_published(const std::string &socket_path) {
    unlink(socket_path.c_str());
    unlink(name_file(socket_path).c_str());
}

bool make_address(const std::string &path, sockaddr_un &addr) {
    memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return false;
    memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// A connected socket to the listener at `path`, or -1; `busy` tells a
// listener that is there but takes no connection now. A socket file whose
// owner is gone is removed.
int connect_to(const std::string &path, bool *busy = nullptr) {
    if (busy) *busy = false;
    sockaddr_un addr;
    if (!make_address(path, addr)) return -1;
    int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    // A Unix socket's connect waits for room in the backlog as long as a send would.
    struct timeval tv = {0, CONNECT_TIMEOUT_MS * 1000};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    struct stat before;
    bool had_file = lstat(path.c_str(), &before) == 0;
    if (connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0) return fd;
    // Only the dead socket that refused goes: a new window may have put its
    // own in place since.
    struct stat now;
    if (errno == ECONNREFUSED && had_file && lstat(path.c_str(), &now) == 0 && now.st_ino == before.st_ino)
        remove_published(path);
    if (busy) *busy = errno == EAGAIN || errno == EINTR;
    close(fd);
    return -1;
}

// Whether a window listens at `path`, busy or not.
bool listening(const std::string &path) {
    bool busy;
    int fd = connect_to(path, &busy);
    if (fd >= 0) close(fd);
    return fd >= 0 || busy;
}

bool send_packet(int fd, const void *data, size_t size) { return send(fd, data, size, MSG_NOSIGNAL) == ssize_t(size); }

// The reply to a send, waited for at most SEND_TIMEOUT_MS; false with the
// last error set when none came.
bool receive_reply(int fd, int64_t *result) {
    long long until = plat::loop_now_ms() + SEND_TIMEOUT_MS;
    for (;;) {
        long long left = until - plat::loop_now_ms();
        struct pollfd p = {fd, POLLIN, 0};
        int n = left > 0 ? poll(&p, 1, int(left)) : 0;
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            SetLastError(ERROR_TIMEOUT);
            return false;
        }
        break;
    }
    plat::WireReply r;
    // Closed without a reply: the receiver went away or refused the message.
    if (recv(fd, &r, sizeof r, MSG_DONTWAIT) != ssize_t(sizeof r) || r.magic != plat::WIRE_MAGIC) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    *result = r.result;
    return true;
}

// The stand-in handle for a remote window, one per socket path.
HWND stand_in(const std::string &path) {
    plat::WindowTable &t = plat::window_table();
    std::lock_guard<std::recursive_mutex> g(t.lock);
    for (auto &entry : t.windows)
        if (entry.second->remote == path) return entry.second->handle;
    auto w = std::make_unique<Window>();
    w->handle = plat::window_new_handle(t);
    w->remote = path;
    HWND h = w->handle;
    t.windows[reinterpret_cast<uintptr_t>(h)] = std::move(w);
    return h;
}

bool deliver(const Window *remote, uint32_t kind, UINT message, WPARAM wparam, LPARAM lparam, int64_t *result) {
    if (kind != plat::WIRE_FOREGROUND && !plat::wire_message_plain(message, lparam)) {
        SetLastError(ERROR_INVALID_PARAMETER);  // the receiver would drop it
        return false;
    }
    int fd = connect_to(remote->remote);
    if (fd < 0) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    plat::WireMessage m = {plat::WIRE_MAGIC, kind, message, 0, uint64_t(wparam), int64_t(lparam)};
    bool ok = send_packet(fd, &m, sizeof m);
    if (!ok) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    if (ok && result) ok = receive_reply(fd, result);
    close(fd);
    return ok;
}

}  // namespace

namespace plat {

// The socket listens under a name of its own before it is moved to the name
// others look for: a process that looked in between would have found it
// refusing, taken it for a dead window's and removed it, leaving the window
// unreachable.
void ipc_publish(Window *w) {
    if (!w || w->title.empty() || !w->window_class) return;
    const char *dir = device_runtime_dir();
    if (!dir) return;
    std::string path = std::string(dir) + "/" + socket_name(w->window_class->name, w->title);
    static unsigned made = 0;
    std::string temporary = std::string(dir) + "/t-" + std::to_string(getpid()) + "-" + std::to_string(made++);
    sockaddr_un addr;
    if (!make_address(path, addr) || !make_address(temporary, addr)) return;
    int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return;
    unlink(temporary.c_str());  // left by an earlier process of the same id
    if (bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || listen(fd, 64) != 0) {
        close(fd);
        unlink(temporary.c_str());
        return;
    }
    // Taken by a live window of another process: the first one stays
    // findable. A dead window's socket is replaced.
    bool busy;
    int other = connect_to(path, &busy);
    if (other >= 0 || busy || rename(temporary.c_str(), path.c_str()) != 0) {
        if (other >= 0) close(other);
        close(fd);
        unlink(temporary.c_str());
        return;
    }
    write_name_file(path, w->window_class->name, w->title);
    w->listen_fd = fd;
    w->listen_path = path;
    ipc_serve(fd, w->handle);
}

void ipc_unpublish(Window *w) {
    if (!w || w->listen_fd < 0) return;
    ipc_stop_serving(w->listen_fd, w->handle);
    close(w->listen_fd);
    remove_published(w->listen_path);
    w->listen_fd = -1;
    w->listen_path.clear();
}

HWND ipc_find(LPCWSTR class_name, LPCWSTR title) {
    const char *dir = device_runtime_dir();
    if (!dir) return nullptr;
    if (class_name && title) {
        std::string path = std::string(dir) + "/" + socket_name(class_name, title);
        return listening(path) ? stand_in(path) : nullptr;
    }
    // Without both names only the prefix of the socket name is known.
    std::string prefix = class_name ? "w-" + hash_part(fold_case(class_name)) + "-" : "w-";
    DIR *d = opendir(dir);
    if (!d) return nullptr;
    HWND found = nullptr;
    while (struct dirent *e = readdir(d)) {
        std::string name = e->d_name;
        const size_t tail = 16 + strlen(SOCKET_SUFFIX);  // "<title hash>.sock"
        if (name.compare(0, prefix.size(), prefix) != 0 || name.size() < prefix.size() + tail) continue;
        if (name.compare(name.size() - strlen(SOCKET_SUFFIX), std::string::npos, SOCKET_SUFFIX) != 0) continue;
        if (title && name.compare(name.size() - tail, tail, hash_part(title) + SOCKET_SUFFIX) != 0) continue;
        std::string path = std::string(dir) + "/" + name;
        if (!listening(path)) continue;
        found = stand_in(path);
        break;
    }
    closedir(d);
    return found;
}

bool ipc_alive(const Window *remote) { return listening(remote->remote); }

DWORD ipc_owner(const Window *remote) {
    int fd = connect_to(remote->remote);
    if (fd < 0) return 0;
    // For a connected socket the kernel reports the process that listens.
    struct ucred cred;
    socklen_t len = sizeof cred;
    bool ours = getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == getuid();
    close(fd);
    return ours ? DWORD(cred.pid) : 0;
}

BOOL ipc_post(const Window *remote, UINT message, WPARAM wparam, LPARAM lparam) {
    return deliver(remote, plat::WIRE_POST, message, wparam, lparam, nullptr) ? TRUE : FALSE;
}

LRESULT ipc_send(const Window *remote, UINT message, WPARAM wparam, LPARAM lparam) {
    int64_t result = 0;
    deliver(remote, plat::WIRE_SEND, message, wparam, lparam, &result);
    return LRESULT(result);
}

BOOL ipc_foreground(const Window *remote) {
    return deliver(remote, plat::WIRE_FOREGROUND, 0, 0, 0, nullptr) ? TRUE : FALSE;
}

}  // namespace plat

bool window_findable(DWORD index, LPWSTR class_name, size_t class_cap, LPWSTR title, size_t title_cap) {
    const char *dir = device_runtime_dir();
    DIR *d = dir ? opendir(dir) : nullptr;
    if (!d) return false;
    std::vector<std::string> names;
    while (struct dirent *e = readdir(d)) {
        std::string name = e->d_name;
        size_t n = strlen(NAME_SUFFIX);
        if (name.compare(0, 2, "w-") == 0 && name.size() > n && name.compare(name.size() - n, n, NAME_SUFFIX) == 0)
            names.push_back(name);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    for (const std::string &name : names) {
        std::string socket_path = std::string(dir) + "/" + name.substr(0, name.size() - strlen(NAME_SUFFIX)) + SOCKET_SUFFIX;
        std::wstring c, t;
        // A window whose process is gone is removed here.
        if (!listening(socket_path)) continue;
        if (!read_name_file(std::string(dir) + "/" + name, c, t) || index-- > 0) continue;
        plat::copy_wide(class_name, class_cap, c);
        plat::copy_wide(title, title_cap, t);
        return true;
    }
    return false;
}
