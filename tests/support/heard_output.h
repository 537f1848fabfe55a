// What the sound library hands its output, for tests in the program's own
// process on the null output (which plays at real-time pace).
#pragma once

#include <cstddef>

// Starts or stops collecting the samples handed to the output.
void listen_to_output(bool on);
void forget_heard(void);
// How many loud samples were handed over since the last forget.
size_t loud_samples_heard(void);
// The pitch of the last 0.2 s handed over, once a quarter second of sound
// came after the last forget; 0 when none came within `seconds`.
double pitch_heard(double seconds = 3.0);
