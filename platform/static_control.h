// The STATIC window class, built in: a line or a few lines of text.
#pragma once

#include "platform/window.h"

#define SS_LEFT 0x00000000L
#define SS_CENTER 0x00000001L
#define SS_RIGHT 0x00000002L
#define SS_TYPEMASK 0x0000001FL
#define SS_NOPREFIX 0x00000080L
