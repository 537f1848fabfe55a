#include "platform/core/resources.h"

#include <cstring>
#include <cwchar>
#include <mutex>
#include <vector>

namespace {

struct ResourceTables {
    std::mutex lock;
    std::vector<std::pair<const BitmapResource *, int>> bitmaps;
    std::vector<std::pair<const StringResource *, int>> strings;
    std::vector<std::pair<const MenuBarResource *, int>> menubars;
    std::vector<std::pair<const DialogResource *, int>> dialogs;
};

ResourceTables &tables() {
    static ResourceTables t;
    return t;
}

// A later table comes first, so that its entries win.
template <typename T>
void add_table(std::vector<std::pair<const T *, int>> &list, const T *table, int count) {
    std::lock_guard<std::mutex> g(tables().lock);
    list.insert(list.begin(), {table, count});
}

}  // namespace

void resources_add_bitmaps(const BitmapResource *table, int count) { add_table(tables().bitmaps, table, count); }

void resources_add_strings(const StringResource *table, int count) { add_table(tables().strings, table, count); }

void resources_add_menubars(const MenuBarResource *table, int count) { add_table(tables().menubars, table, count); }

void resources_add_dialogs(const DialogResource *table, int count) { add_table(tables().dialogs, table, count); }

namespace {

template <typename T>
const T *find_by_id(const std::vector<std::pair<const T *, int>> &list, int id) {
    std::lock_guard<std::mutex> g(tables().lock);
    for (auto &t : list)
        for (int i = 0; i < t.second; i++)
            if (t.first[i].id == id) return &t.first[i];
    return nullptr;
}

}  // namespace

const BitmapResource *resources_find_bitmap(int id) { return find_by_id(tables().bitmaps, id); }

void bitmap_runs_start(BitmapRuns *runs, const BitmapResource *bitmap) {
    runs->at = bitmap->runs;
    runs->end = bitmap->runs + bitmap->runs_size;
    runs->left = 0;
    runs->repeat = false;
}

bool bitmap_runs_next(BitmapRuns *runs, unsigned char rgb[3]) {
    if (runs->left == 0) {
        if (runs->at >= runs->end) return false;
        int lead = *runs->at++;
        runs->repeat = lead >= 128;
        runs->left = runs->repeat ? lead - 126 : lead + 1;
        if (runs->end - runs->at < (runs->repeat ? 3 : 3 * runs->left)) {
            runs->at = runs->end;
            runs->left = 0;
            return false;
        }
    }
    memcpy(rgb, runs->at, 3);
    runs->left--;
    if (!runs->repeat || runs->left == 0) runs->at += 3;
    return true;
}

const MenuBarResource *resources_find_menubar(int id) { return find_by_id(tables().menubars, id); }

const DialogResource *resources_find_dialog(int id) { return find_by_id(tables().dialogs, id); }

int LoadStringW(HINSTANCE, UINT id, LPWSTR buffer, int chars) {
    if (!buffer || chars <= 0) return 0;
    std::lock_guard<std::mutex> g(tables().lock);
    for (auto &t : tables().strings) {
        for (int i = 0; i < t.second; i++) {
            if (t.first[i].id != int(id)) continue;
            size_t n = wcslen(t.first[i].text);
            if (n > size_t(chars - 1)) n = size_t(chars - 1);
            wmemcpy(buffer, t.first[i].text, n);
            buffer[n] = L'\0';
            return int(n);
        }
    }
    buffer[0] = L'\0';
    return 0;
}
