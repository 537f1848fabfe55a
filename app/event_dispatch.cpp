#include "app/event_dispatch.h"

// Ringing comes with the ringing dialogs.
void dispatch_event(WPARAM) {}
