#include "tests/support/audio_files.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

bool write_tones(const std::string &path, const std::vector<TonePart> &parts, int rate, int channels, int format,
                 const char *title, const char *artist) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE *f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) return false;
    if (title) sf_set_string(f, SF_STR_TITLE, title);
    if (artist) sf_set_string(f, SF_STR_ARTIST, artist);
    std::vector<float> frame(static_cast<size_t>(channels));
    double phase = 0.0;
    for (const TonePart &part : parts) {
        long n = long(part.seconds * rate);
        for (long i = 0; i < n; i++) {
            phase += 2 * M_PI * part.freq / rate;
            float v = float(0.5 * std::sin(phase));
            for (auto &s : frame) s = v;
            sf_writef_float(f, frame.data(), 1);
        }
    }
    return sf_close(f) == 0;
}

bool write_wav_tone(const std::string &path, double seconds, double freq, int rate) {
    return write_tones(path, {{seconds, freq}}, rate, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
}

namespace {

// Four bytes of seven bits each, as ID3v2 writes its tag size and version
// 2.4 its frame sizes.
std::string syncsafe(uint32_t size) {
    std::string out;
    for (int shift = 21; shift >= 0; shift -= 7) out += char((size >> shift) & 0x7F);
    return out;
}

std::string big_endian(uint32_t size) {
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) out += char((size >> shift) & 0xFF);
    return out;
}

}  // namespace

std::string id3v2_tag(const std::vector<Id3Frame> &frames, int version) {
    std::string body;
    for (const Id3Frame &f : frames) {
        uint32_t size = uint32_t(f.data.size());
        body += f.id + (version == 4 ? syncsafe(size) : big_endian(size)) + std::string(2, '\0') + f.data;
    }
    return std::string("ID3") + char(version) + std::string(2, '\0') + syncsafe(uint32_t(body.size())) + body;
}

bool write_tagged_mp3(const std::string &path, const std::string &tag, double seconds, double freq) {
    return write_tagged_mp3(path, tag, std::vector<TonePart>{{seconds, freq}});
}

bool write_tagged_mp3(const std::string &path, const std::string &tag, const std::vector<TonePart> &parts) {
    std::string plain = path + ".plain.mp3";
    if (!write_tones(plain, parts, 22050, 1, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III)) return false;
    std::ifstream in(plain, std::ios::binary);
    std::string audio((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(plain.c_str());
    std::ofstream out(path, std::ios::binary);
    out << tag << audio;
    return bool(out);
}

std::vector<int16_t> read_wav(const std::string &path, int *rate) {
    SF_INFO info{};
    SNDFILE *f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) return {};
    std::vector<int16_t> samples(size_t(info.frames));
    sf_readf_short(f, samples.data(), info.frames);
    sf_close(f);
    *rate = info.samplerate;
    return samples;
}

std::vector<int16_t> read_capture_written(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(44);  // past the capture's fixed header
    std::vector<int16_t> samples;
    unsigned char pair[2];
    while (in.read(reinterpret_cast<char *>(pair), 2)) samples.push_back(int16_t(pair[0] | (pair[1] << 8)));
    return samples;
}

namespace {

constexpr double LOUDNESS_WINDOW = 0.005;
constexpr double PITCH_WINDOW = 0.02;  // enough crossings to tell 500 Hz from 600 Hz

struct WindowInfo {
    bool loud;
    double freq;
};

std::vector<WindowInfo> windows(const std::vector<int16_t> &samples, int rate, double window) {
    size_t step = size_t(window * rate);
    std::vector<WindowInfo> out;
    for (size_t at = 0; at + step <= samples.size(); at += step) {
        double energy = 0;
        int crossings = 0;
        for (size_t i = at; i < at + step; i++) {
            energy += double(samples[i]) * samples[i];
            if (i > at && (samples[i - 1] < 0) != (samples[i] < 0)) crossings++;
        }
        double rms = std::sqrt(energy / double(step));
        out.push_back({rms > 300.0, crossings / (2.0 * window)});
    }
    return out;
}

}  // namespace

std::vector<Stretch> sound_stretches(const std::vector<int16_t> &samples, int rate, double bridge) {
    std::vector<Stretch> out;
    auto w = windows(samples, rate, LOUDNESS_WINDOW);
    for (size_t i = 0; i < w.size(); i++) {
        if (!w[i].loud) continue;
        double start = double(i) * LOUDNESS_WINDOW, end = start + LOUDNESS_WINDOW;
        if (!out.empty() && start - out.back().end <= bridge)
            out.back().end = end;
        else
            out.push_back({start, end, 0});
    }
    return out;
}

std::vector<Stretch> pitch_runs(const std::vector<int16_t> &samples, int rate) {
    std::vector<Stretch> runs;
    std::vector<std::vector<double>> pitches;  // of each run's windows
    auto w = windows(samples, rate, PITCH_WINDOW);
    for (size_t i = 0; i < w.size(); i++) {
        if (!w[i].loud) continue;
        double start = double(i) * PITCH_WINDOW, end = start + PITCH_WINDOW;
        // A window joins the run when its pitch is near the last window's.
        if (!runs.empty() && std::fabs(w[i].freq - pitches.back().back()) < 0.15 * pitches.back().back() &&
            start - runs.back().end <= 0.05) {
            runs.back().end = end;
            pitches.back().push_back(w[i].freq);
        } else {
            runs.push_back({start, end, 0});
            pitches.push_back({w[i].freq});
        }
    }
    // A run's pitch is its middle window's: windows on an edge are blurred.
    // Runs too short to be a sound are dropped.
    std::vector<Stretch> kept;
    for (size_t r = 0; r < runs.size(); r++) {
        if (runs[r].end - runs[r].start < 0.05) continue;
        std::sort(pitches[r].begin(), pitches[r].end());
        runs[r].freq = pitches[r][pitches[r].size() / 2];
        kept.push_back(runs[r]);
    }
    return kept;
}
