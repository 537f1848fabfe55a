// The device settings file, "device.conf" in the root: one "name = value" per
// line, written whole and renamed into place so a reader never sees half.
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/device/device.h"
#include "platform/core/text.h"

namespace {

struct SettingsCache {
    std::mutex lock;
    DeviceSettings settings{};
    bool valid = false;
    std::string path;
    struct stat seen{};
    unsigned generation = 0;
};

SettingsCache &cache() {
    static SettingsCache c;
    return c;
}

// The loop thread's turn: whether it looked at the file since its loop last
// woke, and when. A turn that runs long looks again. O(1), no system call.
constexpr long long TURN_HOLD_NS = 10 * 1000000LL;
thread_local bool in_turn = false;
thread_local long long turn_looked_at = -1;  // -1: not yet in this turn

long long monotonic_ns() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

bool looked_this_turn() { return in_turn && turn_looked_at >= 0 && monotonic_ns() - turn_looked_at < TURN_HOLD_NS; }

void forget_cache() {
    std::lock_guard<std::mutex> g(cache().lock);
    cache().valid = false;
    cache().path.clear();
}

std::string trim(const std::string &s) {
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

// A zone is a name under /usr/share/zoneinfo ("Europe/Berlin"): never a path
// of its own, which the C library would read as a zone file whatever it is
// (a device, a pipe that never ends).
bool zone_name(const std::string &value) {
    if (value.empty() || value[0] == '/' || value.find("..") != std::string::npos) return false;
    for (char c : value)
        if (!isalnum((unsigned char)c) && !strchr("/_+-", c)) return false;
    return true;
}

void apply_line(DeviceSettings &ds, const std::string &name, const std::string &value) {
    if (name == "screen") {
        device_parse_screen(value.c_str(), &ds.screen_width, &ds.screen_height);
    } else if (name == "clock_offset") {
        long long offset = strtoll(value.c_str(), nullptr, 10);
        // A file edited by hand may say anything; the clock stays within reach.
        if (offset >= -DEVICE_MAX_CLOCK_OFFSET && offset <= DEVICE_MAX_CLOCK_OFFSET) ds.clock_offset = offset;
    } else if (name == "time_zone") {
        if (value.empty() || (zone_name(value) && value.size() < sizeof ds.time_zone))
            plat::copy_utf8(ds.time_zone, sizeof ds.time_zone, value);
    } else if (name == "sound_profile") {
        ds.sound_profile = value == "silent" ? DEVICE_PROFILE_SILENT : DEVICE_PROFILE_ON;
    } else if (name == "wave_volume") {
        ds.wave_volume = DWORD(strtoul(value.c_str(), nullptr, 0));
    } else if (name == "mount" && ds.mount_count < DEVICE_MAX_MOUNTS) {
        size_t bar = value.find('|');
        if (bar == std::string::npos) return;
        DeviceMount &m = ds.mounts[ds.mount_count];
        std::string folder = trim(value.substr(0, bar)), host = trim(value.substr(bar + 1));
        if (folder.empty() || folder[0] != '\\' || host.empty() || host[0] != '/') return;
        // A path too long for its place is no path: cut, it would name another folder.
        if (plat::copy_wide(m.device_folder, MAX_PATH, plat::from_utf8(folder.c_str())) &&
            plat::copy_utf8(m.host_folder, sizeof m.host_folder, host))
            ds.mount_count++;
    } else if (name == "storage_card" && ds.card_count < DEVICE_MAX_CARDS) {
        if (value.empty() || value[0] != '\\') return;
        if (plat::copy_wide(ds.cards[ds.card_count], MAX_PATH, plat::from_utf8(value.c_str()))) ds.card_count++;
    }
}

void parse(DeviceSettings &ds, FILE *f) {
    bool cards_given = false;
    char line[DEVICE_HOST_PATH + MAX_PATH + 64];
    while (fgets(line, sizeof line, f)) {
        std::string l = trim(line);
        if (l.empty() || l[0] == '#') continue;
        size_t eq = l.find('=');
        if (eq == std::string::npos) continue;
        std::string name = trim(l.substr(0, eq)), value = trim(l.substr(eq + 1));
        if (name == "storage_card" && !cards_given) ds.card_count = 0, cards_given = true;
        apply_line(ds, name, value);
    }
}

}  // namespace

bool device_parse_screen(const char *text, int *width, int *height) {
    int w = 0, h = 0;
    char tail = 0;
    if (!text || sscanf(text, "%dx%d%c", &w, &h, &tail) != 2) return false;
    bool known = (w == 240 && h == 320) || (w == 320 && h == 240) || (w == 176 && h == 220) ||
                 (w == 220 && h == 176);
    if (!known) return false;
    *width = w;
    *height = h;
    return true;
}

void device_default_settings(DeviceSettings *out) {
    memset(out, 0, sizeof *out);
    out->screen_width = 240;
    out->screen_height = 320;
    out->sound_profile = DEVICE_PROFILE_ON;
    out->wave_volume = 0xFFFFFFFFu;
    out->card_count = 1;
    plat::copy_wide(out->cards[0], MAX_PATH, L"\\Storage Card");
}

const DeviceSettings *device_settings(void) {
    SettingsCache &c = cache();
    static bool hooked = false;
    if (!hooked) {
        hooked = true;
        device_add_close_hook(forget_cache);
    }
    if (looked_this_turn()) {
        std::lock_guard<std::mutex> g(c.lock);
        if (c.valid) return &c.settings;
    }
    char path[DEVICE_HOST_PATH];
    bool have_path = device_file("device.conf", path, sizeof path);
    std::lock_guard<std::mutex> g(c.lock);
    if (in_turn) turn_looked_at = monotonic_ns();
    struct stat st{};
    bool exists = have_path && stat(path, &st) == 0;
    bool same = c.valid && c.path == (have_path ? path : "") &&
                (exists ? (st.st_ino == c.seen.st_ino && st.st_mtim.tv_sec == c.seen.st_mtim.tv_sec &&
                           st.st_mtim.tv_nsec == c.seen.st_mtim.tv_nsec && st.st_size == c.seen.st_size)
                        : c.seen.st_ino == 0);
    if (same) return &c.settings;
    DeviceSettings fresh;
    device_default_settings(&fresh);
    if (exists) {
        if (FILE *f = fopen(path, "r")) {
            parse(fresh, f);
            fclose(f);
        }
    }
    bool changed = !c.valid || memcmp(&fresh, &c.settings, sizeof fresh) != 0;
    c.settings = fresh;
    c.valid = true;
    c.path = have_path ? path : "";
    c.seen = exists ? st : (struct stat){};
    if (changed) c.generation++;
    return &c.settings;
}

void device_settings_turn(bool handling) {
    in_turn = handling;
    turn_looked_at = -1;
}

unsigned device_settings_generation(void) {
    device_settings();
    std::lock_guard<std::mutex> g(cache().lock);
    return cache().generation;
}

void device_write_settings(const DeviceSettings *s, FILE *out) {
    fprintf(out, "screen = %dx%d\n", s->screen_width, s->screen_height);
    fprintf(out, "clock_offset = %lld\n", s->clock_offset);
    fprintf(out, "time_zone = %s\n", s->time_zone);
    fprintf(out, "sound_profile = %s\n", s->sound_profile == DEVICE_PROFILE_SILENT ? "silent" : "on");
    fprintf(out, "wave_volume = 0x%08X\n", (unsigned)s->wave_volume);
    for (int i = 0; i < s->mount_count; i++)
        fprintf(out, "mount = %s | %s\n", plat::to_utf8(s->mounts[i].device_folder).c_str(), s->mounts[i].host_folder);
    for (int i = 0; i < s->card_count; i++) fprintf(out, "storage_card = %s\n", plat::to_utf8(s->cards[i]).c_str());
    // An empty line says "none": without any, the default card would come back.
    if (s->card_count == 0) fprintf(out, "storage_card =\n");
}

bool device_save_settings(const DeviceSettings *s) {
    char path[DEVICE_HOST_PATH], temp[DEVICE_HOST_PATH + 32];
    if (!device_file("device.conf", path, sizeof path)) return false;
    snprintf(temp, sizeof temp, "%s.%d.tmp", path, (int)getpid());
    FILE *f = fopen(temp, "w");
    if (!f) {
        device_set_error("cannot write %s: %s", temp, strerror(errno));
        return false;
    }
    fprintf(f, "# Velmora device settings\n");
    device_write_settings(s, f);
    bool ok = fflush(f) == 0 && fsync(fileno(f)) == 0;
    ok = (fclose(f) == 0) && ok;
    if (!ok || rename(temp, path) != 0) {
        device_set_error("cannot write %s: %s", path, strerror(errno));
        unlink(temp);
        return false;
    }
    turn_looked_at = -1;  // this thread's next read sees what it wrote
    device_settings();
    return true;
}
