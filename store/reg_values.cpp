#include "store/reg_values.h"

#include <cwchar>
#include <memory>

LONG open_store_key(LPCWSTR path, HKEY *key) {
    *key = nullptr;
    LONG err = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, 0, key);
    if (err != ERROR_FILE_NOT_FOUND) return err;
    DWORD disposition = 0;
    return RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, 0, nullptr, key, &disposition);
}

HKEY open_existing_key(LPCWSTR path) { return open_existing_subkey(HKEY_LOCAL_MACHINE, path); }

HKEY open_existing_subkey(HKEY parent, LPCWSTR name) {
    HKEY key = nullptr;
    return RegOpenKeyExW(parent, name, 0, 0, &key) == ERROR_SUCCESS ? key : nullptr;
}

bool read_dword(HKEY key, LPCWSTR name, DWORD *field) {
    DWORD value = 0, size = sizeof value;
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &size) != ERROR_SUCCESS ||
        size != sizeof value)
        return false;
    *field = value;
    return true;
}

bool read_flag(HKEY key, LPCWSTR name, DWORD *field) {
    DWORD value = 0;
    if (!read_dword(key, name, &value)) return false;
    *field = value != 0;
    return true;
}

bool read_text(HKEY key, LPCWSTR name, WCHAR *field, size_t capacity) {
    // A number where a text belongs would give characters without a
    // terminator, so only text types are taken.
    DWORD type = REG_NONE, size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    std::unique_ptr<WCHAR[]> scratch(new WCHAR[capacity]);
    size = DWORD(capacity * sizeof(WCHAR));
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(scratch.get()), &size) !=
        ERROR_SUCCESS)
        return false;
    size_t chars = size / sizeof(WCHAR);
    if (chars == 0 || scratch[chars - 1] != L'\0') {
        if (chars >= capacity) return false;  // no room left for the terminator
        scratch[chars] = L'\0';
    }
    wmemcpy(field, scratch.get(), wcslen(scratch.get()) + 1);
    return true;
}

void write_dword(HKEY key, LPCWSTR name, DWORD value) {
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof value);
}

void write_text(HKEY key, LPCWSTR name, const WCHAR *text) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                   DWORD((wcslen(text) + 1) * sizeof(WCHAR)));
}

void read_field(HKEY key, const RegField &f, void *record) {
    char *at = static_cast<char *>(record) + f.offset;
    switch (f.kind) {
    case FIELD_NUMBER: read_dword(key, f.name, reinterpret_cast<DWORD *>(at)); break;
    case FIELD_FLAG: read_flag(key, f.name, reinterpret_cast<DWORD *>(at)); break;
    case FIELD_TEXT: read_text(key, f.name, reinterpret_cast<WCHAR *>(at), f.capacity); break;
    case FIELD_ZERO: break;
    }
}

void write_field(HKEY key, const RegField &f, const void *record) {
    const char *at = static_cast<const char *>(record) + f.offset;
    switch (f.kind) {
    case FIELD_TEXT: write_text(key, f.name, reinterpret_cast<const WCHAR *>(at)); break;
    case FIELD_ZERO: write_dword(key, f.name, 0); break;
    default: write_dword(key, f.name, *reinterpret_cast<const DWORD *>(at)); break;
    }
}
