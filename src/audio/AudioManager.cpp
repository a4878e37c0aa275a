#include "audio/AudioManager.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

bool AudioManager::musicHeld = false;
SoundSystem* AudioManager::audiosystem = nullptr;
SoundResult AudioManager::result = SoundResult::OK;
int AudioManager::huntCount = 0;
Channel* AudioManager::currentBackground = nullptr;
Sound* AudioManager::backgroundMusic = nullptr;
Channel* AudioManager::backgroundChannel = nullptr;
Sound* AudioManager::huntingMusic = nullptr;
Channel* AudioManager::huntingChannel = nullptr;
Sound* AudioManager::introMusic = nullptr;
Channel* AudioManager::introChannel = nullptr;
Sound* AudioManager::winnerMusic = nullptr;
Channel* AudioManager::winnerChannel = nullptr;
Sound* AudioManager::looserMusic = nullptr;
Channel* AudioManager::looserChannel = nullptr;
Sound* AudioManager::engineUpgrade = nullptr;
Sound* AudioManager::toolUpgrade = nullptr;
Sound* AudioManager::deceaseUpgrade = nullptr;
Sound* AudioManager::boozeUpgrade = nullptr;
Sound* AudioManager::overkillUpgrade = nullptr;
Sound* AudioManager::error = nullptr;
Sound* AudioManager::cheer = nullptr;
SoundSystem::Output AudioManager::output = SoundSystem::Output::DEVICE;
bool AudioManager::allMuted = false;
bool AudioManager::allPaused = false;
int AudioManager::musicVolume = 100;
int AudioManager::effectsVolume = 100;
AudioManager::Piece AudioManager::pieces[MUSIC_PIECES] = {};
int AudioManager::pieceCount = 0;

