// ReadFolder over 10 000 sound files in 1 000 folders (10 groups of 100
// folders of 10 files), in the order by file name; beside it, the same list
// built by inserting each node in order, as a walk without sorting would.
#include <benchmark/benchmark.h>

#include "bench/bench_device.h"
#include "sound/song_list.h"

namespace {

void make_tree() {
    static bool made = false;
    if (made) return;
    made = true;
    bench_device_open();
    bench_song_tree(L"\\Music");
}

void BM_ReadFolder(benchmark::State &state) {
    make_tree();
    int count = 0;
    for (auto _ : state) {
        SongNode *list = ReadFolder(L"\\Music");
        count = 0;
        for (SongNode *n = list; n; n = n->Next) count++;
        FreeSongList(list);
    }
    state.counters["songs"] = count;
}

void BM_InsertOneByOne(benchmark::State &state) {
    make_tree();
    SongNode *found = ReadFolder(L"\\Music");
    for (auto _ : state) {
        SongNode *list = nullptr;
        for (SongNode *n = found; n; n = n->Next) list = InsertByFileName(list, new_song_node(n->Path));
        FreeSongList(list);
    }
    FreeSongList(found);
}

}  // namespace

BENCHMARK(BM_ReadFolder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertOneByOne)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
