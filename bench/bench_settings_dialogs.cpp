// The settings dialogs, from the call that opens one to its first painted
// frame (every window painted and the screen composed): each dialog with a
// small documents folder (target under 20 ms), and Select Sound over 10,000
// sound files in 1,000 folders (target under 300 ms).
//   bench_settings_dialogs [RUNS]   (default 20)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/program.h"
#include "bench/bench_device.h"
#include "dialogs/dialogs.h"
#include "platform/screen/screen.h"
#include "resources/dialog_resources.h"
#include "store/alarms.h"
#include "tests/support/dialog_script.h"

namespace {

typedef std::chrono::steady_clock Clock;

struct Opened {
    const char *name;
    std::function<INT_PTR()> open;
    const wchar_t *title;
};

double opened_ms;

// Opens, and once the first loop turn has the dialog, paints and composes it,
// then leaves with Cancel.
double time_to_first_frame(const Opened &d) {
    Clock::time_point start = Clock::now();
    script_dialogs({in_dialog(d.title, [start](HWND dialog) {
        UpdateWindow(dialog);
        plat::screen_compose();
        opened_ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    })});
    opened_ms = -1;
    d.open();
    return opened_ms;
}

void report(const char *name, std::vector<double> ms, double target) {
    std::sort(ms.begin(), ms.end());
    double median = ms[ms.size() / 2], worst = ms.back();
    printf("%-16s median %7.2f ms  max %7.2f ms  (target %.0f ms) %s\n", name, median, worst, target,
           worst < target ? "ok" : "OVER");
}

void sound_file(const std::wstring &device_path) { std::ofstream(bench_host_path(device_path.c_str())) << "x"; }

// 10 x 10 x 10 folders under the documents folder, 10 sounds in each.
void many_sounds(void) {
    for (int a = 0; a < 10; a++)
        for (int b = 0; b < 10; b++)
            for (int c = 0; c < 10; c++)
                for (int f = 0; f < 10; f++)
                    sound_file(L"\\My Documents\\a" + std::to_wstring(a) + L"\\b" + std::to_wstring(b) + L"\\c" +
                               std::to_wstring(c) + L"\\song" + std::to_wstring(f) + L".mp3");
}

}  // namespace

int main(int argc, char **argv) {
    int runs = argc > 1 ? atoi(argv[1]) : 20;
    setenv("VELMORA_SCREEN", "headless", 0);
    setenv("VELMORA_AUDIO", "null", 0);
    bench_device_open();
    register_app_resources();
    INITCOMMONCONTROLSEX icc = {sizeof icc,
                                ICC_DATE_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    load_store();
    sound_file(L"\\IPSM\\Program Files\\Velmora\\sounds\\buzz.wav");
    sound_file(L"\\My Documents\\Music\\Wake.mp3");
    const Opened dialogs[] = {
        {"Set Alarm", [] { return run_set_alarm(nullptr); }, L"Set Alarm"},
        {"Set Snooze", [] { return run_set_snooze(nullptr); }, L"Set Snooze"},
        {"Settings", [] { return run_settings(nullptr); }, L"Settings"},
        {"Choose Color", [] { return INT_PTR(run_choose_color(nullptr)); }, L"Choose Color"},
        {"About", [] { return run_about(nullptr); }, L"About"},
        {"Hourly Chime", [] { return run_hourly_chime(nullptr); }, L"Hourly Chime"},
        {"Select Sound", [] { return run_select_sound(nullptr, BROWSE_SOUNDS); }, L"Select Sound"},
        {"Choose Folder", [] { return run_choose_folder(nullptr, IDD_CHOOSE_FOLDER); }, L"Choose Folder"},
    };
    for (const Opened &d : dialogs) {
        std::vector<double> ms;
        for (int i = 0; i < runs; i++) ms.push_back(time_to_first_frame(d));
        report(d.name, ms, 20);
    }
    many_sounds();
    std::vector<double> ms;
    for (int i = 0; i < std::max(3, runs / 4); i++) ms.push_back(time_to_first_frame(dialogs[6]));
    report("10,000 sounds", ms, 300);
    return 0;
}
