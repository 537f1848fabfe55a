// velpkg pack: makes a package from a manifest whose members are files of a
// folder, as the build does with the built programs, sounds and help page.
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "tools/velpkg/velpkg.h"

namespace {

int fail_line(void) {
    fprintf(stderr, "velpkg: %s\n", problem());
    return 1;
}

}  // namespace

int pack_package(const char *description, const char *folder, const char *output) {
    std::ifstream in(description, std::ios::binary);
    if (!in) return set_problem("cannot read %s", description), fail_line();
    std::ostringstream text;
    text << in.rdbuf();
    Manifest m;
    if (!parse_manifest(text.str(), m)) return fail_line();
    // The archive's member names are the files' names inside the folder.
    std::vector<std::pair<std::string, std::string>> members;
    std::set<std::string> added;
    auto add = [&](const std::string &member) {
        if (added.insert(member).second) members.push_back({member, std::string(folder) + "/" + member});
    };
    for (const PackageFile &f : m.files) add(f.member);
    if (!m.setup.empty()) add(m.setup);
    if (!write_package(output, manifest_text(m), members)) return fail_line();
    printf("velpkg: packed %s %s into %s\n", plat::to_utf8(m.package.c_str()).c_str(),
           plat::to_utf8(m.version.c_str()).c_str(), output);
    return 0;
}
