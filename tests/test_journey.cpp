// A week with the whole system, as a person lives it. The package goes into
// a fresh device in Berlin with velpkg on the Wednesday evening before the
// spring DST change; the alarms, the snooze, the chime and the 24-hour clock
// are set through the keys alone, reading the screen with velctl; then the
// device clock walks through eight days, jumping to a few seconds before
// each due time: alarms rung and stopped or snoozed, the alarm in the
// skipped hour, chimes, a countdown, timed sleep music, a reboot, a trip to
// New York, an upgrade and the removal.
//
// Every event goes into a table: its due time, when it was seen, how late
// beyond the programs' own waits, and how often notifyd started it (from the
// device journal). The run fails on a missing, doubled, early or late event.
// Screenshots (the face each morning, each ringing) land in $VELMORA_SHOTS
// when it is set.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/device/clock.h"
#include "platform/device/device.h"
#include "platform/core/text.h"
#include "platform/device/process.h"
#include "tests/support/audio_files.h"
#include "tests/support/device_processes.h"
#include "tests/support/live_service.h"
#include "tests/support/login_start.h"
#include "tests/support/notify_probe.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_device.h"

namespace {

constexpr long long SECOND_MS = 1000, MINUTE_MS = 60 * SECOND_MS, HOUR_MS = 60 * MINUTE_MS, DAY_MS = 24 * HOUR_MS;
// The programs' own waits: Velmgr hands an alarm on after 3 s and the
// countdown after 1 s, and the clock beeps and waits 1 s before an alarm
// rings. It looks at the sleep's end once a second, so that end may come
// anywhere in that second.
constexpr long long ALARM_WAIT_MS = 4000, COUNTDOWN_WAIT_MS = 1000, TICK_MS = 1000;
// Later than this beyond those waits is late.
constexpr long long LATE_MS = 1000;
// A jump lands this long before a due time.
constexpr long long LEAD_MS = 3000;
constexpr const char *CHIME_EXE = "IPSM/Program Files/Velmora/Chime.exe";
constexpr const char *CLOCK_EXE = "IPSM/Program Files/Velmora/Velmora.exe";

// One event of the week.
struct Event {
    std::string what;       // the ringing's title, "Chime" or "Sleep ends"
    std::string arguments;  // the request's command line; empty: no request
    std::string due;        // local, as registered
    long long due_utc;      // when it falls due (a time a DST change skips: the change)
    long long wait_ms;      // the programs' own waits before it shows
    long long grain_ms;     // how often the program looks: it may come that much later
    long long seen_utc = -1;
    std::string seen;  // local, when seen
    std::string shot;
    int starts = 0;
};

std::string local_text(long long local_ms, bool with_ms) {
    SYSTEMTIME t;
    clock_systemtime_from_ms(local_ms, &t);
    std::string s = stamp(t);
    return with_ms ? s : s.substr(0, 19);
}

// "YYYY-MM-DD HH:MM:SS[.mmm]" as local ms.
long long local_of(const std::string &text) {
    SYSTEMTIME t = {};
    sscanf(text.c_str(), "%hu-%hu-%hu %hu:%hu:%hu.%hu", &t.wYear, &t.wMonth, &t.wDay, &t.wHour, &t.wMinute, &t.wSecond,
           &t.wMilliseconds);
    return clock_ms_from_systemtime(&t);
}

class Journey : public TempDevice {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        capture = root + "/heard.wav";
        shots = getenv("VELMORA_SHOTS") ? getenv("VELMORA_SHOTS") : root;
        // notifyd's environment is the one every program it starts gets.
        setenv("VELMORA_AUDIO", ("wav:" + capture).c_str(), 1);
        setenv("VELMORA_SCREEN", "headless", 1);
        setenv("LC_ALL", "C", 1);  // the day names the face shows
        use_built_service(true);
        ASSERT_TRUE(write_wav_tone(host_with_folders("My Documents/Music/Rain.wav"), 20, 500));
        watcher = std::thread([this] { watch_chimes(); });
    }
    void TearDown() override {
        watching = false;
        watcher.join();
        end_device_processes();
        unsetenv("VELMORA_AUDIO");
        TempDevice::TearDown();
    }

