#include "app/Benchmark.h"

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

void Benchmark::record(const FrameTimes& frame) {
    if (frames.empty()) firstFrameAfter = secondsSinceProcessStart();
    frames.push_back(frame);
}

double Benchmark::percentileOf(std::vector<double> values, double p) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const double rank = std::ceil(std::clamp(p, 0.0, 100.0) / 100.0 * static_cast<double>(values.size()));
    const std::size_t index = rank < 1.0 ? 0 : static_cast<std::size_t>(rank) - 1;
    return values[std::min(index, values.size() - 1)];
}

double Benchmark::percentile(double p) const {
    std::vector<double> totals;
    totals.reserve(frames.size());
    for (const auto& f : frames) totals.push_back(f.total);
    return percentileOf(std::move(totals), p);
}

double Benchmark::alternatedMedian(bool shown) const {
    std::vector<double> totals;
    for (std::size_t i = shown ? 0 : 1; i < frames.size(); i += 2) totals.push_back(frames[i].total);
    return percentileOf(std::move(totals), 50);
}

double Benchmark::alternatedCostByNeighbours() const {
    std::vector<double> differences;
    for (std::size_t i = 1; i + 1 < frames.size(); ++i) {
        const double difference = frames[i].total - (frames[i - 1].total + frames[i + 1].total) / 2.0;
        differences.push_back(i % 2 == 0 ? difference : -difference);  // frames[0] has the feature
    }
    return percentileOf(std::move(differences), 50);
}

double Benchmark::totalMs() const {
    double sum = 0.0;
    for (const auto& f : frames) sum += f.total;
    return sum;
}

double Benchmark::share(int phase) const {
    const double total = totalMs();
    if (total <= 0.0 || phase < 0 || phase >= FrameTimes::PHASES) return 0.0;
    double sum = 0.0;
    for (const auto& f : frames) sum += f.phase[phase];
    return sum / total;
}

void Benchmark::recordResolution(double fraction, int samples) {
    fractions.push_back(fraction);
    sampleCounts.push_back(samples);
}

double Benchmark::medianFraction() const { return percentileOf(fractions, 50); }

double Benchmark::shareAtSamples(int samples) const {
    if (sampleCounts.empty()) return 0.0;
    const auto count = std::count(sampleCounts.begin(), sampleCounts.end(), samples);
    return static_cast<double>(count) / static_cast<double>(sampleCounts.size());
}

void Benchmark::recordSamples(const SampleCounts& counts, std::uint64_t windowSamples) {
    for (int k = 0; k < SampleCounter::KINDS; ++k) sampleSums[k] += counts[k];
    windowSampleSum += windowSamples;
    ++sampleFrames;
}

double Benchmark::meanSamples(int kind) const {
    if (sampleFrames == 0 || kind < 0 || kind >= SampleCounter::KINDS) return 0.0;
    return static_cast<double>(sampleSums[kind]) / static_cast<double>(sampleFrames);
}

double Benchmark::overdraw(int kind) const {
    if (windowSampleSum == 0 || kind < 0 || kind >= SampleCounter::KINDS) return 0.0;
    return static_cast<double>(sampleSums[kind]) / static_cast<double>(windowSampleSum);
}

long Benchmark::peakResidentKb() {
    rusage usage{};
    return getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : 0;
}

