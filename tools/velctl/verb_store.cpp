// The store as the programs see it: settings and alarms loaded with their
// defaults (which also creates the keys on a fresh device), or what keeps
// them from being read.
#include <cstdio>
#include <string>

#include "store/alarms.h"
#include "store/settings.h"
#include "tools/velctl/verbs.h"

namespace {

std::string text(const WCHAR *w) { return plat::to_utf8(w); }

std::string day_list(DWORD days) {
    static const char *const NAMES[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    if ((days & ALL_DAYS) == ALL_DAYS) return "every day";
    std::string out;
    for (int d = 0; d < 7; d++)
        if (days & (1u << d)) out += std::string(out.empty() ? "" : ",") + NAMES[d];
    return out.empty() ? "no day" : out;
}

// A store that could not be read is said so, never shown as its defaults.
int unreadable(const char *what) {
    char problem[512];
    reg_last_problem(problem, sizeof problem);
    return velctl_fail("cannot read the %s: %s", what, *problem ? problem : "the registry failed");
}

}  // namespace

int verb_settings(int argc, char **) {
    if (argc != 0) return velctl_usage("settings", "takes no words");
    load_settings();
    if (Settings.LoadFailed) return unreadable("settings");
    find_app_data_folder();
    const AppSettings &s = Settings;
    printf("24HourTime = %u\nSnoozeTime = %u\nSleepTime = %u\nSleepPathType = %u\nSleepPath = %s\n",
           s.TwentyFourHourTime, s.SnoozeTime, s.SleepTime, s.SleepPathType, text(s.SleepPath).c_str());
    printf("TimedSleep = %u\nShowIcon = %u\nShowITime = %u\nMaxTime = %u\nSilenced = %u\n", s.TimedSleep,
           s.ShowIcon, s.ShowITime, s.MaxTime, s.Silenced);
    printf("Chime = %u\nChimeSound = %s\nChimeHandle = %u\n", s.Chime, text(s.ChimeSound).c_str(), s.ChimeHandle);
    printf("Countdown = %u\nCountdownTime = %u\nCDFTLow = %u\nCDFTHigh = %u\nCountdownSound = %s\n", s.Countdown,
           s.CountdownTime, s.CDFTLow, s.CDFTHigh, text(s.CountdownSound).c_str());
    printf("CountdownHandle = %u\nCountdownKeepAwake = %u\nColor = 0x%06X\n", s.CountdownHandle,
           s.CountdownKeepAwake, (unsigned)s.Color);
    printf("install folder = %s%s\napplication data = %s\n", text(Folders.InstallFolder).c_str(),
           Folders.InstallFolderFound ? "" : " (default)", text(Folders.AppDataFolder).c_str());
    return VELCTL_OK;
}

int verb_alarms(int argc, char **) {
    if (argc != 0) return velctl_usage("alarms", "takes no words");
    load_store();
    if (Alarms.LoadFailed) {
        free_alarm_table();
        return unreadable("alarms");
    }
    for (int i = 0; i < ALARM_COUNT; i++) {
        const AlarmRecord &a = Alarms.Records[i];
        printf("%2d  %-3s  %02u:%02u  %-27s  volume %u%s  sound %s  name \"%s\"  handle %u\n", i + 1,
               a.AlarmOn ? "on" : "off", a.AThour, a.ATmin, day_list(a.Days).c_str(), a.Volume,
               a.UseSystemVol ? " (system)" : "", text(a.AlarmSound).c_str(), text(a.AlarmName).c_str(),
               a.AlarmHandle);
    }
    free_alarm_table();
    return VELCTL_OK;
}
