#pragma once
#include <array>
#include <string>
#include "audio/SoundSystem.h"

// The game's music and sound effects; every member is static.
//
// init() starts the sound system with CHANNELS channels and loads, from
// "./audio" under the working directory, five looping music streams, each on
// a channel of its own that waits paused with its volume set, and seven short
// effects. Starting music rewinds its channel to 0 ms and unpauses it, unless
// it is playing already; stopping music pauses it. Exactly one music channel
// is the current background. The chase music plays over it while it is
// muted; huntCount counts the pursuers on the player's heels, and the chase
// ends when it falls back to 0. While the music is held (after a catch, until
// the level's reset) no music starts. The
// fire... operations play an effect once on a free channel; effects overlap.
//
// Every sound-system call except update and release is checked: a failure
// prints the error's code and text, waits for a key and ends the program
// with exit code -1. Before init and after kill every operation is harmless:
// a missing channel counts as playing and is left alone (stopping one prints
// a warning), and effects are not played.
class AudioManager {
public:
    static constexpr int CHANNELS = 500;

    // No music starts while held: the catch holds it, the level's reset lets go.
    static void holdMusic(bool held) { musicHeld = held; }
    static bool isMusicHeld() { return musicHeld; }

    static void init();
    // The music init opens next: background, hunting, intro, winner and
    // loser pieces; an empty one is the game's own (audio/*.mp3).
    static void useMusic(const std::array<std::string, 5>& pieces) { musicFiles = pieces; }
    // Once per frame: refills the music streams.
    static void update();
    static void kill();

    static void startBackground();
    static void stopBackground();
    static void startIntro();
    static void stopIntro();
    static void startWinner();
    static void stopWinner();
    static void startLooser();
    static void stopLooser();
    static void startHunting();
    static void stopHunting();

    static void fireEngineUpgrade();
    static void fireToolUpgrade();
    static void fireDeceaseUpgrade();
    static void fireBoozeUpgrade();
    static void fireOverkillUpgrade();
    static void fireError();
    static void fireCheer();

    // Silences all sound, music and effects, or brings it back, without
    // touching the music's own mute flags. It holds across kill and init.
    static void muteAll(bool mute);
    static bool isAllMuted() { return allMuted; }
    // Holds all sound, music and effects, where it stands, or lets it go on
    // from there (the game's pause). The music's own pause flags and the
    // music rules stay as they are. It holds across kill and init.
    static void pauseAll(bool pause);
    static bool isAllPaused() { return allPaused; }
    // The music's and the effects' volumes, 0 to 100 per cent (clamped): each
    // piece of music sounds at its own volume times the music volume, each
    // effect at the effects volume. Music takes a change at once, effects
    // from the next one fired. Both hold across kill and init.
    static void setMusicVolume(int percent);
    static int getMusicVolume() { return musicVolume; }
    static void setEffectsVolume(int percent);
    static int getEffectsVolume() { return effectsVolume; }

protected:
    static void initStream(const char* file, Sound** targetSound, Channel** targetChannel, bool looping,
                           float volume);
    static void startSound(Channel* channel);
    static void stopSound(Channel* channel);
    static void replaceSound(Channel* old, Channel* channel);
    static void fireSound(Sound* sound);
    static void muteSound(Channel* channel, bool mute);
    static void endChase();
    static bool isPlaying(Channel* channel);
    static void errorCheck(SoundResult result);

    static SoundSystem* audiosystem;
    static SoundResult result;  // of the last checked call
    static int huntCount;
    static Channel* currentBackground;

    static Sound* backgroundMusic;
    static Channel* backgroundChannel;
    static Sound* huntingMusic;
    static Channel* huntingChannel;
    static Sound* introMusic;
    static Channel* introChannel;
    static Sound* winnerMusic;
    static Channel* winnerChannel;
    static Sound* looserMusic;
    static Channel* looserChannel;

    static Sound* engineUpgrade;
    static Sound* toolUpgrade;
    static Sound* deceaseUpgrade;
    static Sound* boozeUpgrade;
    static Sound* overkillUpgrade;
    static Sound* error;
    static Sound* cheer;

    // The output init asks for: the device, or the loopback mix for tests
    // that read what is played.
    static SoundSystem::Output output;
    static bool allMuted;
    static bool allPaused;
    static int musicVolume;
    static std::array<std::string, 5> musicFiles;
    static int effectsVolume;

private:
    static bool musicHeld;
    // A music channel and the volume of its piece.
    struct Piece {
        Channel* channel;
        float volume;
    };
    static void applyMusicVolume(const Piece& piece);
    static constexpr int MUSIC_PIECES = 5;
    static Piece pieces[MUSIC_PIECES];
    static int pieceCount;
};
