// The screen's control socket, "screen.sock" in the device's runtime folder,
// served by the program that owns the screen. A request is one line; its keys
// and commands join the screen's input, and the answer goes out once the
// program has dealt with them and everything they caused.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <sstream>

#include "platform/device/device.h"
#include "platform/shell/message_box.h"
#include "platform/screen/screen.h"

namespace plat {

namespace {

constexpr size_t MAX_REQUEST = 16384;
constexpr int IO_TIMEOUT_S = 5;

struct Waiting {
    int fd;
    std::string verb;
};

struct Control {
    int listen_fd = -1;
    std::string path;
    std::deque<Waiting> waiting;
};

Control &control() {
    static Control c;
    return c;
}

void write_all(int fd, const std::string &data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += size_t(n);
    }
}

void answer(int fd, const std::string &head) {
    write_all(fd, head + "\n");
    close(fd);
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

void reply(const Waiting &w) {
    if (w.verb == "screenshot") {
        write_all(w.fd, screenshot_reply());
        close(w.fd);
    } else if (w.verb == "msgbox") {
        answer(w.fd, msgbox_reply());
    } else if (w.verb == "dialog") {
        answer(w.fd, dialog_reply());
    } else if (w.verb == "rotate") {
        int width, height;
        screen_size(&width, &height);
        answer(w.fd, "ok " + std::to_string(width) + "x" + std::to_string(height));
    } else {
        answer(w.fd, "ok");
    }
}

int button_named(const std::string &name) {
    if (name == "ok") return IDOK;
    if (name == "cancel") return IDCANCEL;
    if (name == "yes") return IDYES;
    if (name == "no") return IDNO;
    return 0;
}

// Queues what the request asks for; an empty result means it waits for its
// answer, else the result is the answer at once.
std::string take_request(const std::string &line) {
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    if (verb == "keys") {
        std::string word;
        while (words >> word) {
            char *end;
            long vk = strtol(word.c_str(), &end, 10);
            if (*end != ':') return "error bad key " + word;
            long ch = strtol(end + 1, &end, 10);
            screen_queue_action({ScreenAction::KEY, int(vk), wchar_t(ch), 0});
        }
    } else if (verb == "answer") {
        std::string name;
        words >> name;
        int button = button_named(name);
        std::string caption, text, buttons, icon;
        if (!message_box_screen_describe(&caption, &text, &buttons, &icon)) return "error no message box is showing";
        if (!button || ("," + buttons + ",").find("," + name + ",") == std::string::npos)
            return "error the message box has no button '" + name + "' (it has " + buttons + ")";
        screen_queue_action({ScreenAction::ANSWER, 0, 0, button});
    } else if (verb == "rotate") {
        screen_queue_action({ScreenAction::ROTATE, 0, 0, 0});
    } else if (verb == "hibernate") {
        screen_queue_action({ScreenAction::HIBERNATE, 0, 0, 0});
    } else if (verb != "screenshot" && verb != "msgbox" && verb != "dialog") {
        return "error unknown request '" + verb + "'";
    }
    return "";
}

bool read_line(int fd, std::string *line) {
    char buf[1024];
    while (line->find('\n') == std::string::npos && line->size() < MAX_REQUEST) {
        ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        line->append(buf, size_t(n));
    }
    size_t eol = line->find('\n');
    if (eol == std::string::npos) return false;
    line->resize(eol);
    return true;
}

void serve(int fd) {
    struct ucred cred;
    socklen_t len = sizeof cred;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || cred.uid != getuid()) {
        close(fd);
        return;
    }
    struct timeval tv = {IO_TIMEOUT_S, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    std::string line;
    if (!read_line(fd, &line)) {
        close(fd);
        return;
    }
    std::string now = take_request(line);
    if (!now.empty()) return answer(fd, now);
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    control().waiting.push_back({fd, verb});
    loop_post(nullptr, WM_NULL, 0, 0);
}

void on_connection(int listen_fd, void *) {
    for (;;) {
        int fd = accept4(listen_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) return;
        serve(fd);
    }
}

}  // namespace

void control_listen(void) {
    Control &c = control();
    if (c.listen_fd >= 0) return;
    const char *dir = device_runtime_dir();
    if (!dir) return;
    std::string path = std::string(dir) + "/screen.sock";
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return;
    memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return;
    if (bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        // Another program shows this device's screen, or one died and left its socket.
        int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        bool live = probe >= 0 && connect(probe, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0;
        if (probe >= 0) close(probe);
        if (live || unlink(path.c_str()) != 0 || bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
            close(fd);
            return;
        }
    }
    if (listen(fd, 16) != 0) {
        close(fd);
        unlink(path.c_str());
        return;
    }
    c.listen_fd = fd;
    c.path = path;
    loop_watch_fd(fd, on_connection, nullptr);
}

void control_stop(void) {
    Control &c = control();
    for (const Waiting &w : c.waiting) answer(w.fd, "error the program stopped showing the screen");
    c.waiting.clear();
    if (c.listen_fd < 0) return;
    loop_unwatch_fd(c.listen_fd);
    close(c.listen_fd);
    unlink(c.path.c_str());
    c.listen_fd = -1;
}

void control_idle(void) {
    Control &c = control();
    while (!c.waiting.empty()) {
        Waiting w = c.waiting.front();
        c.waiting.pop_front();
        reply(w);
    }
}

}  // namespace plat
