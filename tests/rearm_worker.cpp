// Worker of the one-request-per-alarm test and benchmark: re-arms every alarm
// of a device again and again, as the clock and the alarm manager do after
// each clock change, each time from the store as it is then.
//   rearm_worker DEVICE COUNT
#include <cstdio>
#include <cstdlib>

#include "platform/device/device.h"
#include "store/alarms.h"
#include "store/scheduling.h"

int main(int argc, char **argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: rearm_worker DEVICE COUNT\n");
        return 2;
    }
    if (!device_open(argv[1])) return 3;
    for (int i = atoi(argv[2]); i > 0; i--) {
        load_store();
        schedule_all(nullptr);
        free_alarm_table();
    }
    return 0;
}
