// The game's music rules on the real sound system, mixed into the loopback
// device and read back: what plays is what the mix contains.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "AudioTestSupport.h"
#include "audio/AudioManager.h"

using audiotest::deviation;
using audiotest::gameAudio;
using audiotest::Pcm;
using audiotest::RATE;
using audiotest::rms;

namespace {

// Frames the mixer takes to fade a voice whose gain changed.
constexpr std::size_t FADE = 2048;

// Opens the manager's inner state to the tests.
struct Audio : AudioManager {
    using AudioManager::audiosystem;
    using AudioManager::backgroundChannel;
    using AudioManager::currentBackground;
    using AudioManager::huntCount;
    using AudioManager::huntingChannel;
    using AudioManager::introChannel;
    using AudioManager::isPlaying;
    using AudioManager::looserChannel;
    using AudioManager::output;
    using AudioManager::winnerChannel;
};

class AudioManagerTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        // The manager opens "./audio/..." as the game does, from the game's folder.
        if (const char* data = std::getenv("ZARVIK_GAME_DIR")) {
            ASSERT_EQ(chdir(data), 0);
        }
        Audio::output = SoundSystem::Output::LOOPBACK;
    }
    void SetUp() override {
        AudioManager::init();
        ASSERT_TRUE(Audio::audiosystem);
    }
    void TearDown() override {
        AudioManager::pauseAll(false);
        AudioManager::setMusicVolume(100);
        AudioManager::setEffectsVolume(100);
        AudioManager::kill();
    }

    static std::vector<float> mix(double seconds) {
        std::vector<float> out(2 * static_cast<std::size_t>(seconds * RATE));
        EXPECT_EQ(Audio::audiosystem->mix(out.data(), static_cast<int>(out.size() / 2)), SoundResult::OK);
        return out;
    }
    static bool paused(Channel* channel) {
        bool p = false;
        EXPECT_EQ(channel->getPaused(&p), SoundResult::OK);
        return p;
    }
    static bool muted(Channel* channel) {
        bool m = false;
        EXPECT_EQ(channel->getMute(&m), SoundResult::OK);
        return m;
    }
    static unsigned position(Channel* channel) {
        unsigned ms = 0;
        EXPECT_EQ(channel->getPosition(&ms), SoundResult::OK);
        return ms;
    }
};

}  // namespace

TEST_F(AudioManagerTest, IntroStartsOverWhenStartedAgainButPlayingMusicGoesOn) {
    // After init every piece of music waits paused, and nothing sounds.
    for (Channel* channel : {Audio::backgroundChannel, Audio::huntingChannel, Audio::introChannel,
                             Audio::winnerChannel, Audio::looserChannel})
        EXPECT_TRUE(paused(channel));
    EXPECT_EQ(rms(mix(0.1)), 0.0);

    const Pcm intro = audiotest::decode(gameAudio("intro.mp3"));
    AudioManager::startIntro();
    EXPECT_EQ(Audio::currentBackground, Audio::introChannel);
    const std::vector<float> first = mix(1.0);
    EXPECT_GT(rms(first, 0, RATE / 10), 0.01);
    EXPECT_EQ(position(Audio::introChannel), 1000u);

    // Started again while it plays: from its first sample, as the level's reset wants it.
    AudioManager::startIntro();
    EXPECT_EQ(position(Audio::introChannel), 0u);
    const std::vector<float> again = mix(0.3);
    EXPECT_LT(deviation(again, 0, intro, 0, again.size() / 2, 0.6), 1e-4);

    // The background takes over; starting it again does not rewind it.
    AudioManager::startBackground();
    EXPECT_TRUE(paused(Audio::introChannel));
    EXPECT_EQ(Audio::currentBackground, Audio::backgroundChannel);
    mix(0.5);
    AudioManager::startBackground();
    EXPECT_EQ(position(Audio::backgroundChannel), 500u);
    EXPECT_FALSE(paused(Audio::backgroundChannel));
}

// Each piece's share of the mix against its file: the volumes 0.6, 0.7 and
// 0.9 show in the RMS of what is heard.
TEST_F(AudioManagerTest, MusicSoundsAtTheVolumeOfItsPiece) {
    struct Piece {
        void (*start)();
        const char* file;
        double volume;
    };
    const Piece pieces[] = {{AudioManager::startIntro, "intro.mp3", 0.6},
                            {AudioManager::startBackground, "background.mp3", 0.6},
                            {AudioManager::startWinner, "winner.mp3", 0.9},
                            {AudioManager::startLooser, "looser.mp3", 0.6},
                            {AudioManager::startHunting, "hunting.mp3", 0.7}};  // over the muted looser music
    for (const Piece& piece : pieces) {
        SCOPED_TRACE(piece.file);
        const Pcm pcm = audiotest::decode(gameAudio(piece.file));
        std::vector<float> file(pcm.samples.begin(), pcm.samples.begin() + 2 * RATE / 2);
        piece.start();
        const std::vector<float> heard = mix(0.5);
        EXPECT_NEAR(rms(heard, FADE) / rms(file, FADE), piece.volume, 0.005);
    }
}

