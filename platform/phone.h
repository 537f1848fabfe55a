// Everything the phone offers the system, in one include.
#pragma once

#include "platform/types.h"
#include "platform/clock.h"
#include "platform/gdi.h"
#include "platform/journal.h"
#include "platform/last_error.h"
#include "platform/locale.h"
#include "platform/menu.h"
#include "platform/message_box.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "platform/shell_folders.h"
#include "platform/static_control.h"
#include "platform/text.h"
#include "platform/window.h"
