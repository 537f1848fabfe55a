// Every change an install or a removal makes to the device, recorded as it
// is made so that a failure part way can put everything back. Files are
// never overwritten or deleted in place: they are moved aside into the
// installer's work folder and only removed once the whole change is kept.
#include <fcntl.h>
#include <ftw.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/device/device.h"
#include "tools/velpkg/velpkg.h"
#include "tools/velpkg/velpkg_testing.h"

namespace {

int changes_left = -1;  // test seam: changes allowed before one fails; -1 all

bool change_allowed(void) {
    if (changes_left < 0) return true;
    if (changes_left-- > 0) return true;
    errno = EIO;
    return false;
}

void remove_tree(const std::string &path) {
    nftw(
        path.c_str(), [](const char *p, const struct stat *, int, struct FTW *) { return remove(p); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

std::string narrow(const std::wstring &w) { return plat::to_utf8(w.c_str()); }

bool registry_failed(const char *what, const std::wstring &key, LONG error) {
    set_problem("cannot %s %s in the registry (error %ld)", what, narrow(key).c_str(), (long)error);
    return false;
}

// The shortest leading part of `key` that does not exist yet; empty when the
// whole key exists.
std::wstring first_missing(const std::wstring &key) {
    size_t at = 0;
    while (at != std::wstring::npos) {
        at = key.find(L'\\', at + 1);
        std::wstring prefix = key.substr(0, at);
        HKEY h;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, prefix.c_str(), 0, 0, &h) != ERROR_SUCCESS) return prefix;
        RegCloseKey(h);
    }
    return L"";
}

// The value's type and bytes; false when it does not exist.
bool read_value(HKEY key, const std::wstring &name, DWORD &type, std::string &data) {
    DWORD size = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    data.resize(size);
    return RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(data.data()), &size) ==
           ERROR_SUCCESS;
}

// Writes (or, with `data` null, deletes) one value and commits it.
LONG write_value(HKEY key, const std::wstring &name, DWORD type, const std::string *data) {
    LONG err = data ? RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE *>(data->data()),
                                     DWORD(data->size()))
                    : RegDeleteValueW(key, name.c_str());
    if (err == ERROR_SUCCESS) err = RegFlushKey(key);
    return err;
}

std::string value_bytes(const PackageValue &v) {
    if (v.type == REG_DWORD) return std::string(reinterpret_cast<const char *>(&v.number), sizeof v.number);
    // Texts travel as the wide characters of memory, with their terminator.
    return std::string(reinterpret_cast<const char *>(v.text.c_str()), (v.text.size() + 1) * sizeof(WCHAR));
}

void record_file(Changes &c, Change::Kind kind, const std::string &from, const std::string &to) {
    c.done.emplace_back();
    c.done.back().kind = kind;
    c.done.back().from = from;
    c.done.back().to = to;
}

Change &record_key(Changes &c, Change::Kind kind, const std::wstring &key, const std::wstring &name) {
    c.done.emplace_back();
    c.done.back().kind = kind;
    c.done.back().key = key;
    c.done.back().name = name;
    return c.done.back();
}

void undo(const Change &c) {
    HKEY h = nullptr;
    switch (c.kind) {
        case Change::MOVED_FILE:
            rename(c.to.c_str(), c.from.c_str());
            break;
        case Change::MADE_FOLDER:
            rmdir(c.to.c_str());
            break;
        case Change::MADE_KEY:
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, c.key.c_str());
            break;
        case Change::DELETED_KEY:
            if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, c.key.c_str(), 0, nullptr, 0, 0, nullptr, &h, nullptr) == 0)
                RegCloseKey(h);
            break;
        case Change::SET_VALUE:
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, c.key.c_str(), 0, 0, &h) != ERROR_SUCCESS) break;
            write_value(h, c.name, c.type, c.had ? &c.data : nullptr);
            RegCloseKey(h);
            break;
    }
}

// One install or removal at a time on a device; and one cut short by
// Ctrl-C or a hang-up would leave the device half changed, so those signals
// wait until the change is kept or undone.
struct DeviceHold {
    int lock = -1;
    sigset_t before;
};

DeviceHold hold;

bool take_device(void) {
    const char *runtime = device_runtime_dir();
    if (!runtime) return set_problem("%s", device_error()), false;
    std::string path = std::string(runtime) + "/velpkg.lock";
    hold.lock = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (hold.lock < 0) return set_problem("cannot lock the device: %s", strerror(errno)), false;
    if (flock(hold.lock, LOCK_EX | LOCK_NB) != 0) {
        fprintf(stderr, "velpkg: waiting for another install or removal on this device\n");
        flock(hold.lock, LOCK_EX);
    }
    sigset_t stop;
    sigemptyset(&stop);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&stop, sig);
    sigprocmask(SIG_BLOCK, &stop, &hold.before);
    return true;
}

