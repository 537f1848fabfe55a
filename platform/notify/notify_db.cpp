// The notification database: timed requests and event registrations in
// "notify.db" of the device root, shared by every program of the device and
// by the notification service.
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/core/sqlite_db.h"
#include "platform/core/text.h"
#include "platform/device/clock.h"
#include "platform/device/device_db.h"
#include "platform/notify/notify.h"
#include "platform/notify/notify_db.h"

namespace {

// A request the service has claimed stays, marked `fired` with the claim's
// token, until its launcher has started the program: so its handle is not
// given out again, and a launcher left alone by a killed service can tell
// whether the claim was committed.
constexpr const char *SCHEMA =
    "CREATE TABLE IF NOT EXISTS requests(handle INTEGER PRIMARY KEY, application TEXT NOT NULL,"
    " arguments TEXT NOT NULL, start_local INTEGER NOT NULL, end_local INTEGER NOT NULL,"
    " created_utc INTEGER NOT NULL, fired INTEGER);"
    "CREATE TABLE IF NOT EXISTS events(event INTEGER NOT NULL, fold TEXT NOT NULL, application TEXT NOT NULL,"
    " PRIMARY KEY(event, fold)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS handle_counter(id INTEGER PRIMARY KEY CHECK(id = 1), last INTEGER NOT NULL);"
    "INSERT OR IGNORE INTO handle_counter(id, last) VALUES(1, 0);";

constexpr int SCHEMA_VERSION = 1;
constexpr long long LAST_HANDLE = 0xFFFFFFFFLL;

struct NotifyDb {
    plat::DeviceDb store{"notify.db", SCHEMA, SCHEMA_VERSION, false};
    plat::SqliteDb &db = store.db;
};

NotifyDb &ndb() {
    static NotifyDb n;
    return n;
}

// Every call holds the database's lock.
struct Locked {
    explicit Locked(NotifyDb &n) : guard(n.store.lock) {}
    std::lock_guard<std::mutex> guard;
};

bool fail(NotifyDb &n) {
    n.store.problem = "the notification database " + n.db.path() + " failed: " + n.db.message();
    return false;
}

// A database made before claims were marked lacks the column.
bool add_fired_column(NotifyDb &n) {
    if (n.db.exec("SELECT fired FROM requests LIMIT 0")) return true;
    plat::Transaction t(n.db);
    if (!t.began()) return false;
    if (!n.db.exec("SELECT fired FROM requests LIMIT 0") && !n.db.exec("ALTER TABLE requests ADD COLUMN fired INTEGER"))
        return false;
    return t.commit();
}

// The indexes that keep a claim, a registration and a restart O(log n) in
// the pending requests. Pending requests are ordered by their local due
// time, not by the instant it falls due: that instant moves with the device
// zone and the clock, the order of local times does not (the instant a
// local time is first reached grows with it in every zone), so the index
// stays right across clock and zone changes with nothing to rebuild.
// Made after the fired column, which older databases lack at first.
// Made in a write transaction that waits its turn: a program that found
// them missing while another makes them must not fail for it.
bool add_indexes(NotifyDb &n) {
    constexpr const char *PRESENT = "SELECT 1 FROM sqlite_master WHERE type='index' AND name='fired_requests'";
    {
        plat::Stmt st(n.db, PRESENT);
        if (st && st.step() == SQLITE_ROW) return true;
    }
    plat::Transaction t(n.db);
    if (!t.began()) return false;
    return n.db.exec("CREATE INDEX IF NOT EXISTS pending_by_start ON requests(start_local) WHERE fired IS NULL;"
                     "CREATE INDEX IF NOT EXISTS pending_by_arguments ON requests(arguments) WHERE fired IS NULL;"
                     "CREATE INDEX IF NOT EXISTS fired_requests ON requests(fired) WHERE fired IS NOT NULL") &&
           t.commit();
}

// Opens the database on first use; a failure is tried again at the next call.
bool ready(NotifyDb &n) {
    if (n.db.is_open()) return true;
    if (!plat::device_db_ready(n.store)) return n.db.code() == SQLITE_OK ? false : fail(n);
    if (n.db.read_only() || (add_fired_column(n) && add_indexes(n))) return true;
    fail(n);
    n.db.close();
    return false;
}

// The trigger as stored: validated, with both times as local milliseconds.
bool read_trigger(const CE_NOTIFICATION_TRIGGER *t, const CE_USER_NOTIFICATION *u, plat::NotifyRequest &r) {
    if (!t || t->dwSize != sizeof(CE_NOTIFICATION_TRIGGER) || t->dwType != CNT_TIME) return false;
    if (!t->lpszApplication || t->lpszApplication[0] != L'\\') return false;
    if (u && u->ActionFlags != 0) return false;  // nothing to show or play here
    FILETIME check;
    if (!SystemTimeToFileTime(&t->stStartTime, &check) || !SystemTimeToFileTime(&t->stEndTime, &check)) return false;
    r.application = t->lpszApplication;
    r.arguments = t->lpszArguments ? t->lpszArguments : L"";
    r.start_local = clock_ms_from_systemtime(&t->stStartTime);
    r.end_local = clock_ms_from_systemtime(&t->stEndTime);
    r.created_utc = clock_utc_ms();
    return true;
}

bool handle_stored(NotifyDb &n, long long handle) {
    plat::Stmt st(n.db, "SELECT 1 FROM requests WHERE handle=?1");
    if (!st) return false;
    st.bind(1, handle);
    return st.step() == SQLITE_ROW;
}

// The next handle after the last one given, skipping 0 and those still
// stored; 0 when every number is taken or the database fails.
long long allocate_handle(NotifyDb &n) {
    long long last = 0;
    {
        plat::Stmt st(n.db, "SELECT last FROM handle_counter WHERE id=1");
        if (!st || st.step() != SQLITE_ROW) return 0;
        last = st.column_int(0);
    }
    long long candidate = last;
    for (long long tries = 0; tries < LAST_HANDLE; tries++) {
        candidate = candidate >= LAST_HANDLE ? 1 : candidate + 1;
        if (!handle_stored(n, candidate)) break;
    }
    plat::Stmt st(n.db, "UPDATE handle_counter SET last=?1 WHERE id=1");
    if (!st) return 0;
    st.bind(1, candidate);
    return n.db.check(st.step()) ? candidate : 0;
}

// Writes the request under `handle`; with `replace` only an existing row is
// changed. Returns false when nothing was written.
bool store_request(NotifyDb &n, long long handle, const plat::NotifyRequest &r, bool replace) {
    plat::Stmt st(n.db, replace ? "UPDATE requests SET application=?2, arguments=?3, start_local=?4, end_local=?5,"
                                  " created_utc=?6 WHERE handle=?1 AND fired IS NULL"
                                : "INSERT INTO requests(handle, application, arguments, start_local, end_local,"
                                  " created_utc) VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    if (!st) return false;
    st.bind(1, handle);
    st.bind_wide(2, r.application.c_str());
    st.bind_wide(3, r.arguments.c_str());
    st.bind(4, r.start_local);
    st.bind(5, r.end_local);
    st.bind(6, r.created_utc);
    if (!n.db.check(st.step())) return false;
    return sqlite3_changes(n.db.handle()) == 1;
}

// One pending request per program and command line: every other one of
// `r`'s application (without case) and arguments goes, so that programs
// re-arming an alarm at once leave one request however their registrations
// interleave. O(n) in the pending requests with those arguments.
bool drop_others(NotifyDb &n, long long handle, const plat::NotifyRequest &r) {
    std::vector<long long> doomed;
    {
        plat::Stmt st(n.db,
                      "SELECT handle, application FROM requests WHERE arguments=?1 AND handle<>?2 AND fired IS NULL");
        if (!st) return false;
        st.bind_wide(1, r.arguments.c_str());
        st.bind(2, handle);
        std::wstring folded = plat::fold_case(r.application.c_str());
        int rc;
        while ((rc = st.step()) == SQLITE_ROW)
            if (plat::fold_case(st.column_wide(1).c_str()) == folded) doomed.push_back(st.column_int(0));
        if (!n.db.check(rc)) return false;
    }
    for (long long other : doomed) {
        plat::Stmt st(n.db, "DELETE FROM requests WHERE handle=?1");
        if (!st) return false;
        st.bind(1, other);
        if (!n.db.check(st.step())) return false;
    }
    return true;
}

// Committed changes go from the write-ahead log into the database file at
// once: a lost or truncated -wal file (a crash of the filesystem, a backup of
// the file alone) then loses nothing. A failed checkpoint leaves them in the
// log, still committed.
void write_through(NotifyDb &n) { n.db.checkpoint(); }

// The stored handle; 0 when nothing was stored.
long long set_request(NotifyDb &n, long long handle, const plat::NotifyRequest &r) {
    Locked g(n);
    if (!ready(n)) return 0;
    plat::Transaction t(n.db);
    if (!t.began()) return fail(n);
    bool replace = handle != 0;
    if (!replace) handle = allocate_handle(n);
    if (handle != 0 && store_request(n, handle, r, replace) && drop_others(n, handle, r) && t.commit()) {
        write_through(n);
        return handle;
    }
    // A handle that is no longer stored is refused, which is no failure.
    if (n.db.code() != SQLITE_OK && n.db.code() != SQLITE_DONE) fail(n);
    return 0;
}

bool load_request(NotifyDb &n, long long handle, plat::NotifyRequest &r) {
    plat::Stmt st(n.db, "SELECT application, arguments, start_local, end_local FROM requests WHERE handle=?1 AND fired IS NULL");
    if (!st) return false;
    st.bind(1, handle);
    if (st.step() != SQLITE_ROW) return false;
    r.handle = DWORD(handle);
    r.application = st.column_wide(0);
    r.arguments = st.column_wide(1);
    r.start_local = st.column_int(2);
    r.end_local = st.column_int(3);
    return true;
}

size_t align_up(size_t offset, size_t alignment) { return (offset + alignment - 1) / alignment * alignment; }

// Layout of the information record: header, trigger, user notification,
// application text, argument text.
struct InfoLayout {
    size_t trigger, user, application, arguments, total;
};

InfoLayout layout_for(const plat::NotifyRequest &r) {
    InfoLayout l;
    l.trigger = align_up(sizeof(CE_NOTIFICATION_INFO_HEADER), alignof(CE_NOTIFICATION_TRIGGER));
    l.user = align_up(l.trigger + sizeof(CE_NOTIFICATION_TRIGGER), alignof(CE_USER_NOTIFICATION));
    l.application = align_up(l.user + sizeof(CE_USER_NOTIFICATION), alignof(WCHAR));
    l.arguments = l.application + (r.application.size() + 1) * sizeof(WCHAR);
    l.total = l.arguments + (r.arguments.size() + 1) * sizeof(WCHAR);
    return l;
}

void fill_info(const plat::NotifyRequest &r, const InfoLayout &l, LPBYTE buffer) {
    memset(buffer, 0, l.total);
    auto *header = reinterpret_cast<CE_NOTIFICATION_INFO_HEADER *>(buffer);
    auto *trigger = reinterpret_cast<CE_NOTIFICATION_TRIGGER *>(buffer + l.trigger);
    auto *app = reinterpret_cast<WCHAR *>(buffer + l.application);
    auto *args = reinterpret_cast<WCHAR *>(buffer + l.arguments);
    wmemcpy(app, r.application.c_str(), r.application.size() + 1);
    wmemcpy(args, r.arguments.c_str(), r.arguments.size() + 1);
    header->hNotification = notify_handle_of(r.handle);
    header->dwStatus = 0;
    header->pcent = trigger;
    header->pceun = reinterpret_cast<CE_USER_NOTIFICATION *>(buffer + l.user);
    trigger->dwSize = sizeof(CE_NOTIFICATION_TRIGGER);
    trigger->dwType = CNT_TIME;
    trigger->lpszApplication = app;
    trigger->lpszArguments = args;
    clock_systemtime_from_ms(r.start_local, &trigger->stStartTime);
    clock_systemtime_from_ms(r.end_local, &trigger->stEndTime);
}

}  // namespace

HANDLE CeSetUserNotificationEx(HANDLE notification, CE_NOTIFICATION_TRIGGER *trigger,
                               CE_USER_NOTIFICATION *user_notification) {
    plat::NotifyRequest r;
    if (!read_trigger(trigger, user_notification, r)) return nullptr;
    // A request nobody will carry out is not a success.
    if (!notify_service_ensure()) return nullptr;
    long long handle = set_request(ndb(), notify_handle_number(notification), r);
    if (handle == 0) return nullptr;
    plat::notify_service_poke();
    return notify_handle_of(DWORD(handle));
}

BOOL CeClearUserNotification(HANDLE notification) {
    NotifyDb &n = ndb();
    Locked g(n);
    if (notification == nullptr || !ready(n)) return FALSE;
    plat::Stmt st(n.db, "DELETE FROM requests WHERE handle=?1 AND fired IS NULL");
    if (!st) return fail(n);
    st.bind(1, notify_handle_number(notification));
    if (!n.db.check(st.step())) return fail(n);
    if (sqlite3_changes(n.db.handle()) != 1) return FALSE;
    write_through(n);
    return TRUE;
}

BOOL CeGetUserNotificationHandles(HANDLE *handles, DWORD room, LPDWORD needed) {
    NotifyDb &n = ndb();
    Locked g(n);
    if (!needed || (room && !handles) || !ready(n)) return FALSE;
    plat::Stmt st(n.db, "SELECT handle FROM requests WHERE fired IS NULL ORDER BY handle");
    if (!st) return fail(n);
    DWORD count = 0;
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) {
        if (count < room) handles[count] = notify_handle_of(DWORD(st.column_int(0)));
        count++;
    }
    if (!n.db.check(rc)) return fail(n);
    *needed = count;
    return room == 0 || count <= room;
}

