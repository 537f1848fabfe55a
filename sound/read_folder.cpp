// Every supported file under a folder, breadth first, ordered by file name
// across all subfolders.
#include <cstdlib>

#include "sound/song_list.h"

namespace {

constexpr int FOLDER_QUEUE_START = 100;
// A queue this long means a tree no person keeps music in; the walk stops
// there as it does when memory runs out.
constexpr int FOLDER_QUEUE_MAX = 65536;

typedef WCHAR FolderPath[MAX_PATH];

struct FolderWalkState {
    FolderPath *queue;
    int count;
    int room;
    SongNode *head;
    SongNode *tail;
    int songs;
    bool stopped;
};

bool push_folder(FolderWalkState *w, LPCWSTR path) {
    if (w->count == w->room) {
        int room = w->room * 2;
        FolderPath *grown = room <= FOLDER_QUEUE_MAX ? (FolderPath *)realloc(w->queue, sizeof(FolderPath) * room) : nullptr;
        if (!grown) return false;
        w->queue = grown;
        w->room = room;
    }
    plat::copy_wide(w->queue[w->count++], MAX_PATH, path);
    return true;
}

// Nodes are collected in the order found and sorted once at the end, which
// gives the order of inserting them one by one.
bool add_song(FolderWalkState *w, LPCWSTR path) {
    if (w->songs >= SONG_LIST_MAX) return false;
    SongNode *node = new_song_node(path);
    if (!node) return false;
    if (w->tail) w->tail->Next = node;
    else w->head = node;
    w->tail = node;
    w->songs++;
    return true;
}

void read_one_folder(FolderWalkState *w, LPCWSTR folder) {
    WCHAR pattern[MAX_PATH];
    if (swprintf(pattern, MAX_PATH, L"%ls\\*.*", folder) < 0) return;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        WCHAR path[MAX_PATH];
        // A path that does not fit is left out, never cut to another path.
        if (swprintf(path, MAX_PATH, L"%ls\\%ls", folder, found.cFileName) < 0) continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!push_folder(w, path)) w->stopped = true;
        } else if (IsMusicFile(found.cFileName)) {
            if (!add_song(w, path)) w->stopped = true;
        }
    } while (!w->stopped && FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

SongNode *ReadFolder(LPCWSTR folder) {
    FolderWalkState w = {};
    w.queue = (FolderPath *)malloc(sizeof(FolderPath) * FOLDER_QUEUE_START);
    FolderWalk *guard = folder ? folder_walk_begin(folder) : nullptr;
    if (w.queue && guard && wcslen(folder) < MAX_PATH) {
        w.room = FOLDER_QUEUE_START;
        push_folder(&w, folder);
        for (int i = 0; i < w.count && !w.stopped; i++) {
            // A copy: the queue may move while this folder adds to it.
            WCHAR current[MAX_PATH];
            plat::copy_wide(current, MAX_PATH, w.queue[i]);
            // Links back into the walk or above its root are not followed.
            if (folder_walk_admit(guard, current)) read_one_folder(&w, current);
        }
    }
    folder_walk_end(guard);
    free(w.queue);
    return sort_by_file_name(w.head);
}
