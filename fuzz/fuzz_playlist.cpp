// The ASX reader on any bytes: each input becomes the playlist file of a
// scratch device, read as the Sleep dialog reads it.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_device.h"
#include "sound/song_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static std::string playlist = fuzz_device_file("list.asx");
    FILE *f = fopen(playlist.c_str(), "wb");
    if (!f) abort();
    fwrite(data, 1, size, f);
    fclose(f);
    SongNode *list = ReadPlaylist(L"\\list.asx");
    for (SongNode *n = list; n; n = n->Next)
        if (!IsMusicFile(n->Path)) abort();  // only music makes it into the list
    FreeSongList(list);
    fuzz_device_tidy();
    return 0;
}
