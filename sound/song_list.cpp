#include "sound/song_list.h"

#include <cstdlib>
#include <cwchar>

#include "store/settings.h"

namespace {

bool ends_with(LPCWSTR name, LPCWSTR ext) {
    size_t n = name ? wcslen(name) : 0;
    return n > 4 && wcscasecmp(name + n - 4, ext) == 0;
}

// Where the file name of `path` begins.
LPCWSTR file_name_start(LPCWSTR path) {
    size_t n = wcslen(path);
    for (size_t i = n; i-- > 1;)
        if (path[i] == L'\\') return path + i + 1;
    return path;
}

// UTF-16 code units of a character: memory holds whole code points.
unsigned first_unit(wchar_t c) { return unsigned(c) >= 0x10000 ? 0xD800 + ((unsigned(c) - 0x10000) >> 10) : unsigned(c); }
unsigned second_unit(wchar_t c) { return unsigned(c) >= 0x10000 ? 0xDC00 + ((unsigned(c) - 0x10000) & 0x3FF) : 0; }

SongNode *merge(SongNode *a, SongNode *b) {
    SongNode head{}, *tail = &head;
    while (a && b) {
        // Ties take from the first run, which came first: the sort is stable.
        if (compare_file_names(b->Path, a->Path) < 0) {
            tail->Next = b;
            b = b->Next;
        } else {
            tail->Next = a;
            a = a->Next;
        }
        tail = tail->Next;
    }
    tail->Next = a ? a : b;
    return head.Next;
}

}  // namespace

bool IsMusicFile(LPCWSTR name) { return ends_with(name, L".wav") || ends_with(name, L".ogg") || ends_with(name, L".mp3"); }

bool IsPlaylistFile(LPCWSTR name) { return ends_with(name, L".asx"); }

void FileNameOf(LPCWSTR path, LPWSTR out) { plat::copy_wide(out, MAX_PATH, file_name_start(path)); }

int compare_file_names(LPCWSTR a, LPCWSTR b) {
    a = file_name_start(a);
    b = file_name_start(b);
    for (; *a && *a == *b; a++, b++) {
    }
    if (*a == *b) return 0;
    if (!*a || !*b) return *a ? 1 : -1;
    unsigned ua = first_unit(*a), ub = first_unit(*b);
    if (ua == ub) ua = second_unit(*a), ub = second_unit(*b);
    return ua < ub ? -1 : 1;
}

SongNode *new_song_node(LPCWSTR path) {
    SongNode *node = static_cast<SongNode *>(calloc(1, sizeof(SongNode)));
    if (node) plat::copy_wide(node->Path, MAX_PATH, path);
    return node;
}

SongNode *InsertByFileName(SongNode *list, SongNode *node) {
    SongNode **at = &list;
    while (*at && compare_file_names((*at)->Path, node->Path) <= 0) at = &(*at)->Next;
    node->Next = *at;
    *at = node;
    return list;
}

SongNode *AppendNode(SongNode *list, SongNode *node) {
    if (!list) return node;
    SongNode *last = list;
    while (last->Next) last = last->Next;
    last->Next = node;
    return list;
}

SongNode *sort_by_file_name(SongNode *list) {
    if (!list || !list->Next) return list;
    SongNode *slow = list, *fast = list->Next;
    while (fast && fast->Next) {
        slow = slow->Next;
        fast = fast->Next->Next;
    }
    SongNode *second = slow->Next;
    slow->Next = nullptr;
    return merge(sort_by_file_name(list), sort_by_file_name(second));
}

SongNode *BuildSleepList(int kind, LPCWSTR path) {
    switch (kind) {
    case SLEEP_SOURCE_FOLDER: return ReadFolder(path);
    case SLEEP_SOURCE_PLAYLIST: return ReadPlaylist(path);
    case SLEEP_SOURCE_FILE: return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES ? new_song_node(path) : nullptr;
    default: return nullptr;
    }
}

void FreeSongList(SongNode *list) {
    while (list) {
        SongNode *next = list->Next;
        free(list);
        list = next;
    }
}
