#include "platform/audio/fsound_testing.h"
#include "platform/audio/fsound.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/decoder.h"
#include "platform/audio/engine.h"
#include "platform/audio/mixer.h"
#include "platform/audio/tags.h"
#include "platform/device/device.h"
#include "platform/device/power.h"
#include "platform/core/text.h"

namespace {

struct Stream {
    uint32_t id;
    std::shared_ptr<audio::Decoder> decoder;
    std::string host_path;
    bool loop;
    FSOUND_STREAMCALLBACK callback = nullptr;
    void *userdata = nullptr;
    uint64_t voice = 0;
    int channel = -1;
    bool fatal_reported = false;
    bool tags_read = false;
    std::vector<audio::TagField> tags;
};

struct Library {
    std::mutex lock;
    bool ready = false;
    int output = FSOUND_OUTPUT_WAVEOUT;
    int rate = 22050;
    std::vector<uint32_t> channels;  // channel -> stream id, 0 when free
    std::map<uint32_t, std::shared_ptr<Stream>> streams;
    uint32_t next_id = 1;  // handles are never reused, so a stale one finds nothing
    int fail_inits = 0;
    int fail_closes = 0;
    unsigned opens = 0;
};

// Never destroyed: a notification may still be running while the program
// exits.
Library &lib() {
    static Library &l = *new Library;
    return l;
}

FSOUND_STREAM *handle_of(uint32_t id) { return reinterpret_cast<FSOUND_STREAM *>(uintptr_t(id)); }
uint32_t id_of(FSOUND_STREAM *h) { return uint32_t(reinterpret_cast<uintptr_t>(h)); }

std::shared_ptr<Stream> find_locked(FSOUND_STREAM *h) {
    auto it = lib().streams.find(id_of(h));
    return it == lib().streams.end() ? nullptr : it->second;
}

bool channel_busy_locked(int c) {
    uint32_t id = lib().channels[size_t(c)];
    if (id == 0) return false;
    auto it = lib().streams.find(id);
    return it != lib().streams.end() && audio::engine_active(it->second->voice);
}

int free_channel_locked(int preferred) {
    int count = int(lib().channels.size());
    if (preferred >= 0 && preferred < count && !channel_busy_locked(preferred)) return preferred;
    for (int c = 0; c < count; c++)
        if (!channel_busy_locked(c)) return c;
    return -1;
}

void silence_locked(Stream &s) {
    audio::engine_stop(s.voice);
    s.voice = 0;
    if (s.channel >= 0 && lib().channels[size_t(s.channel)] == s.id) lib().channels[size_t(s.channel)] = 0;
}

// Runs on the engine's notification thread.
void stream_ended(uint32_t id) {
    FSOUND_STREAMCALLBACK callback = nullptr;
    void *userdata = nullptr;
    {
        std::lock_guard<std::mutex> g(lib().lock);
        auto it = lib().streams.find(id);
        if (it == lib().streams.end()) return;
        callback = it->second->callback;
        userdata = it->second->userdata;
    }
    if (callback) callback(handle_of(id), nullptr, 0, userdata);
}

// Tags are read once, on first demand, without holding the library.
std::shared_ptr<Stream> with_tags(FSOUND_STREAM *h) {
    std::string path;
    {
        std::lock_guard<std::mutex> g(lib().lock);
        auto s = find_locked(h);
        if (!s || s->tags_read) return s;
        path = s->host_path;
    }
    std::vector<audio::TagField> tags = audio::read_tags_file(path.c_str());
    std::lock_guard<std::mutex> g(lib().lock);
    auto s = find_locked(h);
    if (s && !s->tags_read) {
        s->tags = std::move(tags);
        s->tags_read = true;
    }
    return s;
}

}  // namespace

signed char FSOUND_SetOutput(int output) {
    std::lock_guard<std::mutex> g(lib().lock);
    lib().output = output;
    return TRUE;
}

signed char FSOUND_Init(int mix_rate, int max_channels, unsigned int) {
    std::lock_guard<std::mutex> g(lib().lock);
    Library &l = lib();
    if (l.fail_inits > 0) {
        l.fail_inits--;
        return FALSE;
    }
    if (l.ready) return TRUE;
    if (mix_rate < 4000 || mix_rate > 96000 || max_channels < 1 || max_channels > 256) return FALSE;
    l.rate = mix_rate;
    l.channels.assign(size_t(max_channels), 0);
    audio::engine_acquire(l.output, mix_rate);
    l.ready = true;
    return TRUE;
}

void FSOUND_Close(void) {
    std::map<uint32_t, std::shared_ptr<Stream>> closing;
    {
        std::lock_guard<std::mutex> g(lib().lock);
        if (!lib().ready) return;
        lib().ready = false;
        closing.swap(lib().streams);
        for (auto &entry : closing) audio::engine_stop(entry.second->voice);
        lib().channels.clear();
    }
    // Outside the lock: a notification running now may still want it.
    audio::engine_release();
}