BOOL CeGetUserNotification(HANDLE notification, UINT buffer_size, LPDWORD needed, LPBYTE buffer) {
    NotifyDb &n = ndb();
    Locked g(n);
    if (!needed) return FALSE;
    *needed = 0;
    plat::NotifyRequest r;
    if (!ready(n) || !load_request(n, notify_handle_number(notification), r)) return FALSE;
    InfoLayout l = layout_for(r);
    *needed = DWORD(l.total);
    if (!buffer || buffer_size < l.total) return FALSE;
    fill_info(r, l, buffer);
    return TRUE;
}

BOOL CeRunAppAtEvent(WCHAR *application, LONG event) {
    if (!application || application[0] != L'\\') return FALSE;
    if (event != NOTIFICATION_EVENT_NONE && event != NOTIFICATION_EVENT_TIME_CHANGE &&
        event != NOTIFICATION_EVENT_TZ_CHANGE)
        return FALSE;  // no other system event happens here
    if (event != NOTIFICATION_EVENT_NONE && !notify_service_ensure()) return FALSE;
    NotifyDb &n = ndb();
    Locked g(n);
    if (!ready(n)) return FALSE;
    plat::Stmt st(n.db, event == NOTIFICATION_EVENT_NONE
                            ? "DELETE FROM events WHERE fold=?2"
                            : "INSERT OR REPLACE INTO events(event, fold, application) VALUES(?1, ?2, ?3)");
    if (!st) return fail(n);
    st.bind(1, event);
    st.bind_wide(2, plat::fold_case(application).c_str());
    if (event != NOTIFICATION_EVENT_NONE) st.bind_wide(3, application);
    if (!n.db.check(st.step())) return fail(n);
    write_through(n);
    return TRUE;
}

