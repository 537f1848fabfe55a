// Drives modal dialogs inside the test's own process: the steps run one per
// turn of whichever message loop is running (a dialog's nested loop too),
// each given the window in front. A step that answers false is tried again
// on a later turn, so a step can wait for a dialog to open.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/phone.h"

using DialogStep = std::function<bool(HWND front)>;

// Queues the steps; they start on the next loop turn.
void script_dialogs(std::vector<DialogStep> steps);
// True when every step ran; a step tried too often fails the test.
bool script_done(void);

// A step that runs `action` once the window in front has the title `title`.
DialogStep in_dialog(const std::wstring &title, std::function<void(HWND dialog)> action);
// A step that sends the dialog in front the command `id` (a soft key).
DialogStep press(const std::wstring &title, int id);
// A step that clicks the dialog's control `id`.
DialogStep click(const std::wstring &title, int id);
