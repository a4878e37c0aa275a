// The gamepads' share of a frame and of the start-up.
//
// BM_PadPollNoPad: Gamepad::poll() with no pad plugged in, as most players
// run the game: SDL pumps its events (and looks for arrivals), nothing more.
// BM_PadPollOnePad: the same with a pad held still (a virtual pad in this
// process, read like a pad on a cable). BM_PadPollOnePadMoving: the stick
// crosses the dead zone at every poll, so each poll also presses or lets go
// of a key through the KeyboardProcessor (no consumer registered).
// The game polls once a frame; the budget is 0.05 ms.
//
// BM_PadStart: what the game's start-up pays for pads: SDL's game controller
// subsystem started (and stopped again, which the game does at its end).
#include <benchmark/benchmark.h>

#include "input/Gamepad.h"
#include "input/PadKeys.h"
#include "input/VirtualPad.h"

namespace {

void BM_PadPollNoPad(benchmark::State& state) {
    PadKeys keys;
    Gamepad pad([&](Gamepad::Action a, bool pressed) { keys.act(a, pressed); }, nullptr);
    for (auto _ : state) pad.poll();
    state.counters["pads"] = pad.padCount();
}
BENCHMARK(BM_PadPollNoPad);

void BM_PadPollOnePad(benchmark::State& state) {
    PadKeys keys;
    Gamepad pad([&](Gamepad::Action a, bool pressed) { keys.act(a, pressed); }, nullptr);
    VirtualPad hand;
    hand.plug();
    for (auto _ : state) pad.poll();
    state.counters["pads"] = pad.padCount();
}
BENCHMARK(BM_PadPollOnePad);

void BM_PadPollOnePadMoving(benchmark::State& state) {
    PadKeys keys;
    long presses = 0;
    Gamepad pad(
        [&](Gamepad::Action a, bool pressed) {
            presses += pressed;
            keys.act(a, pressed);
        },
        nullptr);
    VirtualPad hand;
    hand.plug();
    bool left = false;
    for (auto _ : state) {
        left = !left;
        hand.setAxis("leftx", left ? -1.0 : 0.0);
        pad.poll();
    }
    state.counters["pads"] = pad.padCount();
    state.counters["presses"] = static_cast<double>(presses);
}
BENCHMARK(BM_PadPollOnePadMoving);

void BM_PadStart(benchmark::State& state) {
    for (auto _ : state) {
        Gamepad pad(nullptr, nullptr);
        benchmark::DoNotOptimize(pad.isAvailable());
    }
}
BENCHMARK(BM_PadStart)->Unit(benchmark::kMillisecond);

}  // namespace
