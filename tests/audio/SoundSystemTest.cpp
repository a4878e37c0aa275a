// The sound system on the real OpenAL Soft and mpg123, mixed into the
// loopback device and read back sample by sample.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "AudioTestSupport.h"
#include "audio/SoundSystem.h"

using audiotest::deviation;
using audiotest::gameAudio;
using audiotest::Pcm;
using audiotest::RATE;
using audiotest::rms;

namespace {

class SoundSystemTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(system.init(32, SoundSystem::Output::LOOPBACK), SoundResult::OK); }
    void TearDown() override { SoundSystem::setClock(nullptr); }

    std::vector<float> mix(double seconds) {
        std::vector<float> out(2 * static_cast<std::size_t>(std::lround(seconds * RATE)));
        EXPECT_EQ(system.mix(out.data(), static_cast<int>(out.size() / 2)), SoundResult::OK);
        return out;
    }
    Sound* stream(const std::string& name, SoundLoop loop) {
        Sound* s = nullptr;
        EXPECT_EQ(system.createStream(gameAudio(name), loop, &s), SoundResult::OK) << name;
        return s;
    }
    Sound* sound(const std::string& name) {
        Sound* s = nullptr;
        EXPECT_EQ(system.createSound(gameAudio(name), SoundLoop::OFF, &s), SoundResult::OK) << name;
        return s;
    }
    unsigned position(Channel* channel) {
        unsigned ms = 0;
        EXPECT_EQ(channel->getPosition(&ms), SoundResult::OK);
        return ms;
    }

    SoundSystem system;
};

// The gain of a mono sound in both outputs, fitted by least squares over
// the first frames of the mix (the panning of the middle position is the
// mixer's own).
double monoGain(const std::vector<float>& mix, const Pcm& pcm, std::size_t frames) {
    double cross = 0.0, power = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        cross += static_cast<double>(mix[2 * i]) * pcm.samples[i];
        power += static_cast<double>(pcm.samples[i]) * pcm.samples[i];
    }
    return cross / power;
}

}  // namespace

TEST(SoundSystemFiles, BadFilesAreReportedAndTheSystemPlaysOn) {
    audiotest::TempFolder folder;
    ASSERT_FALSE(folder.path().empty());
    const std::string notMp3 = folder.write("notes.mp3", std::string(4000, 'x') + "\nnot music at all\n");
    const std::string empty = folder.write("empty.mp3", "");
    const std::string picture = gameAudio("../images/loading.jpg");
    struct Case {
        std::string path;
        SoundResult expected;
    };
    const Case cases[] = {{folder.path() + "/missing.mp3", SoundResult::ERR_FILE_NOT_FOUND},
                          {empty, SoundResult::ERR_FILE_EMPTY},
                          {notMp3, SoundResult::ERR_FORMAT},
                          {picture, SoundResult::ERR_FORMAT},
                          {folder.path(), SoundResult::ERR_FILE_BAD}};

    SoundSystem system;
    Sound* sound = nullptr;
    EXPECT_EQ(system.createSound(gameAudio("pickup.mp3"), SoundLoop::OFF, &sound), SoundResult::ERR_NOT_INITIALIZED);
    ASSERT_EQ(system.init(8, SoundSystem::Output::LOOPBACK), SoundResult::OK);
    EXPECT_EQ(system.init(8, SoundSystem::Output::LOOPBACK), SoundResult::ERR_INITIALIZED);
    Sound* good = nullptr;
    ASSERT_EQ(system.createSound(gameAudio("pickup.mp3"), SoundLoop::OFF, &good), SoundResult::OK);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        sound = good;  // a failure must not leave an old handle behind
        EXPECT_EQ(system.createSound(c.path, SoundLoop::OFF, &sound), c.expected);
        EXPECT_EQ(sound, nullptr);
        sound = good;
        EXPECT_EQ(system.createStream(c.path, SoundLoop::NORMAL, &sound), c.expected);
        EXPECT_EQ(sound, nullptr);
    }
    EXPECT_EQ(system.createSound(gameAudio("pickup.mp3"), SoundLoop::OFF, nullptr), SoundResult::ERR_INVALID_PARAM);
    Channel* channel = nullptr;
    EXPECT_EQ(system.playSound(nullptr, false, &channel), SoundResult::ERR_INVALID_PARAM);
    EXPECT_EQ(channel, nullptr);

    // Every result has a text of its own for the error message.
    std::set<std::string> texts;
    for (int r = 0; r <= static_cast<int>(SoundResult::ERR_UNSUPPORTED); ++r)
        texts.insert(soundResultString(static_cast<SoundResult>(r)));
    EXPECT_EQ(texts.size(), static_cast<std::size_t>(SoundResult::ERR_UNSUPPORTED) + 1);

    // The failures left nothing behind: a good sound still plays.
    ASSERT_EQ(system.playSound(good, false, &channel), SoundResult::OK);
    std::vector<float> out(2 * RATE / 4);
    ASSERT_EQ(system.mix(out.data(), RATE / 4), SoundResult::OK);
    EXPECT_GT(rms(out), 0.01);
}

