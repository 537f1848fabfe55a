// device.conf as a person or another program may leave it: each input becomes
// the settings file of a scratch device, read as every program reads it; the
// clock and the paths it sets are used, and what is read is written out and
// read again to the same settings.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/fuzz_device.h"
#include "platform/device/device.h"
#include "platform/phone.h"

namespace {

// A new file, so that the settings are read afresh however quick the change.
void replace_file(const std::string &path, const void *data, size_t size) {
    std::string temp = path + ".new";
    FILE *f = fopen(temp.c_str(), "wb");
    if (!f) abort();
    fwrite(data, 1, size, f);
    fclose(f);
    if (rename(temp.c_str(), path.c_str()) != 0) abort();
}

void check(const DeviceSettings &ds) {
    int w, h;
    char screen[32];
    snprintf(screen, sizeof screen, "%dx%d", ds.screen_width, ds.screen_height);
    if (!device_parse_screen(screen, &w, &h)) abort();
    if (ds.clock_offset < -DEVICE_MAX_CLOCK_OFFSET || ds.clock_offset > DEVICE_MAX_CLOCK_OFFSET) abort();
    if (ds.mount_count < 0 || ds.mount_count > DEVICE_MAX_MOUNTS) abort();
    if (ds.card_count < 0 || ds.card_count > DEVICE_MAX_CARDS) abort();
    if (strnlen(ds.time_zone, sizeof ds.time_zone) == sizeof ds.time_zone) abort();
}

// The settings as the file holds them; bytes past a text's end do not count.
std::string as_text(const DeviceSettings &ds) {
    char *text = nullptr;
    size_t length = 0;
    FILE *out = open_memstream(&text, &length);
    device_write_settings(&ds, out);
    fclose(out);
    std::string copy(text, length);
    free(text);
    return copy;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static std::string conf = fuzz_device_file("device.conf");
    replace_file(conf, data, size);
    DeviceSettings read = *device_settings();
    check(read);
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wYear < 1600 || now.wYear > 2500) abort();
    char host[DEVICE_HOST_PATH];
    WCHAR back[MAX_PATH];
    if (device_host_path(L"\\My Documents\\Music\\a.mp3", host, sizeof host)) device_path_of(host, back, MAX_PATH);
    // What the programs write back is read as the same settings.
    std::string written = as_text(read);
    replace_file(conf, written.data(), written.size());
    if (as_text(*device_settings()) != written) abort();
    return 0;
}
