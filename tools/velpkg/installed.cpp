// The installer's records of what is installed: for each package the folder
// "\Windows\AppMgr\<vendor> <package>" holds its manifest, which removal
// follows, and its setup library, which removal calls.
#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/device/device.h"
#include "tools/velpkg/velpkg.h"

namespace {

constexpr const wchar_t *RECORDS = L"\\Windows\\AppMgr";

bool read_text_file(const std::string &path, std::string &text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return true;
}

}  // namespace

std::wstring record_folder(const Manifest &m) { return std::wstring(RECORDS) + L"\\" + full_name(m); }
std::wstring record_manifest(const Manifest &m) { return record_folder(m) + L"\\manifest"; }
std::wstring record_setup(const Manifest &m) { return record_folder(m) + L"\\setup.dll"; }

bool records_folder(std::string &host) {
    char out[DEVICE_HOST_PATH];
    if (!device_host_path(RECORDS, out, sizeof out)) return false;
    host = out;
    return true;
}

// O(n) in the records; a device holds a handful.
std::vector<Manifest> installed_packages(void) {
    std::vector<Manifest> found;
    std::string folder;
    DIR *d = records_folder(folder) ? opendir(folder.c_str()) : nullptr;
    if (!d) return found;
    std::vector<std::string> names;
    while (struct dirent *e = readdir(d))
        if (e->d_name[0] != '.') names.push_back(e->d_name);
    closedir(d);
    std::sort(names.begin(), names.end());
    for (const std::string &name : names) {
        std::string text;
        Manifest m;
        // A record that cannot be read is left alone rather than guessed at.
        if (read_text_file(folder + "/" + name + "/manifest", text) && parse_manifest(text, m)) found.push_back(m);
    }
    return found;
}

bool find_installed(const std::wstring &name, Manifest &m) {
    std::wstring wanted = plat::fold_case(name.c_str());
    for (const Manifest &each : installed_packages()) {
        if (plat::fold_case(each.package.c_str()) == wanted || plat::fold_case(full_name(each).c_str()) == wanted) {
            m = each;
            return true;
        }
    }
    return false;
}

std::string shortcut_text(const std::wstring &target) {
    // The phone's shortcut: the length of what follows '#', then the quoted target.
    std::string quoted = "\"" + plat::to_utf8(target.c_str()) + "\"";
    return std::to_string(plat::from_utf8(quoted.c_str()).size()) + "#" + quoted;
}
