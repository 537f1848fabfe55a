// The phone's registry, kept in "registry.db" of the device root.
// Key paths are compared without case. Values written through one open key
// are committed together at RegFlushKey or RegCloseKey, so a reader in another
// process sees the whole record or none of it; a key opened for reading sees
// its values as they were when it was opened.
#pragma once

#include <stddef.h>

#include "platform/core/types.h"

LONG RegCreateKeyExW(HKEY key, LPCWSTR sub_key, DWORD reserved, LPWSTR key_class, DWORD options, REGSAM access,
                     LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
LONG RegOpenKeyExW(HKEY key, LPCWSTR sub_key, DWORD options, REGSAM access, PHKEY result);
LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD data_size);
LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE *data, DWORD data_size);
LONG RegDeleteValueW(HKEY key, LPCWSTR name);
LONG RegDeleteKeyW(HKEY key, LPCWSTR sub_key);
LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD name_chars, LPDWORD reserved, LPWSTR key_class,
                   LPDWORD class_chars, LPFILETIME last_write);
LONG RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD name_chars, LPDWORD reserved, LPDWORD type,
                   LPBYTE data, LPDWORD data_size);
LONG RegFlushKey(HKEY key);
LONG RegCloseKey(HKEY key);

// Size in bytes a value takes in the store (strings as UTF-16LE); velctl
// shows it. ERROR_FILE_NOT_FOUND when the value does not exist.
LONG reg_stored_size(HKEY key, LPCWSTR name, LPDWORD size);

// One line about the last failure of the registry database, for velctl:
// copied into `out` (at most `cap` bytes with the terminator).
void reg_last_problem(char *out, size_t cap);
