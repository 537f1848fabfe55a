// The clock in-process on the headless screen: from the program's start to
// its first painted frame (target under 100 ms), and one steady tick, in
// which only the colon is drawn (target under 1 ms), also with the frame
// composed and presented, as the loop runs it, and the tick of a new minute.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "app/clock_face.h"
#include "app/main_window.h"
#include "app/program.h"
#include "bench/bench_device.h"
#include "platform/device/clock_testing.h"
#include "platform/device/device.h"
#include "platform/phone.h"
#include "platform/screen/screen.h"
#include "store/settings.h"

namespace {

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message != WM_QUIT) DispatchMessageW(&msg);
}

void open_device() {
    static bool done = false;
    if (done) return;
    done = true;
    setenv("VELMORA_SCREEN", "headless", 0);  // VELMORA_SCREEN=sdl measures the real window
    setenv("VELMORA_NOTIFYD", "off", 1);
    setenv("VELMORA_MSGBOX", "headless", 1);
    bench_device_open();
    SYSTEMTIME t = {};
    t.wYear = 2030, t.wMonth = 1, t.wDay = 15, t.wHour = 10, t.wMinute = 59, t.wSecond = 10;
    clock_freeze_local(&t);
}

void start_clock() {
    int code;
    program_start(nullptr, nullptr, nullptr, &code);
    KillTimer(MainWindow.window, TICK_TIMER_ID);
    pump();
    plat::screen_present_now();
}

void end_clock() {
    SendMessageW(MainWindow.window, WM_CLOSE, 0, 0);
    pump();
    program_end();
    UnregisterClassW(L"Velmora", nullptr);
}

void BM_StartToFirstPaintedFrame(benchmark::State &state) {
    open_device();
    for (auto _ : state) {
        start_clock();
        state.PauseTiming();
        end_clock();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartToFirstPaintedFrame)->Unit(benchmark::kMillisecond);

void BM_SteadyTick(benchmark::State &state) {
    open_device();
    start_clock();
    for (auto _ : state) tick();
    end_clock();
}
BENCHMARK(BM_SteadyTick)->Unit(benchmark::kMicrosecond);

void BM_SteadyTickPresented(benchmark::State &state) {
    open_device();
    start_clock();
    for (auto _ : state) {
        tick();
        plat::screen_present_now();
    }
    end_clock();
}
BENCHMARK(BM_SteadyTickPresented)->Unit(benchmark::kMicrosecond);

// The tick as the running clock has it: the loop woke for it, so the
// device's settings are looked at once for the whole turn.
void BM_SteadyTickAsTheLoopRunsIt(benchmark::State &state) {
    open_device();
    start_clock();
    for (auto _ : state) {
        device_settings_turn(true);
        tick();
        plat::screen_present_now();
    }
    device_settings_turn(false);
    end_clock();
}
BENCHMARK(BM_SteadyTickAsTheLoopRunsIt)->Unit(benchmark::kMicrosecond);

// A new minute: three digit slots and the colon.
void BM_MinuteTick(benchmark::State &state) {
    open_device();
    start_clock();
    int minute = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SYSTEMTIME t = {};
        t.wYear = 2030, t.wMonth = 1, t.wDay = 15, t.wHour = 10, t.wMinute = WORD(minute++ % 60), t.wSecond = 10;
        clock_freeze_local(&t);
        state.ResumeTiming();
        tick();
    }
    end_clock();
}
BENCHMARK(BM_MinuteTick)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
