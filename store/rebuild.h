// The "Rebuild Alarms" command: removes every request that starts Velmgr,
// registers Velmgr for the clock events again, then all alarms and the chime.
#pragma once

#include "platform/phone.h"

void rebuild_notifications(HWND owner);

// Clears every request whose program is Velmgr; returns how many.
int remove_owned_notifications(void);

// Clears every request of the event ("/ID:<id>" for Velmgr), whichever
// program registered it and whatever handle the registry holds; returns how
// many. O(n) in the pending requests.
int clear_event_requests(int id);
