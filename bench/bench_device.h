// A scratch device for a benchmark, removed at exit, and its files; a large
// tree of songs; the moment the output is first handed sound.
#pragma once

#include <string>

// Opens a fresh device in /tmp; returns its root. It and its sockets'
// folder are removed at exit.
std::string bench_device_open();
// Removes a device some program ran on: its folder and its sockets' folder.
// Leaves no device open.
void bench_remove_device(const std::string &root);
// Host path of a device path, its folders made.
std::string bench_host_path(const wchar_t *device_path);

// 10 groups of 100 folders of 10 empty sound files (.mp3, .ogg and .wav in
// turn) under `top`, named at random: 10,000 songs in 1,000 folders.
void bench_song_tree(const wchar_t *top);

// Steady-clock nanoseconds.
long long bench_now_ns(void);
// From now on, bench_first_sound_ns() is 0 until the output is handed a
// sample that is not silence, and then the moment it was.
void bench_watch_first_sound(void);
long long bench_first_sound_ns(void);
