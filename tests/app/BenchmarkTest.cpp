#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "animation/TimeBase.h"
#include "app/Benchmark.h"
#include "app/FixedStepClock.h"
#include "overlay/StopWatch.h"

namespace {
FrameTimes frame(double total) {
    FrameTimes f;
    f.total = total;
    f.phase[FrameTimes::ANIMATION] = total / 2;
    f.phase[FrameTimes::SWAP] = total / 4;
    return f;
}
}  // namespace

// Nearest-rank percentiles, shares of the whole time and one CSV row per frame;
// nothing divides by zero without frames.
TEST(Benchmark, SumsUpTheFramesAndWritesOneRowEach) {
    Benchmark empty;
    EXPECT_EQ(empty.percentile(50), 0.0);
    EXPECT_EQ(empty.share(FrameTimes::SCENE), 0.0);

    Benchmark bench;
    for (int ms = 100; ms >= 1; --ms) bench.record(frame(ms));  // out of order on purpose
    EXPECT_EQ(bench.frameCount(), 100u);
    EXPECT_DOUBLE_EQ(bench.percentile(50), 50.0);
    EXPECT_DOUBLE_EQ(bench.percentile(95), 95.0);
    EXPECT_DOUBLE_EQ(bench.percentile(99), 99.0);
    EXPECT_DOUBLE_EQ(bench.percentile(100), 100.0);
    EXPECT_DOUBLE_EQ(bench.percentile(0), 1.0);
    EXPECT_DOUBLE_EQ(bench.share(FrameTimes::ANIMATION), 0.5);
    EXPECT_DOUBLE_EQ(bench.share(FrameTimes::SWAP), 0.25);
    EXPECT_DOUBLE_EQ(bench.share(FrameTimes::EVENTS), 0.0);
    EXPECT_EQ(bench.share(FrameTimes::PHASES), 0.0);
    EXPECT_GT(Benchmark::peakResidentKb(), 1000);

    const std::string path = testing::TempDir() + "zarvik-benchmark.csv";
    ASSERT_TRUE(bench.writeCsv(path));
    std::ifstream csv(path);
    std::string line, last;
    int lines = 0;
    std::getline(csv, line);
    EXPECT_EQ(line, "frame,total_ms,animation_physics_ms,events_ms,scene_ms,hud_ms,swap_ms");
    while (std::getline(csv, line)) {
        ++lines;
        last = line;
    }
    EXPECT_EQ(lines, 100);
    EXPECT_EQ(last, "100,1.0000,0.5000,0.0000,0.0000,0.0000,0.2500");
    std::remove(path.c_str());
    EXPECT_FALSE(bench.writeCsv("/nonexistent-folder/x.csv"));
}


namespace {
std::string summary(const Benchmark& bench) {
    std::FILE* out = std::tmpfile();
    bench.report(out);
    std::rewind(out);
    std::string text(8192, '\0');
    text.resize(std::fread(&text[0], 1, text.size(), out));
    std::fclose(out);
    return text;
}
}  // namespace

// A feature on every other frame: the odd frames (1st, 3rd, ...) have it,
// and the summary gives the difference of the two halves' medians, and the
// cost against each frame's neighbours. The frames slow down by 1 ms each
// (the machine's drift): the halves' medians see 11 ms, the neighbours the
// 10 ms the feature adds.
TEST(Benchmark, AnAlternatedFeatureCostsTheDifferenceOfTheHalvesMedians) {
    Benchmark bench;
    bench.alternated = "ghost";
    EXPECT_EQ(bench.alternatedMedian(true), 0.0);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(bench.showsAlternatedNext(), i % 2 == 0);
        bench.record(frame(bench.showsAlternatedNext() ? 30.0 + i : 20.0 + i));
    }
    EXPECT_DOUBLE_EQ(bench.alternatedMedian(true), 34.0);   // of 30 32 34 36 38
    EXPECT_DOUBLE_EQ(bench.alternatedMedian(false), 23.0);  // of 21 23 25 27, nearest rank: the 2nd
    const std::string text = summary(bench);
    EXPECT_NE(text.find("benchmark: ghost on every other frame: median 34.00 ms with it, 23.00 ms without (5 and 4 "
                        "frames): costs +11.00 ms, ratio 1.478"),
              std::string::npos)
        << text;
    // Frame 2 (21 ms) against frames 1 and 3 (30, 32): -(21 - 31) = 10; frame 3 against 21 and 23: 32 - 22 = 10.
    EXPECT_DOUBLE_EQ(bench.alternatedCostByNeighbours(), 10.0);
    EXPECT_NE(text.find("benchmark: ghost against the frames beside it: costs +10.00 ms, ratio 1.4348"),
              std::string::npos)  // 1 + 10 / 23
        << text;

    // One slow frame among them moves the median of the differences by one frame's worth at most.
    Benchmark spiked;
    for (int i = 0; i < 9; ++i) spiked.record(frame((i % 2 == 0 ? 30.0 : 20.0) + (i == 4 ? 50.0 : 0.0)));
    EXPECT_DOUBLE_EQ(spiked.alternatedCostByNeighbours(), 10.0);
    Benchmark tooFew;
    tooFew.record(frame(30));
    tooFew.record(frame(20));
    EXPECT_EQ(tooFew.alternatedCostByNeighbours(), 0.0);
}

