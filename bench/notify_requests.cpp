#include "bench/notify_requests.h"

#include <sqlite3.h>

#include "platform/core/text.h"
#include "platform/device/clock.h"
#include "platform/device/device.h"
#include "platform/notify/notify_db.h"

bool bench_store_requests(const wchar_t *application, const std::vector<StoredRequest> &requests) {
    char path[DEVICE_HOST_PATH];
    sqlite3 *db = nullptr;
    if (!device_file("notify.db", path, sizeof path) || sqlite3_open(path, &db) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt *st = nullptr;
    bool ok = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK &&
              sqlite3_prepare_v2(db,
                                 "INSERT INTO requests(handle, application, arguments, start_local, end_local,"
                                 " created_utc) VALUES(?1, ?2, ?3, ?4, ?4 + 300000, ?5)",
                                 -1, &st, nullptr) == SQLITE_OK;
    std::string program = plat::to_utf8(application);
    long long now = clock_utc_ms();
    for (size_t i = 0; ok && i < requests.size(); i++) {
        sqlite3_bind_int64(st, 1, requests[i].handle);
        sqlite3_bind_text(st, 2, program.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 3, requests[i].argument.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_int64(st, 4, requests[i].start_local);
        sqlite3_bind_int64(st, 5, now);
        ok = sqlite3_step(st) == SQLITE_DONE;
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    ok = sqlite3_exec(db, ok ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr) == SQLITE_OK && ok;
    sqlite3_close(db);
    if (ok) plat::notify_service_poke();  // none may run
    return ok;
}
