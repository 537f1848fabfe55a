#include "platform/audio/decoder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/audio/sndfile_library.h"

namespace audio {
namespace {

constexpr int MAX_CHANNELS = 8;
constexpr int MIN_RATE = 1000;
constexpr int MAX_RATE = 384000;

// Opens without blocking on a pipe or a device, and keeps the descriptor out
// of programs this process starts.
int open_regular(const char *host_path) {
    int fd = open(host_path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0) {
        close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace

std::unique_ptr<Decoder> Decoder::open(const char *host_path, int out_rate) {
    const SndfileLibrary *sf = sndfile_library();
    if (!sf) return nullptr;
    int fd = open_regular(host_path);
    if (fd < 0) return nullptr;
    SF_INFO info{};
    SNDFILE *file = sf->open_fd(fd, SFM_READ, &info, SF_TRUE);
    if (!file) return nullptr;
    std::unique_ptr<Decoder> d(new Decoder());
    d->file_ = file;
    if (info.channels < 1 || info.channels > MAX_CHANNELS || info.samplerate < MIN_RATE ||
        info.samplerate > MAX_RATE)
        return nullptr;
    d->channels_ = info.channels;
    d->resampler_ = std::make_unique<Resampler>(info.samplerate, out_rate);
    // A file that yields no sample at all is not something to play.
    float probe[64];
    if (d->read_file(probe, 64) <= 0 || !d->rewind()) return nullptr;
    d->failed_.store(false);
    return d;
}

Decoder::~Decoder() {
    if (file_) sndfile_library()->close(file_);
}

int Decoder::read_file(float *out, int frames) {
    interleaved_.resize(size_t(frames) * channels_);
    const SndfileLibrary *sf = sndfile_library();
    sf_count_t got = sf->readf_float(file_, interleaved_.data(), frames);
    if (got < frames && sf->error(file_) != SF_ERR_NO_ERROR) failed_.store(true);
    if (got <= 0) return 0;
    if (channels_ == 1) {
        for (sf_count_t i = 0; i < got; i++) out[i] = interleaved_[size_t(i)];
        return int(got);
    }
    float scale = 1.0f / float(channels_);
    for (sf_count_t i = 0; i < got; i++) {
        float sum = 0.0f;
        for (int c = 0; c < channels_; c++) sum += interleaved_[size_t(i) * channels_ + c];
        out[i] = sum * scale;
    }
    return int(got);
}

int Decoder::pull(void *self, float *out, int frames) { return static_cast<Decoder *>(self)->read_file(out, frames); }

int Decoder::read(float *out, int frames) { return resampler_->process(out, frames, pull, this); }

bool Decoder::rewind() {
    resampler_->reset();
    return sndfile_library()->seek(file_, 0, SEEK_SET) == 0;
}

}  // namespace audio
