#include "platform/core/sqlite_db.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/core/text.h"

namespace plat {

namespace {

constexpr int WRITE_WAIT_MS = 60000;
constexpr int READ_WAIT_MS = 3000;

// The database and its -wal and -shm files hold the user's alarms and
// settings: nobody else may read them. SQLite gives the -wal and -shm files
// the database file's mode, so a new file starts as 0600; older files lose
// their group and other bits.
void keep_private(const std::string &path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return;
    }
    for (const char *suffix : {"", "-wal", "-shm"}) {
        std::string file = path + suffix;
        struct stat st;
        if (stat(file.c_str(), &st) == 0 && (st.st_mode & 077)) chmod(file.c_str(), st.st_mode & 0700);
    }
}

// SQLite hands each connection 20 pages of cache in one block at its first
// read, touched whole; a program that keeps its databases open all day and
// reads a few pages of them holds that for nothing. Without the block a page
// is allocated when it is first read. Must precede SQLite's initialisation.
void pages_as_read(void) {
    static std::once_flag once;
    std::call_once(once, [] { sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0); });
}

// One value of a pragma or query; false when it could not be read.
bool query_one(sqlite3 *db, const char *sql, std::string *out, int *code) {
    sqlite3_stmt *st = nullptr;
    *code = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    if (*code == SQLITE_OK) {
        *code = sqlite3_step(st);
        if (*code == SQLITE_ROW) {
            const unsigned char *text = sqlite3_column_text(st, 0);
            *out = text ? reinterpret_cast<const char *>(text) : "";
        }
    }
    sqlite3_finalize(st);
    return *code == SQLITE_ROW;
}

}  // namespace

bool SqliteDb::check(int rc) {
    code_ = rc;
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE) {
        message_.clear();
        return true;
    }
    message_ = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    return false;
}

void SqliteDb::wait_at_most(int ms) {
    if (db_) sqlite3_busy_timeout(db_, ms);
}

bool SqliteDb::open(const std::string &path, const char *schema, int version, bool read_when_full) {
    close();
    pages_as_read();
    path_ = path;
    keep_private(path);
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
    wait_at_most(READ_WAIT_MS);
    sqlite3_extended_result_codes(db_, 0);
    if (!read_only_) read_only_ = sqlite3_db_readonly(db_, "main") == 1;
    if (read_only_) return open_for_reading_only();
    if (schema_in_place(version)) {
        if (exec("PRAGMA synchronous=FULL")) return true;
    } else if (code_ == SQLITE_ROW || code_ == SQLITE_DONE) {
        if (set_up(schema, version)) return true;
    } else if (read_when_full && (code_ == SQLITE_IOERR || code_ == SQLITE_FULL)) {
        return open_exclusively_for_reading();
    }
    close();
    return false;
}

// Reads only: a write-ahead log at the version's schema needs no writing.
bool SqliteDb::schema_in_place(int version) {
    std::string mode, stored;
    int rc;
    bool read =
        query_one(db_, "PRAGMA journal_mode", &mode, &rc) && query_one(db_, "PRAGMA user_version", &stored, &rc);
    check(rc);
    return read && mode == "wal" && atoi(stored.c_str()) >= version;
}

// Switching a new database to the write-ahead log needs the file to itself,
// and SQLite reports a busy file at once instead of waiting: two programs
// opening the same new database would see one of them fail. The switch is
// tried again, 10 ms apart, for as long as a write would wait.
bool SqliteDb::use_write_ahead_log() {
    for (int waited = 0;; waited += 10) {
        if (exec("PRAGMA journal_mode=WAL")) return true;
        if (code_ != SQLITE_BUSY || waited >= WRITE_WAIT_MS) return false;
        usleep(10000);
    }
}

bool SqliteDb::set_up(const char *schema, int version) {
    std::string stamp = "PRAGMA user_version=" + std::to_string(version);
    if (!use_write_ahead_log() || !exec("PRAGMA synchronous=FULL") || !begin_immediate()) return false;
    if (exec(schema) && exec(stamp.c_str()) && commit()) return true;
    rollback();
    return false;
}

// Every reader of a database in WAL mode maps its shared-memory file; on a
// full disk that file cannot be sized. In exclusive locking mode the log's
// index is kept in the process instead, and the file is held by this
// connection alone while it is open. SQLite allows that only to a connection
// that may write; this one is treated as read-only all the same.
bool SqliteDb::open_exclusively_for_reading() {
    int code = code_;
    std::string message = message_;
    sqlite3_close(db_);
    db_ = nullptr;
    if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK &&
        exec("PRAGMA locking_mode=EXCLUSIVE") && exec("SELECT count(*) FROM sqlite_master")) {
        wait_at_most(READ_WAIT_MS);
        read_only_ = true;
        exclusive_ = true;
        return true;
    }
    close();
    code_ = code;
    message_ = message;
    return false;
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
    exclusive_ = false;
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

bool SqliteDb::begin_immediate() {
    wait_at_most(WRITE_WAIT_MS);
    if (exec("BEGIN IMMEDIATE")) return true;
    wait_at_most(READ_WAIT_MS);
    return false;
}

bool SqliteDb::commit() {
    bool ok = exec("COMMIT");
    if (ok) wait_at_most(READ_WAIT_MS);
    return ok;
}

void SqliteDb::rollback() {
    if (db_ && !sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    wait_at_most(READ_WAIT_MS);
}

bool SqliteDb::checkpoint() {
    if (!db_) return false;
    wait_at_most(WRITE_WAIT_MS);
    bool ok = check(sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_FULL, nullptr, nullptr));
    wait_at_most(READ_WAIT_MS);
    return ok;
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
