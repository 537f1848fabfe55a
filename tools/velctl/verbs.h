// velctl's verbs: each one a function given the words after the verb.
#pragma once

#include <string>

struct VelctlVerb {
    const char *name;
    const char *usage;    // words after the verb, for --help
    const char *summary;  // one line
    int (*run)(int argc, char **argv);
};

extern const VelctlVerb VELCTL_VERBS[];

// Exit codes: 0 done, 1 the device said no, 2 the command was wrong.
#define VELCTL_OK 0
#define VELCTL_FAILED 1
#define VELCTL_USAGE 2

// Prints "velctl: <message>" on stderr and returns VELCTL_FAILED.
int velctl_fail(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
// Prints the verb's usage on stderr and returns VELCTL_USAGE.
int velctl_usage(const char *verb, const char *problem);
// True when the words ask for help; the verb's usage is then printed.
bool velctl_wants_help(const char *verb, int argc, char **argv);
// The word as wide text; false, having said why, when it is not UTF-8 (it
// could not be stored or sent as it was given).
bool velctl_text(const char *word, std::wstring *text);

int verb_device(int argc, char **argv);
int verb_reg(int argc, char **argv);
int verb_settings(int argc, char **argv);
int verb_alarms(int argc, char **argv);
int verb_power(int argc, char **argv);
int verb_profile(int argc, char **argv);
int verb_notifications(int argc, char **argv);
int verb_events(int argc, char **argv);
int verb_clock(int argc, char **argv);
int verb_tz(int argc, char **argv);
int verb_journal(int argc, char **argv);
int verb_key(int argc, char **argv);
int verb_screenshot(int argc, char **argv);
int verb_msgbox(int argc, char **argv);
int verb_dialog(int argc, char **argv);
int verb_rotate(int argc, char **argv);
int verb_hibernate(int argc, char **argv);
int verb_windows(int argc, char **argv);
int verb_post(int argc, char **argv);
