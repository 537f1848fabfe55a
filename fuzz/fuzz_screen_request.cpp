// The screen's control socket as any program of the user may write to it:
// each input is all that one client sends before it stops writing. It is
// served as the screen serves every client, on a headless screen with a
// window in front, and the client gets "ok..." or "error ..." or nothing.
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "fuzz/fuzz_device.h"
#include "platform/phone.h"
#include "platform/screen/screen_socket_testing.h"

namespace {

void make_screen() {
    setenv("VELMORA_SCREEN", "headless", 1);
    fuzz_device_file("");
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"FuzzScreen";
    if (!RegisterClassW(&wc)) abort();
    if (!CreateWindowExW(0, L"FuzzScreen", L"Fuzz Screen", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr))
        abort();
    // The loop's idle work runs when the queue is dry; a timer ends each wait.
    SetTimer(nullptr, 0, 10, nullptr);
}

// Reads what has come; false once the server closed its end.
bool take_answer(int fd, std::string *answer) {
    char buf[65536];
    for (;;) {
        ssize_t n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n > 0) {
            answer->append(buf, size_t(n));
            continue;
        }
        return n < 0;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static bool ready = (make_screen(), true);
    (void)ready;
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0) abort();
    for (size_t done = 0; done < size;) {
        ssize_t n = send(fds[0], data + done, size - done, MSG_NOSIGNAL);
        if (n <= 0) break;  // more than the socket holds: the rest is never sent
        done += size_t(n);
    }
    shutdown(fds[0], SHUT_WR);
    screen_control_adopt(fds[1]);
    std::string answer;
    MSG msg;
    // Each turn of the loop that finds the queue dry runs the screen's idle
    // work: the request's keys, then its answer.
    for (int turn = 0; turn < 10000 && take_answer(fds[0], &answer); turn++)
        if (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    if (take_answer(fds[0], &answer)) abort();  // the client was never let go
    close(fds[0]);
    if (!answer.empty() && answer.compare(0, 2, "ok") != 0 && answer.compare(0, 6, "error ") != 0) abort();
    fuzz_device_tidy();
    return 0;
}
