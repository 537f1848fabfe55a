// Velmora, the clock. Started by the user with no argument, or by the alarm
// manager with "/ID:<event>" as its one argument.
#include <cstdio>
#include <cstring>

#include "app/program.h"
#include "platform/device/device.h"

namespace {

// Without its sockets the clock runs, but neither its alarm manager nor a
// second start can reach it: the person is told why.
void report_unreachable(void) {
    if (device_runtime_dir()) return;
    WCHAR text[512];
    swprintf(text, 512, L"Velmora cannot be reached by its alarm manager: %hs", device_error());
    fprintf(stderr, "Velmora: %s\n", plat::to_utf8(text).c_str());
    MessageBoxW(nullptr, text, L"Velmora", MB_OK | MB_ICONERROR);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc > 1 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        printf("usage: Velmora [/ID:EVENT]\n"
               "The clock of the Velmora device ($VELMORA_DEVICE, else the default). One runs per device: a\n"
               "second start brings it to the front, hands it EVENT (an alarm 0-9, 254 the countdown, 255\n"
               "the chime) and exits with 1.\n");
        return 0;
    }
    report_unreachable();
    WCHAR command_line[MAX_PATH] = L"";
    if (argc > 1 && !MultiByteToWideChar(CP_ACP, 0, argv[1], -1, command_line, MAX_PATH)) command_line[0] = L'\0';
    return velmora_main(nullptr, nullptr, argc > 1 ? command_line : nullptr, SW_SHOWNORMAL);
}
