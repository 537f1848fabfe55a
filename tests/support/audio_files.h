// Test audio: tone files made with libsndfile, ID3v2 tags written byte by
// byte, and the analysis of WAV captures (where sound is, and its pitch).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One tone of `freq` Hz per part, one after another.
struct TonePart {
    double seconds;
    double freq;
};

// Writes a file of tones; `format` is a libsndfile format such as
// SF_FORMAT_WAV | SF_FORMAT_PCM_16. Titles etc. are set when not empty
// (Vorbis comments for Ogg). Returns false when libsndfile refuses.
bool write_tones(const std::string &path, const std::vector<TonePart> &parts, int rate, int channels, int format,
                 const char *title = nullptr, const char *artist = nullptr);
bool write_wav_tone(const std::string &path, double seconds, double freq, int rate = 22050);

// An ID3v2.3 or 2.4 tag holding text frames: id and raw data (encoding byte
// first). UTF-8 text (encoding 3) belongs in version 2.4.
struct Id3Frame {
    std::string id;
    std::string data;
};
std::string id3v2_tag(const std::vector<Id3Frame> &frames, int version = 3);
// Writes `tag` followed by an MP3 of one tone.
bool write_tagged_mp3(const std::string &path, const std::string &tag, double seconds = 0.3, double freq = 440);
bool write_tagged_mp3(const std::string &path, const std::string &tag, const std::vector<TonePart> &parts);

// A 16-bit mono WAV file's samples and rate; empty when unreadable.
std::vector<int16_t> read_wav(const std::string &path, int *rate);
// A capture's samples as far as they were written, whatever its header says:
// a program that exits with its library open leaves the header behind.
std::vector<int16_t> read_capture_written(const std::string &path);

// A stretch of the capture, in seconds.
struct Stretch {
    double start;
    double end;
    double freq;  // dominant pitch, from zero crossings
};

// The parts with sound, from 5 ms windows; gaps shorter than `bridge`
// seconds are joined.
std::vector<Stretch> sound_stretches(const std::vector<int16_t> &samples, int rate, double bridge = 0.02);
// Consecutive windows of one pitch (within 15 %), silence left out.
std::vector<Stretch> pitch_runs(const std::vector<int16_t> &samples, int rate);
