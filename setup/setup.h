// Velinstall, the setup library the package installer calls around copying
// and removing the package's files. Its four entries are declared in the
// platform's setup-library header; these are the pieces they share.
#pragma once

#include "platform/phone.h"

// Class and title of the windows the library closes.
#define SETUP_MANAGER_WINDOW L"Velmgr"
#define SETUP_MAIN_WINDOW L"Velmora"

// Posts the window of that class and title the close message and waits
// until it and its process are gone: at most CLOSE_LIMIT_MS, after which the
// process is ended and the journal says so. Nothing to do when no such
// window exists.
void close_program(LPCWSTR name);

// Closes the alarm manager first, so that it starts no clock while the
// clock is being closed, then the clock.
void close_system_programs(void);

#define CLOSE_LIMIT_MS 10000
