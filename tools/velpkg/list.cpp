// velpkg list: the installed packages, one a line.
#include <cstdio>

#include "tools/velpkg/velpkg.h"

int list_packages(void) {
    for (const Manifest &m : installed_packages()) {
        auto u = [](const std::wstring &w) { return plat::to_utf8(w.c_str()); };
        printf("%s\t%s\t%s\t%s\n", u(m.package).c_str(), u(m.version).c_str(), u(m.vendor).c_str(),
               u(m.install_dir).c_str());
    }
    return 0;
}
