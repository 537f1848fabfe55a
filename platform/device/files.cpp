#include "platform/device/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cwctype>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/device/clock.h"
#include "platform/device/device.h"
#include "platform/core/handles.h"
#include "platform/core/text.h"

namespace {

struct Search {
    std::string folder;              // host folder
    std::vector<std::string> names;  // matching entries, in name order
    std::vector<std::string> hosts;  // a storage-card search: each name's own host folder
    size_t next = 0;
};

// Handles are small numbers, never reused, so a stale or foreign handle
// finds nothing instead of memory that is gone.
struct HandleTable {
    std::mutex lock;
    uintptr_t next = 0x100;
    std::unordered_map<uintptr_t, std::shared_ptr<Search>> searches;
};

HandleTable &table() {
    static HandleTable t;
    return t;
}

DWORD error_of(int err) {
    switch (err) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_READ_FAULT;
    }
}

bool host_of(LPCWSTR path, char *host, size_t cap) {
    if (device_host_path(path, host, cap)) return true;
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
}

FILETIME filetime_of(const struct timespec &t) {
    long long units = (long long)t.tv_sec * 10000000LL + t.tv_nsec / 100 + FILETIME_UNIX_EPOCH;
    return FILETIME{DWORD(units & 0xFFFFFFFF), DWORD((unsigned long long)units >> 32)};
}

DWORD attributes_of(const struct stat &st, const char *name) {
    DWORD a = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!(st.st_mode & S_IWUSR)) a |= FILE_ATTRIBUTE_READONLY;
    if (name[0] == '.') a |= FILE_ATTRIBUTE_HIDDEN;
    return a;
}

// "*" any run, "?" one character; without case, as the phone's file system.
bool matches(const wchar_t *mask, const wchar_t *name) {
    if (wcscmp(mask, L"*.*") == 0 || wcscmp(mask, L"*") == 0) return true;
    const wchar_t *star = nullptr, *resume = nullptr;
    while (*name) {
        if (*mask == L'*') {
            star = mask++;
            resume = name;
        } else if (*mask == L'?' || towlower(wint_t(*mask)) == towlower(wint_t(*name))) {
            mask++;
            name++;
        } else if (star) {
            mask = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*mask == L'*') mask++;
    return *mask == 0;
}

bool fill_find_data(const std::string &full, const std::string &name, LPWIN32_FIND_DATAW data) {
    struct stat st;
    if (stat(full.c_str(), &st) != 0) return false;  // a dangling link is not there
    memset(data, 0, sizeof *data);
    data->dwFileAttributes = attributes_of(st, name.c_str());
    data->ftCreationTime = filetime_of(st.st_ctim);
    data->ftLastAccessTime = filetime_of(st.st_atim);
    data->ftLastWriteTime = filetime_of(st.st_mtim);
    unsigned long long size = S_ISDIR(st.st_mode) ? 0 : (unsigned long long)st.st_size;
    data->nFileSizeHigh = DWORD(size >> 32);
    data->nFileSizeLow = DWORD(size & 0xFFFFFFFF);
    data->dwOID = DWORD(st.st_ino);
    return plat::copy_wide(data->cFileName, MAX_PATH, plat::from_utf8(name.c_str()));
}

bool next_entry(Search &s, LPWIN32_FIND_DATAW data) {
    while (s.next < s.names.size()) {
        size_t i = s.next++;
        std::string full = s.hosts.empty() ? s.folder + "/" + s.names[i] : s.hosts[i];
        if (fill_find_data(full, s.names[i], data)) return true;
    }
    return false;
}

std::shared_ptr<Search> open_search(LPCWSTR pattern) {
    std::wstring p(pattern);
    size_t slash = p.rfind(L'\\');
    if (slash == std::wstring::npos) return nullptr;
    std::wstring folder = slash == 0 ? L"\\" : p.substr(0, slash), mask = p.substr(slash + 1);
    char host[DEVICE_HOST_PATH];
    if (!host_of(folder.c_str(), host, sizeof host)) return nullptr;
    DIR *dir = opendir(host);
    if (!dir) {
        SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : error_of(errno));
        return nullptr;
    }
    auto s = std::make_shared<Search>();
    s->folder = host;
    while (struct dirent *e = readdir(dir)) {
        if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0) continue;
        if (matches(mask.c_str(), plat::from_utf8(e->d_name).c_str())) s->names.push_back(e->d_name);
    }
    closedir(dir);
    std::sort(s->names.begin(), s->names.end());
    return s;
}

