// What another program of the same user can do to a window's socket and to
// the screen's socket: messages that carry addresses, clients that connect
// and say nothing or never read, a receiver that stopped. None of it may crash
// the receiver, hold its user-interface thread or hang the sender.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/device/device.h"
#include "platform/phone.h"
#include "tests/support/live_service.h"
#include "tests/support/run_program.h"
#include "tests/support/screen_program.h"
#include "tests/support/sockets.h"
#include "tests/support/window_peer_device.h"

namespace {

// The window socket's packet, as any program can write it.
struct Packet {
    uint32_t magic = 0x564C4D53;
    uint32_t kind = 1;  // 1 post, 2 send
    uint32_t message;
    uint32_t reserved = 0;
    uint64_t wparam;
    int64_t lparam;
};

std::string read_journal(const std::string &root) {
    std::ifstream in(root + "/journal.log");
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

long long elapsed_ms(long long since) { return host_now_ms() - since; }

class HostileWindowClients : public WindowPeerDevice {
protected:
    void raw(uint32_t kind, uint32_t message, uint64_t wparam, int64_t lparam) {
        Packet p;
        p.kind = kind, p.message = message, p.wparam = wparam, p.lparam = lparam;
        int fd = connect_unix(window_socket_path(), SOCK_SEQPACKET);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(send(fd, &p, sizeof p, MSG_NOSIGNAL), ssize_t(sizeof p));
        if (kind == 2) {
            // A send is answered, or the connection is closed; either ends the wait.
            struct timeval tv = {10, 0};
            setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
            char reply[64];
            recv(fd, reply, sizeof reply, 0);
        }
        close(fd);
    }
    bool peer_alive() { return waitpid(peer, nullptr, WNOHANG) == 0; }
};

TEST_F(HostileWindowClients, MessagesThatCarryAddressesAreDroppedAndJournalled) {
    const uint64_t bogus = 0x41414141;
    raw(1, WM_TIMER, 1, bogus);     // would be called as a timer procedure
    raw(1, WM_SETTEXT, 0, bogus);   // read as text
    raw(2, WM_GETTEXT, 64, bogus);  // written to
    raw(1, WM_COMMAND, 5, bogus);   // a control's notification carries its window
    raw(1, WM_NOTIFY, 0, bogus);
    raw(1, WM_KEYDOWN, 13, 0);  // nothing of ours sends keys this way
    raw(1, WM_COMMAND, 6, 0);   // a menu command, as velctl post sends it
    raw(1, WM_APP + 1, 1, 2);
    raw(1, WM_NULL, 0, 0);
    EXPECT_EQ(SendMessageW(found, WM_APP + 3, 40, 2), 42);
    std::vector<std::string> lines = recorded(3);
    ASSERT_TRUE(peer_alive());
    // The posts in their order; the send whenever it came.
    std::vector<std::string> posts;
    for (const std::string &l : lines)
        if (l != "32771 40 2") posts.push_back(l);
    EXPECT_EQ(posts, (std::vector<std::string>{"273 6 0", "32769 1 2"}));
    EXPECT_EQ(lines.size(), 3u);
    std::string journal = read_journal(root);
    for (const char *number : {"0x0113", "0x000C", "0x000D", "0x0111", "0x004E", "0x0100"})
        EXPECT_NE(journal.find(std::string("message ") + number), std::string::npos) << number << "\n" << journal;
}

TEST_F(HostileWindowClients, ClientsThatSayNothingDoNotHoldTheWindow) {
    std::vector<int> idle;
    for (int i = 0; i < 8; i++) idle.push_back(connect_unix(window_socket_path(), SOCK_SEQPACKET));
    int half = connect_unix(window_socket_path(), SOCK_SEQPACKET);
    send(half, "VLMS", 4, MSG_NOSIGNAL);  // the start of a packet, never finished
    usleep(50000);
    long long start = host_now_ms();
    EXPECT_EQ(SendMessageW(found, WM_APP + 3, 40, 2), 42);
    EXPECT_LT(elapsed_ms(start), 500);
    // The idle ones are let go in the end.
    for (int fd : idle) {
        struct timeval tv = {10, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        char byte;
        EXPECT_EQ(recv(fd, &byte, 1, 0), 0);
        close(fd);
    }
    close(half);
}

TEST_F(HostileWindowClients, ASendToAStoppedWindowFailsAfterItsBoundAndPostsDoNotHang) {
    ASSERT_EQ(kill(peer, SIGSTOP), 0);
    // In a child, so that a send that never returns fails the test instead of hanging it.
    pid_t child = fork();
    if (child == 0) {
        long long start = host_now_ms();
        SetLastError(0);
        LRESULT r = SendMessageW(found, WM_APP + 3, 40, 2);
        long long took = elapsed_ms(start);
        bool bounded = r == 0 && GetLastError() == ERROR_TIMEOUT && took >= 4000 && took < 8000;
        // Far more posts than the listener's backlog holds: each one returns.
        start = host_now_ms();
        for (int i = 0; i < 70; i++) PostMessageW(found, WM_APP + 1, WPARAM(i), 0);
        bool posts_return = elapsed_ms(start) < 8000;
        if (!bounded || !posts_return)
            fprintf(stderr, "send: %ld after %lld ms (error %u); posts: %lld ms\n", long(r), took,
                    unsigned(GetLastError()), elapsed_ms(start));
        _exit(bounded && posts_return ? 0 : 1);
    }
    int status = -1;
    long long until = host_now_ms() + 25000;
    while (waitpid(child, &status, WNOHANG) == 0 && host_now_ms() < until) usleep(20000);
    if (host_now_ms() >= until) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        FAIL() << "the send or the posts to a stopped window never returned";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    kill(peer, SIGCONT);
    EXPECT_EQ(SendMessageW(found, WM_APP + 3, 1, 1), 2);
}

class HostileScreenClients : public ScreenProgram {
protected:
    std::string screen_socket() { return std::string(device_runtime_dir()) + "/screen.sock"; }
    // How long the program's window takes to answer a send, in ms.
    long long window_latency() {
        HWND w = FindWindowW(L"ScreenPeer", L"Screen Peer");
        long long start = host_now_ms();
        SendMessageW(w, WM_NULL, 0, 0);
        return elapsed_ms(start);
    }
};

TEST_F(HostileScreenClients, ClientsThatSayNothingOrNeverReadDoNotHoldTheProgram) {
    start_on_screen(SCREEN_PEER, 240, 320);
    std::vector<int> idle;
    for (int i = 0; i < 4; i++) idle.push_back(connect_unix(screen_socket(), SOCK_STREAM));
    // A screenshot nobody reads fills the socket's buffers and stays there.
    int stuck = connect_unix(screen_socket(), SOCK_STREAM);
    int small = 4096;
    setsockopt(stuck, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    send(stuck, "screenshot\n", 11, MSG_NOSIGNAL);
    usleep(100000);
    EXPECT_LT(window_latency(), 250);
    long long start = host_now_ms();
    EXPECT_EQ(velctl({"key", "soft2"}), 0);
    EXPECT_LT(elapsed_ms(start), 2000);
    EXPECT_EQ(fresh(), (std::vector<std::string>{"command 1099"}));
    EXPECT_LT(window_latency(), 250);
    for (int fd : idle) close(fd);
    close(stuck);
}

}  // namespace
