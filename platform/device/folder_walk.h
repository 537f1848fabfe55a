// Keeps a walk through folders finite. On Linux a symbolic link can lead
// back to a folder already walked or to a folder above the walk's root, and
// a walk that follows it never ends; the guard refuses such folders.
#pragma once

#include "platform/core/types.h"

typedef struct FolderWalk FolderWalk;

// NULL when out of memory; a root that does not exist gives a guard that
// admits nothing.
FolderWalk *folder_walk_begin(LPCWSTR root);
// TRUE when the walk should enter `folder`: it exists, was not entered
// before under any path, and is neither the root's parent nor above it.
BOOL folder_walk_admit(FolderWalk *walk, LPCWSTR folder);
void folder_walk_end(FolderWalk *walk);
