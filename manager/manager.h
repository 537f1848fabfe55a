// Velmgr, the alarm manager: started by the notification service when a
// request falls due and after clock and time-zone changes. It switches the
// device on and hands each event to the main program or the chime program;
// after its first start it stays resident with one hidden window, which marks
// it as running and relays the events later copies receive.
#pragma once

#include "platform/phone.h"

// Class and title of the resident window.
#define MANAGER_WINDOW L"Velmgr"

#define MAIN_PROGRAM L"Velmora.exe"
#define CHIME_PROGRAM L"Chime.exe"

struct ManagerState {
    HINSTANCE Instance;
    HWND Window;  // the resident window; NULL in a transient copy
};

extern ManagerState Manager;

// The program's entry, as the platform calls a program's main function.
int manager_main(HINSTANCE instance, HINSTANCE previous, LPWSTR command_line, int show);

// Registers the class and creates the hidden window; false when either fails.
bool create_manager_window(HINSTANCE instance, HINSTANCE previous);

// How long the main program gets to come up before it is handed the
// event, in ms: 1000 for the countdown and the chime, 3000 for alarms.
DWORD main_program_wait_ms(int id);

// Waits as the identifier says, brings the main program's window to the
// front and posts it the event.
void post_event_to_main(HWND main, int id);

// The event to the main program: posted when it runs, else on its command
// line when it is started.
void deliver_event(int id);

// Starts "Velmora.exe" of the install folder with the command line (none:
// no argument); with `wait`, first gives the device time as the identifier
// says. Six attempts 500 ms apart, then "Can't launch %s!".
void start_main_program(LPCWSTR command_line, bool wait, int id);
// Starts "Chime.exe" of the install folder, with the same attempts.
void start_chime(void);
