// The files whose change means something to notifyd, each watched itself so
// that a write beside it wakes nobody: device.conf (clock offset and zone),
// the host's zone file /etc/localtime (the link and what it names), the
// database (its removal) and the device root (its removal). A file that is
// missing is waited for in its folder until it appears; a file replaced by a
// rename loses its link, which its watch reports, and the new one is watched.
#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/notifyd/notifyd.h"

namespace {

// A replaced or removed file loses its link (IN_ATTRIB) at once, even while
// a process still holds it open.
constexpr uint32_t FILE_EVENTS = IN_CLOSE_WRITE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
constexpr uint32_t LOST_EVENTS = IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED;
constexpr uint32_t APPEARS_EVENTS = IN_CREATE | IN_MOVED_TO;
constexpr uint32_t FOLDER_GONE_EVENTS = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED;

void drop(int inotify, int *wd) {
    if (*wd >= 0) inotify_rm_watch(inotify, *wd);
    *wd = -1;
}

std::string path_of(const WatchedFile &f) { return f.folder + "/" + f.name; }

// Watches the file (a link and what it names), and its folder for what the
// folder is always watched for and, while the file is missing, for its
// arrival. The file made between the two calls is watched on the next try.
void place(int inotify, WatchedFile &f) {
    std::string path = path_of(f);
    for (int tries = 0; tries < 3; tries++) {
        drop(inotify, &f.file_wd);
        drop(inotify, &f.target_wd);
        f.file_wd = inotify_add_watch(inotify, path.c_str(), FILE_EVENTS | IN_DONT_FOLLOW);
        f.target_wd = f.file_wd < 0 ? -1 : inotify_add_watch(inotify, path.c_str(), FILE_EVENTS);
        uint32_t folder = f.folder_events | (f.file_wd < 0 && f.awaited ? APPEARS_EVENTS : 0);
        if (folder)
            f.folder_wd = inotify_add_watch(inotify, f.folder.c_str(), folder);
        else
            drop(inotify, &f.folder_wd);
        if (f.file_wd >= 0 || access(path.c_str(), F_OK) != 0) return;
    }
}

// Whether the event is about the file; its watches follow a replacement.
bool file_event(int inotify, WatchedFile &f, const inotify_event *ev) {
    bool on_file = ev->wd == f.file_wd || ev->wd == f.target_wd;
    bool arrived = ev->wd == f.folder_wd && (ev->mask & APPEARS_EVENTS) && ev->len && f.name == ev->name;
    if (!on_file && !arrived) return false;
    if (arrived || (ev->mask & LOST_EVENTS)) place(inotify, f);
    return true;
}

bool database_gone(const FileWatches &w) { return access(path_of(w.database).c_str(), F_OK) != 0; }

}  // namespace

bool watch_files_open(FileWatches &w, const char *root) {
    w.inotify = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (w.inotify < 0) return false;
    // The database is made before the service runs; the root's own watch
    // stays with device.conf's.
    w.settings = WatchedFile{root, "device.conf", IN_DELETE_SELF | IN_MOVE_SELF, true};
    w.database = WatchedFile{root, "notify.db", 0, false};
    w.host_zone = WatchedFile{"/etc", "localtime", 0, true};
    place(w.inotify, w.settings);
    place(w.inotify, w.database);
    place(w.inotify, w.host_zone);
    return w.settings.folder_wd >= 0;
}

int watch_files_read(FileWatches &w) {
    int wake = 0;
    alignas(inotify_event) char buf[4096];
    ssize_t n;
    while ((n = read(w.inotify, buf, sizeof buf)) > 0) {
        for (char *p = buf; p < buf + n;) {
            auto *ev = reinterpret_cast<inotify_event *>(p);
            p += sizeof(inotify_event) + ev->len;
            // The database going means a factory reset (the whole folder is
            // being removed) or a cleared store: either way this instance
            // is done. Some filesystems (overlays) never tell a removed
            // folder's own watch.
            if (ev->wd == w.settings.folder_wd && (ev->mask & FOLDER_GONE_EVENTS))
                wake |= WAKE_DEVICE_GONE;
            else if (file_event(w.inotify, w.settings, ev))
                wake |= WAKE_SETTINGS;
            else if (file_event(w.inotify, w.host_zone, ev))
                wake |= WAKE_HOST_ZONE;
            else if (file_event(w.inotify, w.database, ev) && database_gone(w))
                wake |= WAKE_DEVICE_GONE;
        }
    }
    return wake;
}
