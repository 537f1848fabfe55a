#include "platform/device/device.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/core/text.h"

namespace {

struct DeviceState {
    std::recursive_mutex lock;
    bool opened = false;
    std::string root;
    std::string runtime;
    std::string error;
    std::vector<void (*)(void)> close_hooks;
};

DeviceState &state() {
    static DeviceState s;
    return s;
}

const char *const STANDARD_FOLDERS[] = {"IPSM", "IPSM/Application Data", "IPSM/Program Files", "My Documents",
                                        "Storage Card"};

bool make_folder(const std::string &path) {
    if (mkdir(path.c_str(), 0755) == 0 || errno == EEXIST) {
        struct stat st;
        if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
        errno = ENOTDIR;
    }
    return false;
}

// mkdir -p: creates each missing level of an absolute or relative path.
bool make_folders(const std::string &path) {
    for (size_t i = 1; i <= path.size(); i++) {
        if (i == path.size() || path[i] == '/') {
            if (!make_folder(path.substr(0, i))) return false;
        }
    }
    return true;
}

std::string default_root() {
    if (const char *env = getenv("VELMORA_DEVICE"); env && *env) return env;
    std::string base;
    if (const char *xdg = getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        base = xdg;
    } else {
        const char *home = getenv("HOME");
        if (!home || !*home) {
            struct passwd *pw = getpwuid(getuid());
            home = pw ? pw->pw_dir : "/tmp";
        }
        base = std::string(home) + "/.local/share";
    }
    return base + "/velmora/device";
}

std::string absolute(const std::string &path) {
    if (!path.empty() && path[0] == '/') return path;
    char cwd[DEVICE_HOST_PATH];
    if (!getcwd(cwd, sizeof cwd)) return path;
    return std::string(cwd) + "/" + path;
}

void strip_trailing_slashes(std::string &path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
}

}  // namespace

void device_set_error(const char *fmt, ...) {
    char buf[1024];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    std::lock_guard<std::recursive_mutex> g(state().lock);
    state().error = buf;
}

const char *device_error(void) {
    std::lock_guard<std::recursive_mutex> g(state().lock);
    return state().error.c_str();
}

void device_add_close_hook(void (*hook)(void)) {
    std::lock_guard<std::recursive_mutex> g(state().lock);
    for (auto h : state().close_hooks)
        if (h == hook) return;
    state().close_hooks.push_back(hook);
}

namespace {

// Close hooks take their own services' locks, so they run without the
// device's lock held: a service may ask for the device while holding its own.
void run_close_hooks(std::vector<void (*)(void)> hooks) {
    for (auto hook : hooks) hook();
}

}  // namespace

bool device_open(const char *root) {
    DeviceState &s = state();
    std::string wanted = absolute(root && *root ? std::string(root) : default_root());
    strip_trailing_slashes(wanted);
    std::vector<void (*)(void)> hooks;
    {
        std::lock_guard<std::recursive_mutex> g(s.lock);
        if (s.opened && wanted == s.root) return true;
        // Only an open device has files to close; a retry after a failure has none.
        if (s.opened) hooks = s.close_hooks;
        s.opened = false;
    }
    run_close_hooks(hooks);
    std::lock_guard<std::recursive_mutex> g(s.lock);
    s.runtime.clear();
    s.root = wanted;
    if (!make_folders(wanted)) {
        device_set_error("cannot create the device folder %s: %s", wanted.c_str(), strerror(errno));
        return false;
    }
    for (const char *f : STANDARD_FOLDERS) {
        std::string path = wanted + "/" + f;
        if (!make_folder(path)) {
            device_set_error("cannot create %s: %s", path.c_str(), strerror(errno));
            return false;
        }
    }
    s.opened = true;
    return true;
}

void device_close(void) {
    DeviceState &s = state();
    std::vector<void (*)(void)> hooks;
    {
        std::lock_guard<std::recursive_mutex> g(s.lock);
        hooks = s.close_hooks;
        s.opened = false;
        s.root.clear();
        s.runtime.clear();
    }
    run_close_hooks(hooks);
}

const char *device_root(void) {
    DeviceState &s = state();
    std::lock_guard<std::recursive_mutex> g(s.lock);
    if (!s.opened && !device_open(s.root.empty() ? nullptr : s.root.c_str())) return nullptr;
    return s.root.c_str();
}

bool device_file(const char *name, char *out, size_t cap) {
    const char *root = device_root();
    if (!root) return false;
    int n = snprintf(out, cap, "%s/%s", root, name);
    return n > 0 && size_t(n) < cap;
}

namespace {

// Longest mount whose device folder is a prefix of `path` (without case),
// ending at a separator; -1 when none.
int find_mount_by_device(const DeviceSettings &ds, const std::wstring &folded) {
    int best = -1;
    size_t best_len = 0;
    for (int i = 0; i < ds.mount_count; i++) {
        std::wstring m = plat::fold_case(ds.mounts[i].device_folder);
        while (m.size() > 1 && m.back() == L'\\') m.pop_back();
        if (m.empty() || folded.compare(0, m.size(), m) != 0) continue;
        if (folded.size() > m.size() && folded[m.size()] != L'\\') continue;
        if (m.size() > best_len) best = i, best_len = m.size();
    }
    return best;
}

// Joins the device path's components onto `base` with '/', refusing ".." so
// that a device path never leads out of its folder.
bool append_components(std::string &out, const std::wstring &rest) {
    size_t i = 0;
    while (i < rest.size()) {
        size_t j = rest.find(L'\\', i);
        if (j == std::wstring::npos) j = rest.size();
        std::wstring part = rest.substr(i, j - i);
        i = j + 1;
        if (part.empty() || part == L".") continue;
        if (part == L".." || part.find(L'/') != std::wstring::npos) return false;
        out += "/";
        out += plat::to_utf8(part.c_str());
    }
    return true;
}

}  // namespace

