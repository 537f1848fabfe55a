#include "platform/core/sqlite_db.h"

#include "platform/core/text.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace plat {

namespace {
constexpr int BUSY_TIMEOUT_MS = 60000;
}

bool SqliteDb::check(int rc) {
    code_ = rc;
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE) {
        message_.clear();
        return true;
    }
    message_ = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    return false;
}

bool SqliteDb::open(const std::string &path, const char *schema) {
    close();
    path_ = path;
    int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db_);
        db_ = nullptr;
        rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
        read_only_ = true;
    }
    if (!check(rc)) {
        close();
        return false;
    }
    sqlite3_busy_timeout(db_, BUSY_TIMEOUT_MS);
    sqlite3_extended_result_codes(db_, 0);
    if (!read_only_) read_only_ = sqlite3_db_readonly(db_, "main") == 1;
    if (read_only_) return open_for_reading_only();
    if (!exec("PRAGMA journal_mode=WAL") || !exec("PRAGMA synchronous=FULL") || !begin_immediate()) {
        close();
        return false;
    }
    if (!exec(schema) || !commit()) {
        rollback();
        close();
        return false;
    }
    return true;
}

// A read-only file in WAL mode cannot be read where its -shm file cannot be
// made; it is then opened as immutable, since nobody can change it anyway.
bool SqliteDb::open_for_reading_only() {
    const char *probe = "SELECT count(*) FROM sqlite_master";
    if (check(sqlite3_exec(db_, probe, nullptr, nullptr, nullptr))) return true;
    int code = code_;
    std::string message = message_;
    sqlite3_close(db_);
    db_ = nullptr;
    std::string uri = "file:";
    for (unsigned char c : path_) {
        if (isalnum(c) || strchr("/-_.~", c)) {
            uri += char(c);
        } else {
            char hex[4];
            snprintf(hex, sizeof hex, "%%%02X", c);
            uri += hex;
        }
    }
    uri += "?immutable=1";
    if (sqlite3_open_v2(uri.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr) ==
            SQLITE_OK &&
        check(sqlite3_exec(db_, probe, nullptr, nullptr, nullptr)))
        return true;
    close();
    code_ = code;
    message_ = message;
    return false;
}

void SqliteDb::close() {
    for (auto &entry : statements_) sqlite3_finalize(entry.second);
    statements_.clear();
    if (db_) sqlite3_close(db_);
    db_ = nullptr;
    read_only_ = false;
}

void SqliteDb::abandon() {
    statements_.clear();
    db_ = nullptr;
}

sqlite3_stmt *SqliteDb::prepare(const char *sql) {
    auto it = statements_.find(sql);
    if (it != statements_.end()) {
        sqlite3_reset(it->second);
        sqlite3_clear_bindings(it->second);
        return it->second;
    }
    sqlite3_stmt *st = nullptr;
    if (!check(sqlite3_prepare_v2(db_, sql, -1, &st, nullptr))) return nullptr;
    statements_[sql] = st;
    return st;
}

bool SqliteDb::exec(const char *sql) {
    char *err = nullptr;
    int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &err);
    sqlite3_free(err);
    return check(rc);
}

bool SqliteDb::begin_immediate() { return exec("BEGIN IMMEDIATE"); }

bool SqliteDb::commit() { return exec("COMMIT"); }

void SqliteDb::rollback() {
    if (db_ && !sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Stmt::bind_wide(int index, const WCHAR *text) { bind_text(index, to_utf8(text ? text : L"")); }

std::wstring Stmt::column_wide(int column) const {
    const unsigned char *text = sqlite3_column_text(st_, column);
    return from_utf8(text ? reinterpret_cast<const char *>(text) : "");
}

std::string Stmt::column_blob(int column) const {
    const void *blob = sqlite3_column_blob(st_, column);
    if (!blob) return std::string();
    return std::string(static_cast<const char *>(blob), size_t(sqlite3_column_bytes(st_, column)));
}

}  // namespace plat
