// bench/compare: our figures beside the machine's floor and a peer in one
// run, printed as one table with the ratio and its target. Installs
// nothing: a missing Xvfb or xclock is said in the table.
// Usage: compare [--rounds N] [--cpu N|any] [--idle-seconds N] [--starts N] [--only lateness|idle|start]
#include "bench/compare/compare.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A program on PATH, or "" when there is none.
std::string on_path(const char *name) {
    const char *path = getenv("PATH");
    std::string all = path ? path : "/usr/bin:/bin";
    for (size_t at = 0; at <= all.size();) {
        size_t end = all.find(':', at);
        if (end == std::string::npos) end = all.size();
        std::string candidate = all.substr(at, end - at) + "/" + name;
        if (end > at && access(candidate.c_str(), X_OK) == 0) return candidate;
        at = end + 1;
    }
    return "";
}

bool meets(const CompareRow &r) {
    if (r.ours < 0) return false;
    bool ratio = r.most < 0 || (r.theirs > 0 && r.ours / r.theirs <= r.most);
    return ratio && (r.most_ours < 0 || r.ours <= r.most_ours);
}

void print_table(const std::vector<CompareRow> &rows) {
    printf("%-48s %10s %10s %-7s %7s %9s  %s\n", "what", "ours", "theirs", "whose", "ratio", "target", "");
    for (const CompareRow &r : rows) {
        char ours[32] = "-", theirs[32] = "-", ratio[32] = "-", target[32] = "-";
        if (r.ours >= 0) snprintf(ours, sizeof ours, "%.3g", r.ours);
        if (r.theirs >= 0) snprintf(theirs, sizeof theirs, "%.3g", r.theirs);
        if (r.ours >= 0 && r.theirs > 0) snprintf(ratio, sizeof ratio, "%.2f", r.ours / r.theirs);
        if (r.most >= 0) snprintf(target, sizeof target, "x%.2f", r.most);
        if (r.most_ours >= 0) snprintf(target, sizeof target, "<= %g", r.most_ours);
        const char *verdict = !r.missing.empty() ? r.missing.c_str() : meets(r) ? "met" : "NOT MET";
        printf("%-48s %10s %10s %-7s %7s %9s  %s\n", r.what.c_str(), ours, theirs, r.whose.c_str(), ratio, target,
               verdict);
    }
}

int usage() {
    fputs("usage: compare [--rounds N] [--cpu N|any] [--idle-seconds N] [--starts N] [--only lateness|idle|start]\n",
          stderr);
    return 2;
}

}  // namespace

double percentile(std::vector<double> samples, double p) {
    if (samples.empty()) return -1;
    std::sort(samples.begin(), samples.end());
    size_t at = size_t(std::ceil(p * double(samples.size()))) - (p > 0 ? 1 : 0);
    return samples[std::min(at, samples.size() - 1)];
}

double realtime_ms(void) {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return double(ts.tv_sec) * 1000 + double(ts.tv_nsec) / 1e6;
}

double monotonic_ms(void) {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1000 + double(ts.tv_nsec) / 1e6;
}

void sleep_ms(double ms) {
    timespec ts = {time_t(ms / 1000), long(std::fmod(ms, 1000.0) * 1e6)};
    while (nanosleep(&ts, &ts) != 0) {
    }
}

int main(int argc, char **argv) {
    CompareOptions o;
    std::string only;
    for (int i = 1; i < argc; i++) {
        if (i + 1 >= argc) return usage();
        if (strcmp(argv[i], "--rounds") == 0)
            o.rounds = atoi(argv[++i]);
        else if (strcmp(argv[i], "--cpu") == 0)
            o.cpu = strcmp(argv[++i], "any") == 0 ? -2 : atoi(argv[i]);
        else if (strcmp(argv[i], "--idle-seconds") == 0)
            o.idle_seconds = atoi(argv[++i]);
        else if (strcmp(argv[i], "--starts") == 0)
            o.starts = atoi(argv[++i]);
        else if (strcmp(argv[i], "--only") == 0)
            only = argv[++i];
        else
            return usage();
    }
    if (o.rounds <= 0 || o.idle_seconds <= 0 || o.starts <= 0 || o.cpu < -2) return usage();
    o.xvfb = on_path("Xvfb");
    o.xclock = on_path("xclock");
    std::vector<CompareRow> rows;
    if (only.empty() || only == "lateness") compare_lateness(o, rows);
    if (only.empty() || only == "idle") compare_idle(o, rows);
    if (only.empty() || only == "start") compare_first_drawing(o, rows);
    print_table(rows);
    auto met = [](const CompareRow &r) { return r.missing.empty() && meets(r); };
    return std::all_of(rows.begin(), rows.end(), met) ? 0 : 1;
}
