// The device clock: the host clock plus the device's offset, read in the
// device's time zone. Tests can freeze it.
#pragma once

#include "platform/core/types.h"

void GetLocalTime(LPSYSTEMTIME time);
void GetSystemTime(LPSYSTEMTIME time);
BOOL SystemTimeToFileTime(const SYSTEMTIME *time, LPFILETIME file_time);
BOOL FileTimeToSystemTime(const FILETIME *file_time, LPSYSTEMTIME time);
DWORD GetTickCount(void);
void Sleep(DWORD milliseconds);

// 100 ns units between 1601-01-01 and 1970-01-01.
#define FILETIME_UNIX_EPOCH 116444736000000000LL

// Device time in milliseconds since 1970-01-01 UTC.
long long clock_utc_ms(void);

// Wall-clock time of the device zone for a UTC instant, as milliseconds since
// 1970-01-01 counted as if the local time were UTC.
long long clock_local_ms(long long utc_ms);

// The first UTC instant at which the device's local clock reaches or passes
// the given local time: a local time skipped by a DST change maps to the
// change itself, a repeated local time to its first occurrence.
long long clock_utc_for_local(long long local_ms);

// Helpers between SYSTEMTIME and "milliseconds as if UTC"; the weekday is
// computed, never read.
long long clock_ms_from_systemtime(const SYSTEMTIME *time);
void clock_systemtime_from_ms(long long ms, LPSYSTEMTIME time);

// Re-reads the zone rules (the device's zone setting, or the host's
// /etc/localtime when the device follows the host).
void clock_reload_zone(void);
