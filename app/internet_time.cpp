// Internet time: the day in a thousand beats, counted from midnight in
// UTC+1 whatever the device's zone.
#include "app/clock_face.h"

int internet_time(void) {
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    int hour = (utc.wHour + 1) % 24;
    return ((hour * 60 + utc.wMinute) * 60 + utc.wSecond) * 1000 / 86400;
}