FSOUND_STREAM *FSOUND_Stream_Open(const char *path, unsigned int mode, int, int) {
    if (!path || !*path) return nullptr;
    int rate;
    {
        std::lock_guard<std::mutex> g(lib().lock);
        if (!lib().ready) return nullptr;
        rate = lib().rate;
    }
    char host[DEVICE_HOST_PATH];
    if (!device_host_path(plat::from_utf8(path).c_str(), host, sizeof host)) return nullptr;
    std::shared_ptr<audio::Decoder> decoder = audio::Decoder::open(host, rate);
    if (!decoder) return nullptr;
    std::lock_guard<std::mutex> g(lib().lock);
    Library &l = lib();
    if (!l.ready) return nullptr;
    auto s = std::make_shared<Stream>();
    s->id = l.next_id++;
    s->decoder = std::move(decoder);
    s->host_path = host;
    s->loop = (mode & FSOUND_LOOP_NORMAL) != 0;
    l.streams[s->id] = s;
    l.opens++;
    return handle_of(s->id);
}

signed char FSOUND_Stream_SetEndCallback(FSOUND_STREAM *stream, FSOUND_STREAMCALLBACK callback, void *userdata) {
    std::lock_guard<std::mutex> g(lib().lock);
    auto s = find_locked(stream);
    if (!s) return FALSE;
    s->callback = callback;
    s->userdata = userdata;
    return TRUE;
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM *stream) {
    std::lock_guard<std::mutex> g(lib().lock);
    Library &l = lib();
    auto s = find_locked(stream);
    if (!l.ready || !s) return -1;
    if (audio::engine_active(s->voice)) {
        // A looping stream that plays has just come round to its start.
        if (s->loop) return s->channel;
        silence_locked(*s);
    }
    int c = channel == FSOUND_FREE ? free_channel_locked(s->channel) : channel;
    if (c < 0 || c >= int(l.channels.size())) return -1;
    if (channel_busy_locked(c)) silence_locked(*l.streams[l.channels[size_t(c)]]);
    uint32_t id = s->id;
    s->voice = audio::engine_play(s->decoder, audio::GROUP_STREAMS, s->loop, true, [id] { stream_ended(id); });
    if (s->voice == 0) return -1;
    s->channel = c;
    l.channels[size_t(c)] = id;
    return c;
}

signed char FSOUND_Stream_Stop(FSOUND_STREAM *stream) {
    std::lock_guard<std::mutex> g(lib().lock);
    auto s = find_locked(stream);
    if (!s) return FALSE;
    silence_locked(*s);
    return TRUE;
}

signed char FSOUND_Stream_Close(FSOUND_STREAM *stream) {
    std::shared_ptr<Stream> closing;
    std::lock_guard<std::mutex> g(lib().lock);
    Library &l = lib();
    if (!stream) return FALSE;
    if (l.fail_closes > 0) {
        l.fail_closes--;
        return FALSE;
    }
    closing = find_locked(stream);
    // A handle closed before (or by FSOUND_Close) is closed: say so.
    if (!closing) return id_of(stream) < l.next_id;
    silence_locked(*closing);
    l.streams.erase(closing->id);
    return TRUE;
}

signed char FSOUND_SetPaused(int channel, signed char paused) {
    std::lock_guard<std::mutex> g(lib().lock);
    Library &l = lib();
    if (!l.ready) return FALSE;
    if (channel == FSOUND_ALL) {
        audio::engine_pause_group(audio::GROUP_STREAMS, paused != 0);
        return TRUE;
    }
    if (channel < 0 || channel >= int(l.channels.size()) || !channel_busy_locked(channel)) return FALSE;
    audio::engine_pause_voice(l.streams[l.channels[size_t(channel)]]->voice, paused != 0);
    return TRUE;
}

signed char FSOUND_HasPowerOnOccurred(void) { return power_on_seen() ? TRUE : FALSE; }

signed char FSOUND_File_HasFatalErrorOccurred(void) {
    std::lock_guard<std::mutex> g(lib().lock);
    bool found = false;
    for (auto &entry : lib().streams) {
        Stream &s = *entry.second;
        if (s.decoder->failed() && !s.fatal_reported) s.fatal_reported = found = true;
    }
    return found ? TRUE : FALSE;
}

signed char FSOUND_Stream_GetNumTagFields(FSOUND_STREAM *stream, int *count) {
    auto s = with_tags(stream);
    if (!s || !count) return FALSE;
    std::lock_guard<std::mutex> g(lib().lock);
    *count = int(s->tags.size());
    return TRUE;
}

signed char FSOUND_Stream_GetTagField(FSOUND_STREAM *stream, int index, int *type, char **name, void **value,
                                      int *length) {
    auto s = with_tags(stream);
    std::lock_guard<std::mutex> g(lib().lock);
    if (!s || index < 0 || size_t(index) >= s->tags.size()) return FALSE;
    audio::TagField &f = s->tags[size_t(index)];
    if (type) *type = f.type;
    if (name) *name = f.name.data();
    if (value) *value = f.value.data();
    if (length) *length = f.length;
    return TRUE;
}

void fsound_fail_inits(int count) {
    std::lock_guard<std::mutex> g(lib().lock);
    lib().fail_inits = count;
}

void fsound_fail_closes(int count) {
    std::lock_guard<std::mutex> g(lib().lock);
    lib().fail_closes = count;
}

unsigned fsound_open_count(void) {
    std::lock_guard<std::mutex> g(lib().lock);
    return lib().opens;
}