// A stream is decoded block by block while it plays; a looping one goes on
// from its first sample right after its last.
TEST_F(SoundSystemTest, LoopingStreamsGoOnWithoutAGapOrAClick) {
    // A short effect as a looping stream, mixed for two and a half of its
    // lengths: the mix is the sound, over and over.
    const Pcm cheer = audiotest::decode(gameAudio("cheer.mp3"));
    ASSERT_GT(cheer.frames(), 4 * Sound::BLOCK_FRAMES);
    Channel* looping = nullptr;
    ASSERT_EQ(system.playSound(stream("cheer.mp3", SoundLoop::NORMAL), false, &looping), SoundResult::OK);
    const std::vector<float> loops = mix(2.5 * cheer.frames() / RATE);
    const double gain = monoGain(loops, cheer, cheer.frames());
    EXPECT_GT(gain, 0.3);
    EXPECT_LT(deviation(loops, 0, cheer, 0, loops.size() / 2, gain), 1e-3);
    EXPECT_LT(position(looping), cheer.lengthMs());
    ASSERT_EQ(looping->setPaused(true), SoundResult::OK);

    // A music loop started 300 ms before its end: its end and its beginning
    // follow each other sample for sample.
    const Pcm intro = audiotest::decode(gameAudio("intro.mp3"));
    Sound* music = stream("intro.mp3", SoundLoop::NORMAL);
    ASSERT_EQ(music->length(), static_cast<std::int64_t>(intro.frames()));
    Channel* channel = nullptr;
    ASSERT_EQ(system.playSound(music, true, &channel), SoundResult::OK);
    const unsigned start = intro.lengthMs() - 300;
    ASSERT_EQ(channel->setPosition(start), SoundResult::OK);
    ASSERT_EQ(channel->setPaused(false), SoundResult::OK);
    const std::vector<float> across = mix(0.6);
    const std::size_t startFrame = static_cast<std::size_t>(start) * RATE / 1000;
    EXPECT_LT(deviation(across, 0, intro, startFrame, across.size() / 2, 1.0), 1e-4);
    EXPECT_NEAR(position(channel), 300, 1);

    // Without loop the stream ends, and its channel with it.
    ASSERT_EQ(channel->setPaused(true), SoundResult::OK);
    Channel* once = nullptr;
    ASSERT_EQ(system.playSound(stream("cheer.mp3", SoundLoop::OFF), false, &once), SoundResult::OK);
    const std::vector<float> tail = mix(cheer.frames() / static_cast<double>(RATE) + 0.3);
    EXPECT_LT(rms(tail, tail.size() / 2 - RATE / 10), 1e-6);
    bool paused = false;
    EXPECT_EQ(once->getPaused(&paused), SoundResult::ERR_CHANNEL_FREE);
}

