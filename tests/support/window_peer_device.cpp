#include "tests/support/window_peer_device.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "tests/support/live_service.h"

extern char **environ;

void WindowPeerDevice::SetUp() {
    TempDevice::SetUp();
    record = root + "/record.txt";
    std::string dev = root;
    const char *argv[] = {built_window_peer(), dev.c_str(), "Peer One", record.c_str(), nullptr};
    ASSERT_EQ(posix_spawn(&peer, argv[0], nullptr, nullptr, const_cast<char **>(argv), environ), 0);
    for (int i = 0; i < 3000 && !found; i++) {  // up to 30 s on a loaded machine
        found = FindWindowW(L"Peer", L"Peer One");
        if (!found) usleep(10000);
    }
    ASSERT_NE(found, nullptr) << "the peer's window never appeared";
}

void WindowPeerDevice::TearDown() {
    if (peer > 0 && waitpid(peer, nullptr, WNOHANG) == 0) {
        kill(peer, SIGCONT);  // a test may have stopped it
        kill(peer, SIGKILL);
        waitpid(peer, nullptr, 0);
    }
    TempDevice::TearDown();
}

std::vector<std::string> WindowPeerDevice::recorded(size_t want) {
    std::vector<std::string> lines;
    for (int i = 0; i < 300; i++) {
        lines.clear();
        std::ifstream in(record);
        for (std::string l; std::getline(in, l);) lines.push_back(l);
        if (lines.size() >= want) break;
        usleep(10000);
    }
    return lines;
}
