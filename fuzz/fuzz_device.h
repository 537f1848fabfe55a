// A scratch device for the fuzz targets: made once per process, with a few
// files a playlist may name, and its journal kept from growing.
#pragma once

#include <string>

// Host path of a file in the scratch device's root.
std::string fuzz_device_file(const char *name);
// Empties the journal now and then: every message box is written to it.
void fuzz_device_tidy();
