#include "platform/registry/registry.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/core/sqlite_db.h"
#include "platform/core/text.h"
#include "platform/device/device_db.h"

namespace {

constexpr const char *SCHEMA =
    "CREATE TABLE IF NOT EXISTS keys(id INTEGER PRIMARY KEY, parent INTEGER NOT NULL, name TEXT NOT NULL,"
    " fold TEXT NOT NULL);"
    "CREATE UNIQUE INDEX IF NOT EXISTS keys_by_name ON keys(parent, fold);"
    "CREATE TABLE IF NOT EXISTS vals(key INTEGER NOT NULL, fold TEXT NOT NULL, name TEXT NOT NULL,"
    " type INTEGER NOT NULL, data BLOB NOT NULL, PRIMARY KEY(key, fold)) WITHOUT ROWID;"
    "INSERT OR IGNORE INTO keys(id, parent, name, fold) VALUES(1, 0, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine');";

constexpr int SCHEMA_VERSION = 1;
constexpr long long ROOT_ID = 1;
constexpr size_t MAX_NAME = 255;
constexpr DWORD MAX_DATA = 1 << 20;

struct StoredValue {
    std::wstring name;
    DWORD type = REG_NONE;
    std::string bytes;  // as stored: strings in UTF-16LE
};

typedef std::map<std::wstring, StoredValue> ValueMap;  // by folded name

// Where a listing stands: the entry at `index` and its folded name.
struct ListCursor {
    bool valid = false;
    DWORD index = 0;
    std::wstring fold;
};

struct OpenKey {
    long long id = 0;
    ValueMap values;   // snapshot taken when the key was opened
    ValueMap pending;  // written, not yet committed
    ListCursor listed;  // of RegEnumValueW; a write or removal resets it
};

void forget_open_keys(void);

struct Registry {
    plat::DeviceDb store{"registry.db", SCHEMA, SCHEMA_VERSION, true, forget_open_keys};
    plat::SqliteDb &db = store.db;
    std::map<uintptr_t, OpenKey> open_keys;
    uintptr_t next_handle = 0x10000;
    long long listed_parent = 0;  // whose subkeys `listed_keys` walks
    ListCursor listed_keys;       // of RegEnumKeyExW
};

Registry &reg() {
    static Registry r;
    return r;
}

// Keys handed out belong to the database that was open.
void forget_open_keys(void) { reg().open_keys.clear(); }

// Every call holds the registry's lock. A database opened for one reading on
// a full disk holds the file against every other program, so it is let go
// when the call ends.
struct Call {
    explicit Call(Registry &r) : r(r), guard(r.store.lock) {}
    ~Call() {
        if (r.db.held_exclusively()) r.db.close();
    }
    Registry &r;
    std::lock_guard<std::mutex> guard;
};

bool is_string_type(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

LONG sqlite_error(Registry &r) {
    const char *what = "failed";
    LONG err = ERROR_BADDB;
    switch (r.db.code() & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        what = "is corrupt";
        err = ERROR_REGISTRY_CORRUPT;
        break;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        what = "is read-only";
        err = ERROR_ACCESS_DENIED;
        break;
    case SQLITE_CANTOPEN:
        what = "cannot be opened";
        err = ERROR_CANTOPEN;
        break;
    case SQLITE_FULL:
    case SQLITE_IOERR:
        what = "cannot be read or written";
        err = ERROR_CANTWRITE;
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        what = "stayed locked by another program";
        err = ERROR_TIMEOUT;
        break;
    case SQLITE_NOMEM:
        what = "ran out of memory";
        err = ERROR_OUTOFMEMORY;
        break;
    }
    r.store.problem = "the registry " + r.db.path() + " " + what + ": " + r.db.message();
    return err;
}

// Opens the database on first use; a failure is tried again at the next call.
LONG ready(Registry &r) {
    if (plat::device_db_ready(r.store)) return ERROR_SUCCESS;
    return r.db.code() == SQLITE_OK ? ERROR_CANTOPEN : sqlite_error(r);
}

LONG resolve(Registry &r, HKEY key, long long &id) {
    if (key == HKEY_LOCAL_MACHINE) {
        id = ROOT_ID;
        return ERROR_SUCCESS;
    }
    auto it = r.open_keys.find(reinterpret_cast<uintptr_t>(key));
    if (it == r.open_keys.end()) return ERROR_INVALID_HANDLE;
    id = it->second.id;
    return ERROR_SUCCESS;
}

OpenKey *open_key(Registry &r, HKEY key) {
    auto it = r.open_keys.find(reinterpret_cast<uintptr_t>(key));
    return it == r.open_keys.end() ? nullptr : &it->second;
}

// Splits "Software\Tamsett\Velmora" into its names; a leading or doubled
// backslash adds nothing.
bool split_path(LPCWSTR path, std::vector<std::wstring> &parts) {
    std::wstring p = path ? path : L"";
    size_t i = 0;
    while (i <= p.size()) {
        size_t j = p.find(L'\\', i);
        if (j == std::wstring::npos) j = p.size();
        if (j > i) {
            if (j - i > MAX_NAME) return false;
            parts.push_back(p.substr(i, j - i));
        }
        i = j + 1;
    }
    return true;
}

// Child key id, 0 when missing, -1 on a database failure.
long long find_child(Registry &r, long long parent, const std::wstring &name) {
    plat::Stmt st(r.db, "SELECT id FROM keys WHERE parent=?1 AND fold=?2");
    if (!st) return -1;
    st.bind(1, parent);
    st.bind_wide(2, plat::fold_case(name.c_str()).c_str());
    int rc = st.step();
    if (rc == SQLITE_ROW) return st.column_int(0);
    return r.db.check(rc) ? 0 : -1;
}

bool key_exists(Registry &r, long long id) {
    plat::Stmt st(r.db, "SELECT 1 FROM keys WHERE id=?1");
    if (!st) return false;
    st.bind(1, id);
    return st.step() == SQLITE_ROW;
}

LONG load_values(Registry &r, OpenKey &k) {
    plat::Stmt st(r.db, "SELECT fold, name, type, data FROM vals WHERE key=?1");
    if (!st) return sqlite_error(r);
    st.bind(1, k.id);
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) {
        StoredValue v;
        v.name = st.column_wide(1);
        v.type = DWORD(st.column_int(2));
        v.bytes = st.column_blob(3);
        k.values[st.column_wide(0)] = std::move(v);
    }
    if (!r.db.check(rc)) {
        k.values.clear();
        return sqlite_error(r);
    }
    return ERROR_SUCCESS;
}

LONG hand_out(Registry &r, long long id, PHKEY result) {
    OpenKey k;
    k.id = id;
    if (LONG err = load_values(r, k)) return err;
    uintptr_t h = r.next_handle;
    r.next_handle += 4;
    r.open_keys[h] = std::move(k);
    *result = reinterpret_cast<HKEY>(h);
    return ERROR_SUCCESS;
}

long long insert_key(Registry &r, long long parent, const std::wstring &name) {
    plat::Stmt st(r.db, "INSERT INTO keys(parent, name, fold) VALUES(?1, ?2, ?3)");
    if (!st) return -1;
    st.bind(1, parent);
    st.bind_wide(2, name.c_str());
    st.bind_wide(3, plat::fold_case(name.c_str()).c_str());
    if (!r.db.check(st.step())) return -1;
    r.listed_keys.valid = false;  // the keys after it move down one
    return sqlite3_last_insert_rowid(r.db.handle());
}

LONG commit_pending(Registry &r, OpenKey &k) {
    if (k.pending.empty()) return ERROR_SUCCESS;
    if (r.db.read_only()) {
        r.store.problem = "the registry " + r.db.path() +
                          (r.db.held_exclusively() ? " cannot be written: its disk is full" : " is read-only");
        return r.db.held_exclusively() ? ERROR_CANTWRITE : ERROR_ACCESS_DENIED;
    }
    plat::Transaction t(r.db);
    if (!t.began()) return sqlite_error(r);
    if (!key_exists(r, k.id)) {
        k.pending.clear();
        k.listed.valid = false;
        return ERROR_KEY_DELETED;
    }
    for (auto &entry : k.pending) {
        plat::Stmt st(r.db, "INSERT OR REPLACE INTO vals(key, fold, name, type, data) VALUES(?1, ?2, ?3, ?4, ?5)");
        if (!st) return sqlite_error(r);
        st.bind(1, k.id);
        st.bind_wide(2, entry.first.c_str());
        st.bind_wide(3, entry.second.name.c_str());
        st.bind(4, entry.second.type);
        st.bind_blob(5, entry.second.bytes);
        if (!r.db.check(st.step())) return sqlite_error(r);
    }
    if (!t.commit()) return sqlite_error(r);
    for (auto &entry : k.pending) k.values[entry.first] = std::move(entry.second);
    k.pending.clear();
    return ERROR_SUCCESS;
}

const StoredValue *find_value(const OpenKey &k, const std::wstring &fold) {
    auto p = k.pending.find(fold);
    if (p != k.pending.end()) return &p->second;
    auto v = k.values.find(fold);
    return v == k.values.end() ? nullptr : &v->second;
}

// The first value named after `after` (the first of all without it), in
// folded-name order, a pending write over the stored value. O(log n).
const ValueMap::value_type *value_after(const OpenKey &k, const std::wstring *after) {
    auto v = after ? k.values.upper_bound(*after) : k.values.begin();
    auto p = after ? k.pending.upper_bound(*after) : k.pending.begin();
    if (p != k.pending.end() && (v == k.values.end() || p->first <= v->first)) return &*p;
    return v == k.values.end() ? nullptr : &*v;
}

// Value number `index` in folded-name order, stepping on from the last one
// listed: listing a key's n values costs O(n log n), copying none.
const StoredValue *value_at(OpenKey &k, DWORD index) {
    ListCursor &c = k.listed;
    const ValueMap::value_type *e = nullptr;
    DWORD at = 0;
    if (c.valid && index >= c.index) {
        auto p = k.pending.find(c.fold);
        auto v = k.values.find(c.fold);
        e = p != k.pending.end() ? &*p : v != k.values.end() ? &*v : nullptr;
        at = c.index;
    }
    if (!e) {
        e = value_after(k, nullptr);
        at = 0;
    }
    for (; e && at < index; at++) e = value_after(k, &e->first);
    if (!e) return nullptr;
    c = ListCursor{true, at, e->first};
    return &e->second;
}

// The value as the caller sees it: strings turn back into wide characters.
std::string caller_bytes(const StoredValue &v) {
    if (!is_string_type(v.type)) return v.bytes;
    std::wstring wide = plat::from_utf16le(reinterpret_cast<const unsigned char *>(v.bytes.data()), v.bytes.size());
    return std::string(reinterpret_cast<const char *>(wide.data()), wide.size() * sizeof(WCHAR));
}

LONG deliver(const std::string &bytes, LPBYTE data, LPDWORD size) {
    if (!size) return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    DWORD need = DWORD(bytes.size());
    if (!data) {
        *size = need;
        return ERROR_SUCCESS;
    }
    if (*size < need) {
        *size = need;
        return ERROR_MORE_DATA;
    }
    memcpy(data, bytes.data(), need);
    *size = need;
    return ERROR_SUCCESS;
}

LONG copy_name(const std::wstring &name, LPWSTR out, LPDWORD chars) {
    if (!out || !chars) return ERROR_INVALID_PARAMETER;
    if (name.size() + 1 > *chars) {
        *chars = DWORD(name.size() + 1);
        return ERROR_MORE_DATA;
    }
    wmemcpy(out, name.c_str(), name.size() + 1);
    *chars = DWORD(name.size());
    return ERROR_SUCCESS;
}

// The key a call starts from, the database ready, and the names of the path
// below it.
LONG locate(Registry &r, HKEY key, LPCWSTR sub_key, long long &id, std::vector<std::wstring> &parts) {
    if (LONG err = resolve(r, key, id)) return err;
    if (LONG err = ready(r)) return err;
    return split_path(sub_key, parts) ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
}

}  // namespace

