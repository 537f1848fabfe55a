// The device journal, "journal.log" in the device root: every message box,
// every notification request that was dropped, messages from other processes
// that were refused, and a disk too full for what falls due, one line each, so
// that people and tests can see what the device said while nobody was looking.
#pragma once

#include "platform/core/types.h"

// Appends "YYYY-MM-DD HH:MM:SS <kind>: <text>" (device local time); line
// breaks in the text are written as "\n". Several processes may append at
// once; each line arrives whole.
void journal_write(const char *kind, LPCWSTR text);
