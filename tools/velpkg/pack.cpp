// velpkg pack: makes a package from a manifest whose members are files of a
// folder, as the build does with the built programs, sounds and help page.
#include <cstdio>
#include <fstream>
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
    for (const PackageFile &f : m.files) members.push_back({f.member, std::string(folder) + "/" + f.member});
    if (!m.setup.empty()) members.push_back({m.setup, std::string(folder) + "/" + m.setup});
    if (!write_package(output, manifest_text(m), members)) return fail_line();
    printf("velpkg: packed %s %s into %s\n", plat::to_utf8(m.package.c_str()).c_str(),
           plat::to_utf8(m.version.c_str()).c_str(), output);
    return 0;
}
