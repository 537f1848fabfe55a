#include "platform/device/folder_walk.h"

#include <sys/stat.h>

#include <cstdlib>
#include <new>
#include <set>
#include <string>
#include <utility>

#include "platform/device/device.h"

typedef std::pair<dev_t, ino_t> FolderId;

struct FolderWalk {
    std::set<FolderId> above;    // the root's parent and every folder above it
    std::set<FolderId> entered;
};

namespace {

bool folder_id(const char *host, FolderId *id) {
    struct stat st;
    if (stat(host, &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    *id = FolderId(st.st_dev, st.st_ino);
    return true;
}

}  // namespace

FolderWalk *folder_walk_begin(LPCWSTR root) {
    FolderWalk *walk = new (std::nothrow) FolderWalk;
    if (!walk) return nullptr;
    char host[DEVICE_HOST_PATH];
    char *real = root && device_host_path(root, host, sizeof host) ? realpath(host, nullptr) : nullptr;
    if (!real) return walk;
    std::string path = real;
    free(real);
    // Each parent of the real root, up to "/".
    while (path.size() > 1) {
        size_t slash = path.rfind('/');
        path.resize(slash == 0 ? 1 : slash);
        FolderId id;
        if (folder_id(path.c_str(), &id)) walk->above.insert(id);
    }
    return walk;
}

BOOL folder_walk_admit(FolderWalk *walk, LPCWSTR folder) {
    char host[DEVICE_HOST_PATH];
    FolderId id;
    if (!walk || !folder || !device_host_path(folder, host, sizeof host) || !folder_id(host, &id)) return FALSE;
    if (walk->above.count(id)) return FALSE;
    return walk->entered.insert(id).second ? TRUE : FALSE;
}

void folder_walk_end(FolderWalk *walk) { delete walk; }
