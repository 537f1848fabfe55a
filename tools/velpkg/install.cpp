// velpkg install: the whole package is read and staged inside the device
// first, so that a damaged package or a full disk stops it before anything
// is touched; then the setup library closes the programs, the staged files
// are moved into place with the registry values and shortcuts, and the
// setup library starts what must run. Installing over an installed version
// replaces it and leaves the user's settings and alarms alone.
#include <cstdio>
#include <fstream>
#include <set>

#include "tools/velpkg/velpkg.h"

namespace {

// A staged file and the device file it becomes.
struct Placement {
    std::string staged;
    std::string host;
};

bool fail_line(void) {
    fprintf(stderr, "velpkg: %s\n", problem());
    return false;
}

bool members_match(const StagedPackage &p, const Manifest &m) {
    std::set<std::string> named;
    for (const PackageFile &f : m.files) named.insert(f.member);
    if (!m.setup.empty()) named.insert(m.setup);
    for (const std::string &member : named)
        if (staged_file(p, member).empty())
            return set_problem("the manifest names %s, which the package lacks", member.c_str()), false;
    for (const std::string &member : p.members)
        if (!named.count(member)) return set_problem("member %s is not in the manifest", member.c_str()), false;
    return true;
}

bool write_staged(const std::string &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.flush();
    if (out) return true;
    set_problem("the device is full: there is no room for %s", path.c_str());
    return false;
}

bool place(std::vector<Placement> &places, const std::string &staged, const std::wstring &device_path) {
    std::string host;
    if (!host_file_of(device_path, host))
        return set_problem("cannot lay a file at %s: it leads outside the device, or what stands there is not a file",
                           plat::to_utf8(device_path.c_str()).c_str()),
               false;
    places.push_back({staged, host});
    return true;
}

// Where every file of the package goes: its members, its shortcuts and the
// installer's record, each checked before anything is moved.
bool plan(const Changes &c, const StagedPackage &p, const Manifest &m, std::vector<Placement> &places) {
    for (const PackageFile &f : m.files)
        if (!place(places, staged_file(p, f.member), f.device_path)) return false;
    for (size_t i = 0; i < m.shortcuts.size(); i++) {
        std::string staged = c.work + "/stage/shortcut-" + std::to_string(i);
        if (!write_staged(staged, shortcut_text(m.shortcuts[i].target)) ||
            !place(places, staged, m.shortcuts[i].device_path))
            return false;
    }
    std::string record = c.work + "/stage/record";
    if (!write_staged(record, manifest_text(m)) || !place(places, record, record_manifest(m))) return false;
    return m.setup.empty() || place(places, staged_file(p, m.setup), record_setup(m));
}

std::set<std::wstring> folded_paths(const Manifest &m) {
    std::set<std::wstring> paths;
    for (const PackageFile &f : m.files) paths.insert(plat::fold_case(f.device_path.c_str()));
    for (const PackageShortcut &s : m.shortcuts) paths.insert(plat::fold_case(s.device_path.c_str()));
    return paths;
}

// What the installed version had and this one has not goes, files and values.
bool drop_old(Changes &c, const Manifest &old, const Manifest &m) {
    std::set<std::wstring> kept = folded_paths(m);
    std::vector<std::wstring> gone;
    for (const PackageFile &f : old.files) gone.push_back(f.device_path);
    for (const PackageShortcut &s : old.shortcuts) gone.push_back(s.device_path);
    if (old.setup.size() && m.setup.empty()) gone.push_back(record_setup(old));
    for (const std::wstring &path : gone) {
        std::string host;
        if (!kept.count(plat::fold_case(path.c_str())) && host_file_of(path, host) && !put_aside(c, host)) return false;
    }
    std::set<std::wstring> values;
    for (const PackageValue &v : m.values) values.insert(plat::fold_case((v.key + L"\n" + v.name).c_str()));
    for (const PackageValue &v : old.values)
        if (!values.count(plat::fold_case((v.key + L"\n" + v.name).c_str())) && !delete_value(c, v.key, v.name))
            return false;
    return true;
}

bool commit(Changes &c, const std::vector<Placement> &places, const Manifest *old, const Manifest &m) {
    for (const Placement &p : places)
        if (!make_parent_folders(c, p.host) || !put_aside(c, p.host) || !move_file(c, p.staged, p.host)) return false;
    if (old && !drop_old(c, *old, m)) return false;
    for (const PackageValue &v : m.values)
        if (!set_value(c, v)) return false;
    return true;
}

// Everything up to the first change of the device: nothing to undo but the
// work folder when it fails.
bool prepare(const char *file, Changes &c, StagedPackage &p, Manifest &m, std::vector<Placement> &places) {
    return read_package(file, c.work + "/stage", p) && parse_manifest(p.manifest_text, m) && members_match(p, m) &&
           plan(c, p, m, places);
}

}  // namespace

int install_package(const char *file) {
    Changes c;
    if (!begin_changes(c)) return fail_line(), 1;
    StagedPackage p;
    Manifest m, old;
    std::vector<Placement> places;
    SetupLibrary lib;
    if (!prepare(file, c, p, m, places) || (!m.setup.empty() && !load_setup(staged_file(p, m.setup), lib))) {
        undo_changes(c);
        return fail_line(), 1;
    }
    bool upgrade = find_installed(m.package, old);
    if (upgrade && plat::fold_case(old.vendor.c_str()) != plat::fold_case(m.vendor.c_str())) {
        set_problem("another vendor's package named %s is installed", plat::to_utf8(m.package.c_str()).c_str());
        undo_changes(c);
        return fail_line(), 1;
    }
    long mark = journal_size();
    setup_output_quiet(true);
    bool go_on =
        !lib.handle || lib.install_init(nullptr, TRUE, upgrade, m.install_dir.c_str()) == codeINSTALL_INIT_CONTINUE;
    setup_output_quiet(false);
    if (!go_on) {
        set_problem("the setup library stopped the install; nothing was installed");
        undo_changes(c);
        return fail_line(), 1;
    }
    if (!commit(c, places, upgrade ? &old : nullptr, m)) {
        std::string why = problem();
        set_problem("%s; nothing was installed (programs that were closed for it stay closed)", why.c_str());
        undo_changes(c);
        return fail_line(), 1;
    }
    setup_output_quiet(true);
    if (lib.handle) lib.install_exit(nullptr, m.install_dir.c_str(), 0, 0, 0, 0, 0);
    setup_output_quiet(false);
    keep_changes(c);
    print_journal_since(mark);
    printf("velpkg: %s %s %s\n", upgrade ? "upgraded" : "installed", plat::to_utf8(m.package.c_str()).c_str(),
           plat::to_utf8(m.version.c_str()).c_str());
    return 0;
}
