#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/phone.h"
#include "tools/velctl/verbs.h"

namespace {

const char *type_name(DWORD type) {
    switch (type) {
    case REG_SZ: return "REG_SZ";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case REG_MULTI_SZ: return "REG_MULTI_SZ";
    case REG_DWORD: return "REG_DWORD";
    case REG_BINARY: return "REG_BINARY";
    default: return "REG_NONE";
    }
}

std::string describe(LONG err) {
    char problem[512];
    reg_last_problem(problem, sizeof problem);
    if (*problem && (err == ERROR_REGISTRY_CORRUPT || err == ERROR_ACCESS_DENIED ||
                                err == ERROR_CANTOPEN || err == ERROR_CANTWRITE || err == ERROR_BADDB ||
                                err == ERROR_TIMEOUT))
        return problem;
    switch (err) {
    case ERROR_FILE_NOT_FOUND: return "not found";
    case ERROR_INVALID_PARAMETER: return "invalid name or data";
    case ERROR_KEY_DELETED: return "the key was deleted";
    default: return "registry error " + std::to_string(err);
    }
}

// The data as a person reads it: a DWORD in decimal and hex, text as text.
std::string format_data(DWORD type, const std::vector<BYTE> &data, bool with_hex) {
    char buf[64];
    if (type == REG_DWORD && data.size() == 4) {
        DWORD v;
        memcpy(&v, data.data(), 4);
        if (with_hex)
            snprintf(buf, sizeof buf, "%u (0x%08X)", (unsigned)v, (unsigned)v);
        else
            snprintf(buf, sizeof buf, "%u", (unsigned)v);
        return buf;
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        const auto *w = reinterpret_cast<const WCHAR *>(data.data());
        size_t n = data.size() / sizeof(WCHAR);
        while (n && w[n - 1] == L'\0') n--;
        return plat::to_utf8(w, n);
    }
    std::string hex;
    for (BYTE b : data) {
        snprintf(buf, sizeof buf, "%02x", b);
        hex += buf;
    }
    return hex;
}

LONG query(HKEY key, const WCHAR *name, DWORD &type, std::vector<BYTE> &data) {
    DWORD size = 0;
    LONG err = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
    if (err) return err;
    data.resize(size);
    return RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
}

int open_for_reading(const char *path, HKEY &key) {
    std::wstring wide_path;
    if (!velctl_text(path, &wide_path)) return VELCTL_FAILED;
    LONG err = RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide_path.c_str(), 0, KEY_READ, &key);
    if (err == ERROR_FILE_NOT_FOUND) return velctl_fail("no key %s", path);
    if (err) return velctl_fail("cannot open %s: %s", path, describe(err).c_str());
    return VELCTL_OK;
}

int reg_list(const char *path) {
    HKEY key;
    if (int rc = open_for_reading(path, key)) return rc;
    printf("%s\n", path);
    WCHAR name[256];
    for (DWORD i = 0;; i++) {
        DWORD chars = 256, type = 0, size = 0;
        if (RegEnumValueW(key, i, name, &chars, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) break;
        std::vector<BYTE> data;
        if (query(key, name, type, data) != ERROR_SUCCESS) continue;
        reg_stored_size(key, name, &size);
        printf("  %-20s %-10s %5u bytes  %s\n", plat::to_utf8(name).c_str(), type_name(type), (unsigned)size,
               format_data(type, data, true).c_str());
    }
    for (DWORD i = 0;; i++) {
        DWORD chars = 256;
        if (RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        printf("  [%s]\n", plat::to_utf8(name).c_str());
    }
    RegCloseKey(key);
    return VELCTL_OK;
}

int reg_get(const char *path, const char *name) {
    HKEY key;
    if (int rc = open_for_reading(path, key)) return rc;
    DWORD type = 0;
    std::vector<BYTE> data;
    std::wstring wide_name;
    if (!velctl_text(name, &wide_name)) {
        RegCloseKey(key);
        return VELCTL_FAILED;
    }
    LONG err = query(key, wide_name.c_str(), type, data);
    RegCloseKey(key);
    if (err == ERROR_FILE_NOT_FOUND) return velctl_fail("no value %s in %s", name, path);
    if (err) return velctl_fail("cannot read %s: %s", name, describe(err).c_str());
    printf("%s\n", format_data(type, data, false).c_str());
    return VELCTL_OK;
}

// Decimal as people write it ("010" is ten), or hexadecimal after "0x".
bool parse_dword(const char *text, DWORD &value) {
    bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char *digits = hex ? text + 2 : text;
    if (!isxdigit((unsigned char)*digits) || (!hex && !isdigit((unsigned char)*digits))) return false;
    errno = 0;
    char *end = nullptr;
    unsigned long long v = strtoull(digits, &end, hex ? 16 : 10);
    if (errno || *end || v > 0xFFFFFFFFull) return false;
    value = DWORD(v);
    return true;
}

int reg_set(const char *path, const char *name, const char *kind, const char *text) {
    DWORD dword = 0;
    bool is_dword = strcmp(kind, "dword") == 0;
    if (!is_dword && strcmp(kind, "sz") != 0) return velctl_usage("reg", "the type is dword or sz");
    if (is_dword && !parse_dword(text, dword))
        return velctl_fail("'%s' is not a 32-bit number (decimal, or hex with 0x)", text);
    std::wstring wide_path, value_name, value;
    if (!velctl_text(path, &wide_path) || !velctl_text(name, &value_name) || !velctl_text(text, &value))
        return VELCTL_FAILED;
    HKEY key;
    DWORD disposition;
    LONG err = RegCreateKeyExW(HKEY_LOCAL_MACHINE, wide_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                               &disposition);
    if (err) return velctl_fail("cannot create %s: %s", path, describe(err).c_str());
    if (is_dword)
        err = RegSetValueExW(key, value_name.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE *>(&dword), 4);
    else
        err = RegSetValueExW(key, value_name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                             DWORD((value.size() + 1) * sizeof(WCHAR)));
    if (!err) err = RegFlushKey(key);
    RegCloseKey(key);
    if (err) return velctl_fail("cannot write %s: %s", name, describe(err).c_str());
    return VELCTL_OK;
}

}  // namespace

int verb_reg(int argc, char **argv) {
    if (argc >= 1 && strcmp(argv[0], "list") == 0 && argc == 2) return reg_list(argv[1]);
    if (argc >= 1 && strcmp(argv[0], "get") == 0 && argc == 3) return reg_get(argv[1], argv[2]);
    if (argc >= 1 && strcmp(argv[0], "set") == 0 && argc == 5) return reg_set(argv[1], argv[2], argv[3], argv[4]);
    return velctl_usage("reg", argc ? "wrong words" : "needs list, get or set");
}
