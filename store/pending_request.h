// Reading one pending request of the notification database back, through
// the phone's two-call pattern.
#pragma once

#include "platform/phone.h"

// What the store looks at in a request.
struct PendingRequest {
    WCHAR Application[MAX_PATH];
    WCHAR Arguments[MAX_PATH];
    SYSTEMTIME Start;
};

// False when the handle names no pending request (it fired, was cleared or
// never was) or its record cannot be read.
bool read_pending_request(HANDLE handle, PendingRequest *out);