// The descriptor of a file handle, taken out of the table when `take`;
// -1 and ERROR_INVALID_HANDLE for anything else.
// Files live in the platform's one handle table, so CloseHandle closes them.
void close_file(uintptr_t fd) { close(int(fd)); }

int file_of(HANDLE handle) {
    uintptr_t fd;
    if (plat::handle_data(handle, close_file, &fd)) return int(fd);
    SetLastError(ERROR_INVALID_HANDLE);
    return -1;
}

}  // namespace

HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD, HANDLE) {
    if (!path || (access & GENERIC_WRITE) || !(access & GENERIC_READ) || disposition != OPEN_EXISTING) {
        SetLastError(path ? ERROR_NOT_SUPPORTED : ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    char host[DEVICE_HOST_PATH];
    if (!host_of(path, host, sizeof host)) return INVALID_HANDLE_VALUE;
    // Without blocking, so a named pipe cannot hold the caller; only
    // regular files are files here.
    int fd = open(host, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        SetLastError(error_of(errno));
        return INVALID_HANDLE_VALUE;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return plat::handle_open(close_file, uintptr_t(fd));
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytes, LPDWORD read_count, LPVOID) {
    if (read_count) *read_count = 0;
    int fd = file_of(file);
    if (fd < 0) return FALSE;
    ssize_t n;
    do n = read(fd, buffer, bytes);
    while (n < 0 && errno == EINTR);
    if (n < 0) {
        SetLastError(error_of(errno));
        return FALSE;
    }
    if (read_count) *read_count = DWORD(n);
    return TRUE;
}

DWORD GetFileAttributesW(LPCWSTR path) {
    char host[DEVICE_HOST_PATH];
    if (!path || !host_of(path, host, sizeof host)) return INVALID_FILE_ATTRIBUTES;
    struct stat st;
    if (stat(host, &st) != 0) {
        SetLastError(error_of(errno));
        return INVALID_FILE_ATTRIBUTES;
    }
    const char *slash = strrchr(host, '/');
    return attributes_of(st, slash ? slash + 1 : host);
}

namespace {

// The first entry of a search and its handle for FindNextFileW and FindClose.
HANDLE start_search(const std::shared_ptr<Search> &s, LPWIN32_FIND_DATAW data) {
    if (!next_entry(*s, data)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return INVALID_HANDLE_VALUE;
    }
    std::lock_guard<std::mutex> g(table().lock);
    uintptr_t h = table().next++;
    table().searches[h] = s;
    return reinterpret_cast<HANDLE>(h);
}

// The storage cards of the device settings that are in the device now: each
// a top-level folder, named without its backslash.
std::shared_ptr<Search> card_search() {
    auto s = std::make_shared<Search>();
    const DeviceSettings *ds = device_settings();
    for (int i = 0; i < ds->card_count; i++) {
        const WCHAR *card = ds->cards[i];
        char host[DEVICE_HOST_PATH];
        if (card[0] != L'\\' || !card[1] || wcschr(card + 1, L'\\')) continue;
        if (!device_host_path(card, host, sizeof host)) continue;
        s->names.push_back(plat::to_utf8(card + 1));
        s->hosts.push_back(host);
    }
    return s;
}

}  // namespace

HANDLE FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data) {
    if (!pattern || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::shared_ptr<Search> s = open_search(pattern);
    if (!s) return INVALID_HANDLE_VALUE;
    return start_search(s, data);
}

HANDLE FindFirstFlashCard(LPWIN32_FIND_DATAW data) {
    if (!data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    return start_search(card_search(), data);
}

BOOL FindNextFlashCard(HANDLE find, LPWIN32_FIND_DATAW data) { return FindNextFileW(find, data); }

BOOL FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW data) {
    std::shared_ptr<Search> s;
    {
        std::lock_guard<std::mutex> g(table().lock);
        auto it = table().searches.find(reinterpret_cast<uintptr_t>(find));
        if (it != table().searches.end()) s = it->second;
    }
    if (!s || !data) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (next_entry(*s, data)) return TRUE;
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
}

BOOL FindClose(HANDLE find) {
    std::lock_guard<std::mutex> g(table().lock);
    if (table().searches.erase(reinterpret_cast<uintptr_t>(find)) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
