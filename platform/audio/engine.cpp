#include "platform/audio/engine.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/mixer.h"
#include "platform/audio/output.h"
#include "platform/device/device.h"

namespace audio {
namespace {

constexpr int BLOCK = 256;  // 11.6 ms at 22 050 Hz: the latency of a new sound

struct Core {
    std::mutex lock;  // voices, notifications
    std::condition_variable wake;        // the notification thread
    std::condition_variable mixer_wake;  // the mixer thread, idle
    Mixer mixer;
    std::deque<VoiceEnd> queue;
    std::vector<VoiceEnd> held;
    std::unique_ptr<Output> output;
    int rate = 22050;
    std::atomic<float> gain{1.0f};
    std::atomic<bool> stopping{false};
    std::thread mixer_thread, notify_thread;
};

struct Lifecycle {
    std::mutex lock;
    std::shared_ptr<Core> core;
    int holders = 0;
};

// Never destroyed: a notification thread may still be finishing while the
// program exits.
Lifecycle &life() {
    static Lifecycle &l = *new Lifecycle;
    return l;
}

std::atomic<uint64_t> next_voice{1};
std::atomic<EngineObserver> observer{nullptr};

std::shared_ptr<Core> current() {
    std::lock_guard<std::mutex> g(life().lock);
    return life().core;
}

float gain_of(DWORD volume) { return float(volume & 0xFFFF) / 65535.0f; }

// With nothing to mix the thread sleeps: no CPU and no blocks while the
// library only stays ready; the output accounts for the silence.
void mix_loop(std::shared_ptr<Core> core) {
    pthread_setname_np(pthread_self(), "vel-mixer");
    std::vector<int16_t> block(BLOCK);
    std::vector<VoiceEnd> ended;
    for (;;) {
        bool was_idle = false;
        {
            std::unique_lock<std::mutex> g(core->lock);
            was_idle = core->mixer.idle();
            core->mixer_wake.wait(g, [&] { return core->stopping.load() || !core->mixer.idle(); });
            if (core->stopping.load()) return;
        }
        if (was_idle) core->output->resume();
        core->output->wait(BLOCK);
        {
            std::lock_guard<std::mutex> g(core->lock);
            ended.clear();
            core->mixer.mix(block.data(), BLOCK, core->gain.load(), ended);
            if (!ended.empty()) {
                for (auto &e : ended) core->queue.push_back(std::move(e));
                core->wake.notify_all();
            }
        }
        core->output->write(block.data(), BLOCK);
        if (EngineObserver o = observer.load()) o(block.data(), BLOCK);
    }
}

void notify_loop(std::shared_ptr<Core> core) {
    pthread_setname_np(pthread_self(), "vel-notify");
    for (;;) {
        VoiceEnd next;
        {
            std::unique_lock<std::mutex> g(core->lock);
            core->wake.wait(g, [&] { return core->stopping.load() || !core->queue.empty(); });
            if (core->stopping.load()) return;
            next = std::move(core->queue.front());
            core->queue.pop_front();
        }
        if (next.on_end) next.on_end();
    }
}

void stop_core(const std::shared_ptr<Core> &core) {
    {
        std::lock_guard<std::mutex> g(core->lock);
        core->stopping.store(true);
        core->wake.notify_all();
        core->mixer_wake.notify_all();
    }
    core->mixer_thread.join();
    // A notification may release the engine; its own thread then ends when
    // the notification returns.
    if (core->notify_thread.get_id() == std::this_thread::get_id())
        core->notify_thread.detach();
    else
        core->notify_thread.join();
    core->output.reset();
}

}  // namespace

void engine_acquire(int kind, int rate) {
    std::lock_guard<std::mutex> g(life().lock);
    if (life().holders++ > 0) return;
    auto core = std::make_shared<Core>();
    core->rate = rate;
    core->gain.store(gain_of(device_settings()->wave_volume));
    core->output = open_output(kind, rate);
    core->mixer_thread = std::thread(mix_loop, core);
    core->notify_thread = std::thread(notify_loop, core);
    life().core = core;
}

void engine_release(void) {
    std::shared_ptr<Core> core;
    {
        std::lock_guard<std::mutex> g(life().lock);
        if (life().holders == 0) return;
        if (--life().holders > 0) return;
        core = std::move(life().core);
    }
    stop_core(core);
}

bool engine_running(void) { return current() != nullptr; }

int engine_rate(void) {
    auto core = current();
    return core ? core->rate : 0;
}

uint64_t engine_play(std::shared_ptr<Source> source, int group, bool loop, bool rewind, std::function<void()> on_end) {
    auto core = current();
    if (!core) return 0;
    engine_refresh_gain();
    std::lock_guard<std::mutex> g(core->lock);
    if (rewind && !source->rewind()) return 0;
    uint64_t id = next_voice.fetch_add(1);
    core->mixer.add(id, std::move(source), group, loop, std::move(on_end));
    core->mixer_wake.notify_all();
    return id;
}

bool engine_active(uint64_t voice) {
    auto core = current();
    if (!core || voice == 0) return false;
    std::lock_guard<std::mutex> g(core->lock);
    return core->mixer.active(voice);
}

void engine_stop(uint64_t voice) {
    auto core = current();
    if (!core || voice == 0) return;
    std::lock_guard<std::mutex> g(core->lock);
    core->mixer.remove(voice);
    auto same = [voice](const VoiceEnd &e) { return e.id == voice; };
    core->queue.erase(std::remove_if(core->queue.begin(), core->queue.end(), same), core->queue.end());
    core->held.erase(std::remove_if(core->held.begin(), core->held.end(), same), core->held.end());
}

void engine_pause_group(int group, bool paused) {
    auto core = current();
    if (!core) return;
    std::lock_guard<std::mutex> g(core->lock);
    core->mixer.pause_group(group, paused);
    core->mixer_wake.notify_all();
    auto other = [group](const VoiceEnd &e) { return e.group != group; };
    if (paused) {
        // Ends that happened just before the pause wait for the resume too.
        auto split = std::stable_partition(core->queue.begin(), core->queue.end(), other);
        core->held.insert(core->held.end(), std::make_move_iterator(split), std::make_move_iterator(core->queue.end()));
        core->queue.erase(split, core->queue.end());
    } else {
        auto split = std::stable_partition(core->held.begin(), core->held.end(), other);
        core->queue.insert(core->queue.begin(), std::make_move_iterator(split), std::make_move_iterator(core->held.end()));
        core->held.erase(split, core->held.end());
        core->wake.notify_all();
    }
}

void engine_pause_voice(uint64_t voice, bool paused) {
    auto core = current();
    if (!core) return;
    std::lock_guard<std::mutex> g(core->lock);
    if (Voice *v = core->mixer.find(voice)) v->paused = paused;
    core->mixer_wake.notify_all();
}

void engine_refresh_gain(void) {
    auto core = current();
    if (core) core->gain.store(gain_of(device_settings()->wave_volume));
}

void engine_set_observer(EngineObserver o) { observer.store(o); }

}  // namespace audio