TEST_F(AudioManagerTest, ChaseMusicPlaysUntilTheLastPursuerGivesUp) {
    const Pcm hunting = audiotest::decode(gameAudio("hunting.mp3"));
    AudioManager::startBackground();
    mix(0.2);

    // Two pursuers: the chase music alone is heard over the muted background.
    AudioManager::startHunting();
    AudioManager::startHunting();
    EXPECT_EQ(Audio::huntCount, 2);
    EXPECT_TRUE(muted(Audio::backgroundChannel));
    EXPECT_FALSE(paused(Audio::backgroundChannel));
    const std::vector<float> chase = mix(0.5);
    EXPECT_LT(deviation(chase, FADE, hunting, FADE, chase.size() / 2 - FADE, 0.7), 1e-4);

    // One gives up: the chase goes on.
    AudioManager::stopHunting();
    EXPECT_EQ(Audio::huntCount, 1);
    EXPECT_FALSE(paused(Audio::huntingChannel));
    EXPECT_TRUE(muted(Audio::backgroundChannel));

    // The last one gives up: the background is heard again where it had got to.
    AudioManager::stopHunting();
    EXPECT_EQ(Audio::huntCount, 0);
    EXPECT_TRUE(paused(Audio::huntingChannel));
    EXPECT_FALSE(muted(Audio::backgroundChannel));
    EXPECT_EQ(position(Audio::backgroundChannel), 700u);
    EXPECT_GT(rms(mix(0.3), FADE), 0.01);

    // A pursuer giving up without a chase leaves the count at 0, so the next chase
    // starts at once, with its music from the beginning.
    AudioManager::stopHunting();
    EXPECT_EQ(Audio::huntCount, 0);
    EXPECT_TRUE(paused(Audio::huntingChannel));
    AudioManager::startHunting();
    EXPECT_EQ(Audio::huntCount, 1);
    EXPECT_EQ(position(Audio::huntingChannel), 0u);
    EXPECT_FALSE(paused(Audio::huntingChannel));
}

TEST_F(AudioManagerTest, ACaughtPlayerHearsNoNewMusic) {
    AudioManager::startBackground();
    AudioManager::holdMusic(true);
    AudioManager::startWinner();
    EXPECT_TRUE(paused(Audio::backgroundChannel));
    EXPECT_TRUE(paused(Audio::winnerChannel));
    EXPECT_EQ(Audio::currentBackground, Audio::winnerChannel);
    AudioManager::startHunting();
    EXPECT_EQ(Audio::huntCount, 1);
    EXPECT_TRUE(paused(Audio::huntingChannel));
    AudioManager::startBackground();
    EXPECT_TRUE(paused(Audio::backgroundChannel));
    EXPECT_LT(rms(mix(0.3), FADE), 1e-6);

    // The catch is over with the level's restart: the intro plays, the chase is forgotten.
    AudioManager::holdMusic(false);
    AudioManager::startIntro();
    EXPECT_EQ(Audio::huntCount, 0);
    EXPECT_FALSE(paused(Audio::introChannel));
    EXPECT_GT(rms(mix(0.3), FADE), 0.01);
}

// A chase that ends in a win: the background was paused while muted. When
// it plays again after a restart it must be heard.
TEST_F(AudioManagerTest, MusicPausedDuringAChaseIsHeardWhenItReturns) {
    AudioManager::startBackground();
    AudioManager::startHunting();
    AudioManager::startWinner();
    EXPECT_TRUE(muted(Audio::winnerChannel));
    AudioManager::stopHunting();
    EXPECT_FALSE(muted(Audio::winnerChannel));
    AudioManager::startIntro();
    AudioManager::startBackground();
    EXPECT_FALSE(muted(Audio::backgroundChannel));
    EXPECT_GT(rms(mix(0.3), FADE), 0.01);
}