    // --- the screen and the keys, as a person uses them

    void keys(std::vector<std::string> names) {
        names.insert(names.begin(), "key");
        ASSERT_EQ(run_velctl(names), 0);
    }
    // What velctl says of the window in front ("no program shows the
    // screen" while none runs).
    std::string screen() {
        ProgramResult r = run_program({built_velctl(), "--device", root, "dialog"});
        return r.out + r.err;
    }
    bool showing(const std::string &title, double seconds = 5) {
        return within(seconds, [&] { return screen().rfind("window: \"" + title + "\"", 0) == 0; });
    }
    bool within(double seconds, const std::function<bool()> &done) {
        for (long long until = host_now_ms() + static_cast<long long>(seconds * 1000); host_now_ms() < until;
             usleep(40000))
            if (done()) return true;
        return done();
    }
    // The control's line in what the screen shows, "" when it is not there.
    std::string control(const std::string &id) {
        std::istringstream lines(screen());
        for (std::string line; std::getline(lines, line);)
            if (line.rfind(id + " ", 0) == 0) return line;
        return "";
    }
    void expect_control(const std::string &id, const std::string &part) {
        EXPECT_NE(control(id).find(part), std::string::npos) << "control " << id << " shows: " << control(id);
    }
    void shot(const std::string &name) {
        ASSERT_EQ(run_velctl({"screenshot", shots + "/" + name + ".png"}), 0) << name;
    }

    // --- the device clock

    long long device_utc() { return clock_utc_ms(); }
    void clock_set_local(long long local_ms) {
        ASSERT_EQ(run_velctl({"clock", "set", local_text(local_ms, false)}), 0);
    }
    // Lands a few seconds before the event falls due.
    void jump_to(const Event &e) { clock_set_local(clock_local_ms(e.due_utc - LEAD_MS)); }

    // `due` as registered, to the millisecond where it has them (a snooze,
    // the countdown); the journal names it to the second.
    Event event(const std::string &what, const std::string &arguments, const std::string &due, long long wait_ms,
                long long grain_ms = 0) {
        Event e;
        e.grain_ms = grain_ms;
        e.what = what;
        e.arguments = arguments;
        e.due = due.substr(0, 19);
        e.due_utc = clock_utc_for_local(local_of(due));
        e.wait_ms = wait_ms;
        return e;
    }
    void saw(Event &e) {
        e.seen_utc = device_utc();
        e.seen = local_text(clock_local_ms(e.seen_utc), true);
    }

    // --- what is heard

    // The capture ends in sound, written after `since` (host ms): something
    // sounds now. The ringing repeats its sound after half-second gaps.
    bool sounding_since(long long since) {
        struct stat st {};
        if (stat(capture.c_str(), &st) != 0 || st.st_mtim.tv_sec * 1000LL + st.st_mtim.tv_nsec / 1000000 < since)
            return false;
        std::vector<int16_t> samples = read_capture_written(capture);
        std::vector<Stretch> heard = sound_stretches(samples, 22050, 0.6);
        return !heard.empty() && heard.back().end > double(samples.size()) / 22050 - 0.7;
    }

    // --- the events