bool device_host_path(LPCWSTR device_path, char *host, size_t cap) {
    if (!device_path || device_path[0] != L'\\' || !host || cap == 0) return false;
    const char *root = device_root();
    if (!root) return false;
    const DeviceSettings *ds = device_settings();
    std::wstring path(device_path);
    int m = find_mount_by_device(*ds, plat::fold_case(device_path));
    std::string out;
    std::wstring rest = path;
    if (m >= 0) {
        std::wstring folder = ds->mounts[m].device_folder;
        while (folder.size() > 1 && folder.back() == L'\\') folder.pop_back();
        out = ds->mounts[m].host_folder;
        strip_trailing_slashes(out);
        rest = path.substr(folder.size());
    } else {
        out = root;
    }
    if (!append_components(out, rest)) return false;
    return plat::copy_utf8(host, cap, out);
}

bool device_path_of(const char *host, LPWSTR device_path, size_t cap) {
    if (!host || !device_path || cap == 0) return false;
    const char *root = device_root();
    if (!root) return false;
    std::string h = absolute(host);
    strip_trailing_slashes(h);
    const DeviceSettings *ds = device_settings();
    auto under = [&h](std::string base) {
        strip_trailing_slashes(base);
        if (h.compare(0, base.size(), base) != 0) return std::string::npos;
        if (h.size() > base.size() && h[base.size()] != '/') return std::string::npos;
        return base.size();
    };
    std::wstring prefix;
    size_t cut = std::string::npos, best = 0;
    for (int i = 0; i < ds->mount_count; i++) {
        size_t n = under(ds->mounts[i].host_folder);
        if (n != std::string::npos && n >= best) {
            best = n, cut = n, prefix = ds->mounts[i].device_folder;
            while (prefix.size() > 1 && prefix.back() == L'\\') prefix.pop_back();
        }
    }
    if (cut == std::string::npos) {
        cut = under(root);
        if (cut == std::string::npos) return false;
        prefix.clear();
    }
    std::wstring rest = plat::from_utf8(h.c_str() + cut);
    for (auto &c : rest)
        if (c == L'/') c = L'\\';
    std::wstring result = prefix + rest;
    if (result.empty()) result = L"\\";
    return plat::copy_wide(device_path, cap, result);
}

namespace {

// Socket paths end in "/w-<16 hex>-<16 hex>.sock" and must fit 108 bytes.
constexpr size_t MAX_RUNTIME_PATH = 64;

// A folder for sockets, made when missing and used only when it belongs to
// this user and nobody else may enter it: anyone who could would reach,
// replace or squat the sockets. `why` says what is wrong with it.
bool private_folder(const std::string &path, std::string *why) {
    if (path.size() >= MAX_RUNTIME_PATH) {
        *why = path + " is too long a path for sockets";
        return false;
    }
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        *why = "cannot create " + path + ": " + strerror(errno);
        return false;
    }
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *why = path + " is not a folder";
        return false;
    }
    if (st.st_uid != getuid()) {
        *why = path + " belongs to another user (uid " + std::to_string(st.st_uid) + ")";
        return false;
    }
    if ((st.st_mode & 077) != 0) {
        char mode[8];
        snprintf(mode, sizeof mode, "%04o", unsigned(st.st_mode & 07777));
        *why = path + " may be entered by other users (mode " + mode + ")";
        return false;
    }
    return true;
}

std::string home_folder() {
    const char *home = getenv("HOME");
    if (home && *home == '/') return home;
    struct passwd *pw = getpwuid(getuid());
    return pw && pw->pw_dir ? pw->pw_dir : "";
}

// Where the sockets may go, best first: the session's runtime folder, else
// a name in /tmp; then a folder under the user's own home, which nobody else
// can have made.
std::vector<std::string> runtime_candidates(const std::string &hash) {
    std::vector<std::string> out;
    const char *xdg = getenv("XDG_RUNTIME_DIR");
    if (xdg && *xdg == '/')
        out.push_back(std::string(xdg) + "/velmora-" + hash);
    else
        out.push_back("/tmp/velmora-" + std::to_string(getuid()) + "-" + hash);
    std::string home = home_folder();
    if (!home.empty()) {
        // Its parents are the user's own; only the last level must be private.
        make_folders(home + "/.cache/velmora");
        out.push_back(home + "/.cache/velmora/run-" + hash);
    }
    return out;
}

}  // namespace

const char *device_runtime_dir(void) {
    DeviceState &s = state();
    std::lock_guard<std::recursive_mutex> g(s.lock);
    if (!s.runtime.empty()) return s.runtime.c_str();
    const char *root = device_root();
    if (!root) return nullptr;
    uint64_t h = 1469598103934665603ull;  // FNV-1a of the root keeps socket paths short
    for (const char *p = root; *p; p++) h = (h ^ (unsigned char)*p) * 1099511628211ull;
    char hash[17];
    snprintf(hash, sizeof hash, "%016llx", (unsigned long long)h);
    std::string refused;
    for (const std::string &candidate : runtime_candidates(hash)) {
        std::string why;
        if (!private_folder(candidate, &why)) {
            refused += (refused.empty() ? "" : "; ") + why;
            continue;
        }
        // Said once per process: the person should know someone took the usual place.
        if (!refused.empty())
            fprintf(stderr, "velmora: %s; the sockets are in %s instead\n", refused.c_str(), candidate.c_str());
        s.runtime = candidate;
        return s.runtime.c_str();
    }
    device_set_error("no private folder for the device's sockets: %s", refused.c_str());
    return nullptr;
}
