// Reading and writing single registry values in tests, one call each.
#pragma once

#include <string>

#include "platform/phone.h"

void put_dword(const wchar_t *key, const wchar_t *name, DWORD value);
void put_text(const wchar_t *key, const wchar_t *name, const std::wstring &text);
void put_bytes(const wchar_t *key, const wchar_t *name, DWORD type, const void *data, DWORD size);
bool get_dword(const wchar_t *key, const wchar_t *name, DWORD *value);
bool get_text(const wchar_t *key, const wchar_t *name, std::wstring *text);
// Stored size in bytes, 0 when missing.
DWORD stored_size(const wchar_t *key, const wchar_t *name);
bool key_exists(const wchar_t *key);
int subkey_count(const wchar_t *key);
