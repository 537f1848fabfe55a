// The screen's control socket, "screen.sock" in the device's runtime folder,
// served by the program that owns the screen. A request is one line; its keys
// and commands join the screen's input, and the answer goes out once the
// program has dealt with them and everything they caused. Clients are read
// and written without blocking, from the message loop, each with a deadline,
// so that one that never sends or never reads holds nothing but its socket.
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <sstream>

#include "platform/device/device.h"
#include "platform/screen/screen.h"
#include "platform/screen/screen_socket_testing.h"
#include "platform/shell/message_box.h"

namespace plat {

namespace {

constexpr size_t MAX_REQUEST = 16384;
// A client sends its line right after connecting, and reads its answer.
constexpr long long READ_DEADLINE_MS = 5000;
constexpr long long WRITE_DEADLINE_MS = 10000;
// Clients still sending their request; beyond this the oldest is let go.
constexpr size_t MAX_READING = 16;
// Finding whether another program holds the socket waits this long at most.
constexpr int HOLDER_CONNECT_TIMEOUT_MS = 500;

struct Client {
    enum State { READING, WAITING, WRITING } state = READING;
    std::string in;            // the request as it arrives
    std::string verb;          // of a request waiting for its answer
    unsigned last_action = 0;  // the screen action the answer waits for
    std::string out;           // the answer still to write
    size_t written = 0;
    long long deadline_ms = 0;
};

struct Control {
    int listen_fd = -1;
    // While another program of the device holds the socket: a connection to
    // it, which that program lets go when it ends.
    int holder_fd = -1;
    std::string path;
    std::map<int, Client> clients;
    std::deque<int> waiting;  // in the order their requests came
};

Control &control() {
    static Control c;
    return c;
}

void drop(int fd) {
    Control &c = control();
    loop_unwatch_fd(fd);
    c.clients.erase(fd);
    for (auto it = c.waiting.begin(); it != c.waiting.end(); ++it)
        if (*it == fd) {
            c.waiting.erase(it);
            break;
        }
    close(fd);
}

void on_client(int fd, void *);

// Writes what the socket takes now; the rest when it has room again.
void write_some(int fd, Client &k) {
    while (k.written < k.out.size()) {
        ssize_t n = send(fd, k.out.data() + k.written, k.out.size() - k.written, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN && loop_now_ms() < k.deadline_ms) return;
        if (n <= 0) break;  // the client went away, or never read in time
        k.written += size_t(n);
    }
    drop(fd);
}

void start_writing(int fd, const std::string &answer) {
    Client &k = control().clients[fd];
    k.state = Client::WRITING;
    k.out = answer;
    k.written = 0;
    k.deadline_ms = loop_now_ms() + WRITE_DEADLINE_MS;
    loop_watch_fd(fd, on_client, nullptr, LOOP_WRITE, k.deadline_ms);
    write_some(fd, control().clients[fd]);
}

std::string screenshot_reply() {
    Surface *f = screen_frame();
    std::string out = "ok " + std::to_string(f->width) + " " + std::to_string(f->height) + "\n";
    out.reserve(out.size() + size_t(f->width) * f->height * 3);
    for (int y = 0; y < f->height; y++) {
        const unsigned char *p = f->pixel(0, y);
        for (int x = 0; x < f->width; x++, p += 3) out += char(p[2]), out += char(p[1]), out += char(p[0]);
    }
    return out;
}

std::string escaped(const std::string &text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += "\\n";
        else if (c != '\r') out += c;
    }
    return out;
}

std::string msgbox_reply() {
    std::string caption, text, buttons, icon;
    if (!message_box_screen_describe(&caption, &text, &buttons, &icon)) return "error no message box is showing";
    return "ok\ncaption: " + escaped(caption) + "\ntext: " + escaped(text) + "\nbuttons: " + buttons +
           "\nicon: " + icon;
}

std::string dialog_reply() {
    std::string text;
    if (!screen_describe_foreground(&text)) return "error no window is in front";
    return "ok\n" + text;
}

bool is_query(const std::string &verb) { return verb == "screenshot" || verb == "msgbox" || verb == "dialog"; }

// The answer to a request whose actions are done. When the program is
// ending, a question gets no answer, while keys and commands it took up are
// done: an answer to a box that ends the program has done what it asked.
std::string reply(const Client &k, bool ending) {
    if (ending && is_query(k.verb)) return "error the program stopped showing the screen\n";
    if (ending && screen_actions_taken() < k.last_action) return "error the program stopped before it took every key\n";
    if (k.verb == "screenshot") return screenshot_reply();
    if (k.verb == "msgbox") return msgbox_reply() + "\n";
    if (k.verb == "dialog") return dialog_reply() + "\n";
    if (k.verb == "rotate") {
        int width, height;
        screen_size(&width, &height);
        return "ok " + std::to_string(width) + "x" + std::to_string(height) + "\n";
    }
    return "ok\n";
}

int button_named(const std::string &name) {
    if (name == "ok") return IDOK;
    if (name == "cancel") return IDCANCEL;
    if (name == "yes") return IDYES;
    if (name == "no") return IDNO;
    return 0;
}

// Queues what the request asks for; an empty result means it waits for its
// answer, else the result is the answer at once. `last_action` gets the
// number of the last action queued.
std::string take_request(const std::string &line, unsigned *last_action) {
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    if (verb == "keys") {
        std::string word;
        while (words >> word) {
            char *end;
            long vk = strtol(word.c_str(), &end, 10);
            if (*end != ':' || vk < 0 || vk > 0xFF) return "error bad key " + word;
            long ch = strtol(end + 1, &end, 10);
            if (*end || ch < 0 || ch > 0x10FFFF) return "error bad key " + word;
            *last_action = screen_queue_action({ScreenAction::KEY, int(vk), wchar_t(ch), 0});
        }
    } else if (verb == "answer") {
        std::string name;
        words >> name;
        int button = button_named(name);
        std::string caption, text, buttons, icon;
        if (!message_box_screen_describe(&caption, &text, &buttons, &icon)) return "error no message box is showing";
        if (!button || ("," + buttons + ",").find("," + name + ",") == std::string::npos)
            return "error the message box has no button '" + name + "' (it has " + buttons + ")";
        *last_action = screen_queue_action({ScreenAction::ANSWER, 0, 0, button});
    } else if (verb == "rotate") {
        *last_action = screen_queue_action({ScreenAction::ROTATE, 0, 0, 0});
    } else if (verb == "hibernate") {
        *last_action = screen_queue_action({ScreenAction::HIBERNATE, 0, 0, 0});
    } else if (!is_query(verb)) {
        return "error unknown request '" + verb.substr(0, 64) + "'";
    }
    return "";
}

// A whole line has come: answered now, or queued for the idle turn.
void take_line(int fd, Client &k, const std::string &line) {
    std::string now = take_request(line, &k.last_action);
    if (!now.empty()) return start_writing(fd, now + "\n");
    std::istringstream words(line);
    words >> k.verb;
    k.state = Client::WAITING;
    loop_unwatch_fd(fd);
    control().waiting.push_back(fd);
    loop_post(nullptr, WM_NULL, 0, 0);
}

void read_some(int fd, Client &k) {
    char buf[1024];
    for (;;) {
        ssize_t n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN && loop_now_ms() < k.deadline_ms) return;
        if (n <= 0) return drop(fd);  // gone, or silent past its deadline
        k.in.append(buf, size_t(n));
        size_t eol = k.in.find('\n');
        if (eol != std::string::npos) return take_line(fd, k, k.in.substr(0, eol));
        if (k.in.size() > MAX_REQUEST) return start_writing(fd, "error the request is too long\n");
    }
}

