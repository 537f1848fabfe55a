// The machine's sound device through SDL2 audio. SDL converts our 16-bit mono
// blocks to what the device wants. A machine without a sound card (no ALSA
// device, no sound server) is not asked at all, so nothing is printed.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/audio/output.h"
#include "platform/core/sdl_library.h"

namespace audio {
namespace {

constexpr int DEVICE_BLOCK = 256;    // samples per device period
constexpr int QUEUE_BLOCKS = 4;      // kept queued ahead of the device

bool exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool has_alsa_card() {
    DIR *d = opendir("/dev/snd");
    if (!d) return false;
    bool found = false;
    while (struct dirent *e = readdir(d))
        if (strncmp(e->d_name, "pcm", 3) == 0) found = true;
    closedir(d);
    return found;
}

bool has_sound_server() {
    if (getenv("PULSE_SERVER")) return true;
    const char *run = getenv("XDG_RUNTIME_DIR");
    if (!run || !*run) return false;
    return exists(std::string(run) + "/pulse/native") || exists(std::string(run) + "/pipewire-0");
}

bool worth_asking() { return getenv("SDL_AUDIODRIVER") || has_sound_server() || has_alsa_card(); }

class SdlOutput : public Output {
public:
    SdlOutput(SDL_AudioDeviceID device, int rate) : device_(device), pacer_(rate) {}
    ~SdlOutput() override {
        plat::sdl_library()->CloseAudioDevice(device_);
        plat::sdl_library()->QuitSubSystem(SDL_INIT_AUDIO);
    }

    void wait(int frames) override {
        if (!playing()) {
            // The device went away: keep time as the null output does.
            pacer_.wait(frames);
            return;
        }
        Uint32 ahead = Uint32(QUEUE_BLOCKS * DEVICE_BLOCK * 2);
        while (plat::sdl_library()->GetQueuedAudioSize(device_) > ahead && playing()) plat::sdl_library()->Delay(2);
    }

    void write(const int16_t *samples, int frames) override {
        if (playing()) plat::sdl_library()->QueueAudio(device_, samples, Uint32(frames) * 2);
    }

    void resume() override { pacer_.restart(); }

    const char *name() const override { return "sdl"; }

private:
    bool playing() { return plat::sdl_library()->GetAudioDeviceStatus(device_) == SDL_AUDIO_PLAYING; }

    SDL_AudioDeviceID device_;
    Pacer pacer_;
};

}  // namespace

std::unique_ptr<Output> open_sdl_output(int rate) {
    if (!worth_asking()) return nullptr;
    if (!plat::sdl_library() || plat::sdl_library()->InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
    SDL_AudioSpec want{}, have{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = DEVICE_BLOCK;
    SDL_AudioDeviceID device = plat::sdl_library()->OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        plat::sdl_library()->QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    plat::sdl_library()->PauseAudioDevice(device, 0);
    return std::make_unique<SdlOutput>(device, rate);
}

}  // namespace audio