    // Waits for the ringing dialog, listens, looks, and answers with `key`.
    void ring(Event &e, const std::string &shot_name, const char *key) {
        long long since = host_now_ms() - 200;
        if (!showing(e.what, 20)) {
            ADD_FAILURE() << e.what << " due " << e.due << " did not ring; the screen shows " << screen();
            return;
        }
        saw(e);
        EXPECT_TRUE(within(4, [&] { return sounding_since(since); })) << e.what << " due " << e.due << " is not heard";
        e.shot = shot_name;
        shot(shot_name);
        keys({key});
        EXPECT_TRUE(showing("Velmora")) << "the ringing of " << e.what << " did not end";
    }
    Event &add(Event e) {
        events.push_back(e);
        return events.back();
    }
    // An alarm that rings at its due time and is stopped; the face then
    // names the alarm that comes next.
    void alarm(const std::string &what, int id, const std::string &due, const std::string &tag,
               const std::string &next) {
        Event &e = add(event(what, "/ID:" + std::to_string(id), due, ALARM_WAIT_MS));
        jump_to(e);
        ring(e, "ringing-" + tag, "soft2");
        EXPECT_TRUE(within(2, [&] { return screen().find("STATIC \"" + next + "\"") != std::string::npos; }))
            << "after " << what << " due " << e.due << " the face does not name " << next << ": " << screen();
        shot("face-" + tag);
    }
    // The chimes the watcher saw start, by their program's pid.
    void watch_chimes() {
        std::string exe = host(CHIME_EXE);
        while (watching) {
            for (int pid : device_processes_of(exe)) {
                std::lock_guard<std::mutex> g(chimes_lock);
                long long now = device_utc();
                if (!chime_starts.count(pid)) chime_starts[pid] = {now, local_text(clock_local_ms(now), true)};
            }
            usleep(50000);  // a chime program runs for a second or more
        }
    }
    // Each chime event is seen at the first chime program started for it.
    void match_chimes() {
        std::lock_guard<std::mutex> g(chimes_lock);
        std::vector<ChimeStart> starts;
        for (auto &[pid, start] : chime_starts) starts.push_back(start);
        std::sort(starts.begin(), starts.end(), [](auto &a, auto &b) { return a.utc < b.utc; });
        for (Event &e : events) {
            if (e.what != "Chime") continue;
            for (ChimeStart &start : starts) {
                if (start.utc < 0 || start.utc < e.due_utc - 500 || start.utc > e.due_utc + 15000) continue;
                e.seen_utc = start.utc;
                e.seen = start.local;
                start.utc = -1;
                break;
            }
        }
        for (const ChimeStart &start : starts)
            if (start.utc >= 0) unexpected.push_back("a chime program started at " + start.local);
    }
    void chime(const std::string &due) { add(event("Chime", "/ID:255", due, 0)); }

    // --- velpkg and the reboot

    void velpkg(const std::vector<std::string> &words) {
        std::vector<std::string> argv = {VELPKG, "--device", root};
        argv.insert(argv.end(), words.begin(), words.end());
        ProgramResult r = run_program(argv, {std::string("VELMORA_NOTIFYD=") + built_notifyd()}, -1, 60);
        ASSERT_EQ(r.exit_code, 0) << r.err;
    }
    void start_clock() {
        ASSERT_GT(plat::spawn_program(host(CLOCK_EXE).c_str(), {}, false), 0);
        ASSERT_TRUE(showing("Velmora", 20));
    }
    // Every process of the device ends as a machine going down ends them;
    // then only what a login starts runs.
    void reboot() {
        ASSERT_TRUE(end_device_processes());
        std::vector<std::string> login =
            login_command(VELMORA_PACKAGING_DIR, "velmora-notifyd.service.in", "ExecStart=");
        ASSERT_EQ(login.size(), 1u);
        pid_t service = start_program(login, {"VELMORA_DEVICE=" + root});
        ASSERT_GT(service, 0);
        ASSERT_TRUE(within(5, [&] { return service_pid() == service; }));
    }

    // --- the settings, through the keys

    // Looks at the dialog, then OK: the clock is in front again.
    void look_and_ok(const std::string &shot_name) {
        shot(shot_name);
        keys({"soft1"});
        ASSERT_TRUE(showing("Velmora"));
    }