void on_client(int fd, void *) {
    auto it = control().clients.find(fd);
    if (it == control().clients.end()) return;
    if (it->second.state == Client::READING)
        read_some(fd, it->second);
    else if (it->second.state == Client::WRITING)
        write_some(fd, it->second);
}

// The reading client waiting longest makes way for a new one. O(n) in the clients.
void make_room(void) {
    Control &c = control();
    size_t reading = 0;
    int oldest = -1;
    long long oldest_deadline = 0;
    for (const auto &entry : c.clients) {
        if (entry.second.state != Client::READING) continue;
        reading++;
        if (oldest < 0 || entry.second.deadline_ms < oldest_deadline)
            oldest = entry.first, oldest_deadline = entry.second.deadline_ms;
    }
    if (reading >= MAX_READING) drop(oldest);
}

bool peer_is_us(int fd) {
    struct ucred cred;
    socklen_t len = sizeof cred;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == getuid();
}

void adopt(int fd) {
    make_room();
    Client &k = control().clients[fd];
    k = Client{};
    k.deadline_ms = loop_now_ms() + READ_DEADLINE_MS;
    loop_watch_fd(fd, on_client, nullptr, LOOP_READ, k.deadline_ms);
}

void on_connection(int listen_fd, void *) {
    for (;;) {
        int fd = accept4(listen_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) return;
        if (peer_is_us(fd))
            adopt(fd);
        else
            close(fd);
    }
}

