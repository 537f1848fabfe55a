// Windows of another process: found by class and title, posted and sent to,
// robust against garbage on their socket, gone when their process ends.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/device/device.h"
#include "platform/phone.h"
#include "tests/support/live_service.h"
#include "tests/support/sockets.h"
#include "tests/support/window_peer_device.h"

extern char **environ;

namespace {

using WindowIpc = WindowPeerDevice;

TEST_F(WindowIpc, PostsArriveInOrderAndASendReturnsTheAnswer) {
    EXPECT_TRUE(PostMessageW(found, WM_APP + 1, 5, 6));
    EXPECT_TRUE(PostMessageW(found, WM_APP + 2, 7, 8));
    EXPECT_EQ(SendMessageW(found, WM_APP + 3, 40, 2), 42);
    auto lines = recorded(3);
    ASSERT_EQ(lines.size(), 3u);
    // The send is handled at once; the posts in the order they were made.
    std::vector<std::string> posts;
    for (auto &l : lines)
        if (l != "32771 40 2") posts.push_back(l);
    EXPECT_EQ(posts, (std::vector<std::string>{"32769 5 6", "32770 7 8"}));
    EXPECT_EQ(FindWindowW(L"peer", nullptr), found);
    EXPECT_EQ(FindWindowW(L"Peer", L"Peer Two"), nullptr);
}

TEST_F(WindowIpc, GarbageAndHalfMessagesAreDroppedWithoutHarm) {
    std::string path = window_socket_path();
    ASSERT_FALSE(path.empty());
    for (int size : {0, 5, 31, 33, 200}) {
        int fd = connect_unix(path, SOCK_SEQPACKET);
        ASSERT_GE(fd, 0);
        std::vector<char> junk(size, 'x');
        if (size) send(fd, junk.data(), junk.size(), MSG_NOSIGNAL);
        close(fd);
    }
    EXPECT_EQ(SendMessageW(found, WM_APP + 3, 1, 1), 2);
    EXPECT_EQ(recorded(1).size(), 1u);
}

TEST_F(WindowIpc, AClosedWindowIsNoLongerFound) {
    SendMessageW(found, WM_CLOSE, 0, 0);
    int status = 0;
    ASSERT_EQ(waitpid(peer, &status, 0), peer);
    EXPECT_EQ(WEXITSTATUS(status), 7);
    EXPECT_FALSE(IsWindow(found));
    EXPECT_EQ(FindWindowW(L"Peer", L"Peer One"), nullptr);
    EXPECT_FALSE(PostMessageW(found, WM_APP, 0, 0));
}

TEST_F(WindowIpc, AKilledPeerLeavesNothingFindable) {
    kill(peer, SIGKILL);
    waitpid(peer, nullptr, 0);
    EXPECT_EQ(FindWindowW(L"Peer", L"Peer One"), nullptr);
    EXPECT_EQ(SendMessageW(found, WM_APP, 1, 1), 0);
}

TEST_F(WindowIpc, FindableWindowsAreListedByClassAndTitleUntilTheirProcessGoes) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"Local";
    ASSERT_TRUE(RegisterClassW(&wc));
    HWND local = CreateWindowExW(0, L"Local", L"Wecker \u23f0 07:00", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(local, nullptr);
    auto listed = [] {
        std::vector<std::wstring> all;
        WCHAR cls[64], title[64];
        for (DWORD i = 0; window_findable(i, cls, 64, title, 64); i++) all.push_back(std::wstring(cls) + L"|" + title);
        std::sort(all.begin(), all.end());
        return all;
    };
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"Local|Wecker \u23f0 07:00", L"Peer|Peer One"}));
    kill(peer, SIGKILL);
    waitpid(peer, nullptr, 0);
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"Local|Wecker \u23f0 07:00"}));
    DestroyWindow(local);
    EXPECT_TRUE(listed().empty());
    // Nothing of either is left in the runtime folder.
    DIR *d = opendir(device_runtime_dir());
    int left = 0;
    while (struct dirent *e = readdir(d)) left += strncmp(e->d_name, "w-", 2) == 0;
    closedir(d);
    EXPECT_EQ(left, 0);
}

TEST_F(WindowIpc, VelctlListsTheWindowsAndPostsToOne) {
    std::string out;
    ASSERT_EQ(run_velctl({"windows"}, &out), 0);
    EXPECT_EQ(out, "Peer\tPeer One\n");
    EXPECT_EQ(run_velctl({"post", "peer", "Peer One", "0x8005", "7"}), 0);
    EXPECT_EQ(recorded(1), (std::vector<std::string>{"32773 7 0"}));
    EXPECT_EQ(run_velctl({"post", "Peer", "Peer Two", "0x8005", "7"}), 1);
    EXPECT_EQ(run_velctl({"post", "Peer", "Peer One", "close", "7"}), 2);
    EXPECT_EQ(run_velctl({"post", "Peer", "Peer One", "0x8005", "-1"}), 2);
    EXPECT_EQ(run_velctl({"post", "Peer", "Peer One", "0x8005"}), 2);
    EXPECT_EQ(recorded(1).size(), 1u);
}

// Another process looking for a window while it is being made must never
// take its socket for a dead one: the window would stay unreachable.
TEST_F(WindowIpc, AWindowLookedForWhileItIsMadeIsFoundOnceMade) {
    std::atomic<bool> looking{true};
    std::thread looker([&] {
        while (looking) FindWindowW(L"Peer", L"Peer One");
    });
    for (int round = 0; round < 30; round++) {
        kill(peer, SIGKILL);
        waitpid(peer, nullptr, 0);
        std::string dev = root;
        const char *argv[] = {built_window_peer(), dev.c_str(), "Peer One", record.c_str(), nullptr};
        if (posix_spawn(&peer, argv[0], nullptr, nullptr, const_cast<char **>(argv), environ) != 0) {
            ADD_FAILURE() << "the peer could not be started";
            break;
        }
        HWND again = nullptr;
        for (int i = 0; i < 500 && !again; i++) {
            again = FindWindowW(L"Peer", L"Peer One");
            if (!again) usleep(10000);
        }
        if (!again) {
            ADD_FAILURE() << "the window made in round " << round << " was never found";
            break;
        }
    }
    looking = false;
    looker.join();
}

}  // namespace
