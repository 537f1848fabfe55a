// Small images of the dialogs: the time spinner's separator and markers, the
// sound list's file icons and the folder tree's folders. They stand on the
// dialogs' white, which their soft edges blend into.
#pragma once

#include "image.h"

constexpr Rgb DIALOG_WHITE = {255, 255, 255};
// The folder tree takes this colour as transparent.
constexpr Rgb FOLDER_KEY_GREEN = {0, 255, 0};

Image spinner_separator(int size);
Image spinner_marker(int size, bool up);
// Two 16 x 16 icons side by side: a sound on the device, a sound on a storage card.
Image sound_file_icons();
// Two 16 x 15 icons side by side: an open folder, a closed folder.
Image folder_icons();
