// What the settings file costs: reading it at start (toml++ and the checks
// of every entry), and writing one change (edit, check, temporary file,
// fsync, rename) as the volume keys do.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/SettingsFile.h"

namespace {

// The game's own commented defaults, in a folder of their own.
struct DefaultFile {
    DefaultFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zarvik-bench-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        path = folder + "/settings.toml";
        std::ofstream(path) << Settings::defaultText();
    }
    ~DefaultFile() { std::filesystem::remove_all(folder); }
    std::string folder, path;
};

void readSettings(benchmark::State& state) {
    DefaultFile file;
    for (auto _ : state) {
        SettingsFile settings(file.path);
        benchmark::DoNotOptimize(settings.load());
    }
}
BENCHMARK(readSettings)->Unit(benchmark::kMicrosecond);

void readMissingSettings(benchmark::State& state) {
    for (auto _ : state) {
        SettingsFile settings("/nonexistent/zarvik/settings.toml");
        benchmark::DoNotOptimize(settings.load());
    }
}
BENCHMARK(readMissingSettings)->Unit(benchmark::kMicrosecond);

void saveOneChange(benchmark::State& state) {
    DefaultFile file;
    SettingsFile settings(file.path);
    settings.load();
    std::int64_t volume = 0;
    for (auto _ : state) settings.save({{"sound", "music", volume++ % 101}});
}
BENCHMARK(saveOneChange)->Unit(benchmark::kMicrosecond);

}  // namespace
