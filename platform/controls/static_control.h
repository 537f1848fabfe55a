// The STATIC window class, built in: a line or a few lines of text, or a
// bitmap.
#pragma once

#include "platform/window/window.h"

#define SS_LEFT 0x00000000L
#define SS_CENTER 0x00000001L
#define SS_RIGHT 0x00000002L
// One line, cut at the control's right edge.
#define SS_LEFTNOWORDWRAP 0x0000000CL
// The bitmap whose resource the text names ("#324"), or the one given with
// STM_SETIMAGE; the control takes the bitmap's size.
#define SS_BITMAP 0x0000000EL
#define SS_TYPEMASK 0x0000001FL
#define SS_NOPREFIX 0x00000080L
// Text: one line, centred from top to bottom.
#define SS_CENTERIMAGE 0x00000200L

#define STM_SETIMAGE 0x0172
#define STM_GETIMAGE 0x0173
#define IMAGE_BITMAP 0
