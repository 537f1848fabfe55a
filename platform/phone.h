// Everything the phone offers the system, in one include.
#pragma once

#include "platform/types.h"
#include "platform/clock.h"
#include "platform/journal.h"
#include "platform/last_error.h"
#include "platform/locale.h"
#include "platform/message_box.h"
#include "platform/notify.h"
#include "platform/power.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "platform/shell_folders.h"
#include "platform/text.h"
#include "platform/window.h"
