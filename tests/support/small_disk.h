// A small tmpfs disk mounted at a folder, to see what a full disk does to the
// programs. Mounting needs root; the callers skip without it.
#pragma once

#include <string>

// Mounts a tmpfs of `megabytes` at the (existing, empty) folder.
bool mount_small_disk(const std::string &folder, int megabytes);
void unmount_small_disk(const std::string &folder);
// Fills the disk to the last byte with the file "filler" in the folder, and
// frees it again.
bool fill_disk(const std::string &folder);
void free_disk(const std::string &folder);
