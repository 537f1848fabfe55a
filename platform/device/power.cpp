#include "platform/device/power.h"

#include <fcntl.h>
#include <sys/file.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/device/device.h"
#include "platform/device/journal.h"
#include "platform/core/text.h"

namespace {

// Suspended time the process has not yet reported, in ms, beyond which a
// suspend counts: shorter differences are clock noise.
constexpr long long SUSPEND_MS = 1000;

struct PowerWatch {
    std::mutex lock;
    bool started = false;
    long long suspended_ms = 0;
    unsigned long count = 0;
};

PowerWatch &watch() {
    static PowerWatch w;
    return w;
}

// Another device has another counter: start afresh with it.
void forget_device() {
    std::lock_guard<std::mutex> g(watch().lock);
    watch().started = false;
}

long long suspended_ms_now() {
    struct timespec boot, mono;
    clock_gettime(CLOCK_BOOTTIME, &boot);
    clock_gettime(CLOCK_MONOTONIC, &mono);
    return (boot.tv_sec - mono.tv_sec) * 1000LL + (boot.tv_nsec - mono.tv_nsec) / 1000000;
}

unsigned long read_count(int fd) {
    char text[32] = {0};
    ssize_t n = pread(fd, text, sizeof text - 1, 0);
    return n > 0 ? strtoul(text, nullptr, 10) : 0;
}

}  // namespace

unsigned long power_on_count(void) {
    char path[DEVICE_HOST_PATH];
    if (!device_file("power-on", path, sizeof path)) return 0;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    unsigned long n = read_count(fd);
    close(fd);
    return n;
}

bool power_record_on(void) {
    char path[DEVICE_HOST_PATH];
    if (!device_file("power-on", path, sizeof path)) return false;
    int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    // The lock keeps two programs that record at once from losing one.
    flock(fd, LOCK_EX);
    char text[32];
    int len = snprintf(text, sizeof text, "%lu\n", read_count(fd) + 1);
    bool ok = ftruncate(fd, 0) == 0 && pwrite(fd, text, size_t(len), 0) == len;
    flock(fd, LOCK_UN);
    close(fd);
    return ok;
}

bool power_on_seen(void) {
    static std::once_flag hooked;
    std::call_once(hooked, [] { device_add_close_hook(forget_device); });
    long long suspended = suspended_ms_now();
    unsigned long count = power_on_count();
    PowerWatch &w = watch();
    std::lock_guard<std::mutex> g(w.lock);
    if (!w.started) {
        w.started = true;
        w.suspended_ms = suspended;
        w.count = count;
        return false;
    }
    bool resumed = suspended - w.suspended_ms > SUSPEND_MS;
    bool recorded = count != w.count;
    if (resumed) w.suspended_ms = suspended;
    w.count = count;
    return resumed || recorded;
}

DWORD SetSystemPowerState(LPCWSTR state_name, DWORD state_flags, DWORD options) {
    bool on = state_name ? plat::fold_case(state_name) == L"on" : (state_flags & POWER_STATE_ON) != 0;
    if (!on) return ERROR_NOT_SUPPORTED;
    journal_write("power", (options & POWER_FORCE) ? L"switched on (forced)" : L"switched on");
    return ERROR_SUCCESS;
}
