#include "app/local_time.h"

ULONGLONG local_file_time_now(void) {
    SYSTEMTIME now;
    FILETIME ft;
    GetLocalTime(&now);
    if (!SystemTimeToFileTime(&now, &ft)) return 0;
    return (ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}
