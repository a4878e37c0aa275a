#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "game/FrameTimes.h"
#include "scenegraph/SampleCounter.h"

// Collects the wall times of every frame of a benchmark run and sums them
// up: frames, frames per second, the median, 95th and 99th percentile of the
// frame time, each phase's share of the whole, the peak resident memory, and
// how long after the start of the process the first frame was drawn; with
// sample counts, the samples each pass wrote per frame and its overdraw.
class Benchmark {
public:
    using SampleCounts = std::array<std::uint64_t, SampleCounter::KINDS>;

    // The first frame recorded also takes the time since the process started.
    void record(const FrameTimes& frame);
    std::size_t frameCount() const { return frames.size(); }
    // The world's fraction of the window per axis and its samples per pixel
    // in the frame about to be recorded (app/DynamicResolution.h).
    void recordResolution(double fraction, int samples);
    // The median fraction and the share (0..1) of frames drawn with samples; 0 without such records.
    double medianFraction() const;
    double shareAtSamples(int samples) const;
    // The samples each kind wrote in one frame, of a window of windowSamples
    // (pixels times samples per pixel).
    void recordSamples(const SampleCounts& counts, std::uint64_t windowSamples);
    // A kind's mean samples per counted frame, and that over the window's samples.
    double meanSamples(int kind) const;
    double overdraw(int kind) const;
    // Whether the phases were timed apart (each waits for its GL work): else
    // the summary leaves out their shares, which would book drawing to the swap.
    bool phasesTimed = false;

    // The p-th percentile (0..100) of the frame totals in ms, nearest rank; 0 without frames.
    double percentile(double p) const;
    // The p-th percentile (0..100) of any values, nearest rank; 0 without values.
    static double percentileOf(std::vector<double> values, double p);

    // A feature shown on every other frame only (the first, the third, ...),
    // so that frames with and without it share the machine's moods: its cost
    // is the difference of the two halves' medians. Empty: no alternation.
    std::string alternated;
    bool showsAlternatedNext() const { return frames.size() % 2 == 0; }
    // The median frame time in ms of the frames with (true) or without the
    // alternated feature; 0 without such frames.
    double alternatedMedian(bool shown) const;
    // The feature's cost in ms measured frame by frame: each frame's time
    // less the mean of its two neighbours' (which differ from it in having
    // the feature or not), turned so that with-minus-without is positive,
    // and the median of that over the frames that have two neighbours; 0
    // with fewer than three frames. The machine's speed drifts within a run
    // (a frame takes 20 ms in one second and 30 in another), and the two
    // halves' medians carry that drift: this difference of neighbours does
    // not, and resolves a tenth of a millisecond where they resolve a few.
    double alternatedCostByNeighbours() const;
    // The phase's share of all frame time, 0..1.
    double share(int phase) const;
    double totalMs() const;

    // The summary, a few lines "benchmark: ...".
    void report(std::FILE* out) const;
    // One header line and one row per frame: frame, total ms and each phase's ms.
    bool writeCsv(const std::string& path) const;

    // Seconds from the start of the process (before the program's own code:
    // loading its libraries counts) to the end of the first recorded frame;
    // negative before it.
    double firstFrameSeconds() const { return firstFrameAfter; }

    // Peak resident memory of this process so far, in kilobytes.
    static long peakResidentKb();
    // Seconds since the kernel started this process, to its clock tick
    // (usually 10 ms); negative if it cannot be read.
    static double secondsSinceProcessStart();

private:
    void reportSamples(std::FILE* out) const;
    void reportAlternated(std::FILE* out) const;
    void reportResolution(std::FILE* out) const;

    std::vector<FrameTimes> frames;
    std::vector<double> fractions;
    std::vector<int> sampleCounts;
    SampleCounts sampleSums{};
    std::uint64_t windowSampleSum = 0;
    std::size_t sampleFrames = 0;
    double firstFrameAfter = -1.0;
};
