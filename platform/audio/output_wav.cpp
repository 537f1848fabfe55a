// Captures everything mixed into a 16-bit mono WAV file at real-time pace,
// so that tests and people can check what would have been heard. The header
// is brought up to date after every block, right after its samples, so the
// file is a whole WAV file whenever it is read and however the program ends.
#include <fcntl.h>
#include <unistd.h>

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

constexpr off_t HEADER_BYTES = 44;

class WavOutput : public Output {
public:
    WavOutput(int fd, int rate) : fd_(fd), rate_(rate), pacer_(rate) { write_header(); }
    ~WavOutput() override { close(fd_); }

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

    // Each block reaches the file as it is heard (no buffering), so that a
    // reader follows the sound as it happens (the ringing benchmark times its
    // first sample).
    void write(const int16_t *samples, int frames) override { append(samples, frames); }

    const char *name() const override { return "wav"; }

private:
    void append(const int16_t *samples, int frames) {
        bytes_.resize(2 * size_t(frames));
        for (int i = 0; i < frames; i++) put16(bytes_.data() + 2 * i, uint16_t(samples[i]));
        if (pwrite(fd_, bytes_.data(), bytes_.size(), HEADER_BYTES + off_t(frames_) * 2) != ssize_t(bytes_.size()))
            return;  // a full disk: the header keeps saying what is there
        frames_ += uint32_t(frames);
        write_header();
    }

    void write_header() {
        unsigned char h[HEADER_BYTES];
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
        ssize_t written = pwrite(fd_, h, sizeof h, 0);
        (void)written;  // nothing to be done about a header that cannot be written
    }

    int fd_;
    int rate_;
    Pacer pacer_;
    uint32_t frames_ = 0;
    std::vector<unsigned char> bytes_;  // the block being written, kept to spare the mixer an allocation
};

}  // namespace

std::unique_ptr<Output> open_wav_output(const char *path, int rate) {
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    return std::make_unique<WavOutput>(fd, rate);
}

}  // namespace audio
