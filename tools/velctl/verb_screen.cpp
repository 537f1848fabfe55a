// Keys, screenshots, rotation, low memory and the dialog in front, delivered
// to the program that shows the device's screen.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/screen/screen_control.h"
#include "tools/velctl/verbs.h"

namespace {

int call(const char *request, std::string *reply) {
    if (!screen_call(request, reply, nullptr)) return velctl_fail("%s", reply->c_str());
    return VELCTL_OK;
}

// A request line holds this many keys at most, well inside what the screen
// takes in one line; longer typing goes in several requests, one after the
// other.
constexpr size_t KEYS_PER_REQUEST = 500;

int press(const std::vector<ScreenKey> &keys) {
    for (size_t first = 0; first < keys.size(); first += KEYS_PER_REQUEST) {
        std::string request = "keys";
        for (size_t i = first; i < keys.size() && i < first + KEYS_PER_REQUEST; i++)
            request += " " + std::to_string(keys[i].vk) + ":" + std::to_string(int(keys[i].ch));
        std::string reply;
        if (int rc = call(request.c_str(), &reply)) return rc;
    }
    return VELCTL_OK;
}

}  // namespace

int verb_key(int argc, char **argv) {
    if (argc == 0) return velctl_usage("key", "name at least one key");
    std::vector<ScreenKey> keys;
    for (int i = 0; i < argc; i++) {
        if (strcmp(argv[i], "text") == 0) {
            if (++i >= argc) return velctl_usage("key", "'text' needs the text to type");
            std::wstring text;
            if (!velctl_text(argv[i], &text)) return VELCTL_FAILED;
            for (wchar_t c : text) keys.push_back(screen_key_for_char(c));
            continue;
        }
        ScreenKey k;
        if (!screen_key_by_name(argv[i], &k)) {
            std::string problem = std::string("unknown key '") + argv[i] + "'";
            return velctl_usage("key", problem.c_str());
        }
        keys.push_back(k);
    }
    return press(keys);
}

int verb_screenshot(int argc, char **argv) {
    if (argc != 1) return velctl_usage("screenshot", "name the PNG file to write");
    std::string reply;
    std::vector<unsigned char> pixels;
    if (!screen_call("screenshot", &reply, &pixels)) return velctl_fail("%s", reply.c_str());
    int w = 0, h = 0;
    if (sscanf(reply.c_str(), "%d %d", &w, &h) != 2 || w <= 0 || h <= 0 || pixels.size() != size_t(w) * h * 3)
        return velctl_fail("the screen's picture arrived incomplete");
    std::string error;
    if (!png_write_rgb(argv[0], w, h, pixels.data(), &error)) return velctl_fail("%s", error.c_str());
    return VELCTL_OK;
}

int verb_rotate(int argc, char **) {
    if (argc != 0) return velctl_usage("rotate", "takes no words");
    std::string reply;
    int rc = call("rotate", &reply);
    if (rc == VELCTL_OK) printf("screen = %s\n", reply.c_str());
    return rc;
}

int verb_hibernate(int argc, char **) {
    if (argc != 0) return velctl_usage("hibernate", "takes no words");
    std::string reply;
    return call("hibernate", &reply);
}

int verb_dialog(int argc, char **) {
    if (argc != 0) return velctl_usage("dialog", "takes no words");
    std::string reply;
    int rc = call("dialog", &reply);
    size_t start = reply.find_first_not_of('\n');
    if (rc == VELCTL_OK && start != std::string::npos) printf("%s\n", reply.substr(start).c_str());
    return rc;
}
