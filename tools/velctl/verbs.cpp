#include "tools/velctl/verbs.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/core/text.h"

const VelctlVerb VELCTL_VERBS[] = {
    {"device", "", "print the device root and its settings", verb_device},
    {"reg", "list KEY | get KEY NAME | set KEY NAME dword|sz DATA",
     "show or change the registry (KEY as on the phone, e.g. \"Software\\Tamsett\\Velmora\\Alarms\\3\")", verb_reg},
    {"settings", "", "print the settings as the programs load them", verb_settings},
    {"alarms", "", "print the ten alarms as the programs load them", verb_alarms},
    {"power", "on", "switch the device on again, as after a suspend", verb_power},
    {"profile", "[on|silent]", "show or set the phone's sound profile", verb_profile},
    {"notifications", "", "list the notification requests: handle, application, arguments, start, end (local)",
     verb_notifications},
    {"events", "", "list the programs registered for clock (1) and time-zone (12) changes", verb_events},
    {"clock", "| set 'YYYY-MM-DD HH:MM:SS' | offset SECONDS",
     "show or set the device clock (local time); a change is a clock change of the device", verb_clock},
    {"tz", "| set ZONE", "show or set the device time zone (an IANA name, or 'host' to follow the host)", verb_tz},
    {"journal", "", "print the device journal: message boxes, dropped requests and refused messages", verb_journal},
    {"key", "NAME... (soft1 soft2 up down left right action back help 0-9 * #, or text STRING)",
     "press keys on the screen, one after the other", verb_key},
    {"screenshot", "FILE", "write the whole screen as a PNG at its real size", verb_screenshot},
    {"msgbox", "[answer ok|cancel|yes|no]", "show the message box on screen, or answer it", verb_msgbox},
    {"dialog", "",
     "show the window in front and its controls: identifier, class, text, state (focus, checked, selection, ...)",
     verb_dialog},
    {"rotate", "", "turn the screen between portrait and landscape", verb_rotate},
    {"hibernate", "", "tell the program memory is low (WM_HIBERNATE)", verb_hibernate},
    {"windows", "", "list the windows other programs can find: class, title", verb_windows},
    {"post", "CLASS TITLE MESSAGE WPARAM",
     "post a message (numbers, decimal or 0x...) to the window of that class and title, e.g. post Velmgr Velmgr 0x10 0",
     verb_post},
    {nullptr, nullptr, nullptr, nullptr},
};

int velctl_fail(const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    fputs("velctl: ", stderr);
    vfprintf(stderr, fmt, ap);
    fputc('\n', stderr);
    va_end(ap);
    return VELCTL_FAILED;
}

namespace {

const VelctlVerb *find_verb(const char *name) {
    for (const VelctlVerb *v = VELCTL_VERBS; v->name; v++)
        if (strcmp(v->name, name) == 0) return v;
    return nullptr;
}

}  // namespace

int velctl_usage(const char *verb, const char *problem) {
    const VelctlVerb *v = find_verb(verb);
    if (problem) fprintf(stderr, "velctl %s: %s\n", verb, problem);
    if (v) fprintf(stderr, "usage: velctl [--device DIR] %s %s\n  %s\n", v->name, v->usage, v->summary);
    return VELCTL_USAGE;
}

bool velctl_wants_help(const char *verb, int argc, char **argv) {
    for (int i = 0; i < argc; i++) {
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
            const VelctlVerb *v = find_verb(verb);
            if (v) printf("usage: velctl [--device DIR] %s %s\n  %s\n", v->name, v->usage, v->summary);
            return true;
        }
    }
    return false;
}

bool velctl_text(const char *word, std::wstring *text) {
    if (!plat::is_utf8(word, strlen(word))) {
        velctl_fail("'%s' is not UTF-8 text", word);
        return false;
    }
    *text = plat::from_utf8(word);
    return true;
}