    void set_alarms() {
        keys({"soft2", "3"});
        ASSERT_TRUE(showing("Set Alarm"));
        shot("set-alarm-opened");
        // Alarm 1: on, "Work", 06:45, Monday to Friday (Sunday and Saturday off).
        keys({"down", "action", "down"});
        keys(std::vector<std::string>(8, "back"));
        keys({"text", "Work", "down", "action", "0", "6", "4", "5", "action", "down", "action"});
        keys({"right", "right", "right", "right", "right", "right", "action"});
        expect_control("1010", "checked");
        expect_control("1000", "\"Work\"");
        expect_control("1080", "time=06:45");
        expect_control("1082", "selected=1,2,3,4,5");
        shot("set-alarm-1");
        // Alarm 2: on, "Weekend", 09:00, Saturday and Sunday.
        keys({"up", "up", "up", "up", "right", "down", "action", "down"});
        keys(std::vector<std::string>(8, "back"));
        keys({"text", "Weekend", "down", "action", "0", "9", "0", "0", "action", "down"});
        keys({"left", "action", "left", "action", "left", "action", "left", "action", "left", "action"});
        expect_control("1000", "\"Weekend\"");
        expect_control("1080", "time=09:00");
        expect_control("1082", "selected=0,6");
        shot("set-alarm-2");
        // Alarm 3: on at 02:30, every day, as it comes.
        keys({"up", "up", "up", "up", "right", "down", "action", "down", "down", "action", "0", "2", "3", "0",
              "action"});
        expect_control("1034", "current=2");
        expect_control("1010", "checked");
        expect_control("1080", "time=02:30");
        expect_control("1082", "selected=0,1,2,3,4,5,6");
        look_and_ok("set-alarm-3");
    }
    // Set Snooze: 0:15 becomes 0:10 with the units' down button.
    void set_snooze() {
        keys({"soft2", "4"});
        ASSERT_TRUE(showing("Set Snooze"));
        keys({"down", "down", "down", "down", "down", "action", "action", "action", "action", "action"});
        expect_control("1007", "\"0\"");
        expect_control("1008", "\"1\"");
        expect_control("1009", "\"0\"");
        look_and_ok("set-snooze");
    }
    void general_settings_24_hour() {
        keys({"soft2", "5"});
        ASSERT_TRUE(showing("Settings"));
        if (control("1019").find("checked") == std::string::npos) keys({"action"});
        expect_control("1019", "checked");
        look_and_ok("general-settings");
    }
    void chime_on() {
        keys({"soft1", "3"});
        ASSERT_TRUE(showing("Hourly Chime"));
        keys({"action"});
        expect_control("1063", "checked");
        look_and_ok("hourly-chime");
    }
    // Open > Countdown > Start Countdown: 0:30 becomes 0:05.
    void countdown_of_5_minutes() {
        keys({"soft1", "2", "1"});
        ASSERT_TRUE(showing("Countdown"));
        keys({"down", "down", "down", "action", "action", "action", "down"});
        keys({"action", "action", "action", "action", "action"});
        expect_control("1008", "\"0\"");
        expect_control("1009", "\"5\"");
        look_and_ok("countdown-set");
    }
    // Open > Sleep > Start Sleep: after 0:30 (1:00 less an hour, three tens
    // of minutes more), the file Rain.wav. Returns when the music started
    // (device UTC).
    long long sleep_for_30_minutes() {
        keys({"soft1", "1", "1"});
        EXPECT_TRUE(showing("Sleep"));
        expect_control("1059", "checked");
        keys({"down", "down", "down", "action", "down", "action", "action", "action"});
        expect_control("1007", "\"0\"");
        expect_control("1008", "\"3\"");
        keys({"down", "down", "down", "down", "right", "down", "action"});
        EXPECT_TRUE(showing("Select Sound"));
        keys({"soft1"});
        EXPECT_TRUE(showing("Sleep"));
        expect_control("1051", "Rain.wav");
        long long started = device_utc();
        keys({"soft1"});
        EXPECT_TRUE(showing("Velmora"));
        EXPECT_TRUE(within(3, [&] { return screen().find("\"00:30\"") != std::string::npos; }));
        shot("sleep-playing");
        return started;
    }

    // --- the table

