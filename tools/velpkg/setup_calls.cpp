// The package's setup library: loaded from the device for the length of one
// install or removal, as the phone's installer loaded it.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "platform/device/device.h"
#include "tools/velpkg/velpkg.h"

bool load_setup(const std::string &host_file, SetupLibrary &lib) {
    lib = SetupLibrary();
    lib.handle = dlopen(host_file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib.handle) return set_problem("cannot load the setup library: %s", dlerror()), false;
    lib.install_init = reinterpret_cast<pfnINSTALL_INIT>(dlsym(lib.handle, szINSTALL_INIT));
    lib.install_exit = reinterpret_cast<pfnINSTALL_EXIT>(dlsym(lib.handle, szINSTALL_EXIT));
    lib.uninstall_init = reinterpret_cast<pfnUNINSTALL_INIT>(dlsym(lib.handle, szUNINSTALL_INIT));
    lib.uninstall_exit = reinterpret_cast<pfnUNINSTALL_EXIT>(dlsym(lib.handle, szUNINSTALL_EXIT));
    if (lib.install_init && lib.install_exit && lib.uninstall_init && lib.uninstall_exit) return true;
    set_problem("the setup library lacks one of %s, %s, %s and %s", szINSTALL_INIT, szINSTALL_EXIT, szUNINSTALL_INIT,
                szUNINSTALL_EXIT);
    dlclose(lib.handle);
    lib = SetupLibrary();
    return false;
}

long journal_size(void) {
    char path[DEVICE_HOST_PATH];
    struct stat st;
    if (!device_file("journal.log", path, sizeof path) || stat(path, &st) != 0) return 0;
    return long(st.st_size);
}

void print_journal_since(long offset) {
    char path[DEVICE_HOST_PATH];
    if (!device_file("journal.log", path, sizeof path)) return;
    std::ifstream in(path, std::ios::binary);
    in.seekg(offset);
    // Each line: "YYYY-MM-DD HH:MM:SS <kind>: <text>"; the time says nothing here.
    constexpr size_t STAMP = 20;
    for (std::string line; std::getline(in, line);)
        printf("velpkg: the device says: %s\n", line.size() > STAMP ? line.c_str() + STAMP : line.c_str());
}

void setup_output_quiet(bool quiet) {
    static int saved[2] = {-1, -1};
    fflush(stdout);
    fflush(stderr);
    for (int fd = 1; fd <= 2; fd++) {
        if (quiet && saved[fd - 1] < 0) {
            int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
            saved[fd - 1] = fcntl(fd, F_DUPFD_CLOEXEC, 3);
            if (null >= 0) dup2(null, fd);
            if (null >= 0) close(null);
        } else if (!quiet && saved[fd - 1] >= 0) {
            dup2(saved[fd - 1], fd);
            close(saved[fd - 1]);
            saved[fd - 1] = -1;
        }
    }
}
