// notifyd, the device's notification service: starts each request's program
// when the device's local clock reaches its due time, and the programs
// registered for clock and zone changes when those happen.
#pragma once

#include <cstdint>
#include <string>

#include "platform/notify/notify_db.h"

// What woke the service; several at once are possible.
#define WAKE_TIMER 0x01        // the earliest request may be due
#define WAKE_CLOCK_SET 0x02    // the host clock was set
#define WAKE_POKE 0x04         // a program changed the database
#define WAKE_SETTINGS 0x08     // device.conf was replaced or rewritten
#define WAKE_HOST_ZONE 0x10    // /etc/localtime changed
#define WAKE_DEVICE_GONE 0x20  // the device or its database was removed
#define WAKE_FAILED 0x40       // waiting itself failed

// One file watched by inotify (see watch_files.cpp).
struct WatchedFile {
    std::string folder, name;
    uint32_t folder_events = 0;  // what its folder is watched for in any case
    bool awaited = false;        // while missing, its folder is watched for it
    int file_wd = -1;            // the file, or a link itself
    int target_wd = -1;          // what a link names
    int folder_wd = -1;
};

// The files that mean a change, and nothing beside them.
struct FileWatches {
    int inotify = -1;
    WatchedFile settings;   // device.conf, and the device root's removal
    WatchedFile database;   // notify.db's removal
    WatchedFile host_zone;  // /etc/localtime
};

// Sets up the watches; false when the device root cannot be watched.
bool watch_files_open(FileWatches &w, const char *root);
// Reads what inotify reported, following replaced files; returns WAKE_* bits.
int watch_files_read(FileWatches &w);

// The descriptors the service sleeps on.
struct ServiceWatch {
    int timer = -1;
    int socket = -1;
    FileWatches files;
    bool wakes_machine = false;  // the timer is CLOCK_REALTIME_ALARM
};

// Sets up the timer and the file watches, then binds the service's socket.
bool watch_open(ServiceWatch &w, const char *root, const char *runtime_dir);

// Arms the timer for a host CLOCK_REALTIME instant in ms, or for nothing
// (-1): it still reports clock jumps.
bool watch_arm(ServiceWatch &w, long long host_ms);

// Sleeps until something happens; returns WAKE_* bits.
int watch_wait(ServiceWatch &w);

// Claims every request due now or within the next few milliseconds and
// hands each to a launcher, which starts it at its due instant; `wake_utc`
// gets the device instant at which to claim the next one, or -1; `started`
// whether a request was handed over. False when the database failed.
bool run_due_requests(long long *wake_utc, bool *started);
// The host CLOCK_REALTIME instant, in ms, at which the request falls due
// with the device's clock as it is set now.
long long due_host_ms(const plat::NotifyRequest &r);
// Journals why due requests cannot be carried out; once for each streak of
// failures, which are then tried again less and less often.
void journal_failing_requests(void);

// Keeps room on the device's disk for due requests, and gives it back (said
// once in the journal) when the disk is full; called at each wake.
void reserve_tend(void);

// Removes the fired requests whose launchers started their programs, puts
// back to pending those whose launchers ended without, and removes the locks
// of launchers that ended; true while some launcher has still to start its
// program or a request was put back.
bool forget_finished_launches(void);

// Starts the spare launcher unless one waits already.
void launch_prepare_spare(void);
// Gives the request, its program at the host path `host` and its due
// instant (host CLOCK_REALTIME, ms), to the spare launcher (starting one
// when none waits, or replacing a dead one); returns the launcher's token, 0
// when no launcher could take it. The launcher hears of it only at launch_go.
long long launch_hand_over(const plat::NotifyRequest &r, const char *host, long long due_at);
// The claim is committed: the launcher gets the request and starts the
// program at its due instant.
void launch_go(void);
// No word: the launcher asks the database whether the claim was committed.
void launch_abandon(void);
// Where the launcher of a claim stands.
enum class LaunchState {
    Waiting,    // still to start its program
    Started,    // started it (or found it could not be started)
    Abandoned,  // ended without starting it: killed while it waited
};
// Asks without waiting; a launcher found ended loses its lock file.
LaunchState launch_state(long long token);
// Removes the locks of launchers that are done.
void launch_sweep_locks(void);

// The launcher: notifyd --launch TOKEN, with the pipe as descriptor 3 and
// the lock as 4.
int launcher_main(int argc, char **argv);

// Starts every program registered for the event with its command line.
void run_event_programs(long event, const wchar_t *command_line);