TEST_F(SoundSystemTest, ChannelsKeepTheirVolumePlacePauseAndMute) {
    const Pcm music = audiotest::decode(gameAudio("background.mp3"));
    Channel* channel = nullptr;
    ASSERT_EQ(system.playSound(stream("background.mp3", SoundLoop::NORMAL), true, &channel), SoundResult::OK);

    // Paused from the start: silent and in its place.
    EXPECT_EQ(rms(mix(0.2)), 0.0);
    EXPECT_EQ(position(channel), 0u);

    // From 1 s on at half volume: the music's samples at half their size.
    ASSERT_EQ(channel->setPosition(1000), SoundResult::OK);
    EXPECT_EQ(position(channel), 1000u);
    ASSERT_EQ(channel->setVolume(0.5f), SoundResult::OK);
    ASSERT_EQ(channel->setPaused(false), SoundResult::OK);
    const std::vector<float> half = mix(0.5);
    EXPECT_LT(deviation(half, 0, music, RATE, half.size() / 2, 0.5), 1e-4);
    EXPECT_EQ(position(channel), 1500u);

    // Muted: silent after the mixer's short fade, and the volume is kept.
    ASSERT_EQ(channel->setMute(true), SoundResult::OK);
    EXPECT_LT(rms(mix(0.2), RATE / 20), 1e-6);
    float volume = 0.0f;
    EXPECT_EQ(channel->getVolume(&volume), SoundResult::OK);
    EXPECT_EQ(volume, 0.5f);
    ASSERT_EQ(channel->setMute(false), SoundResult::OK);
    EXPECT_GT(rms(mix(0.2), RATE / 20), 0.02);

    // Paused: silent, and the place holds.
    ASSERT_EQ(channel->setPaused(true), SoundResult::OK);
    const unsigned place = position(channel);
    EXPECT_LT(rms(mix(0.3), RATE / 20), 1e-6);
    EXPECT_EQ(position(channel), place);

    // Volumes are clamped to 0..1; a place past the end is refused.
    const float asked[] = {3.0f, -1.0f, std::nanf("")}, kept[] = {1.0f, 0.0f, 0.0f};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(channel->setVolume(asked[i]), SoundResult::OK);
        EXPECT_EQ(channel->getVolume(&volume), SoundResult::OK);
        EXPECT_EQ(volume, kept[i]);
    }
    EXPECT_EQ(channel->setPosition(music.lengthMs() + 10), SoundResult::ERR_INVALID_POSITION);

    // The system's mute silences every channel and leaves their own flags alone.
    ASSERT_EQ(channel->setVolume(1.0f), SoundResult::OK);
    ASSERT_EQ(channel->setPaused(false), SoundResult::OK);
    ASSERT_EQ(system.setMute(true), SoundResult::OK);
    EXPECT_LT(rms(mix(0.2), RATE / 20), 1e-6);
    bool mute = true;
    EXPECT_EQ(channel->getMute(&mute), SoundResult::OK);
    EXPECT_FALSE(mute);
    ASSERT_EQ(system.setMute(false), SoundResult::OK);
    EXPECT_GT(rms(mix(0.2), RATE / 20), 0.02);
}

// Without a device, update() mixes the time that passed on the clock, so
// music moves on in real time and effects end and free their channels.
TEST_F(SoundSystemTest, UpdateMixesTheTimeThatPassed) {
    double now = 100.0;
    SoundSystem::setClock([&now] { return now; });
    ASSERT_EQ(system.release(), SoundResult::OK);
    ASSERT_EQ(system.init(32), SoundResult::OK);  // no device here: the loopback mix, with the note
    ASSERT_TRUE(system.isLoopback());

    Channel* music = nullptr;
    Channel* effect = nullptr;
    ASSERT_EQ(system.playSound(stream("intro.mp3", SoundLoop::NORMAL), false, &music), SoundResult::OK);
    Sound* pickup = sound("pickup.mp3");
    ASSERT_EQ(system.playSound(pickup, false, &effect), SoundResult::OK);
    for (int frame = 0; frame < 120; ++frame) {  // two seconds at 60 frames per second
        now += 1.0 / 60.0;
        ASSERT_EQ(system.update(), SoundResult::OK);
    }
    EXPECT_NEAR(position(music), 2000, 2);
    ASSERT_LT(pickup->lengthMs(), 2000u);
    bool paused = false;
    EXPECT_EQ(effect->getPaused(&paused), SoundResult::ERR_CHANNEL_FREE);

    // After a stall of five seconds the mix catches up one second only.
    now += 5.0;
    ASSERT_EQ(system.update(), SoundResult::OK);
    EXPECT_NEAR(position(music), 2000 + 1000 * SoundSystem::MAX_CATCH_UP, 2);
}
