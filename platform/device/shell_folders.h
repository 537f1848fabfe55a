// The shell's special folders: application data and the personal folder.
#pragma once

#include "platform/core/types.h"

typedef struct _ITEMIDLIST ITEMIDLIST, *LPITEMIDLIST;
typedef const ITEMIDLIST *LPCITEMIDLIST;

#define S_OK ((HRESULT)0L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

// The item list is freed with the shell's allocator, CoTaskMemFree.
HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST *list);
BOOL SHGetPathFromIDList(LPCITEMIDLIST list, LPWSTR path);
void CoTaskMemFree(LPVOID memory);
