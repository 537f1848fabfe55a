// The private window messages the programs send each other. The main
// program's window and the alarm manager's window are found by class and
// title; a message carries its number and two integers.
#pragma once

#include "platform/window/window.h"

// Class and title of the main program's window.
#define MAIN_WINDOW L"Velmora"

#define MSG_EVENT (WM_APP + 1)  // wParam: event identifier (both windows)
#define MSG_START_MAIN 0x8002    // the alarm manager starts the main program
#define MSG_SILENCE_ON 0x8004
#define MSG_SILENCE_OFF 0x8005
#define MSG_RELOAD_ALARMS 0x8006
#define MSG_RELOAD_CHIME 0x8007
#define MSG_RESERVED 0x8008
