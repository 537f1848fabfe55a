// The device's findable windows, and posting a message to one of them.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/device/device.h"
#include "platform/phone.h"
#include "tools/velctl/verbs.h"

namespace {

// A decimal or 0x-hexadecimal number that fits in `max`.
bool parse_number(const char *text, unsigned long long max, unsigned long long *out) {
    char *end = nullptr;
    errno = 0;
    if (text[0] == '-') return false;
    *out = strtoull(text, &end, 0);
    return errno == 0 && end != text && *end == '\0' && *out <= max;
}

}  // namespace

int verb_windows(int argc, char **) {
    if (argc != 0) return velctl_usage("windows", "takes no words");
    if (!device_runtime_dir()) return velctl_fail("%s", device_error());
    WCHAR class_name[MAX_PATH], title[MAX_PATH];
    for (DWORD i = 0; window_findable(i, class_name, MAX_PATH, title, MAX_PATH); i++)
        printf("%s\t%s\n", plat::to_utf8(class_name).c_str(), plat::to_utf8(title).c_str());
    return VELCTL_OK;
}

int verb_post(int argc, char **argv) {
    if (argc != 4) return velctl_usage("post", "needs CLASS TITLE MESSAGE WPARAM");
    unsigned long long message, wparam;
    if (!parse_number(argv[2], 0xFFFFFFFFull, &message)) return velctl_usage("post", "MESSAGE is not a number");
    if (!parse_number(argv[3], ~0ull, &wparam)) return velctl_usage("post", "WPARAM is not a number");
    if (!device_runtime_dir()) return velctl_fail("%s", device_error());
    std::wstring class_name, title;
    if (!velctl_text(argv[0], &class_name) || !velctl_text(argv[1], &title)) return VELCTL_FAILED;
    HWND window = FindWindowW(class_name.c_str(), title.c_str());
    if (!window) return velctl_fail("no window of class '%s' titled '%s'", argv[0], argv[1]);
    if (!PostMessageW(window, UINT(message), WPARAM(wparam), 0)) return velctl_fail("the window did not take it");
    return VELCTL_OK;
}