// The samples of each pass averaged over the counted frames and divided by
// the window's samples; the summary has one line per pass, and the phases'
// shares only when the phases were timed apart.
TEST(Benchmark, SampleCountsGiveEachPassItsOverdraw) {
    Benchmark bench;
    bench.record(frame(10));
    EXPECT_EQ(summary(bench).find("samples"), std::string::npos);
    EXPECT_EQ(summary(bench).find("shares"), std::string::npos);
    Benchmark::SampleCounts counts{};
    counts[SampleCounter::SKY] = 400;
    counts[SampleCounter::HUD] = 100;
    bench.recordSamples(counts, 1000);
    counts[SampleCounter::SKY] = 800;
    bench.recordSamples(counts, 1000);
    EXPECT_DOUBLE_EQ(bench.meanSamples(SampleCounter::SKY), 600.0);
    EXPECT_DOUBLE_EQ(bench.overdraw(SampleCounter::SKY), 0.6);
    EXPECT_DOUBLE_EQ(bench.overdraw(SampleCounter::HUD), 0.1);
    EXPECT_EQ(bench.overdraw(SampleCounter::KINDS), 0.0);
    bench.phasesTimed = true;
    const std::string text = summary(bench);
    EXPECT_NE(text.find("benchmark: shares: animation"), std::string::npos) << text;
    EXPECT_NE(text.find("sky                     600 samples, overdraw 0.600"), std::string::npos) << text;
    EXPECT_NE(text.find("HUD                     100 samples, overdraw 0.100"), std::string::npos) << text;
    EXPECT_NE(text.find("all                                  overdraw 0.700"), std::string::npos) << text;
}

// The world's fraction and samples of every frame: the median fraction and
// the share of frames at each sample count; no lines without such records.
TEST(Benchmark, ResolutionLinesGiveTheMedianFractionAndTheSharesOfSamples) {
    Benchmark bench;
    bench.record(frame(10));
    EXPECT_EQ(summary(bench).find("resolution"), std::string::npos);
    const std::pair<double, int> steps[] = {{1.0, 4}, {0.9, 1}, {0.9, 1}, {0.8, 1}, {0.5, 1}};
    for (const auto& [fraction, samples] : steps) bench.recordResolution(fraction, samples);
    EXPECT_DOUBLE_EQ(bench.medianFraction(), 0.9);
    EXPECT_DOUBLE_EQ(bench.shareAtSamples(4), 0.2);
    EXPECT_DOUBLE_EQ(bench.shareAtSamples(1), 0.8);
    const std::string text = summary(bench);
    EXPECT_NE(text.find("benchmark: world resolution median fraction 0.90 of the window per axis\n"
                        "benchmark: frames with 4 samples per pixel 20.0%, with 1 sample 80.0%\n"),
              std::string::npos)
        << text;
}

// The first frame is timed from the start of the process, not from the first
// line of the program: this test process has been running for a while, and
// later frames do not move the figure. The summary says it.
TEST(Benchmark, FirstFrameIsTimedFromTheStartOfTheProcess) {
    Benchmark bench;
    EXPECT_LT(bench.firstFrameSeconds(), 0.0);
    const double before = Benchmark::secondsSinceProcessStart();
    bench.record(frame(10));
    const double first = bench.firstFrameSeconds();
    EXPECT_GE(first, before);
    EXPECT_GT(first, 0.0);
    EXPECT_LT(first, 3600.0);
    bench.record(frame(10));
    EXPECT_EQ(bench.firstFrameSeconds(), first);

    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    bench.report(out);
    std::rewind(out);
    std::string text(4096, '\0');
    text.resize(std::fread(&text[0], 1, text.size(), out));
    std::fclose(out);
    char expected[96];
    std::snprintf(expected, sizeof expected, "benchmark: first frame drawn %.2f s after the process started\n", first);
    EXPECT_NE(text.find(expected), std::string::npos) << text;
}

// An hour of fixed steps is exactly an hour on the race watch: the steps
// are counted, not summed as rounded nanoseconds.
TEST(Benchmark, TheFixedStepClockAdvancesOneSixtiethPerFrameWithoutDrift) {
    FixedStepClock clock;
    clock.install();
    TimeBase base;
    StopWatch watch;
    watch.start();
    clock.advance();
    base.measure();
    EXPECT_NEAR(base.getElapsedTime(), 1.0 / 60.0, 1e-9);
    base.measure();
    EXPECT_EQ(base.getElapsedTime(), 0.0) << "no step, no time";
    for (int frame = 1; frame < 60 * 3600; ++frame) {
        clock.advance();
        watch.update();
    }
    watch.update();
    EXPECT_NEAR(watch.getTotalTime(), 3600.0, 1e-6);
    FixedStepClock::uninstall();
}
