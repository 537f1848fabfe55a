// Reaching the program that shows a device's screen, for velctl: keys,
// screenshots, the message box on screen, the dialog in front, rotation, low
// memory. One request line over a Unix socket in the device's runtime folder;
// the program answers once it has dealt with everything the request caused.
#pragma once

#include <string>
#include <vector>

#include "platform/core/types.h"

struct ScreenKey {
    int vk;      // the phone's virtual key, 0 for a character alone
    wchar_t ch;  // the character it types, 0 for none
};

// "soft1", "soft2", "up", "down", "left", "right", "action", "back", "help",
// "0" ... "9", "*", "#".
bool screen_key_by_name(const char *name, ScreenKey *key);
// The key that types one character (letters and digits have their own).
ScreenKey screen_key_for_char(wchar_t ch);

// Sends a request: "keys VK:CH ...", "screenshot", "msgbox", "dialog", "answer ok|cancel|yes|no",
// "rotate", "hibernate". True with the reply's text; false with the reason in `reply`. A screenshot's
// pixels (RGB rows, no padding) come in `pixels`.
bool screen_call(const char *request, std::string *reply, std::vector<unsigned char> *pixels);

// PNG files at real size (libpng), RGB rows without padding.
bool png_write_rgb(const char *path, int width, int height, const unsigned char *rgb, std::string *error);
bool png_read_rgb(const char *path, int *width, int *height, std::vector<unsigned char> *rgb);
