// The program's entry, in the phases a test can drive one by one.
#pragma once

#include "platform/phone.h"

// Exit code when the command line was handed to a running instance.
#define EXIT_HANDED_OVER 1

// Entry: hand-over or start, the message loop, the end. Returns the exit code.
int velmora_main(HINSTANCE instance, HINSTANCE previous, LPCWSTR command_line, int show);

// Starts the program up to its message loop. Returns true when the window
// runs; otherwise *exit_code says why not (handed over, or failed).
bool program_start(HINSTANCE instance, HINSTANCE previous, LPCWSTR command_line, int *exit_code);
// Finds a running instance and hands it the event; true when one was found.
bool hand_over(LPCWSTR class_name, LPCWSTR title, int event_id);
int run_message_loop(void);
// After the loop: settings saved, alarms re-armed, images and alarms freed.
void program_end(void);
// Registers the program's bitmaps, strings and menu bar, once per process.
void register_app_resources(void);
