#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/Channel.h"
#include "audio/Sound.h"
#include "audio/SoundResult.h"

struct ALCdevice_struct;
struct ALCcontext_struct;

// A small sound system on OpenAL Soft (mixing) and mpg123 (MP3 decoding).
// Sounds are decoded whole when they are made; streams are decoded while
// they play and refilled by update(), which must therefore run about once
// per frame. Sounds play on free channels (at most the count given to init),
// each with its own volume, position, pause and mute.
//
// Output: the default output device, or, on a machine without one, OpenAL
// Soft's loopback device. Then nothing is heard, but everything plays as
// with a device: update() mixes the time that passed since the last update
// (at most MAX_CATCH_UP seconds), so positions advance and streams loop in
// real time. Tests ask for the loopback output directly and read the mix
// with mix(): stereo float frames at MIX_RATE, without a limiter, so levels
// add up linearly.
//
// Every call answers a SoundResult. One system may run at a time in a
// process (the mixer's context is current for the whole process).
class SoundSystem {
public:
    enum class Output {
        DEVICE,    // the default device; the loopback mix, with a note, when none opens
        LOOPBACK,  // the loopback mix straight away
    };
    // Seconds on a monotonic clock (steady_clock unless replaced).
    using Clock = std::function<double()>;

    static constexpr int MIX_RATE = 44100;
    static constexpr double MAX_CATCH_UP = 1.0;

    SoundSystem() = default;
    ~SoundSystem();
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    SoundResult init(int maxChannels, Output output = Output::DEVICE);
    SoundResult update();
    // Stops every channel and frees every sound and channel of the system.
    SoundResult release();

    // *sound is null unless the result is OK.
    SoundResult createSound(const std::string& path, SoundLoop loop, Sound** sound);
    SoundResult createStream(const std::string& path, SoundLoop loop, Sound** sound);
    // Plays the sound from its start on a free channel; channel may be null
    // when no handle is wanted. A stream that is already playing moves to
    // the new channel.
    SoundResult playSound(Sound* sound, bool paused, Channel** channel);

    // Silences everything, now and later, without touching any channel's own mute flag.
    SoundResult setMute(bool mute);
    SoundResult getMute(bool* mute) const;
    // Holds every channel where it stands, now and later (a sound played
    // meanwhile waits at its start), without touching any channel's own pause
    // flag; unpausing lets each channel go on unless it is paused itself.
    SoundResult setPaused(bool pause);
    SoundResult getPaused(bool* pause) const;

    bool isLoopback() const { return loopback; }
    // Loopback output only: mixes the next frames (stereo, interleaved, 2 x
    // frames floats) into out, refilling streams as it goes.
    SoundResult mix(float* out, int frames);

    // Replaces update()'s clock; an empty function restores steady_clock.
    static void setClock(Clock clock);

private:
    // Streams are refilled between stretches of this many frames, a quarter
    // of a stream block, so a stream never runs dry while being mixed.
    static constexpr int MIX_CHUNK = 1024;

    SoundResult openDevice(int maxChannels);
    SoundResult openLoopback(int maxChannels);
    void closeOutput();
    void serviceChannels();
    void mixElapsedTime();
    Channel* freeChannel();
    static double now();

    ALCdevice_struct* device = nullptr;
    ALCcontext_struct* context = nullptr;
    bool loopback = false;
    bool muted = false;
    bool holding = false;  // the master pause
    int channelLimit = 0;
    std::vector<std::unique_ptr<Channel>> channels;  // made as needed, up to channelLimit
    std::vector<std::unique_ptr<Sound>> sounds;
    double mixStart = 0.0;            // clock reading the loopback mix counts from
    std::int64_t framesMixed = 0;     // loopback frames mixed since mixStart
    std::vector<float> discarded;     // where update() mixes what nobody hears
};
