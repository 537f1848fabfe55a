// bench/compare: our figures beside the machine's floor and a peer program,
// measured alternately in one run so that their ratio holds on any machine.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// One line of the table: our figure, the floor's or the peer's, and the
// target the ratio (or, without a peer, our figure) must meet.
struct CompareRow {
    std::string what;
    double ours = -1;
    double theirs = -1;     // -1: none, or the peer is missing
    std::string whose;      // "floor", "xclock", "" for none
    double most = -1;       // the ratio's target; -1 when none
    double most_ours = -1;  // our figure's target when there is no ratio
    std::string missing;    // why there is no figure
};

struct CompareOptions {
    // Requests counted per side at each pending count. The p99 of 100 is the
    // second largest, which one hiccup of the machine decides.
    int rounds = 300;
    // The one CPU notifyd, the floor and the programs they start run on for
    // the lateness (the last one when -1; none with -2), so that neither
    // pays for waking the other CPU.
    int cpu = -1;
    int idle_seconds = 120;
    int starts = 7;            // starts of each program, alternated
    std::string xvfb, xclock;  // found on PATH; empty when missing
};

// (a) notifyd against the floor; restart; unrelated writes.
void compare_lateness(const CompareOptions &o, std::vector<CompareRow> &rows);
// (b) the idle clock headless and in a window against xclock.
void compare_idle(const CompareOptions &o, std::vector<CompareRow> &rows);
// (c) start to first drawing against xclock.
void compare_first_drawing(const CompareOptions &o, std::vector<CompareRow> &rows);

// The p-th fraction of the sorted samples.
double percentile(std::vector<double> samples, double p);
// Host CLOCK_REALTIME or CLOCK_MONOTONIC in ms.
double realtime_ms(void);
double monotonic_ms(void);
void sleep_ms(double ms);

// Starts a program with the environment changed by `env` ("NAME=value").
pid_t spawn_with(const std::vector<std::string> &words, const std::vector<std::string> &env);
// SIGTERM, then SIGKILL after a second; reaps it.
void stop_program(pid_t pid);