TEST_F(AudioManagerTest, EffectsOverlapAndMuteAllSilencesEverything) {
    const Pcm pickup = audiotest::decode(gameAudio("pickup.mp3"));
    const double length = pickup.frames() / static_cast<double>(RATE) + 0.05;
    AudioManager::fireBoozeUpgrade();
    const std::vector<float> one = mix(length);
    ASSERT_GT(rms(one), 0.01);

    // The four pickups at once: four voices, each as loud as the one alone.
    AudioManager::fireEngineUpgrade();
    AudioManager::fireToolUpgrade();
    AudioManager::fireDeceaseUpgrade();
    AudioManager::fireBoozeUpgrade();
    const std::vector<float> four = mix(length);
    double worst = 0.0;
    for (std::size_t i = 0; i < one.size(); ++i) worst = std::max(worst, std::fabs(four[i] - 4.0 * one[i]));
    EXPECT_LT(worst, 1e-4);

    // m: music and effects fall silent, and stay so across a new start of the sound system.
    AudioManager::startIntro();
    AudioManager::muteAll(true);
    AudioManager::fireCheer();
    EXPECT_LT(rms(mix(0.3), FADE), 1e-6);
    AudioManager::kill();
    AudioManager::init();
    AudioManager::startIntro();
    EXPECT_LT(rms(mix(0.3), FADE), 1e-6);
    AudioManager::muteAll(false);
    EXPECT_FALSE(muted(Audio::introChannel));
    EXPECT_GT(rms(mix(0.3), FADE), 0.01);
}

// The two volumes, sample by sample: a piece of music sounds at its own
// volume times the music volume, taking a change at once; an effect at the
// effects volume. Both hold across a new start of the sound system.
TEST_F(AudioManagerTest, MusicAndEffectsSoundAtTheirOwnVolumes) {
    const Pcm intro = audiotest::decode(gameAudio("intro.mp3"));
    const double cheerLength = audiotest::decode(gameAudio("cheer.mp3")).frames() / double(RATE) + 0.05;
    AudioManager::fireCheer();
    const std::vector<float> loud = mix(cheerLength);  // the effect at full volume
    ASSERT_GT(rms(loud), 0.01);
    // Each sample of the mix against the same sample at full volume.
    auto scaledBy = [&](const std::vector<float>& heard, double gain) {
        double worst = 0.0;
        for (std::size_t i = 0; i < loud.size(); ++i) worst = std::max(worst, std::fabs(heard[i] - gain * loud[i]));
        return worst;
    };

    AudioManager::setMusicVolume(60);
    AudioManager::setEffectsVolume(80);
    AudioManager::startIntro();
    const std::vector<float> first = mix(0.3);
    EXPECT_LT(deviation(first, 0, intro, 0, first.size() / 2, 0.6 * 0.6), 1e-4);
    AudioManager::setMusicVolume(30);
    const std::vector<float> quieter = mix(0.3);
    EXPECT_LT(deviation(quieter, FADE, intro, first.size() / 2 + FADE, quieter.size() / 2 - FADE, 0.6 * 0.3), 1e-4);

    AudioManager::stopIntro();
    mix(0.1);  // the intro fades out
    AudioManager::fireCheer();
    EXPECT_LT(scaledBy(mix(cheerLength), 0.8), 1e-4);

    // Out of range: clamped. A new start of the sound system keeps both.
    AudioManager::setMusicVolume(-10);
    AudioManager::setEffectsVolume(130);
    AudioManager::kill();
    AudioManager::init();
    EXPECT_EQ(AudioManager::getMusicVolume(), 0);
    EXPECT_EQ(AudioManager::getEffectsVolume(), 100);
    AudioManager::startIntro();
    EXPECT_EQ(rms(mix(0.3)), 0.0);
    AudioManager::fireCheer();
    EXPECT_LT(scaledBy(mix(cheerLength), 1.0), 1e-4);
}

