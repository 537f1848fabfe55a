#include "tests/support/registry_values.h"

#include <cstring>
#include <vector>

void put_bytes(const wchar_t *path, const wchar_t *name, DWORD type, const void *data, DWORD size) {
    HKEY key;
    DWORD disposition;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, 0, nullptr, &key, &disposition)) return;
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(key);
}

void put_dword(const wchar_t *path, const wchar_t *name, DWORD value) {
    put_bytes(path, name, REG_DWORD, &value, 4);
}

void put_text(const wchar_t *path, const wchar_t *name, const std::wstring &text) {
    put_bytes(path, name, REG_SZ, text.c_str(), DWORD((text.size() + 1) * sizeof(WCHAR)));
}

namespace {

bool query(const wchar_t *path, const wchar_t *name, std::vector<BYTE> &data, DWORD *stored) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, 0, &key)) return false;
    DWORD size = 0;
    bool ok = RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
    if (ok) {
        data.resize(size);
        ok = RegQueryValueExW(key, name, nullptr, nullptr, data.data(), &size) == ERROR_SUCCESS;
    }
    if (ok && stored) reg_stored_size(key, name, stored);
    RegCloseKey(key);
    return ok;
}

}  // namespace

bool get_dword(const wchar_t *path, const wchar_t *name, DWORD *value) {
    std::vector<BYTE> data;
    if (!query(path, name, data, nullptr) || data.size() != 4) return false;
    memcpy(value, data.data(), 4);
    return true;
}

bool get_text(const wchar_t *path, const wchar_t *name, std::wstring *text) {
    std::vector<BYTE> data;
    if (!query(path, name, data, nullptr)) return false;
    text->assign(reinterpret_cast<const WCHAR *>(data.data()), data.size() / sizeof(WCHAR));
    while (!text->empty() && text->back() == L'\0') text->pop_back();
    return true;
}

DWORD stored_size(const wchar_t *path, const wchar_t *name) {
    std::vector<BYTE> data;
    DWORD stored = 0;
    return query(path, name, data, &stored) ? stored : 0;
}

bool key_exists(const wchar_t *path) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, 0, &key)) return false;
    RegCloseKey(key);
    return true;
}

int subkey_count(const wchar_t *path) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, 0, &key)) return -1;
    int n = 0;
    WCHAR name[256];
    for (DWORD chars = 256; RegEnumKeyExW(key, DWORD(n), name, &chars, nullptr, nullptr, nullptr, nullptr) == 0;
         chars = 256)
        n++;
    RegCloseKey(key);
    return n;
}
