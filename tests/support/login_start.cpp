#include "tests/support/login_start.h"

#include <cstring>
#include <fstream>
#include <sstream>

#include "tests/support/live_service.h"

std::vector<std::string> login_command(const std::string &packaging_dir, const char *file, const char *key) {
    std::ifstream in(packaging_dir + "/" + file);
    std::string notifyd_dir = built_notifyd();
    notifyd_dir.resize(notifyd_dir.rfind('/'));
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, strlen(key), key) != 0) continue;
        line.erase(0, strlen(key));
        for (size_t at; (at = line.find("@BINDIR@")) != std::string::npos;) line.replace(at, 8, notifyd_dir);
        std::istringstream words(line);
        std::vector<std::string> argv;
        for (std::string w; words >> w;) argv.push_back(w);
        return argv;
    }
    return {};
}
