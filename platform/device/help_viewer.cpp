#include "platform/device/help_viewer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/core/last_error.h"
#include "platform/core/text.h"
#include "platform/device/device.h"
#include "platform/device/journal.h"
#include "platform/device/process.h"

namespace {

constexpr char VIEWER[] = "xdg-open";

void say(const std::wstring &text) { journal_write("help", text.c_str()); }

// The viewer on $PATH; empty when there is none.
std::string find_viewer(void) {
    const char *path = getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t colon = dirs.find(':', start);
        if (colon == std::string::npos) colon = dirs.size();
        std::string candidate = dirs.substr(start, colon - start) + "/" + VIEWER;
        if (colon > start && access(candidate.c_str(), X_OK) == 0) return candidate;
        start = colon + 1;
    }
    return "";
}

// A file URL: every byte but the unreserved ones and '/' escaped.
std::string file_url(const std::string &host, const std::string &anchor) {
    static const char HEX[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : host) {
        if (isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            url += char(c);
        } else {
            url += '%';
            url += HEX[c >> 4];
            url += HEX[c & 15];
        }
    }
    return anchor.empty() ? url : url + "#" + anchor;
}

bool has_display(void) {
    const char *x = getenv("DISPLAY"), *wayland = getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

}  // namespace

bool is_help_viewer(LPCWSTR application) {
    std::wstring name = application ? plat::fold_case(application) : L"";
    return name == L"peghelp" || name == L"peghelp.exe";
}

int help_viewer_start(LPCWSTR argument) {
    std::wstring page = argument ? argument : L"";
    if (page.compare(0, 5, L"file:") == 0) page.erase(0, 5);
    std::string anchor;
    if (size_t hash = page.find(L'#'); hash != std::wstring::npos) {
        anchor = plat::to_utf8(page.c_str() + hash + 1);
        page.resize(hash);
    }
    if (page.empty() || page[0] != L'\\') page = L"\\Windows\\" + page;
    char host[DEVICE_HOST_PATH];
    struct stat st;
    if (!device_host_path(page.c_str(), host, sizeof host) || stat(host, &st) != 0 || !S_ISREG(st.st_mode)) {
        say(L"the help page " + page + L" is missing");
        SetLastError(ERROR_FILE_NOT_FOUND);
        return -1;
    }
    std::string viewer = find_viewer();
    if (!has_display() || viewer.empty()) {
        say(L"no display or no " + plat::from_utf8(VIEWER) + L" to show " + page + L" on");
        SetLastError(ERROR_FILE_NOT_FOUND);
        return -1;
    }
    int pid = plat::spawn_program(viewer.c_str(), {file_url(host, anchor)}, true);
    if (pid > 0) say(L"showing " + page + (anchor.empty() ? L"" : L"#" + plat::from_utf8(anchor.c_str())));
    return pid;
}
