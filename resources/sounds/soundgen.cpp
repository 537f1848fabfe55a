// Synthesises the default sounds: 22 050 Hz, 16-bit mono WAV files.
//   soundgen OUTPUT_FOLDER
// buzz.wav     the alarm: two bursts of four soft beeps, about 2 s
// CBuzzer.wav  the countdown: three rising chirps, twice, about 1.6 s
// CBell.wav    the hourly chime: a struck bell, about 1.5 s
// volume.wav   the volume sample: a short steady two-note chime
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int RATE = 22050;
constexpr double TAU = 2.0 * M_PI;

typedef std::vector<double> Samples;

Samples silence(double seconds) { return Samples(size_t(seconds * RATE), 0.0); }

// Rises over `attack` and falls over `release` seconds, so nothing clicks.
double envelope(double t, double length, double attack, double release) {
    if (t < attack) return t / attack;
    if (t > length - release) return std::max(0.0, (length - t) / release);
    return 1.0;
}

// A soft square-ish tone: odd harmonics falling off fast.
void add_beep(Samples &out, double at, double length, double freq, double level) {
    size_t start = size_t(at * RATE), n = size_t(length * RATE);
    for (size_t i = 0; i < n && start + i < out.size(); i++) {
        double t = double(i) / RATE;
        double wave = std::sin(TAU * freq * t) + std::sin(TAU * 3 * freq * t) / 6 + std::sin(TAU * 5 * freq * t) / 20;
        out[start + i] += level * envelope(t, length, 0.006, 0.02) * wave;
    }
}

// A chirp gliding from one pitch to another.
void add_chirp(Samples &out, double at, double length, double from, double to, double level) {
    size_t start = size_t(at * RATE), n = size_t(length * RATE);
    double phase = 0.0;
    for (size_t i = 0; i < n && start + i < out.size(); i++) {
        double t = double(i) / RATE;
        double freq = from + (to - from) * t / length;
        phase += TAU * freq / RATE;
        double wave = std::sin(phase) + 0.3 * std::sin(2 * phase);
        out[start + i] += level * envelope(t, length, 0.008, 0.04) * wave;
    }
}

// A struck bell: inharmonic partials, the higher dying sooner, and a short
// strike noise at the start.
void add_bell(Samples &out, double at, double base, double level, double decay) {
    static const double RATIO[] = {0.5, 1.0, 1.19, 1.5, 2.0, 2.51, 2.66, 3.01, 4.1};
    static const double GAIN[] = {0.35, 1.0, 0.55, 0.4, 0.5, 0.22, 0.18, 0.12, 0.07};
    size_t start = size_t(at * RATE);
    unsigned noise = 12345;
    for (size_t i = 0; start + i < out.size(); i++) {
        double t = double(i) / RATE, sum = 0.0;
        for (size_t k = 0; k < sizeof RATIO / sizeof RATIO[0]; k++)
            sum += GAIN[k] * std::exp(-t * decay * (0.6 + RATIO[k])) * std::sin(TAU * base * RATIO[k] * t);
        noise = noise * 1103515245u + 12345u;
        double strike = t < 0.01 ? (double(noise >> 16 & 0x7FFF) / 16384.0 - 1.0) * (1.0 - t / 0.01) * 0.3 : 0.0;
        out[start + i] += level * (sum * std::min(1.0, t / 0.002) + strike);
    }
}

// Scales to the peak wanted and fades the last milliseconds to zero.
void finish(Samples &s, double peak) {
    double top = 0.0;
    for (double v : s) top = std::max(top, std::fabs(v));
    size_t fade = size_t(0.02 * RATE);
    for (size_t i = 0; i < s.size(); i++) {
        s[i] *= top > 0 ? peak / top : 0.0;
        if (i + fade > s.size()) s[i] *= double(s.size() - i) / fade;
    }
}

void put(FILE *f, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; i++) fputc(int(v >> (8 * i)) & 0xFF, f);
}

bool write_wav(const std::string &path, const Samples &s) {
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) return false;
    uint32_t data = uint32_t(s.size() * 2);
    fwrite("RIFF", 1, 4, f);
    put(f, 36 + data, 4);
    fwrite("WAVEfmt ", 1, 8, f);
    put(f, 16, 4);
    put(f, 1, 2);  // PCM
    put(f, 1, 2);  // mono
    put(f, RATE, 4);
    put(f, RATE * 2, 4);
    put(f, 2, 2);
    put(f, 16, 2);
    fwrite("data", 1, 4, f);
    put(f, data, 4);
    for (double v : s) put(f, uint32_t(int16_t(std::lrint(std::clamp(v, -1.0, 1.0) * 32767.0))) & 0xFFFF, 2);
    return fclose(f) == 0;
}

// The ringing repeats a sound after a half-second gap; bursts spaced by
// (length + 0.5) / 2 keep one steady rhythm across the repeats.
Samples buzz() {
    Samples s = silence(2.0);
    for (int burst = 0; burst < 2; burst++)
        for (int beep = 0; beep < 4; beep++) add_beep(s, burst * 1.25 + beep * 0.15, 0.09, 1046.5, 1.0);
    finish(s, 0.7);
    return s;
}

Samples countdown_buzzer() {
    Samples s = silence(1.6);
    for (int round = 0; round < 2; round++)
        for (int chirp = 0; chirp < 3; chirp++)
            add_chirp(s, round * 1.05 + chirp * 0.18, 0.14, 660.0 + chirp * 110, 880.0 + chirp * 165, 1.0);
    finish(s, 0.7);
    return s;
}

Samples bell() {
    Samples s = silence(1.5);
    add_bell(s, 0.0, 659.3, 1.0, 2.2);
    finish(s, 0.7);
    return s;
}

Samples volume_sample() {
    Samples s = silence(0.6);
    add_beep(s, 0.0, 0.28, 784.0, 1.0);
    add_beep(s, 0.3, 0.28, 1046.5, 1.0);
    finish(s, 0.6);
    return s;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2 || strcmp(argv[1], "--help") == 0) {
        fprintf(argc == 2 ? stdout : stderr, "usage: soundgen OUTPUT_FOLDER\n"
                                             "Writes buzz.wav, CBuzzer.wav, CBell.wav and volume.wav.\n");
        return argc == 2 ? 0 : 2;
    }
    std::string folder = argv[1];
    struct {
        const char *name;
        Samples samples;
    } sounds[] = {{"buzz.wav", buzz()}, {"CBuzzer.wav", countdown_buzzer()}, {"CBell.wav", bell()},
                  {"volume.wav", volume_sample()}};
    for (auto &sound : sounds) {
        if (!write_wav(folder + "/" + sound.name, sound.samples)) {
            fprintf(stderr, "soundgen: cannot write %s/%s\n", folder.c_str(), sound.name);
            return 1;
        }
    }
    return 0;
}
