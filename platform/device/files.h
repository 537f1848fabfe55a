// The phone's file calls over the device's files: device paths ("\My
// Documents\x.mp3") are mapped to host files. Reading only, which is all
// the system asks of them.
#pragma once

#include "platform/core/last_error.h"
#include "platform/core/handles.h"
#include "platform/core/types.h"

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

typedef struct _WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwOID;
    WCHAR cFileName[MAX_PATH];
} WIN32_FIND_DATAW, *LPWIN32_FIND_DATAW;

// Opens an existing regular file for reading (GENERIC_READ, OPEN_EXISTING);
// anything else fails with ERROR_NOT_SUPPORTED. INVALID_HANDLE_VALUE on failure.
HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD flags, HANDLE template_file);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytes, LPDWORD read, LPVOID overlapped);

// Attributes of a file or folder (symbolic links followed);
// INVALID_FILE_ATTRIBUTES when it does not exist.
DWORD GetFileAttributesW(LPCWSTR path);

// Searches a folder: "\Folder\*.*" lists everything in it (never "." or
// ".."), "\Folder\*.mp3" what matches, without case. Entries come in name
// order. INVALID_HANDLE_VALUE with ERROR_NO_MORE_FILES when nothing matches.
HANDLE FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data);
BOOL FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW data);
BOOL FindClose(HANDLE find);

// The storage cards in the device: each a top-level folder ("Storage Card"
// in cFileName, without its backslash). Continued with FindNextFlashCard,
// ended with FindClose; INVALID_HANDLE_VALUE with ERROR_NO_MORE_FILES when
// there is none.
HANDLE FindFirstFlashCard(LPWIN32_FIND_DATAW data);
BOOL FindNextFlashCard(HANDLE find, LPWIN32_FIND_DATAW data);
