#include "platform/device/shell_folders.h"

#include <cstdlib>
#include <cwchar>

#include "platform/core/text.h"

// An item list here is simply the folder's device path.
struct _ITEMIDLIST {
    WCHAR path[MAX_PATH];
};

namespace {

const WCHAR *folder_path(int folder) {
    switch (folder) {
    case CSIDL_APPDATA: return L"\\IPSM\\Application Data";
    case CSIDL_PERSONAL: return L"\\My Documents";
    default: return nullptr;
    }
}

}  // namespace

HRESULT SHGetSpecialFolderLocation(HWND, int folder, LPITEMIDLIST *list) {
    if (!list) return E_INVALIDARG;
    *list = nullptr;
    const WCHAR *path = folder_path(folder);
    if (!path) return E_INVALIDARG;
    auto *item = static_cast<ITEMIDLIST *>(calloc(1, sizeof(ITEMIDLIST)));
    if (!item) return E_OUTOFMEMORY;
    plat::copy_wide(item->path, MAX_PATH, path);
    *list = item;
    return S_OK;
}

BOOL SHGetPathFromIDList(LPCITEMIDLIST list, LPWSTR path) {
    if (!list || !path) return FALSE;
    return plat::copy_wide(path, MAX_PATH, list->path) ? TRUE : FALSE;
}

void CoTaskMemFree(LPVOID memory) { free(memory); }