namespace {
// One key press on the console: a byte from standard input, read with line
// buffering and echo off when it is a terminal. Without a terminal only a
// byte that is already waiting is taken, so a run without a console never hangs.
void waitForKey() {
    char key = 0;
    if (!isatty(STDIN_FILENO)) {
        pollfd input = {STDIN_FILENO, POLLIN, 0};
        if (poll(&input, 1, 0) > 0 && (input.revents & POLLIN)) (void)!read(STDIN_FILENO, &key, 1);
        return;
    }
    termios saved;
    if (tcgetattr(STDIN_FILENO, &saved) != 0) return;
    termios raw = saved;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    (void)!read(STDIN_FILENO, &key, 1);
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

SoundLoop loopMode(bool looping) { return looping ? SoundLoop::NORMAL : SoundLoop::OFF; }
}  // namespace

void AudioManager::errorCheck(SoundResult r) {
    result = r;
    if (r == SoundResult::OK) return;
    std::printf("\n\n FMOD ERROR! (%d) %s\n  Press any key to exit...", static_cast<int>(r), soundResultString(r));
    std::fflush(stdout);
    waitForKey();
    std::exit(-1);
}

std::array<std::string, 5> AudioManager::musicFiles;

void AudioManager::init() {
    std::printf("\n AudioManager::init() initializing audio subsystem...");
    audiosystem = new SoundSystem();
    pieceCount = 0;
    errorCheck(audiosystem->init(CHANNELS, output));
    auto piece = [](int i, const char* own) { return musicFiles[i].empty() ? std::string(own) : musicFiles[i]; };
    initStream(piece(0, "./audio/background.mp3").c_str(), &backgroundMusic, &backgroundChannel, true, 0.6f);
    initStream(piece(1, "./audio/hunting.mp3").c_str(), &huntingMusic, &huntingChannel, true, 0.7f);
    initStream(piece(2, "./audio/intro.mp3").c_str(), &introMusic, &introChannel, true, 0.6f);
    initStream(piece(3, "./audio/winner.mp3").c_str(), &winnerMusic, &winnerChannel, true, 0.9f);
    initStream(piece(4, "./audio/looser.mp3").c_str(), &looserMusic, &looserChannel, true, 0.6f);
    // The four pickups share a file but are four sounds of their own.
    errorCheck(audiosystem->createSound("./audio/pickup.mp3", SoundLoop::OFF, &engineUpgrade));
    errorCheck(audiosystem->createSound("./audio/pickup.mp3", SoundLoop::OFF, &toolUpgrade));
    errorCheck(audiosystem->createSound("./audio/pickup.mp3", SoundLoop::OFF, &deceaseUpgrade));
    errorCheck(audiosystem->createSound("./audio/pickup.mp3", SoundLoop::OFF, &boozeUpgrade));
    errorCheck(audiosystem->createSound("./audio/overkill.mp3", SoundLoop::OFF, &overkillUpgrade));
    errorCheck(audiosystem->createSound("./audio/error.mp3", SoundLoop::OFF, &error));
    errorCheck(audiosystem->createSound("./audio/cheer.mp3", SoundLoop::OFF, &cheer));
    if (allMuted) errorCheck(audiosystem->setMute(true));
    if (allPaused) errorCheck(audiosystem->setPaused(true));
}

void AudioManager::initStream(const char* file, Sound** targetSound, Channel** targetChannel, bool looping,
                              float volume) {
    errorCheck(audiosystem->createStream(file, loopMode(looping), targetSound));
    errorCheck(audiosystem->playSound(*targetSound, true, targetChannel));
    pieces[pieceCount] = {*targetChannel, volume};
    applyMusicVolume(pieces[pieceCount++]);
}

void AudioManager::applyMusicVolume(const Piece& piece) {
    errorCheck(piece.channel->setVolume(piece.volume * static_cast<float>(musicVolume) / 100.0f));
}

void AudioManager::update() {
    if (audiosystem) audiosystem->update();
}

// Back to the state before init: every handle is gone with the system.
void AudioManager::kill() {
    if (!audiosystem) return;
    audiosystem->release();
    delete audiosystem;
    audiosystem = nullptr;
    pieceCount = 0;
    result = SoundResult::OK;
    musicHeld = false;
    huntCount = 0;
    currentBackground = nullptr;
    backgroundChannel = huntingChannel = introChannel = winnerChannel = looserChannel = nullptr;
    backgroundMusic = huntingMusic = introMusic = winnerMusic = looserMusic = nullptr;
    engineUpgrade = toolUpgrade = deceaseUpgrade = boozeUpgrade = overkillUpgrade = error = cheer = nullptr;
}

bool AudioManager::isPlaying(Channel* channel) {
    if (!channel) return true;
    bool paused = false;
    errorCheck(channel->getPaused(&paused));
    return !paused;
}

void AudioManager::startSound(Channel* channel) {
    if (musicHeld || isPlaying(channel)) return;
    errorCheck(channel->setPosition(0));
    errorCheck(channel->setPaused(false));
}

void AudioManager::stopSound(Channel* channel) {
    if (!channel) {
        std::printf("\n warning null-channel!");
        return;
    }
    errorCheck(channel->setPaused(true));
    if (channel == currentBackground) currentBackground = nullptr;
}

void AudioManager::muteSound(Channel* channel, bool mute) {
    if (channel && isPlaying(channel)) errorCheck(channel->setMute(mute));
}

// The new background is muted during a chase and unmuted otherwise: a
// channel paused while muted keeps its mute flag, and without a chase it
// would come back silent.
void AudioManager::replaceSound(Channel* old, Channel* channel) {
    if (old == channel) return;
    if (old) stopSound(old);
    startSound(channel);
    muteSound(channel, huntCount > 0);
}

void AudioManager::fireSound(Sound* sound) {
    if (!audiosystem || !sound) return;
    // Started paused, so that not a sample sounds at the wrong volume.
    Channel* channel = nullptr;
    errorCheck(audiosystem->playSound(sound, true, &channel));
    errorCheck(channel->setVolume(static_cast<float>(effectsVolume) / 100.0f));
    errorCheck(channel->setPaused(false));
}

// The chase music stops and the background is heard again.
void AudioManager::endChase() {
    stopSound(huntingChannel);
    muteSound(currentBackground, false);
    huntCount = 0;
}

void AudioManager::startBackground() {
    replaceSound(currentBackground, backgroundChannel);
    currentBackground = backgroundChannel;
}

void AudioManager::stopBackground() { stopSound(backgroundChannel); }

// Stopping the intro first makes it start over even when it is the current background.
void AudioManager::startIntro() {
    endChase();
    stopSound(introChannel);
    replaceSound(currentBackground, introChannel);
    currentBackground = introChannel;
}

void AudioManager::stopIntro() { stopSound(introChannel); }

void AudioManager::startWinner() {
    replaceSound(currentBackground, winnerChannel);
    currentBackground = winnerChannel;
}

void AudioManager::stopWinner() { stopSound(winnerChannel); }

void AudioManager::startLooser() {
    endChase();
    replaceSound(currentBackground, looserChannel);
    currentBackground = looserChannel;
}

void AudioManager::stopLooser() { stopSound(looserChannel); }

void AudioManager::startHunting() {
    ++huntCount;
    if (musicHeld) return;
    muteSound(currentBackground, true);
    startSound(huntingChannel);
}

void AudioManager::stopHunting() {
    --huntCount;
    if (huntCount > 0) return;
    endChase();
}

void AudioManager::fireEngineUpgrade() { fireSound(engineUpgrade); }
void AudioManager::fireToolUpgrade() { fireSound(toolUpgrade); }
void AudioManager::fireDeceaseUpgrade() { fireSound(deceaseUpgrade); }
void AudioManager::fireBoozeUpgrade() { fireSound(boozeUpgrade); }
void AudioManager::fireOverkillUpgrade() { fireSound(overkillUpgrade); }
void AudioManager::fireError() { fireSound(error); }
void AudioManager::fireCheer() { fireSound(cheer); }

void AudioManager::muteAll(bool mute) {
    allMuted = mute;
    if (audiosystem) errorCheck(audiosystem->setMute(mute));
}

void AudioManager::pauseAll(bool pause) {
    allPaused = pause;
    if (audiosystem) errorCheck(audiosystem->setPaused(pause));
}

void AudioManager::setMusicVolume(int percent) {
    musicVolume = std::clamp(percent, 0, 100);
    for (int i = 0; i < pieceCount; ++i) applyMusicVolume(pieces[i]);
}

void AudioManager::setEffectsVolume(int percent) { effectsVolume = std::clamp(percent, 0, 100); }
