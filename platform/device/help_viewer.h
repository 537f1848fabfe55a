// The phone's help viewer, "peghelp", on Linux: the host's own viewer shows
// the device's help page, where there is a display to show it on.
#pragma once

#include "platform/core/types.h"

// True for the application names CreateProcessW hands to the help viewer.
bool is_help_viewer(LPCWSTR application);

// Opens the page the argument names, "file:vel.htp#vel_help" (a bare name
// lies in "\Windows", as on the phone), with xdg-open. Returns the viewer's
// process id, or -1 when the page is missing, there is no display or no
// viewer; the journal says which.
int help_viewer_start(LPCWSTR argument);
