// Captures everything mixed into a 16-bit mono WAV file at real-time pace,
// so that tests and people can check what would have been heard. The header
// is brought up to date every second, so even a killed program leaves a file
// that plays.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/audio/output.h"

namespace audio {
namespace {

void put32(unsigned char *p, uint32_t v) {
    for (int i = 0; i < 4; i++) p[i] = (unsigned char)(v >> (8 * i));
}

void put16(unsigned char *p, uint16_t v) {
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
}

class WavOutput : public Output {
public:
    WavOutput(FILE *file, int rate) : file_(file), rate_(rate), pacer_(rate) { write_header(); }
    ~WavOutput() override {
        write_header();
        fclose(file_);
    }

    void wait(int frames) override { pacer_.wait(frames); }

    // The capture keeps the timeline: what the listener heard while nothing
    // was mixed is written as silence.
    void resume() override {
        int64_t silent = pacer_.behind();
        std::vector<int16_t> zeros(1024, 0);
        for (int64_t done = 0; done < silent; done += 1024)
            append(zeros.data(), int(std::min<int64_t>(1024, silent - done)));
        if (silent > 0) pacer_.count(silent);
    }

    // Each block reaches the file as it is heard, so that a reader follows
    // the sound as it happens (the ringing benchmark times its first sample).
    void write(const int16_t *samples, int frames) override {
        append(samples, frames);
        fflush(file_);
    }

    const char *name() const override { return "wav"; }

private:
    void append(const int16_t *samples, int frames) {
        unsigned char bytes[2 * 1024];
        for (int done = 0; done < frames;) {
            int n = frames - done < 1024 ? frames - done : 1024;
            for (int i = 0; i < n; i++) put16(bytes + 2 * i, uint16_t(samples[done + i]));
            fwrite(bytes, 2, size_t(n), file_);
            done += n;
        }
        frames_ += uint32_t(frames);
        since_header_ += frames;
        if (since_header_ >= rate_) write_header();
    }

    void write_header() {
        unsigned char h[44];
        uint32_t data = frames_ * 2;
        memcpy(h, "RIFF", 4);
        put32(h + 4, 36 + data);
        memcpy(h + 8, "WAVEfmt ", 8);
        put32(h + 16, 16);
        put16(h + 20, 1);  // PCM
        put16(h + 22, 1);  // mono
        put32(h + 24, uint32_t(rate_));
        put32(h + 28, uint32_t(rate_) * 2);
        put16(h + 32, 2);
        put16(h + 34, 16);
        memcpy(h + 36, "data", 4);
        put32(h + 40, data);
        long at = ftell(file_);
        fseek(file_, 0, SEEK_SET);
        fwrite(h, 1, sizeof h, file_);
        fseek(file_, at < 44 ? 44 : at, SEEK_SET);
        fflush(file_);
        since_header_ = 0;
    }

    FILE *file_;
    int rate_;
    Pacer pacer_;
    uint32_t frames_ = 0;
    int since_header_ = 0;
};

}  // namespace

std::unique_ptr<Output> open_wav_output(const char *path, int rate) {
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    FILE *f = fdopen(fd, "wb");
    if (!f) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<WavOutput>(f, rate);
}

}  // namespace audio