    bool report() {
        std::string journal = read_whole_file(host("journal.log"));
        std::map<std::string, int> started;  // "<arguments>, due <local>"
        std::istringstream lines(journal);
        for (std::string line; std::getline(lines, line);) {
            size_t at = line.find("notification: started request ");
            if (at == std::string::npos) continue;
            size_t args = line.find(".exe ", at), ends = line.find(", ends ", at);
            if (args == std::string::npos || ends == std::string::npos) continue;
            started[line.substr(args + 5, ends - args - 5)]++;
        }
        bool passed = unexpected.empty();
        printf("\n%-22s %-19s %-23s %-30s %9s %6s %6s  %s\n", "event", "due (local)", "falls due (UTC)", "seen (local)",
               "late (s)", "waits", "starts", "verdict");
        for (Event &e : events) {
            std::string verdict = "ok";
            double late = double(e.seen_utc - e.due_utc - e.wait_ms) / 1000;
            if (!e.arguments.empty()) {
                std::string key = e.arguments + ", due " + e.due;
                e.starts = started[key];
                started.erase(key);
            }
            if (e.seen_utc < 0)
                verdict = "MISSING";
            else if (!e.arguments.empty() && e.starts != 1)
                verdict = e.starts == 0 ? "NOT STARTED" : "DOUBLED";
            else if (late < -0.05)
                verdict = "EARLY";
            else if (late > double(LATE_MS + e.grain_ms) / 1000)
                verdict = "LATE";
            passed = passed && verdict == "ok";
            char line[400];
            snprintf(line, sizeof line, "%-22s %-19s %-23s %-30s %9.3f %6.1f %6s  %s", e.what.c_str(), e.due.c_str(),
                     local_text(e.due_utc, true).c_str(), e.seen_utc < 0 ? "never" : e.seen.c_str(),
                     e.seen_utc < 0 ? 0.0 : late, e.wait_ms / 1000.0,
                     e.arguments.empty() ? "-" : std::to_string(e.starts).c_str(), verdict.c_str());
            printf("%s\n", line);
        }
        for (auto &[key, count] : started) unexpected.push_back(std::to_string(count) + " start(s) of " + key);
        for (const std::string &u : unexpected) printf("UNEXPECTED: %s\n", u.c_str());
        printf("%s\n\n", passed && unexpected.empty() ? "the week passed" : "the week FAILED");
        return passed && unexpected.empty();
    }

    std::string capture, shots;
    std::deque<Event> events;  // references to its events stay valid as it grows
    std::vector<std::string> unexpected;
    std::thread watcher;
    std::atomic<bool> watching{true};
    std::mutex chimes_lock;
    struct ChimeStart {
        long long utc;
        std::string local;  // in the zone of its day
    };
    std::map<int, ChimeStart> chime_starts;
};

