// The search both browsers make each time they open: the documents folder
// and every storage card, every folder under them, breadth first.
#pragma once

#include "platform/phone.h"

// Root 0 and at most this many storage cards.
#define BROWSE_MAX_ROOTS 9

struct SearchRoots {
    WCHAR paths[BROWSE_MAX_ROOTS][MAX_PATH];
    int count;
};

// Root 0 is the documents folder ("\My Documents" when the shell does not
// say); then each storage card that is not the documents folder or above it.
void find_search_roots(SearchRoots *roots);
// TRUE when `path` is `folder` or lies under it, without regard to case.
BOOL path_is_under(LPCWSTR path, LPCWSTR folder);
// A name the browser of `mode` (SoundBrowseMode) lists.
BOOL browse_name_matches(int mode, LPCWSTR name);

// Told each file of each folder searched; `folder` is its full path.
typedef void (*FoundFile)(void *context, LPCWSTR folder, LPCWSTR name);

// Every folder under the roots, breadth first across them all, each entered
// once however links lead to it; `found` is told every file. The queue of
// folders still to search grows by doubling; when it cannot, the search
// stops with what it found. O(folders + files).
void search_folders(const SearchRoots *roots, FoundFile found, void *context);
