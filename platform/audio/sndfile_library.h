// libsndfile, loaded the first time a sound file is opened: a clock that
// plays nothing never maps it nor the codec libraries it brings (FLAC,
// Vorbis, Opus, MPEG). The calls the decoder makes, without the sf_ prefix.
#pragma once

#include <sndfile.h>

namespace audio {

struct SndfileLibrary {
    decltype(&::sf_open_fd) open_fd;
    decltype(&::sf_close) close;
    decltype(&::sf_readf_float) readf_float;
    decltype(&::sf_error) error;
    decltype(&::sf_seek) seek;
};

// The library, loaded at the first call (thread-safe); nullptr, said once on
// stderr, when it is not installed or lacks a call.
const SndfileLibrary *sndfile_library(void);

}  // namespace audio
