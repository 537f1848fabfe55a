// velpkg remove: takes away exactly what the package installed, as its
// record lists it: files, shortcuts, registry values and the keys they leave
// empty. The user's settings, alarms and documents are not the package's
// and stay. A failure part way puts everything back.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "platform/device/device.h"
#include "tools/velpkg/velpkg.h"

namespace {

std::vector<std::wstring> installed_paths(const Manifest &m) {
    std::vector<std::wstring> paths;
    for (const PackageFile &f : m.files) paths.push_back(f.device_path);
    for (const PackageShortcut &s : m.shortcuts) paths.push_back(s.device_path);
    if (!m.setup.empty()) paths.push_back(record_setup(m));
    paths.push_back(record_manifest(m));
    return paths;
}

bool take_away(Changes &c, const Manifest &m) {
    for (const std::wstring &path : installed_paths(m)) {
        std::string host;
        // A file that is gone, or that something else now stands in for, is not ours to touch.
        if (host_file_of(path, host) && !put_aside(c, host)) return false;
    }
    std::set<std::wstring> keys;
    for (const PackageValue &v : m.values) {
        if (!delete_value(c, v.key, v.name)) return false;
        keys.insert(v.key);
    }
    // Deepest first, so a parent left empty by its child goes too.
    std::vector<std::wstring> ordered(keys.begin(), keys.end());
    std::sort(ordered.begin(), ordered.end(),
              [](const std::wstring &a, const std::wstring &b) { return a.size() > b.size(); });
    for (const std::wstring &key : ordered)
        if (!delete_key_if_empty(c, key)) return false;
    return true;
}

// The folders the package's files lay in go when nothing else is left in
// them; a folder every device has stays.
void remove_empty_folders(const Manifest &m) {
    for (std::wstring folder : installed_paths(m)) {
        for (size_t cut = folder.rfind(L'\\'); cut != std::wstring::npos && cut > 0; cut = folder.rfind(L'\\')) {
            folder.resize(cut);
            char host[DEVICE_HOST_PATH];
            if (kept_folder(folder) || !device_host_path(folder.c_str(), host, sizeof host) || rmdir(host) != 0) break;
        }
    }
}

int fail_line(void) {
    fprintf(stderr, "velpkg: %s\n", problem());
    return 1;
}

}  // namespace

int remove_package(const char *name) {
    Manifest m;
    if (!find_installed(plat::from_utf8(name), m))
        return set_problem("no package named %s is installed", name), fail_line();
    Changes c;
    if (!begin_changes(c)) return fail_line();
    SetupLibrary lib;
    std::string setup;
    if (!m.setup.empty() && (!host_file_of(record_setup(m), setup) || !load_setup(setup, lib)))
        fprintf(stderr, "velpkg: %s; removing %s without it\n", problem(), name);
    long mark = journal_size();
    setup_output_quiet(true);
    bool go_on = !lib.handle || lib.uninstall_init(nullptr, m.install_dir.c_str()) == codeUNINSTALL_INIT_CONTINUE;
    setup_output_quiet(false);
    if (!go_on) {
        set_problem("the setup library stopped the removal; nothing was removed");
        undo_changes(c);
        return fail_line();
    }
    if (!take_away(c, m)) {
        std::string why = problem();
        set_problem("%s; nothing was removed (programs that were closed for it stay closed)", why.c_str());
        undo_changes(c);
        return fail_line();
    }
    setup_output_quiet(true);
    if (lib.handle) lib.uninstall_exit(nullptr);
    setup_output_quiet(false);
    remove_empty_folders(m);
    keep_changes(c);
    print_journal_since(mark);
    printf("velpkg: removed %s %s\n", plat::to_utf8(m.package.c_str()).c_str(),
           plat::to_utf8(m.version.c_str()).c_str());
    return 0;
}
