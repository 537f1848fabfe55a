#include "platform/device/device_db.h"

#include <pthread.h>

#include <cstdio>
#include <vector>

#include "platform/device/device.h"

namespace plat {

namespace {

// Every database that has been opened once; they live as long as the process.
std::mutex known_lock;
std::vector<DeviceDb *> known;

std::vector<DeviceDb *> known_databases() {
    std::lock_guard<std::mutex> g(known_lock);
    return known;
}

void close_all(void) {
    for (DeviceDb *d : known_databases()) {
        std::lock_guard<std::mutex> g(d->lock);
        d->db.close();
        if (d->forget) d->forget();
    }
}

// The child has one thread and its parent's connections must stay untouched.
void forget_all_after_fork(void) {
    for (DeviceDb *d : known) {
        d->db.abandon();
        if (d->forget) d->forget();
    }
}

void remember(DeviceDb *d) {
    static std::once_flag process_hooks;
    std::call_once(process_hooks, [] {
        device_add_close_hook(close_all);
        pthread_atfork(nullptr, nullptr, forget_all_after_fork);
    });
    std::lock_guard<std::mutex> g(known_lock);
    known.push_back(d);
}

}  // namespace

bool device_db_ready(DeviceDb &d) {
    std::call_once(d.hooks, remember, &d);
    if (d.db.is_open()) return true;
    char path[DEVICE_HOST_PATH];
    if (!device_file(d.file_name, path, sizeof path)) {
        d.db.check(SQLITE_OK);
        d.problem = device_error();
        return false;
    }
    return d.db.open(path, d.schema, d.version, d.read_when_full);
}

void device_db_problem(DeviceDb &d, char *out, size_t cap) {
    if (!out || cap == 0) return;
    std::lock_guard<std::mutex> g(d.lock);
    snprintf(out, cap, "%s", d.problem.c_str());
}

}  // namespace plat
