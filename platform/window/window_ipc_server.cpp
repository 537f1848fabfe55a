// The receiving side of a findable window's socket. Every connection carries
// one packet; it is read without blocking, from the message loop, and a
// client that has not sent it by its deadline is let go, so that no client
// can hold the user-interface thread. Only messages whose parameters are
// plain numbers are delivered; the rest are dropped and journalled.
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cwchar>
#include <map>

#include "platform/core/text.h"
#include "platform/device/journal.h"
#include "platform/window/window_internal.h"
#include "platform/window/window_ipc_testing.h"
#include "platform/window/window_wire.h"

namespace {

// A client sends its packet right after connecting.
constexpr long long CLIENT_DEADLINE_MS = 1000;
// Connections waiting for their packet; beyond this the oldest is let go.
constexpr size_t MAX_CLIENTS = 32;
// A flood of hostile packets must not flood the journal.
constexpr int DROPS_JOURNALLED_PER_MINUTE = 20;

struct Client {
    HWND window;
    long long deadline_ms;
};

std::map<int, Client> &clients() {
    static std::map<int, Client> c;
    return c;
}

struct DropLog {
    long long minute_start = 0;
    int written = 0;
    unsigned long unwritten = 0;
};

void journal_drop(HWND window, const plat::WireMessage &m) {
    static DropLog log;
    long long now = plat::loop_now_ms();
    if (log.written == 0 || now - log.minute_start >= 60000) log.minute_start = now, log.written = 0;
    if (log.written >= DROPS_JOURNALLED_PER_MINUTE) {
        log.unwritten++;
        return;
    }
    log.written++;
    const plat::Window *w = plat::window_get(window);
    wchar_t line[512];
    swprintf(line, 512, L"dropped message 0x%04X (wParam 0x%llX, lParam 0x%llX) from another process to \"%ls\"",
             m.message, (unsigned long long)m.wparam, (unsigned long long)m.lparam, w ? w->title.c_str() : L"");
    if (log.unwritten) {
        size_t used = wcslen(line);
        swprintf(line + used, 512 - used, L", and %lu more before it", log.unwritten);
        log.unwritten = 0;
    }
    journal_write("window", line);
}

// Carries out the message; `answered` is false when it was dropped.
LRESULT deliver_here(HWND window, const plat::WireMessage &m, bool *answered) {
    *answered = true;
    if (m.kind == plat::WIRE_FOREGROUND) {
        SetForegroundWindow(window);
        return 0;
    }
    if (!plat::wire_message_plain(m.message, LPARAM(m.lparam))) {
        journal_drop(window, m);
        *answered = false;
        return 0;
    }
    if (m.kind == plat::WIRE_POST) {
        plat::loop_post(window, m.message, WPARAM(m.wparam), LPARAM(m.lparam));
        return 0;
    }
    return SendMessageW(window, m.message, WPARAM(m.wparam), LPARAM(m.lparam));
}

void drop_client(int fd) {
    plat::loop_unwatch_fd(fd);
    clients().erase(fd);
    close(fd);
}

// The client waiting longest makes way for a new one. O(n) in the clients.
void make_room(void) {
    auto &all = clients();
    if (all.size() < MAX_CLIENTS) return;
    auto oldest = all.begin();
    for (auto it = all.begin(); it != all.end(); ++it)
        if (it->second.deadline_ms < oldest->second.deadline_ms) oldest = it;
    drop_client(oldest->first);
}

// A send whose sender stopped waiting (its bound passed while this process
// was stopped or busy) is not carried out late: the sender has done without.
bool sender_gone(int fd) {
    struct pollfd p = {fd, POLLRDHUP, 0};
    return poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP));
}

void on_client_ready(int fd, void *) {
    auto it = clients().find(fd);
    if (it == clients().end()) return;
    unsigned char packet[sizeof(plat::WireMessage) + 1];
    ssize_t n = recv(fd, packet, sizeof packet, MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EINTR) && plat::loop_now_ms() < it->second.deadline_ms) return;
    HWND window = it->second.window;
    // The client is done with before its message runs: a window procedure
    // that opens a dialog runs a nested loop, which must not see it again.
    plat::loop_unwatch_fd(fd);
    clients().erase(it);
    plat::WireMessage m;
    if (n > 0 && IsWindow(window) && plat::wire_decode(packet, size_t(n), &m) &&
        !(m.kind == plat::WIRE_SEND && sender_gone(fd))) {
        bool answered;
        plat::WireReply reply = {plat::WIRE_MAGIC, plat::WIRE_SEND, int64_t(deliver_here(window, m, &answered))};
        // The reply fits the socket's buffer; a sender that went away misses it.
        if (answered && m.kind == plat::WIRE_SEND) send(fd, &reply, sizeof reply, MSG_DONTWAIT | MSG_NOSIGNAL);
    }
    close(fd);
}

bool peer_is_us(int fd) {
    struct ucred cred;
    socklen_t len = sizeof cred;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == getuid();
}

void on_listener_ready(int listen_fd, void *context) {
    HWND window = static_cast<HWND>(context);
    for (;;) {
        int conn = accept4(listen_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (conn < 0) return;
        if (!peer_is_us(conn)) {
            close(conn);
            continue;
        }
        make_room();
        long long deadline = plat::loop_now_ms() + CLIENT_DEADLINE_MS;
        clients()[conn] = Client{window, deadline};
        plat::loop_watch_fd(conn, on_client_ready, nullptr, LOOP_READ, deadline);
    }
}

}  // namespace

namespace plat {

void ipc_serve(int listen_fd, HWND window) { loop_watch_fd(listen_fd, on_listener_ready, window); }

void ipc_stop_serving(int listen_fd, HWND window) {
    loop_unwatch_fd(listen_fd);
    std::vector<int> gone;
    for (const auto &entry : clients())
        if (entry.second.window == window) gone.push_back(entry.first);
    for (int fd : gone) drop_client(fd);
}

}  // namespace plat

LRESULT window_ipc_serve_packet(HWND window, const unsigned char *data, size_t size) {
    plat::WireMessage m;
    if (!IsWindow(window) || !plat::wire_decode(data, size, &m)) return 0;
    bool answered;
    return deliver_here(window, m, &answered);
}