LONG RegOpenKeyExW(HKEY key, LPCWSTR sub_key, DWORD, REGSAM, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    Registry &r = reg();
    Call call(r);
    long long id;
    std::vector<std::wstring> parts;
    if (LONG err = locate(r, key, sub_key, id, parts)) return err;
    if (parts.empty() && !key_exists(r, id)) return ERROR_KEY_DELETED;
    for (const auto &part : parts) {
        id = find_child(r, id, part);
        if (id < 0) return sqlite_error(r);
        if (id == 0) return ERROR_FILE_NOT_FOUND;
    }
    return hand_out(r, id, result);
}

LONG RegCreateKeyExW(HKEY key, LPCWSTR sub_key, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY result,
                     LPDWORD disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    Registry &r = reg();
    Call call(r);
    long long id;
    std::vector<std::wstring> parts;
    if (LONG err = locate(r, key, sub_key, id, parts)) return err;
    if (r.db.read_only()) {
        // Opening what exists still works on a read-only store.
        for (const auto &part : parts)
            if ((id = find_child(r, id, part)) <= 0) return id < 0 ? sqlite_error(r) : ERROR_ACCESS_DENIED;
        if (disposition) *disposition = REG_OPENED_EXISTING_KEY;
        return hand_out(r, id, result);
    }
    plat::Transaction t(r.db);
    if (!t.began()) return sqlite_error(r);
    if (!key_exists(r, id)) return ERROR_KEY_DELETED;
    bool created = false;
    for (const auto &part : parts) {
        long long child = find_child(r, id, part);
        if (child == 0) {
            child = insert_key(r, id, part);
            created = true;
        }
        if (child < 0) return sqlite_error(r);
        id = child;
    }
    if (!t.commit()) return sqlite_error(r);
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return hand_out(r, id, result);
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD data_size) {
    Registry &r = reg();
    Call call(r);
    OpenKey *k = open_key(r, key);
    if (!k) return ERROR_INVALID_HANDLE;
    const StoredValue *v = find_value(*k, plat::fold_case(name));
    if (!v) return ERROR_FILE_NOT_FOUND;
    if (type) *type = v->type;
    return deliver(caller_bytes(*v), data, data_size);
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE *data, DWORD data_size) {
    Registry &r = reg();
    Call call(r);
    OpenKey *k = open_key(r, key);
    if (!k) return ERROR_INVALID_HANDLE;
    std::wstring n = name ? name : L"";
    if (n.size() > MAX_NAME || data_size > MAX_DATA || (data_size && !data)) return ERROR_INVALID_PARAMETER;
    if (type == REG_DWORD && data_size != sizeof(DWORD)) return ERROR_INVALID_PARAMETER;
    StoredValue v;
    v.name = n;
    v.type = type;
    if (is_string_type(type))
        v.bytes = plat::to_utf16le(reinterpret_cast<const WCHAR *>(data), data_size / sizeof(WCHAR));
    else
        v.bytes.assign(reinterpret_cast<const char *>(data), data_size);
    k->pending[plat::fold_case(n.c_str())] = std::move(v);
    k->listed.valid = false;
    return ERROR_SUCCESS;
}

