// The tree of folders that Choose Folder shows: every folder that holds a
// sound file, with the folders above it.
#pragma once

#include "platform/phone.h"

struct FolderNode {
    WCHAR name[MAX_PATH];  // one component of a path
    FolderNode *child;     // the first
    FolderNode *next;      // the next sibling
};

// Adds the folder `path` ("\A\B\C") and each folder above it that is not in
// the tree yet, finding names without regard to case. Top-level folders stay
// in the order they came; the others are kept in order of their names
// without regard to case. False when memory ran out. O(depth x siblings).
bool folder_tree_add(FolderNode **top, LPCWSTR path);
// Children before their node, then the siblings that follow.
void free_folder_tree(FolderNode *top);
