// Kernel-object handles (processes now, files later): one table, so that
// CloseHandle closes whatever kind of object a handle names.
#pragma once

#include "platform/core/types.h"

BOOL CloseHandle(HANDLE object);

namespace plat {

// A new handle for an object; `close` runs once when it is closed.
HANDLE handle_open(void (*close)(uintptr_t data), uintptr_t data);

// The data of a live handle of the kind that `close` closes; false for a
// closed, foreign or other kind of handle.
bool handle_data(HANDLE object, void (*close)(uintptr_t data), uintptr_t *data);

}  // namespace plat
