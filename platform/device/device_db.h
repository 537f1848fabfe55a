// A SQLite database file in the device root (the registry, the notification
// database), shared by the device's processes. It opens on the first call that
// needs it, is tried again after a failure, closes when another device is
// chosen, and is forgotten (not closed) in a forked child. Internal to the
// platform.
#pragma once

#include <mutex>
#include <string>

#include "platform/core/sqlite_db.h"

namespace plat {

struct DeviceDb {
    // `forget` drops what the owner keeps about the open database (open
    // keys); it is called with `lock` held when the database closes, and in a
    // forked child. nullptr: nothing to drop.
    DeviceDb(const char *file_name, const char *schema, int version, bool read_when_full,
             void (*forget)(void) = nullptr)
        : file_name(file_name), schema(schema), version(version), read_when_full(read_when_full), forget(forget) {}

    const char *const file_name;  // in the device root, e.g. "registry.db"
    const char *const schema;     // run in one write transaction when the file is below `version`
    const int version;
    // A full disk may open it in exclusive locking mode for reading; the
    // owner then closes it at the end of each call (SqliteDb::open).
    const bool read_when_full;
    void (*const forget)(void);

    std::mutex lock;  // held by every call that uses `db` or `problem`
    SqliteDb db;
    std::string problem;  // one line about the last failure
    std::once_flag hooks;
};

// Opens the database unless it is open; the caller holds `lock`. False when
// the device folder cannot be had (`problem` says why, `db.code()` is
// SQLITE_OK) or SQLite failed (`db.code()` and `db.message()` say why).
bool device_db_ready(DeviceDb &d);

// Copies the last failure into `out` (at most `cap` bytes with the
// terminator) while holding the lock, so the caller never reads text that
// another thread is replacing.
void device_db_problem(DeviceDb &d, char *out, size_t cap);

}  // namespace plat