// p: music and effects stand still where they are, while the music rules
// and the channels' own flags carry on underneath; resuming goes on from there.
TEST_F(AudioManagerTest, PauseAllHoldsMusicAndEffectsWhereTheyStand) {
    const Pcm background = audiotest::decode(gameAudio("background.mp3"));
    const double cheerLength = audiotest::decode(gameAudio("cheer.mp3")).frames() / double(RATE) + 0.05;
    AudioManager::fireCheer();
    const std::vector<float> cheer = mix(cheerLength);  // as the effect sounds without a pause
    AudioManager::startBackground();
    mix(0.6);
    AudioManager::pauseAll(true);
    EXPECT_TRUE(AudioManager::isAllPaused());
    for (int i = 0; i < 3; ++i) AudioManager::update();
    EXPECT_LT(rms(mix(0.5), FADE), 1e-6);
    EXPECT_EQ(position(Audio::backgroundChannel), 600u) << "the music does not move on while paused";
    EXPECT_FALSE(paused(Audio::backgroundChannel));
    AudioManager::pauseAll(false);
    const std::vector<float> resumed = mix(0.4);
    EXPECT_LT(deviation(resumed, FADE, background, RATE * 6 / 10 + FADE, resumed.size() / 2 - FADE, 0.6), 1e-4)
        << "the background goes on from 600 ms";

    // An effect fired during the pause waits at its start; the chase begun
    // meanwhile keeps its count and mutes the background, all unheard.
    AudioManager::pauseAll(true);
    AudioManager::fireCheer();
    AudioManager::startHunting();
    EXPECT_EQ(Audio::huntCount, 1);
    EXPECT_TRUE(muted(Audio::backgroundChannel));
    EXPECT_LT(rms(mix(0.3), FADE), 1e-6);
    EXPECT_EQ(position(Audio::huntingChannel), 0u);
    AudioManager::stopHunting();  // the chase is over before the pause ends
    AudioManager::stopBackground();
    AudioManager::pauseAll(false);
    const std::vector<float> cheered = mix(cheerLength);
    double worst = 0.0;
    for (std::size_t i = 0; i < cheer.size(); ++i) worst = std::max(worst, double(std::fabs(cheered[i] - cheer[i])));
    EXPECT_GT(rms(cheer), 0.01);
    EXPECT_LT(worst, 1e-4) << "the cheer from its start, alone";
}

// Levels are built and reset in tests without sound: every operation is harmless then.
TEST(AudioManagerWithoutInit, EveryOperationIsHarmless) {
    testing::internal::CaptureStdout();
    AudioManager::startIntro();     // stops the chase and the intro: two warnings
    AudioManager::stopIntro();      // one
    AudioManager::startBackground();
    AudioManager::startWinner();
    AudioManager::startHunting();
    AudioManager::stopHunting();    // the chase ends: one
    AudioManager::stopHunting();    // one
    AudioManager::startLooser();    // one
    AudioManager::fireEngineUpgrade();
    AudioManager::fireCheer();
    AudioManager::update();
    AudioManager::muteAll(true);
    AudioManager::muteAll(false);
    AudioManager::kill();
    const std::string out = testing::internal::GetCapturedStdout();
    int warnings = 0;
    for (size_t at = out.find("\n warning null-channel!"); at != std::string::npos;
         at = out.find("\n warning null-channel!", at + 1))
        ++warnings;
    EXPECT_EQ(warnings, 6);
    EXPECT_EQ(Audio::huntCount, 0);
    EXPECT_TRUE(Audio::isPlaying(nullptr));
}

// A sound file that is missing or broken ends the game with the error's
// code and text and exit code -1, without waiting when there is no console.
TEST(AudioManagerDeathTest, AMissingOrBrokenFileEndsTheProgram) {
    audiotest::TempFolder folder;
    const std::string audio = folder.path() + "/audio/";
    std::filesystem::create_directories(audio);
    for (const char* name : {"background.mp3", "hunting.mp3", "intro.mp3", "winner.mp3", "looser.mp3", "pickup.mp3",
                             "overkill.mp3", "error.mp3", "cheer.mp3"})
        std::filesystem::copy_file(gameAudio(name), audio + name);
    Audio::output = SoundSystem::Output::LOOPBACK;
    auto initThere = [&folder] {
        if (chdir(folder.path().c_str()) != 0) std::_Exit(3);
        if (!std::freopen("/dev/null", "r", stdin)) std::_Exit(4);
        dup2(STDERR_FILENO, STDOUT_FILENO);  // the message goes where the test reads it
        AudioManager::init();
        std::_Exit(0);
    };

    std::filesystem::rename(audio + "intro.mp3", audio + "intro.keep");
    EXPECT_EXIT(initThere(), testing::ExitedWithCode(255),
                "FMOD ERROR! \\(5\\) File not found\\.\n  Press any key to exit\\.\\.\\.");
    std::filesystem::rename(audio + "intro.keep", audio + "intro.mp3");

    folder.write("audio/cheer.mp3", "ID3 but no music follows\n");
    EXPECT_EXIT(initThere(), testing::ExitedWithCode(255), "FMOD ERROR! \\(8\\) ");

    folder.write("audio/pickup.mp3", "");
    EXPECT_EXIT(initThere(), testing::ExitedWithCode(255), "FMOD ERROR! \\(6\\) The file is empty\\.");
}
