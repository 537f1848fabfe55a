// Everything the phone offers the system, in one include.
#pragma once

#include "platform/types.h"
#include "platform/clock.h"
#include "platform/device_sound.h"
#include "platform/files.h"
#include "platform/folder_walk.h"
#include "platform/fsound.h"
#include "platform/journal.h"
#include "platform/last_error.h"
#include "platform/locale.h"
#include "platform/message_box.h"
#include "platform/power.h"
#include "platform/registry.h"
#include "platform/shell_folders.h"
#include "platform/text.h"
