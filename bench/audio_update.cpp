// The sound system's share of a frame and of the start-up.
//
// BM_AudioUpdateAllStreamsPlaying: AudioManager::update() with all five music
// streams playing, one call per 60 Hz frame (the sound system's clock is
// advanced by 1/60 s before each call). Without an output device, as here,
// each call mixes that sixtieth of a second into the loopback device and
// decodes a new block for every stream that used one up, so a call does what
// a device's mixer thread and the game's update do together. The counters
// give the median and the 99th percentile of single calls; the time column
// is their mean.
//
// BM_AudioInit: AudioManager::init() as the game's loading step calls it:
// open the output (here: find no device, fall back to the loopback mix),
// open the five streams, decode the seven effects.
//
// The game's data is read from ZARVIK_GAME_DIR, else from game/ beside the
// benchmark program.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/AudioManager.h"

namespace {

struct Audio : AudioManager {
    using AudioManager::backgroundChannel;
    using AudioManager::huntingChannel;
    using AudioManager::introChannel;
    using AudioManager::looserChannel;
    using AudioManager::winnerChannel;
};

// The folder is found once: later calls would resolve a relative
// ZARVIK_GAME_DIR against the game folder itself.
bool enterGameFolder() {
    static const std::string folder = [] {
        std::string dir;
        if (const char* env = std::getenv("ZARVIK_GAME_DIR")) {
            dir = env;
        } else {
            char path[PATH_MAX];
            const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
            if (n > 0) dir.assign(path, static_cast<size_t>(n));
            dir = dir.substr(0, dir.find_last_of('/')) + "/game";
        }
        char resolved[PATH_MAX];
        return realpath(dir.c_str(), resolved) ? std::string(resolved) : std::string();
    }();
    return !folder.empty() && chdir(folder.c_str()) == 0 && access("audio/intro.mp3", R_OK) == 0;
}

// init's console lines (and the audio libraries' notes about the missing
// device) would break up the benchmark's table.
class QuietConsole {
public:
    QuietConsole() {
        std::fflush(stdout);
        out = dup(STDOUT_FILENO);
        err = dup(STDERR_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        close(null);
    }
    ~QuietConsole() {
        std::fflush(stdout);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        close(out);
        close(err);
    }

private:
    int out, err;
};

void BM_AudioUpdateAllStreamsPlaying(benchmark::State& state) {
    if (!enterGameFolder()) {
        state.SkipWithError("no game data: set ZARVIK_GAME_DIR");
        return;
    }
    double now = 0.0;
    SoundSystem::setClock([&now] { return now; });
    {
        QuietConsole quiet;
        AudioManager::init();
    }
    for (Channel* channel : {Audio::backgroundChannel, Audio::huntingChannel, Audio::introChannel,
                             Audio::winnerChannel, Audio::looserChannel})
        channel->setPaused(false);

    std::vector<double> calls;
    calls.reserve(1 << 16);
    for (auto _ : state) {
        now += 1.0 / 60.0;
        const auto start = std::chrono::steady_clock::now();
        AudioManager::update();
        calls.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(calls.begin(), calls.end());
    state.counters["median_ms"] = calls[calls.size() / 2];
    state.counters["p99_ms"] = calls[calls.size() * 99 / 100];
    AudioManager::kill();
    SoundSystem::setClock(nullptr);
}
BENCHMARK(BM_AudioUpdateAllStreamsPlaying)->Unit(benchmark::kMicrosecond)->MinTime(3.0);

void BM_AudioInit(benchmark::State& state) {
    if (!enterGameFolder()) {
        state.SkipWithError("no game data: set ZARVIK_GAME_DIR");
        return;
    }
    for (auto _ : state) {
        {
            QuietConsole quiet;
            AudioManager::init();
        }
        state.PauseTiming();
        AudioManager::kill();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AudioInit)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