bool notify_event_registration(DWORD index, LONG *event, WCHAR *application, size_t cap) {
    NotifyDb &n = ndb();
    Locked g(n);
    if (!ready(n)) return false;
    plat::Stmt st(n.db, "SELECT event, application FROM events ORDER BY event, fold LIMIT 1 OFFSET ?1");
    if (!st) return fail(n);
    st.bind(1, index);
    if (st.step() != SQLITE_ROW) return false;
    if (event) *event = LONG(st.column_int(0));
    if (application) plat::copy_wide(application, cap, st.column_wide(1));
    return true;
}

void notify_last_problem(char *out, size_t cap) { plat::device_db_problem(ndb().store, out, cap); }

namespace plat {

long long notify_due_utc(long long local_ms, long long created_utc) {
    long long first = clock_utc_for_local(local_ms);
    if (first >= created_utc) return first;
    long long local_then = clock_local_ms(created_utc);
    if (local_then >= local_ms) return first;  // already passed when registered: overdue
    // The clock went back over it (a repeated hour): it comes round again.
    return created_utc + (local_ms - local_then);
}

namespace {

// A row of "SELECT handle, application, arguments, start_local, end_local,
// created_utc"; true.
bool request_of_row(const Stmt &st, NotifyRequest &r) {
    r.handle = DWORD(st.column_int(0));
    r.application = st.column_wide(1);
    r.arguments = st.column_wide(2);
    r.start_local = st.column_int(3);
    r.end_local = st.column_int(4);
    r.created_utc = st.column_int(5);
    return true;
}

// The pending request that falls due first, or false when there is none.
// A request never falls due before the device clock first reaches its local
// time, and that instant grows with the local time: walking the requests in
// local order, the walk ends at the first one that cannot beat the earliest
// found. Only requests in a repeated hour fall due later than that instant,
// so the walk reads two rows but around a clock set back: O(log n).
bool earliest_pending(NotifyDb &n, NotifyRequest &due, long long *at) {
    Stmt st(n.db,
            "SELECT handle, application, arguments, start_local, end_local, created_utc FROM requests"
            " WHERE fired IS NULL ORDER BY start_local");
    if (!st) return false;
    bool found = false;
    while (st.step() == SQLITE_ROW) {
        long long start = st.column_int(3), created = st.column_int(5);
        if (found && clock_utc_for_local(start) >= *at) break;
        long long when = notify_due_utc(start, created);
        if (found && when >= *at) continue;
        found = true;
        *at = when;
        request_of_row(st, due);
    }
    return found;
}

// Marks the request fired with the token, or deletes it.
bool settle(NotifyDb &n, const NotifyRequest &due, ClaimOutcome outcome, long long token) {
    Stmt st(n.db, outcome == ClaimOutcome::Launched ? "UPDATE requests SET fired=?2 WHERE handle=?1"
                                                    : "DELETE FROM requests WHERE handle=?1");
    if (!st) return false;
    st.bind(1, due.handle);
    if (outcome == ClaimOutcome::Launched) st.bind(2, token);
    return n.db.check(st.step());
}

}  // namespace

namespace {

// Inside one write transaction: the earliest pending request, claimed when
// the clock has reached it.
bool claim_earliest(NotifyDb &n, long long now_utc, const ClaimTaker &take, bool *claimed, long long *next_utc) {
    Transaction t(n.db);
    if (!t.began()) return fail(n);
    NotifyRequest due;
    long long at = -1;
    if (!earliest_pending(n, due, &at)) return n.db.code() == SQLITE_DONE || n.db.code() == SQLITE_OK || fail(n);
    if (at > now_utc) {
        *next_utc = at;
        return true;
    }
    long long token = 0;
    ClaimOutcome outcome = take(due, &token);
    if (outcome == ClaimOutcome::Failed) {
        n.store.problem = "the notification service could not start a launcher";
        return false;
    }
    if (!settle(n, due, outcome, token) || !t.commit()) return fail(n);
    *claimed = true;
    return true;
}

}  // namespace

bool notify_claim_due(long long now_utc, const ClaimTaker &take, bool *claimed, long long *next_utc,
                      const std::function<void(void)> &committed) {
    NotifyDb &n = ndb();
    Locked g(n);
    *claimed = false;
    *next_utc = -1;
    if (!ready(n)) return false;
    // The claim's commit waits for no disk: the launcher may start the
    // program once the claim is in the log, where no process killed at any
    // moment can lose it, and the checkpoint right after the commit flushes
    // the log and then the database file. Only a power cut in those few
    // milliseconds could bring the request back after the reboot.
    n.db.exec("PRAGMA synchronous=OFF");
    bool ok = claim_earliest(n, now_utc, take, claimed, next_utc);
    n.db.exec("PRAGMA synchronous=FULL");
    if (!ok || !*claimed) return ok;
    if (committed) committed();
    write_through(n);
    return true;
}

std::vector<FiredRequest> notify_fired_requests(void) {
    NotifyDb &n = ndb();
    Locked g(n);
    std::vector<FiredRequest> out;
    if (!ready(n)) return out;
    Stmt st(n.db, "SELECT handle, fired FROM requests WHERE fired IS NOT NULL");
    if (!st) return out;
    while (st.step() == SQLITE_ROW) out.push_back(FiredRequest{DWORD(st.column_int(0)), st.column_int(1)});
    return out;
}

namespace {

// One step of a statement about a fired request (?1 handle, ?2 token).
int step_on_fired(const char *sql, const FiredRequest &f) {
    NotifyDb &n = ndb();
    Locked g(n);
    if (!ready(n)) return SQLITE_ERROR;
    Stmt st(n.db, sql);
    if (!st) return SQLITE_ERROR;
    st.bind(1, f.handle);
    st.bind(2, f.token);
    int rc = st.step();
    n.db.check(rc);
    return rc;
}

}  // namespace

bool notify_fired_request(long long token, NotifyRequest &r) {
    NotifyDb &n = ndb();
    Locked g(n);
    if (!ready(n)) return false;
    Stmt st(n.db,
            "SELECT handle, application, arguments, start_local, end_local, created_utc FROM requests"
            " WHERE fired=?1");
    if (!st) return false;
    st.bind(1, token);
    int rc = st.step();
    if (rc == SQLITE_ROW) return request_of_row(st, r);
    n.db.check(rc);
    return false;
}

namespace {

// A statement settling a fired request, written through to the file.
bool settle_fired(const char *sql, const FiredRequest &f) {
    if (step_on_fired(sql, f) != SQLITE_DONE) return false;
    Locked g(ndb());
    write_through(ndb());
    return true;
}

}  // namespace

bool notify_forget_fired(const FiredRequest &f) {
    return settle_fired("DELETE FROM requests WHERE handle=?1 AND fired=?2", f);
}

bool notify_unfire(const FiredRequest &f) {
    return settle_fired("UPDATE requests SET fired=NULL WHERE handle=?1 AND fired=?2", f);
}

std::vector<std::wstring> notify_event_applications(long event) {
    NotifyDb &n = ndb();
    Locked g(n);
    std::vector<std::wstring> out;
    if (!ready(n)) return out;
    Stmt st(n.db, "SELECT application FROM events WHERE event=?1 ORDER BY fold");
    if (!st) return out;
    st.bind(1, event);
    while (st.step() == SQLITE_ROW) out.push_back(st.column_wide(0));
    return out;
}

}  // namespace plat
