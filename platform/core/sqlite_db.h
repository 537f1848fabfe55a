// One SQLite database of the device shared by several processes: WAL, a long
// busy timeout for writes and BEGIN IMMEDIATE, so a write waits for another
// writer instead of failing; a read waits a few seconds at most, so a program
// that holds the whole file cannot hold a caller for long. Opening a database
// whose schema is in place writes nothing, so that a full disk or another
// writer does not keep it from being read. Internal to the platform.
#pragma once

#include <sqlite3.h>

#include <map>
#include <string>

#include "platform/core/types.h"

namespace plat {

class SqliteDb {
public:
    SqliteDb() = default;
    SqliteDb(const SqliteDb &) = delete;
    SqliteDb &operator=(const SqliteDb &) = delete;
    ~SqliteDb() { close(); }

    // Opens (creating when allowed) and, unless the file says it is at
    // `version` already, runs `schema` in one write transaction and records
    // the version. The files are made readable by their owner only. A
    // read-only file is opened for reading. With `read_when_full`, a database
    // that cannot be read for want of room (its write-ahead log's shared
    // memory cannot be made) is opened for reading in exclusive locking mode:
    // the owner must close it after each call (held_exclusively()).
    bool open(const std::string &path, const char *schema, int version, bool read_when_full);
    void close();
    // Forgets the connection without closing it: a forked child must not
    // touch its parent's connection.
    void abandon();
    bool is_open() const { return db_ != nullptr; }
    bool read_only() const { return read_only_; }
    bool held_exclusively() const { return exclusive_; }

    // A cached statement, reset and unbound.
    sqlite3_stmt *prepare(const char *sql);
    bool exec(const char *sql);
    // A write transaction waits long for other writers; commit and rollback
    // go back to the short wait of reads.
    bool begin_immediate();
    bool commit();
    void rollback();
    // Copies every committed page from the write-ahead log into the database
    // file, so that what was committed survives the log's loss. Waits for
    // readers as a write does.
    bool checkpoint();

    int code() const { return code_; }
    const std::string &message() const { return message_; }
    const std::string &path() const { return path_; }
    sqlite3 *handle() const { return db_; }

    // Records the outcome of a step or call; returns true on success codes.
    bool check(int rc);

private:
    bool open_for_reading_only();
    bool use_write_ahead_log();
    bool open_exclusively_for_reading();
    bool schema_in_place(int version);
    bool set_up(const char *schema, int version);
    void wait_at_most(int ms);

    sqlite3 *db_ = nullptr;
    bool read_only_ = false;
    bool exclusive_ = false;
    std::string path_;
    int code_ = SQLITE_OK;
    std::string message_;
    std::map<const char *, sqlite3_stmt *> statements_;
};

// Resets a cached statement when it goes out of scope, so that no read
// transaction stays open behind the caller's back. Texts are bound and read
// as UTF-8.
class Stmt {
public:
    Stmt(SqliteDb &db, const char *sql) : st_(db.prepare(sql)) {}
    Stmt(const Stmt &) = delete;
    Stmt &operator=(const Stmt &) = delete;
    ~Stmt() {
        if (st_) sqlite3_reset(st_);
    }
    explicit operator bool() const { return st_ != nullptr; }
    sqlite3_stmt *get() const { return st_; }

    void bind(int index, long long value) { sqlite3_bind_int64(st_, index, value); }
    void bind_text(int index, const std::string &utf8) {
        sqlite3_bind_text(st_, index, utf8.c_str(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bind_wide(int index, const WCHAR *text);
    void bind_blob(int index, const std::string &bytes) {
        sqlite3_bind_blob(st_, index, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    int step() { return sqlite3_step(st_); }
    long long column_int(int column) const { return sqlite3_column_int64(st_, column); }
    std::wstring column_wide(int column) const;
    std::string column_blob(int column) const;

private:
    sqlite3_stmt *st_;
};

// A write transaction (BEGIN IMMEDIATE) that is rolled back when it goes out
// of scope uncommitted, on every early return.
class Transaction {
public:
    explicit Transaction(SqliteDb &db) : db_(db), open_(db.begin_immediate()) {}
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    ~Transaction() {
        if (open_) db_.rollback();
    }
    // False when the transaction could not begin; the database says why.
    bool began() const { return open_; }
    bool commit() {
        if (!db_.commit()) return false;
        open_ = false;
        return true;
    }

private:
    SqliteDb &db_;
    bool open_;
};

}  // namespace plat
