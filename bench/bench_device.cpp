#include "bench/bench_device.h"

#include <ftw.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/audio/engine.h"
#include "platform/device/device.h"
#include "platform/phone.h"

namespace {

std::string root, runtime;
std::atomic<long long> first_sound_ns{0};

void watch_output(const int16_t *samples, int frames) {
    if (first_sound_ns.load() != 0) return;
    for (int i = 0; i < frames; i++)
        if (samples[i] != 0) {
            first_sound_ns.store(bench_now_ns());
            return;
        }
}

void remove_files(const std::string &top) {
    nftw(
        top.c_str(), [](const char *p, const struct stat *, int, struct FTW *) { return remove(p); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

// Only the files: the platform's own records are gone by the time exit
// handlers run.
void remove_root() {
    remove_files(root);
    if (!runtime.empty()) remove_files(runtime);
}

}  // namespace

std::string bench_device_open() {
    char pattern[] = "/tmp/velmora-bench-XXXXXX";
    if (!mkdtemp(pattern) || !device_open(pattern)) {
        fprintf(stderr, "cannot make a scratch device\n");
        exit(1);
    }
    root = pattern;
    const char *sockets = device_runtime_dir();
    runtime = sockets ? sockets : "";
    atexit(remove_root);
    return root;
}

void bench_remove_device(const std::string &folder) {
    if (device_open(folder.c_str())) {
        if (const char *sockets = device_runtime_dir()) remove_files(sockets);
        device_close();
    }
    remove_files(folder);
}

std::string bench_host_path(const wchar_t *device_path) {
    char host[DEVICE_HOST_PATH];
    if (!device_host_path(device_path, host, sizeof host)) exit(1);
    std::string path = host;
    for (size_t i = 1; i < path.size(); i++)
        if (path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
    return path;
}

void bench_song_tree(const wchar_t *top) {
    const wchar_t *const extensions[] = {L"mp3", L"ogg", L"wav"};
    unsigned seed = 1;
    for (int group = 0; group < 10; group++)
        for (int folder = 0; folder < 100; folder++)
            for (int file = 0; file < 10; file++) {
                seed = seed * 1103515245u + 12345u;
                WCHAR path[MAX_PATH];
                swprintf(path, MAX_PATH, L"%ls\\g%d\\f%02d\\track %05u.%ls", top, group, folder, (seed >> 8) % 100000,
                         extensions[file % 3]);
                if (FILE *f = fopen(bench_host_path(path).c_str(), "w")) fclose(f);
            }
}

long long bench_now_ns(void) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void bench_watch_first_sound(void) {
    first_sound_ns = 0;
    audio::engine_set_observer(watch_output);
}

long long bench_first_sound_ns(void) { return first_sound_ns.load(); }
