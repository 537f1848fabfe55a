// Small helpers over the registry for the store's records. Every failure is
// silent: a value that cannot be read leaves its field as it was. A key that
// cannot be opened is told apart from a missing one.
#pragma once

#include "platform/phone.h"

// Opens the key of HKEY_LOCAL_MACHINE, creating it only when it is missing.
// Returns the open's error otherwise: a registry that cannot be read is not
// an empty one, and nothing is made in it.
LONG open_store_key(LPCWSTR path, HKEY *key);

// Opens an existing key of HKEY_LOCAL_MACHINE; NULL when it cannot be opened.
HKEY open_existing_key(LPCWSTR path);
HKEY open_existing_subkey(HKEY parent, LPCWSTR name);

// A 4-byte number; any stored type of exactly 4 bytes is taken.
bool read_dword(HKEY key, LPCWSTR name, DWORD *field);
// A number held as 1 when the registry holds anything but 0.
bool read_flag(HKEY key, LPCWSTR name, DWORD *field);
// A text of at most `capacity` characters including its terminator, read
// into a scratch buffer and copied only when the read succeeds.
bool read_text(HKEY key, LPCWSTR name, WCHAR *field, size_t capacity);

void write_dword(HKEY key, LPCWSTR name, DWORD value);
void write_text(HKEY key, LPCWSTR name, const WCHAR *text);

// One value of a record kept in the registry: its name, where it sits in the
// record and how it is held. A record's table lists its values in the order
// they are written.
enum FieldKind {
    FIELD_NUMBER,  // a DWORD
    FIELD_FLAG,    // a DWORD read as 0 or 1
    FIELD_TEXT,    // a WCHAR array of `capacity` characters
    FIELD_ZERO,    // a DWORD kept for older readers: always written as 0, never read
};

struct RegField {
    const WCHAR *name;
    size_t offset;  // in the record
    FieldKind kind;
    size_t capacity;  // characters, for texts
    int group;        // the record's own grouping, for partial saves
};

void read_field(HKEY key, const RegField &f, void *record);
void write_field(HKEY key, const RegField &f, const void *record);
