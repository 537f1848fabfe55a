// Worker of the registry stress test. A writer saves whole alarm records
// whose nine values all derive from one sequence number and prints each
// number once its save returned; a reader loads the table again and again and
// checks that every record it sees comes from a single save.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "platform/device/device.h"
#include "store/alarms.h"
#include "store/settings.h"

namespace {

void fill(AlarmRecord *a, int index, unsigned seq) {
    a->AlarmHandle = seq;
    a->AlarmOn = 1;
    a->AThour = seq % 24;
    a->ATmin = seq % 60;
    swprintf(a->AlarmSound, MAX_PATH, L"\\My Documents\\%u.wav", seq);
    swprintf(a->AlarmName, ALARM_NAME_CHARS, L"w%d-%u", index, seq);
    a->UseSystemVol = seq % 2;
    a->Volume = 1 + seq % 10;
    a->Days = 1 + seq % 127;
}

bool whole(int index, const AlarmRecord *a) {
    if (a->AlarmHandle == 0) return true;  // never saved yet
    AlarmRecord expected;
    fill(&expected, index, a->AlarmHandle);
    return a->AlarmOn == expected.AlarmOn && a->AThour == expected.AThour && a->ATmin == expected.ATmin &&
           wcscmp(a->AlarmSound, expected.AlarmSound) == 0 && wcscmp(a->AlarmName, expected.AlarmName) == 0 &&
           a->UseSystemVol == expected.UseSystemVol && a->Volume == expected.Volume && a->Days == expected.Days;
}

int write_loop(int index, unsigned seq, unsigned count) {
    create_alarm_table();
    set_alarm_defaults();
    for (unsigned end = seq + count; seq < end; seq++) {
        fill(alarm_record(index), index, seq);
        save_alarm(index);
        printf("%u\n", seq);
        fflush(stdout);
    }
    return 0;
}

int read_loop(int writers, unsigned rounds) {
    create_alarm_table();
    for (unsigned r = 0; r < rounds; r++) {
        set_alarm_defaults();
        for (int i = 0; i < ALARM_COUNT; i++) alarm_record(i)->AlarmHandle = 0;
        load_alarms();
        for (int i = 0; i < writers; i++) {
            if (!whole(i, alarm_record(i))) {
                printf("torn record %d at round %u (handle %u, hour %u)\n", i, r, alarm_record(i)->AlarmHandle,
                       alarm_record(i)->AThour);
                return 1;
            }
        }
    }
    printf("ok\n");
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 5 || !device_open(argv[2])) {
        fprintf(stderr, "usage: registry_stress_worker writer DEVICE INDEX FIRST [COUNT] | reader DEVICE WRITERS ROUNDS\n");
        return 2;
    }
    if (strcmp(argv[1], "writer") == 0)
        return write_loop(atoi(argv[3]), unsigned(strtoul(argv[4], nullptr, 10)),
                          argc > 5 ? unsigned(strtoul(argv[5], nullptr, 10)) : 0xFFFFFFFFu / 2);
    if (strcmp(argv[1], "reader") == 0) return read_loop(atoi(argv[3]), unsigned(strtoul(argv[4], nullptr, 10)));
    return 2;
}