// Field 22 of /proc/self/stat is the start time in clock ticks since boot;
// the fields before it hold no spaces once the command name in parentheses
// is skipped.
double Benchmark::secondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos) return -1.0;
    std::istringstream fields(text.substr(nameEnd + 1));
    std::string field;
    for (int i = 3; i <= 21; ++i) fields >> field;
    unsigned long long startTicks = 0;
    timespec now{};
    if (!(fields >> startTicks) || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1.0;
    const double bootSeconds = static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    return bootSeconds - static_cast<double>(startTicks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void Benchmark::report(std::FILE* out) const {
    const double seconds = totalMs() / 1000.0;
    std::fprintf(out, "\nbenchmark: %zu frames in %.2f s wall, %.1f frames per second\n", frames.size(), seconds,
                 seconds > 0.0 ? static_cast<double>(frames.size()) / seconds : 0.0);
    std::fprintf(out, "benchmark: frame time median %.2f ms, 95th percentile %.2f ms, 99th percentile %.2f ms\n",
                 percentile(50), percentile(95), percentile(99));
    if (phasesTimed) {
        std::fprintf(out, "benchmark: shares:");
        for (int p = 0; p < FrameTimes::PHASES; ++p)
            std::fprintf(out, " %s %.1f%%", FrameTimes::name(p), 100.0 * share(p));
        double phases = 0.0;
        for (int p = 0; p < FrameTimes::PHASES; ++p) phases += share(p);
        std::fprintf(out, ", other %.1f%%\n", 100.0 * (1.0 - phases));
    }
    reportResolution(out);
    reportSamples(out);
    reportAlternated(out);
    std::fprintf(out, "benchmark: peak resident memory %.1f MB\n", peakResidentKb() / 1024.0);
    if (firstFrameAfter >= 0.0)
        std::fprintf(out, "benchmark: first frame drawn %.2f s after the process started\n", firstFrameAfter);
    std::fflush(out);
}

void Benchmark::reportSamples(std::FILE* out) const {
    if (sampleFrames == 0) return;
    std::fprintf(out, "benchmark: samples written per frame (%zu frames counted), overdraw = samples / window samples %.0f\n",
                 sampleFrames, static_cast<double>(windowSampleSum) / static_cast<double>(sampleFrames));
    double all = 0.0;
    for (int k = 0; k < SampleCounter::KINDS; ++k) {
        std::fprintf(out, "benchmark:   %-16s %10.0f samples, overdraw %.3f\n", SampleCounter::name(k), meanSamples(k),
                     overdraw(k));
        all += overdraw(k);
    }
    std::fprintf(out, "benchmark:   %-16s %10s          overdraw %.3f\n", "all", "", all);
}

void Benchmark::reportResolution(std::FILE* out) const {
    if (fractions.empty()) return;
    std::fprintf(out, "benchmark: world resolution median fraction %.2f of the window per axis\n", medianFraction());
    std::fprintf(out, "benchmark: frames with 4 samples per pixel %.1f%%, with 1 sample %.1f%%\n",
                 100.0 * shareAtSamples(4), 100.0 * shareAtSamples(1));
}

void Benchmark::reportAlternated(std::FILE* out) const {
    if (alternated.empty() || frames.size() < 2) return;
    const double with = alternatedMedian(true), without = alternatedMedian(false);
    std::fprintf(out,
                 "benchmark: %s on every other frame: median %.2f ms with it, %.2f ms without (%zu and %zu frames): "
                 "costs %+.2f ms, ratio %.3f\n",
                 alternated.c_str(), with, without, (frames.size() + 1) / 2, frames.size() / 2, with - without,
                 without > 0.0 ? with / without : 0.0);
    if (frames.size() < 3) return;
    const double cost = alternatedCostByNeighbours();
    std::fprintf(out, "benchmark: %s against the frames beside it: costs %+.2f ms, ratio %.4f\n", alternated.c_str(),
                 cost, without > 0.0 ? 1.0 + cost / without : 0.0);
}

bool Benchmark::writeCsv(const std::string& path) const {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return false;
    std::fprintf(file, "frame,total_ms");
    for (int p = 0; p < FrameTimes::PHASES; ++p) std::fprintf(file, ",%s_ms", FrameTimes::name(p));
    std::fprintf(file, "\n");
    for (std::size_t i = 0; i < frames.size(); ++i) {
        std::fprintf(file, "%zu,%.4f", i + 1, frames[i].total);
        for (double ms : frames[i].phase) std::fprintf(file, ",%.4f", ms);
        std::fprintf(file, "\n");
    }
    return std::fclose(file) == 0;
}
