#include "platform/core/handles.h"

#include <map>
#include <mutex>

namespace {

struct HandleEntry {
    void (*close)(uintptr_t);
    uintptr_t data;
};

struct HandleTable {
    std::mutex lock;
    std::map<uintptr_t, HandleEntry> entries;
    uintptr_t next = 0x100;
};

HandleTable &table() {
    static HandleTable t;
    return t;
}

}  // namespace

namespace plat {

HANDLE handle_open(void (*close)(uintptr_t), uintptr_t data) {
    HandleTable &t = table();
    std::lock_guard<std::mutex> g(t.lock);
    uintptr_t h = t.next;
    t.next += 4;
    t.entries[h] = HandleEntry{close, data};
    return reinterpret_cast<HANDLE>(h);
}

bool handle_data(HANDLE object, void (*close)(uintptr_t), uintptr_t *data) {
    HandleTable &t = table();
    std::lock_guard<std::mutex> g(t.lock);
    auto it = t.entries.find(reinterpret_cast<uintptr_t>(object));
    if (it == t.entries.end() || it->second.close != close) return false;
    *data = it->second.data;
    return true;
}

}  // namespace plat

BOOL CloseHandle(HANDLE object) {
    HandleEntry entry;
    {
        HandleTable &t = table();
        std::lock_guard<std::mutex> g(t.lock);
        auto it = t.entries.find(reinterpret_cast<uintptr_t>(object));
        if (it == t.entries.end()) return FALSE;
        entry = it->second;
        t.entries.erase(it);
    }
    if (entry.close) entry.close(entry.data);
    return TRUE;
}
