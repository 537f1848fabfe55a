// Where a package may write: its files stay inside the device, in the
// phone's program folders, and its registry values under its own keys.
#include <sys/stat.h>

#include <cstring>

#include "platform/device/device.h"
#include "tools/velpkg/velpkg.h"

namespace {

// Top-level folders a package may lay files in.
const wchar_t *const PACKAGE_TOPS[] = {L"ipsm", L"windows"};

// Folders of every device, never removed with a package.
const wchar_t *const KEPT_FOLDERS[] = {
    L"\\ipsm",
    L"\\ipsm\\program files",
    L"\\ipsm\\application data",
    L"\\windows",
    L"\\windows\\start menu",
    L"\\windows\\start menu\\programs",
    L"\\windows\\appmgr",
    L"\\my documents",
    L"\\storage card",
};

std::vector<std::wstring> split_backslashes(const std::wstring &path) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t cut = path.find(L'\\', start);
        if (cut == std::wstring::npos) cut = path.size();
        parts.push_back(path.substr(start, cut - start));
        start = cut + 1;
    }
    return parts;
}

bool part_ok(const std::wstring &part) {
    if (part.empty() || part == L"." || part == L".." || part.back() == L' ' || part.back() == L'.') return false;
    for (wchar_t c : part)
        if (c < 0x20 || wcschr(L"/:*?\"<>|", c)) return false;
    return true;
}

// The key's names, folded, without empty parts.
std::vector<std::wstring> key_parts(const std::wstring &key) {
    std::vector<std::wstring> parts;
    for (const std::wstring &p : split_backslashes(plat::fold_case(key.c_str())))
        if (!p.empty()) parts.push_back(p);
    return parts;
}

bool starts_with(const std::vector<std::wstring> &parts, const std::vector<std::wstring> &prefix) {
    if (parts.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); i++)
        if (parts[i] != prefix[i]) return false;
    return true;
}

}  // namespace

bool package_path_ok(const std::wstring &path) {
    if (path.size() < 2 || path.size() >= MAX_PATH || path[0] != L'\\') return false;
    std::vector<std::wstring> parts = split_backslashes(path.substr(1));
    if (parts.size() < 2) return false;
    for (const std::wstring &p : parts)
        if (!part_ok(p)) return false;
    std::wstring top = plat::fold_case(parts[0].c_str());
    // The installer's own records are not for packages to write.
    if (top == L"windows" && plat::fold_case(parts[1].c_str()) == L"appmgr") return false;
    for (const wchar_t *allowed : PACKAGE_TOPS)
        if (top == allowed) return true;
    return false;
}

bool package_key_ok(const std::wstring &key, const Manifest &m) {
    std::vector<std::wstring> parts = key_parts(key);
    for (const std::wstring &p : split_backslashes(key))
        if (p.size() > 255) return false;
    std::vector<std::wstring> settings = key_parts(L"Software\\" + m.vendor + L"\\" + m.package);
    std::vector<std::wstring> record = key_parts(L"Security\\AppInstall\\" + full_name(m));
    return starts_with(parts, settings) || starts_with(parts, record);
}

bool host_file_of(const std::wstring &device_path, std::string &host) {
    char out[DEVICE_HOST_PATH];
    const char *root = device_root();
    if (!root || !device_host_path(device_path.c_str(), out, sizeof out)) return false;
    size_t n = strlen(root);
    if (strncmp(out, root, n) != 0 || out[n] != '/') return false;
    // Every folder on the way that exists must be a real folder of the device.
    for (char *slash = strchr(out + n + 1, '/'); slash; slash = strchr(slash + 1, '/')) {
        *slash = '\0';
        struct stat st;
        bool bad = lstat(out, &st) == 0 && !S_ISDIR(st.st_mode);
        *slash = '/';
        if (bad) return false;
    }
    struct stat st;
    if (lstat(out, &st) == 0 && !S_ISREG(st.st_mode)) return false;
    host = out;
    return true;
}

bool kept_folder(const std::wstring &device_folder) {
    std::wstring folded = plat::fold_case(device_folder.c_str());
    for (const wchar_t *kept : KEPT_FOLDERS)
        if (folded == kept) return true;
    return false;
}
