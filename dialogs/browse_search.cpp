#include "dialogs/browse_search.h"

#include <cstdlib>

#include "dialogs/dialogs.h"
#include "sound/song_list.h"

namespace {

constexpr int QUEUE_START = 100;
// A queue this long means a tree no person keeps sounds in; the search
// stops there as it does when memory runs out.
constexpr int QUEUE_MAX = 65536;

struct QueuedFolder {
    WCHAR path[MAX_PATH];
    int root;  // whose guard admits it
};

struct FolderQueue {
    QueuedFolder *entries;
    int count;
    int room;
};

bool push_folder(FolderQueue *q, LPCWSTR path, int root) {
    if (q->count + 1 >= q->room) {
        int room = q->room * 2;
        auto *grown = room <= QUEUE_MAX
                          ? static_cast<QueuedFolder *>(realloc(q->entries, sizeof(QueuedFolder) * size_t(room)))
                          : nullptr;
        if (!grown) return false;
        q->entries = grown;
        q->room = room;
    }
    QueuedFolder *e = &q->entries[q->count++];
    swprintf(e->path, MAX_PATH, L"%ls", path);
    e->root = root;
    return true;
}

// One folder's entries: its subfolders to the queue, its files to `found`;
// false when the queue is full.
bool search_one(FolderQueue *q, const QueuedFolder &folder, FoundFile found, void *context) {
    WCHAR pattern[MAX_PATH];
    if (swprintf(pattern, MAX_PATH, L"%ls\\*.*", folder.path) < 0) return true;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(pattern, &data);
    if (search == INVALID_HANDLE_VALUE) return true;  // gone or unreadable: nothing from it
    bool room = true;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            found(context, folder.path, data.cFileName);
            continue;
        }
        WCHAR path[MAX_PATH];
        // A path that does not fit is left out, never cut to another path.
        if (swprintf(path, MAX_PATH, L"%ls\\%ls", folder.path, data.cFileName) < 0) continue;
        room = push_folder(q, path, folder.root);
    } while (room && FindNextFileW(search, &data));
    FindClose(search);
    return room;
}

}  // namespace

BOOL path_is_under(LPCWSTR path, LPCWSTR folder) {
    size_t length = wcslen(folder);
    if (length == 0 || wcsncasecmp(path, folder, length) != 0) return FALSE;
    return path[length] == L'\0' || path[length] == L'\\' || folder[length - 1] == L'\\';
}

void find_search_roots(SearchRoots *roots) {
    roots->count = 1;
    LPITEMIDLIST list = nullptr;
    bool found = SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &list)) &&
                 SHGetPathFromIDList(list, roots->paths[0]);
    if (list) CoTaskMemFree(list);
    if (!found) swprintf(roots->paths[0], MAX_PATH, L"%ls", L"\\My Documents");
    WIN32_FIND_DATAW card;
    HANDLE cards = FindFirstFlashCard(&card);
    if (cards == INVALID_HANDLE_VALUE) return;
    do {
        WCHAR *path = roots->paths[roots->count];
        if (swprintf(path, MAX_PATH, L"\\%ls", card.cFileName) < 0) continue;
        // The documents folder on a card is searched once, as root 0.
        if (!path_is_under(roots->paths[0], path)) roots->count++;
    } while (roots->count < BROWSE_MAX_ROOTS && FindNextFlashCard(cards, &card));
    FindClose(cards);
}

BOOL browse_name_matches(int mode, LPCWSTR name) {
    return mode == BROWSE_PLAYLISTS ? IsPlaylistFile(name) : IsMusicFile(name);
}

void search_folders(const SearchRoots *roots, FoundFile found, void *context) {
    FolderQueue q = {static_cast<QueuedFolder *>(malloc(sizeof(QueuedFolder) * QUEUE_START)), 0, QUEUE_START};
    FolderWalk *guards[BROWSE_MAX_ROOTS] = {};
    for (int r = 0; r < roots->count && q.entries; r++) {
        guards[r] = folder_walk_begin(roots->paths[r]);
        push_folder(&q, roots->paths[r], r);
    }
    for (int i = 0; q.entries && i < q.count; i++) {
        // A copy: the queue may move while this folder adds to it.
        QueuedFolder folder = q.entries[i];
        FolderWalk *guard = guards[folder.root];
        // Links back into the search or above its root are not followed.
        if (!guard || !folder_walk_admit(guard, folder.path)) continue;
        if (!search_one(&q, folder, found, context)) break;
    }
    for (FolderWalk *guard : guards) folder_walk_end(guard);
    free(q.entries);
}
