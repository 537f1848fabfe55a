// A package file as it may arrive: damaged, cut short, or made to escape.
// Each input is read as velpkg reads a package, staging its members in a
// folder of their own; every member must land in that folder as a plain
// file, and whatever was staged is cleared for the next input.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_device.h"
#include "tools/velpkg/velpkg.h"

namespace {

void write_file(const std::string &path, const uint8_t *data, size_t size) {
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) abort();
    fwrite(data, 1, size, f);
    fclose(f);
}

// Empties the staging folder; anything in it that is not a plain file is a
// finding, since a member may only ever be staged as one.
void clear_folder(const std::string &folder) {
    DIR *d = opendir(folder.c_str());
    if (!d) abort();
    while (struct dirent *e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        std::string path = folder + "/" + name;
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) abort();
        unlink(path.c_str());
    }
    closedir(d);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static std::string package = fuzz_device_file("input.vpk");
    static std::string folder = fuzz_device_file("staged");
    mkdir(folder.c_str(), 0700);
    write_file(package, data, size);
    StagedPackage staged;
    set_problem("%s", "");
    bool ok = read_package(package.c_str(), folder, staged);
    if (!ok && *problem() == '\0') abort();
    if (staged.members.size() != staged.files.size()) abort();
    for (const std::string &file : staged.files)
        if (file.compare(0, folder.size() + 1, folder + "/") != 0) abort();
    if (ok) {
        Manifest m;
        parse_manifest(staged.manifest_text, m);
    }
    clear_folder(folder);
    return 0;
}
