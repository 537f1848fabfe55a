// A scratch device for a benchmark, removed at exit, and its files.
#pragma once

#include <string>

// Opens a fresh device in /tmp; returns its root.
std::string bench_device_open();
// Host path of a device path, its folders made.
std::string bench_host_path(const wchar_t *device_path);
