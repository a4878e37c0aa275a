// The sounds, decoded with mpg123 as the game decodes them.
#include <gtest/gtest.h>

#include <cmath>

#include "AssetKit.h"

namespace {

kit::Sound sound(const std::string& name) {
    kit::Sound s;
    EXPECT_TRUE(kit::decodeMp3(kit::kitFolder() / "audio" / name, s)) << name;
    return s;
}

const char* const LOOPS[] = {"background.mp3", "hunting.mp3", "intro.mp3", "winner.mp3", "looser.mp3"};
const char* const EFFECTS[] = {"pickup.mp3", "overkill.mp3", "error.mp3", "cheer.mp3"};

float peak(const kit::Sound& s, size_t from, size_t to) {
    float m = 0;
    for (size_t i = from; i < to && i < s.samples.size(); ++i) m = std::max(m, std::fabs(s.samples[i]));
    return m;
}

double rms(const kit::Sound& s) {
    double sum = 0;
    for (float v : s.samples) sum += static_cast<double>(v) * v;
    return std::sqrt(sum / s.samples.size());
}

TEST(SoundFiles, MusicLoopsLastTwentyToFortySecondsAndPlayOut) {
    for (const char* name : LOOPS) {
        SCOPED_TRACE(name);
        kit::Sound s = sound(name);
        EXPECT_EQ(s.rate, 44100);
        EXPECT_EQ(s.channels, 2);
        EXPECT_GE(s.seconds(), 20.0);
        EXPECT_LE(s.seconds(), 40.0);
        EXPECT_GT(rms(s), 0.05) << "too quiet";
        EXPECT_LT(peak(s, 0, s.samples.size()), 1.0f) << "clipped";
    }
}

// A loop that starts and ends at silence does not click when it restarts,
// and with the encoder's delay and padding removed there is no gap either.
TEST(SoundFiles, LoopsStartAndEndNearZeroWithoutAGap) {
    for (const char* name : LOOPS) {
        SCOPED_TRACE(name);
        kit::Sound s = sound(name);
        const size_t n = s.samples.size(), edge = 8 * s.channels;
        ASSERT_GT(n, 2 * edge);
        EXPECT_LT(peak(s, 0, edge), 0.02f);
        EXPECT_LT(peak(s, n - edge, n), 0.02f);
        // An encoder's delay or padding left in would add about a thousand
        // silent samples at the start or the end.
        size_t silentStart = 0, silentEnd = 0;
        while (silentStart < n && std::fabs(s.samples[silentStart]) < 1e-4f) ++silentStart;
        while (silentEnd < n && std::fabs(s.samples[n - 1 - silentEnd]) < 1e-4f) ++silentEnd;
        EXPECT_LT(silentStart / s.channels, 400u) << "a gap when the loop restarts";
        EXPECT_LT(silentEnd / s.channels, 400u) << "a gap when the loop restarts";
    }
}

TEST(SoundFiles, EffectsAreShortAndClearlyAudible) {
    for (const char* name : EFFECTS) {
        SCOPED_TRACE(name);
        kit::Sound s = sound(name);
        EXPECT_EQ(s.rate, 44100);
        EXPECT_LT(s.seconds(), 2.0);
        EXPECT_GT(s.seconds(), 0.2);
        EXPECT_GT(peak(s, 0, s.samples.size()), 0.4f);
        EXPECT_LT(peak(s, s.samples.size() - 64, s.samples.size()), 0.05f) << "ends abruptly";
    }
}

// Attacks per second: 12-ms frames whose energy jumps well above the frames
// just before them.
double attacksPerSecond(const kit::Sound& s) {
    const size_t frame = static_cast<size_t>(0.012 * s.rate);
    std::vector<double> energy;
    for (size_t i = 0; i + frame * s.channels <= s.samples.size(); i += frame * s.channels) {
        double e = 0;
        for (size_t k = 0; k < frame * s.channels; ++k) e += static_cast<double>(s.samples[i + k]) * s.samples[i + k];
        energy.push_back(e / frame);
    }
    int attacks = 0;
    for (size_t k = 4; k < energy.size(); ++k) {
        double before = (energy[k - 1] + energy[k - 2] + energy[k - 3] + energy[k - 4]) / 4;
        if (energy[k] > 1.6 * before + 1e-4 && energy[k - 1] <= 1.6 * (energy[k - 2] + 1e-4)) ++attacks;
    }
    return attacks / s.seconds();
}

// The pieces have their own pace: driving and the chase beat along, the
// calm intro and the sad loop flow.
TEST(SoundFiles, DrivingMusicIsBusierThanTheCalmPieces) {
    double intro = attacksPerSecond(sound("intro.mp3")), looser = attacksPerSecond(sound("looser.mp3"));
    for (const char* busy : {"background.mp3", "hunting.mp3"}) {
        double rate = attacksPerSecond(sound(busy));
        EXPECT_GT(rate, 2.5 * std::max(intro, looser)) << busy << ": " << rate << " against " << intro << " and " << looser;
        EXPECT_GT(rate, 2.0) << busy << " has no beat";
    }
}

}  // namespace
