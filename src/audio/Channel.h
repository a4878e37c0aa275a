#pragma once
#include <cstdint>
#include <deque>
#include <vector>

#include "audio/SoundResult.h"

class Sound;

// One voice of the SoundSystem, handed out by SoundSystem::playSound.
// Volume is 0..1 (clamped; 1 when the channel starts). Positions are
// milliseconds from the start of the sound. Mute silences the channel and
// keeps its volume. A paused channel keeps its sound and its place.
// The system's master pause holds every channel where it stands without
// touching its own pause flag.
// A channel whose sound has played out (a sound without loop at its end) is
// free again: its handle answers ERR_CHANNEL_FREE until playSound hands the
// channel out for another sound. Looping and paused channels never end by
// themselves. Handles die with the system (SoundSystem::release).
class Channel {
public:
    Channel() = default;
    ~Channel();
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    SoundResult setVolume(float volume);
    SoundResult getVolume(float* volume) const;
    // ERR_INVALID_POSITION at or beyond the end of the sound (0 is always valid).
    SoundResult setPosition(unsigned ms);
    SoundResult getPosition(unsigned* ms) const;
    SoundResult setPaused(bool paused);
    SoundResult getPaused(bool* paused) const;
    SoundResult setMute(bool mute);
    SoundResult getMute(bool* mute) const;

private:
    friend class SoundSystem;

    // A stream's block in the mixer's queue: its buffer and the frame of the
    // sound it starts at.
    struct QueuedBlock {
        unsigned buffer;
        std::int64_t start;
    };

    bool inUse() const { return sound != nullptr; }
    // Neither paused by itself nor held by the system.
    bool running() const { return !paused && !held; }
    SoundResult start(Sound* sound, bool paused);
    // The system's master pause: held, the voice stands; let go, it goes on
    // unless the channel is paused itself.
    void hold(bool holding);
    // Frees the channel: the voice stops and lets go of its sound.
    void stop();
    // Called by the system before each stretch of mixing: refills a stream,
    // restarts one that ran dry, frees the channel when its sound is over.
    void service();
    void play();
    void applyGain();

    void refill();
    void fill();
    void flushStream();
    std::int64_t streamFrame() const;

    unsigned source = 0;   // the mixer's voice, made on first use and kept for reuse
    Sound* sound = nullptr;
    float volume = 1.0f;
    bool muted = false;
    bool paused = false;
    bool held = false;  // by the system's master pause

    std::deque<QueuedBlock> queued;     // a stream's blocks in the mixer, oldest first
    std::vector<unsigned> idleBuffers;  // a stream's buffers waiting to be filled
    std::int64_t nextFrame = 0;         // the frame the next decoded block starts at
    bool streamEnded = false;           // nothing more to decode (a stream without loop)
};