LONG RegFlushKey(HKEY key) {
    Registry &r = reg();
    Call call(r);
    if (key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
    OpenKey *k = open_key(r, key);
    if (!k) return ERROR_INVALID_HANDLE;
    return commit_pending(r, *k);
}

LONG RegCloseKey(HKEY key) {
    Registry &r = reg();
    Call call(r);
    if (key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
    auto it = r.open_keys.find(reinterpret_cast<uintptr_t>(key));
    if (it == r.open_keys.end()) return ERROR_INVALID_HANDLE;
    LONG err = commit_pending(r, it->second);
    r.open_keys.erase(it);
    return err;
}

LONG RegDeleteValueW(HKEY key, LPCWSTR name) {
    Registry &r = reg();
    Call call(r);
    OpenKey *k = open_key(r, key);
    if (!k) return ERROR_INVALID_HANDLE;
    std::wstring fold = plat::fold_case(name);
    bool had = k->pending.erase(fold) + k->values.erase(fold) > 0;
    k->listed.valid = false;
    plat::Stmt st(r.db, "DELETE FROM vals WHERE key=?1 AND fold=?2");
    if (!st) return sqlite_error(r);
    st.bind(1, k->id);
    st.bind_wide(2, fold.c_str());
    if (!r.db.check(st.step())) return sqlite_error(r);
    return had || sqlite3_changes(r.db.handle()) > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

// Deletes the key with everything below it, as the phone does.
LONG RegDeleteKeyW(HKEY key, LPCWSTR sub_key) {
    Registry &r = reg();
    Call call(r);
    long long id;
    std::vector<std::wstring> parts;
    if (LONG err = locate(r, key, sub_key, id, parts)) return err;
    if (parts.empty()) return ERROR_INVALID_PARAMETER;
    plat::Transaction t(r.db);
    if (!t.began()) return sqlite_error(r);
    for (const auto &part : parts) {
        id = find_child(r, id, part);
        if (id <= 0) return id < 0 ? sqlite_error(r) : ERROR_FILE_NOT_FOUND;
    }
    std::string doomed = "WITH RECURSIVE doomed(id) AS (SELECT " + std::to_string(id) +
                         " UNION ALL SELECT keys.id FROM keys JOIN doomed ON keys.parent = doomed.id) ";
    bool ok = r.db.exec((doomed + "DELETE FROM vals WHERE key IN doomed;").c_str()) &&
              r.db.exec((doomed + "DELETE FROM keys WHERE id IN doomed;").c_str()) && t.commit();
    r.listed_keys.valid = false;  // the keys after it move up one
    return ok ? ERROR_SUCCESS : sqlite_error(r);
}

LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD name_chars, LPDWORD, LPWSTR, LPDWORD, LPFILETIME) {
    Registry &r = reg();
    Call call(r);
    long long id;
    if (LONG err = resolve(r, key, id)) return err;
    if (LONG err = ready(r)) return err;
    // The next subkey of a listing is the one after the last listed, found
    // in the index (O(log n)); any other is counted from the first.
    ListCursor &c = r.listed_keys;
    bool next = c.valid && r.listed_parent == id && index == c.index + 1;
    plat::Stmt st(r.db, next ? "SELECT name, fold FROM keys WHERE parent=?1 AND fold>?2 ORDER BY fold LIMIT 1"
                             : "SELECT name, fold FROM keys WHERE parent=?1 ORDER BY fold LIMIT 1 OFFSET ?2");
    if (!st) return sqlite_error(r);
    st.bind(1, id);
    if (next)
        st.bind_wide(2, c.fold.c_str());
    else
        st.bind(2, index);
    int rc = st.step();
    c.valid = false;
    if (rc == SQLITE_DONE) return ERROR_NO_MORE_ITEMS;
    if (!r.db.check(rc) || rc != SQLITE_ROW) return sqlite_error(r);
    r.listed_parent = id;
    c = ListCursor{true, index, st.column_wide(1)};
    return copy_name(st.column_wide(0), name, name_chars);
}

LONG RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD name_chars, LPDWORD, LPDWORD type, LPBYTE data,
                   LPDWORD data_size) {
    Registry &r = reg();
    Call call(r);
    OpenKey *k = open_key(r, key);
    if (!k) return ERROR_INVALID_HANDLE;
    const StoredValue *v = value_at(*k, index);
    if (!v) return ERROR_NO_MORE_ITEMS;
    if (LONG err = copy_name(v->name, name, name_chars)) return err;
    if (type) *type = v->type;
    return deliver(caller_bytes(*v), data, data_size);
}

LONG reg_stored_size(HKEY key, LPCWSTR name, LPDWORD size) {
    Registry &r = reg();
    Call call(r);
    OpenKey *k = open_key(r, key);
    if (!k) return ERROR_INVALID_HANDLE;
    const StoredValue *v = find_value(*k, plat::fold_case(name));
    if (!v) return ERROR_FILE_NOT_FOUND;
    if (size) *size = DWORD(v->bytes.size());
    return ERROR_SUCCESS;
}

void reg_last_problem(char *out, size_t cap) { plat::device_db_problem(reg().store, out, cap); }
