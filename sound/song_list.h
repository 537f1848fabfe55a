// Song lists for sleep music: every supported file of a folder tree in
// file-name order, the entries of an ASX playlist, or one file; and the small
// file-name tests the browsers share.
#pragma once

#include "platform/phone.h"

struct SongNode {
    WCHAR Path[MAX_PATH];
    BYTE OnCard;     // set by the sound browser's file search; 0 here
    SongNode *Next;
};

// Lists longer than this are cut: a playlist of millions of entries must
// not take all the memory there is.
#define SONG_LIST_MAX 100000

bool IsMusicFile(LPCWSTR name);
bool IsPlaylistFile(LPCWSTR name);
// Copies the part after the last backslash (not counting a backslash in the
// first place) into `out`, which holds MAX_PATH characters.
void FileNameOf(LPCWSTR path, LPWSTR out);

// Compares the file names of two paths character by character by UTF-16
// code unit, as the phone did.
int compare_file_names(LPCWSTR a, LPCWSTR b);

SongNode *new_song_node(LPCWSTR path);
// Before the first node whose file name is greater; equal names keep the
// order they came in.
SongNode *InsertByFileName(SongNode *list, SongNode *node);
SongNode *AppendNode(SongNode *list, SongNode *node);
// The order InsertByFileName would give the nodes one by one, at n log n cost.
SongNode *sort_by_file_name(SongNode *list);

SongNode *ReadFolder(LPCWSTR folder);
SongNode *ReadPlaylist(LPCWSTR playlist);
SongNode *BuildSleepList(int kind, LPCWSTR path);
void FreeSongList(SongNode *list);