// Every waiting client gets its answer as far as the socket takes it now.
void answer_waiting(bool ending) {
    Control &c = control();
    while (!c.waiting.empty()) {
        int fd = c.waiting.front();
        c.waiting.pop_front();
        auto it = c.clients.find(fd);
        if (it == c.clients.end()) continue;
        std::string answer = reply(it->second, ending);
        if (!ending) {
            start_writing(fd, answer);
            continue;
        }
        send(fd, answer.data(), answer.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        drop(fd);
    }
}

void at_exit(void) { control_stop(); }

void stop_waiting_for_holder(void) {
    Control &c = control();
    if (c.holder_fd < 0) return;
    loop_unwatch_fd(c.holder_fd);
    close(c.holder_fd);
    c.holder_fd = -1;
}

// The connection to the holder was let go: it ended, or dropped a client that
// said nothing. Either way this program tries to take the socket again.
void on_holder_gone(int, void *) {
    stop_waiting_for_holder();
    control_listen();
}

// A connection to a live program listening at `addr`, or -1 when none does
// (or it is stopped with its backlog full, past a bounded wait).
int connect_to_holder(const sockaddr_un &addr) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    struct timeval tv = {0, HOLDER_CONNECT_TIMEOUT_MS * 1000};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    if (connect(fd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) == 0) return fd;
    close(fd);
    return -1;
}

// The socket bound at `addr`, in place of one left by a program that died;
// -1 when another program holds it, then waited on, or on failure.
int bind_or_wait(const sockaddr_un &addr) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    if (bind(fd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) == 0) return fd;
    int holder = connect_to_holder(addr);
    if (holder >= 0) {
        // A program closing its windows still holds the socket for a moment
        // (a clock restarted at once meets its own last instance).
        control().holder_fd = holder;
        loop_watch_fd(holder, on_holder_gone, nullptr);
    } else if (unlink(addr.sun_path) == 0 &&
               bind(fd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) == 0) {
        return fd;
    }
    close(fd);
    return -1;
}

}  // namespace

void control_listen(void) {
    Control &c = control();
    if (c.listen_fd >= 0 || c.holder_fd >= 0) return;
    const char *dir = device_runtime_dir();
    if (!dir) return;
    std::string path = std::string(dir) + "/screen.sock";
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return;
    memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    int fd = bind_or_wait(addr);
    if (fd < 0) return;
    if (listen(fd, 16) != 0) {
        close(fd);
        unlink(path.c_str());
        return;
    }
    c.listen_fd = fd;
    c.path = path;
    loop_watch_fd(fd, on_connection, nullptr);
    // A program that ends answers what it took up: its last key may be what ended it.
    static bool registered = false;
    if (!registered) registered = atexit(at_exit) == 0;
}

void control_stop(void) {
    Control &c = control();
    stop_waiting_for_holder();
    // The name goes while the socket still listens: a program starting before
    // then finds it live and waits, and one starting after binds a socket of
    // its own, whose name this one never removes.
    if (c.listen_fd >= 0) {
        unlink(c.path.c_str());
        loop_unwatch_fd(c.listen_fd);
        close(c.listen_fd);
        c.listen_fd = -1;
    }
    answer_waiting(true);
    while (!c.clients.empty()) drop(c.clients.begin()->first);
}

void control_idle(void) { answer_waiting(false); }

}  // namespace plat

void screen_control_adopt(int fd) { plat::adopt(fd); }
