// The message box on the device's screen: what it says, and answering it.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/screen/screen_control.h"
#include "tools/velctl/verbs.h"

int verb_msgbox(int argc, char **argv) {
    std::string reply;
    if (argc == 0) {
        if (!screen_call("msgbox", &reply, nullptr)) return velctl_fail("%s", reply.c_str());
        size_t start = reply.find_first_not_of('\n'), end = reply.find_last_not_of('\n');
        if (start != std::string::npos) printf("%s\n", reply.substr(start, end - start + 1).c_str());
        return VELCTL_OK;
    }
    if (strcmp(argv[0], "answer") != 0 || argc != 2) return velctl_usage("msgbox", "expected 'answer BUTTON'");
    const char *button = argv[1];
    if (strcmp(button, "ok") && strcmp(button, "cancel") && strcmp(button, "yes") && strcmp(button, "no"))
        return velctl_usage("msgbox", "BUTTON is ok, cancel, yes or no");
    std::string request = std::string("answer ") + button;
    if (!screen_call(request.c_str(), &reply, nullptr)) return velctl_fail("%s", reply.c_str());
    return VELCTL_OK;
}
