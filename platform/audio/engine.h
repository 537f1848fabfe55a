// The process's one mixer with its output and its two threads: the mixer
// thread mixes and writes blocks; the notification thread runs the end
// notifications in the order the ends happened, so that a notification that
// waits (the ringing's half-second gap) never stalls the sound of the others.
// The library's streams and the device's own sounds share it; it runs while
// anyone holds it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/audio/source.h"

namespace audio {

// Starts the engine for the first holder; `kind` and `rate` choose its output
// then. Later holders share what runs.
void engine_acquire(int kind, int rate);
// The last holder stops the threads and closes the output; notifications
// not yet run are dropped. May be called from a notification.
void engine_release(void);
bool engine_running(void);
int engine_rate(void);

// Plays `source` (rewound first when `rewind`) and returns its voice, 0 when
// the engine does not run or the source cannot start again. `on_end` runs
// on the notification thread at each end.
uint64_t engine_play(std::shared_ptr<Source> source, int group, bool loop, bool rewind, std::function<void()> on_end);
bool engine_active(uint64_t voice);
// Stops the voice and drops its notifications not yet run.
void engine_stop(uint64_t voice);
// Pauses or resumes every voice of the group that is playing now; the
// notifications of the group not yet run wait until it resumes.
void engine_pause_group(int group, bool paused);
void engine_pause_voice(uint64_t voice, bool paused);

// Output gain, from the device's wave volume; re-read at every play.
void engine_refresh_gain(void);

// Benchmarks and tests: called on the mixer thread with each block just
// after it was handed to the output.
typedef void (*EngineObserver)(const int16_t *samples, int frames);
void engine_set_observer(EngineObserver observer);

}  // namespace audio