TEST_F(Journey, AWeekAcrossTheSpringChangeARebootATripAndAnUpgrade) {
    long long began = host_now_ms();
    // Wednesday evening, Berlin: the package goes in, the clock is started.
    ASSERT_EQ(run_velctl({"tz", "set", "Europe/Berlin"}), 0);
    ASSERT_EQ(run_velctl({"clock", "set", "2030-03-27 22:00:00"}), 0);
    velpkg({"install", VELMORA_PACKAGE});
    start_clock();
    shot("face-wednesday-evening");
    set_alarms();
    set_snooze();
    general_settings_24_hour();
    chime_on();

    // The countdown of 5 minutes rings; timed sleep music ends by itself.
    countdown_of_5_minutes();
    std::vector<SeenRequest> countdown = stored_requests_for(L"/ID:254");
    ASSERT_EQ(countdown.size(), 1u);
    Event &cd = add(event("Alarm", "/ID:254", stamp(countdown[0].start), COUNTDOWN_WAIT_MS));
    jump_to(cd);
    ring(cd, "ringing-countdown", "soft1");
    long long sleep_start = sleep_for_30_minutes();
    // The music ends once less than a minute of its 30 minutes and 59 s is left.
    Event &sleep_end = add(event(
        "Sleep ends", "", local_text(clock_local_ms(sleep_start + 30 * MINUTE_MS - SECOND_MS), true), 0, TICK_MS));
    jump_to(sleep_end);
    if (within(LEAD_MS / 1000.0 + 5, [&] { return screen().find("Rain.wav") == std::string::npos; })) saw(sleep_end);
    shot("sleep-ended");

    // Two chimes before midnight and at it.
    chime("2030-03-27 23:00:01");
    jump_to(events.back());
    usleep(4000000);
    chime("2030-03-28 00:00:01");
    jump_to(events.back());
    usleep(4000000);

    // Thursday: alarm 3, then Work snoozed once and rung again 10 minutes later.
    alarm("Alarm 3", 2, "2030-03-28 02:30:00", "thursday-0230", "Work (06:45 Today)");
    Event &work = add(event("Work", "/ID:0", "2030-03-28 06:45:00", ALARM_WAIT_MS));
    jump_to(work);
    ring(work, "ringing-thursday-work", "soft1");
    std::vector<SeenRequest> snooze = stored_requests_for(L"/ID:0");
    ASSERT_EQ(snooze.size(), 1u);
    std::string snooze_due = stamp(snooze[0].start);
    EXPECT_EQ(snooze_due.substr(0, 15), "2030-03-28 06:5") << "not 10 minutes later";
    alarm("Work", 0, snooze_due, "thursday-work-snoozed", "Alarm 3 (02:30 Fri)");

    // Friday and Saturday; on Saturday the Weekend alarm and the 09:00 chime,
    // then a reboot.
    alarm("Alarm 3", 2, "2030-03-29 02:30:00", "friday-0230", "Work (06:45 Today)");
    alarm("Work", 0, "2030-03-29 06:45:00", "friday-work", "Alarm 3 (02:30 Sat)");
    alarm("Alarm 3", 2, "2030-03-30 02:30:00", "saturday-0230", "Weekend (09:00 Today)");
    chime("2030-03-30 09:00:01");
    alarm("Weekend", 1, "2030-03-30 09:00:00", "saturday-weekend", "Alarm 3 (02:30 Sun)");
    reboot();

    // Sunday, the change: 02:00 becomes 03:00; alarm 3 and the 02:00 chime
    // fall due at the change, once each. The clock is started by the alarm.
    chime("2030-03-31 02:00:01");
    alarm("Alarm 3", 2, "2030-03-31 02:30:00", "sunday-0230-at-the-change", "Weekend (09:00 Today)");
    chime("2030-03-31 09:00:01");
    alarm("Weekend", 1, "2030-03-31 09:00:00", "sunday-weekend", "Alarm 3 (02:30 Mon)");

    // Monday, then the trip: at 18:00 in Berlin the zone becomes New York.
    alarm("Alarm 3", 2, "2030-04-01 02:30:00", "monday-0230", "Work (06:45 Today)");
    alarm("Work", 0, "2030-04-01 06:45:00", "monday-work", "Alarm 3 (02:30 Tue)");
    clock_set_local(local_of("2030-04-01 18:00:00"));
    ASSERT_EQ(run_velctl({"tz", "set", "America/New_York"}), 0);
    usleep(1000000);
    shot("face-monday-new-york");

    // Tuesday in New York; Wednesday the package is installed again.
    alarm("Alarm 3", 2, "2030-04-02 02:30:00", "tuesday-ny-0230", "Work (06:45 Today)");
    alarm("Work", 0, "2030-04-02 06:45:00", "tuesday-ny-work", "Alarm 3 (02:30 Wed)");
    alarm("Alarm 3", 2, "2030-04-03 02:30:00", "wednesday-ny-0230", "Work (06:45 Today)");
    alarm("Work", 0, "2030-04-03 06:45:00", "wednesday-ny-work", "Alarm 3 (02:30 Thu)");
    clock_set_local(local_of("2030-04-03 12:00:00"));
    velpkg({"install", VELMORA_PACKAGE});

    // Thursday after the upgrade; then the package is removed.
    alarm("Alarm 3", 2, "2030-04-04 02:30:00", "thursday-ny-0230", "Work (06:45 Today)");
    alarm("Work", 0, "2030-04-04 06:45:00", "thursday-ny-work", "Alarm 3 (02:30 Fri)");
    velpkg({"remove", "Velmora"});
    for (const SeenRequest &r : stored_requests())
        ADD_FAILURE() << "the removal left " << plat::to_utf8(r.arguments.c_str()) << " due " << stamp(r.start);
    EXPECT_TRUE(event_registrations().empty()) << "the manager is still started after clock changes";

    watching = false;
    match_chimes();
    EXPECT_TRUE(report());
    printf("the week took %.0f s\n", double(host_now_ms() - began) / 1000);
}

}  // namespace