void release_device(void) {
    if (hold.lock < 0) return;
    sigprocmask(SIG_SETMASK, &hold.before, nullptr);
    close(hold.lock);
    hold.lock = -1;
}

}  // namespace

void velpkg_fail_after_changes(int count) { changes_left = count; }

bool begin_changes(Changes &c) {
    c = Changes();
    const char *root = device_root();
    if (!root) return set_problem("%s", device_error()), false;
    if (!take_device()) return false;
    std::string pattern = std::string(root) + "/.velpkg-XXXXXX";
    if (!mkdtemp(pattern.data())) return set_problem("cannot write into the device: %s", strerror(errno)), false;
    c.work = pattern;
    if (mkdir((c.work + "/stage").c_str(), 0700) != 0) {
        set_problem("cannot write into the device: %s", strerror(errno));
        remove_tree(c.work);
        release_device();
        return false;
    }
    return true;
}

bool make_parent_folders(Changes &c, const std::string &host_file) {
    const char *root = device_root();
    size_t from = root ? strlen(root) + 1 : 1;
    for (size_t slash = host_file.find('/', from); slash != std::string::npos; slash = host_file.find('/', slash + 1)) {
        std::string folder = host_file.substr(0, slash);
        struct stat st;
        if (lstat(folder.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode)) continue;
            return set_problem("%s is in the way of a folder", folder.c_str()), false;
        }
        if (!change_allowed() || mkdir(folder.c_str(), 0755) != 0)
            return set_problem("cannot make the folder %s: %s", folder.c_str(), strerror(errno)), false;
        record_file(c, Change::MADE_FOLDER, "", folder);
    }
    return true;
}

bool move_file(Changes &c, const std::string &from, const std::string &to) {
    if (!change_allowed() || rename(from.c_str(), to.c_str()) != 0)
        return set_problem("cannot move %s into place: %s", to.c_str(), strerror(errno)), false;
    record_file(c, Change::MOVED_FILE, from, to);
    return true;
}

bool put_aside(Changes &c, const std::string &host_file) {
    struct stat st;
    if (lstat(host_file.c_str(), &st) != 0) return true;
    std::string aside = c.work + "/aside-" + std::to_string(c.aside++);
    return move_file(c, host_file, aside);
}

bool set_value(Changes &c, const PackageValue &v) {
    std::wstring missing = first_missing(v.key);
    HKEY h;
    if (!change_allowed()) return registry_failed("write", v.key, ERROR_CANTWRITE);
    LONG err = RegCreateKeyExW(HKEY_LOCAL_MACHINE, v.key.c_str(), 0, nullptr, 0, 0, nullptr, &h, nullptr);
    if (err != ERROR_SUCCESS) return registry_failed("create", v.key, err);
    if (!missing.empty()) record_key(c, Change::MADE_KEY, missing, L"");
    Change &old = record_key(c, Change::SET_VALUE, v.key, v.name);
    old.had = read_value(h, v.name, old.type, old.data);
    std::string bytes = value_bytes(v);
    err = change_allowed() ? write_value(h, v.name, v.type, &bytes) : ERROR_CANTWRITE;
    RegCloseKey(h);
    return err == ERROR_SUCCESS || registry_failed("write", v.key, err);
}

bool delete_value(Changes &c, const std::wstring &key, const std::wstring &name) {
    HKEY h;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, 0, &h) != ERROR_SUCCESS) return true;
    DWORD type;
    std::string data;
    LONG err = ERROR_SUCCESS;
    if (read_value(h, name, type, data)) {
        Change &old = record_key(c, Change::SET_VALUE, key, name);
        old.had = true;
        old.type = type;
        old.data = data;
        err = change_allowed() ? write_value(h, name, 0, nullptr) : ERROR_CANTWRITE;
    }
    RegCloseKey(h);
    return err == ERROR_SUCCESS || registry_failed("remove a value of", key, err);
}

bool delete_key_if_empty(Changes &c, const std::wstring &key) {
    HKEY h;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, 0, &h) != ERROR_SUCCESS) return true;
    WCHAR name[256];
    DWORD chars = 256;
    bool has_value = RegEnumValueW(h, 0, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_NO_MORE_ITEMS;
    chars = 256;
    bool has_key = RegEnumKeyExW(h, 0, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_NO_MORE_ITEMS;
    RegCloseKey(h);
    if (has_value || has_key) return true;
    LONG err = change_allowed() ? RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str()) : ERROR_CANTWRITE;
    if (err != ERROR_SUCCESS) return registry_failed("remove", key, err);
    record_key(c, Change::DELETED_KEY, key, L"");
    return true;
}

void undo_changes(Changes &c) {
    for (auto it = c.done.rbegin(); it != c.done.rend(); ++it) undo(*it);
    keep_changes(c);
}

void keep_changes(Changes &c) {
    c.done.clear();
    if (!c.work.empty()) remove_tree(c.work);
    c.work.clear();
    release_device();
}
