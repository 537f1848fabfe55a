// The tables of each settings dialog, registered by register_dialog_resources.
#pragma once

#include "platform/phone.h"
#include "resources/dialog_resources.h"

// Every settings dialog is a full-screen popup with its caption in the title
// bar; its size here is only what it has before it fills the screen.
constexpr DWORD FULL_SCREEN_DIALOG = WS_POPUP | WS_CAPTION;

// The phone's spin box: a list box and the up-down control made after it.
constexpr DWORD SPIN_BOX =
    UDS_AUTOBUDDY | UDS_HORZ | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_SETBUDDYINT | UDS_WRAP | UDS_EXPANDABLE;

void add_set_alarm_template(void);
void add_snooze_template(void);
void add_settings_templates(void);
void add_chime_template(void);
void add_sleep_template(void);
void add_countdown_template(void);
void add_browser_templates(void);
