#include "audio/SoundSystem.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace {
const SoundSystem* running = nullptr;  // the system whose context is current

SoundSystem::Clock& replacedClock() {
    static SoundSystem::Clock clock;
    return clock;
}

// Decodes a whole file; false if nothing at all could be decoded.
bool decodeWhole(Mp3Decoder& decoder, std::vector<std::int16_t>& pcm) {
    const std::size_t block = Sound::BLOCK_FRAMES, width = static_cast<std::size_t>(decoder.channels());
    pcm.resize(static_cast<std::size_t>(decoder.length()) * width);
    std::size_t frames = 0;
    while (!decoder.atEnd()) {
        if ((frames + block) * width > pcm.size()) pcm.resize((frames + block) * width);
        const std::size_t n = decoder.read(pcm.data() + frames * width, block);
        frames += n;
        if (n == 0) break;
    }
    pcm.resize(frames * width);
    return frames > 0;
}

bool generateBuffers(std::vector<unsigned>& buffers, int count) {
    buffers.assign(static_cast<std::size_t>(count), 0);
    alGetError();
    alGenBuffers(count, buffers.data());
    if (alGetError() == AL_NO_ERROR) return true;
    buffers.clear();
    return false;
}
}  // namespace

SoundSystem::~SoundSystem() { release(); }

double SoundSystem::now() {
    if (replacedClock()) return replacedClock()();
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SoundSystem::setClock(Clock clock) { replacedClock() = std::move(clock); }

SoundResult SoundSystem::openDevice(int maxChannels) {
    device = alcOpenDevice(nullptr);
    if (!device) return SoundResult::ERR_OUTPUT;
    // No auxiliary sends: the game uses no effects, and every send makes each
    // of the voices the library keeps ready larger (about 3 MB in all).
    const ALCint attributes[] = {ALC_MONO_SOURCES, maxChannels, ALC_MAX_AUXILIARY_SENDS, 0, 0};
    context = alcCreateContext(device, attributes);
    if (context) return SoundResult::OK;
    closeOutput();
    return SoundResult::ERR_OUTPUT;
}

// Stereo float at MIX_RATE, no limiter, no HRTF and no sends: the mix is the
// plain sum of the voices, as tests measure it.
SoundResult SoundSystem::openLoopback(int maxChannels) {
    device = alcLoopbackOpenDeviceSOFT(nullptr);
    if (!device) return SoundResult::ERR_OUTPUT;
    if (!alcIsRenderFormatSupportedSOFT(device, MIX_RATE, ALC_STEREO_SOFT, ALC_FLOAT_SOFT)) {
        closeOutput();
        return SoundResult::ERR_OUTPUT;
    }
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,  ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                                 ALC_FREQUENCY,            MIX_RATE,         ALC_OUTPUT_LIMITER_SOFT, ALC_FALSE,
                                 ALC_HRTF_SOFT,            ALC_FALSE,        ALC_MONO_SOURCES,     maxChannels,
                                 ALC_MAX_AUXILIARY_SENDS, 0, 0};
    context = alcCreateContext(device, attributes);
    if (!context) {
        closeOutput();
        return SoundResult::ERR_OUTPUT;
    }
    loopback = true;
    return SoundResult::OK;
}

void SoundSystem::closeOutput() {
    if (context) {
        if (alcGetCurrentContext() == context) alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
    }
    if (device) alcCloseDevice(device);
    context = nullptr;
    device = nullptr;
    loopback = false;
}

SoundResult SoundSystem::init(int maxChannels, Output output) {
    if (running) return SoundResult::ERR_INITIALIZED;
    if (maxChannels < 1) return SoundResult::ERR_INVALID_PARAM;
    SoundResult result = SoundResult::ERR_OUTPUT;
    if (output == Output::DEVICE) {
        result = openDevice(maxChannels);
        if (result != SoundResult::OK)
            std::printf("\n SoundSystem::init(): no audio output device, mixing into a silent loopback device...");
    }
    if (result != SoundResult::OK) result = openLoopback(maxChannels);
    if (result != SoundResult::OK) return result;
    alcMakeContextCurrent(context);
    running = this;
    channelLimit = maxChannels;
    muted = false;
    holding = false;
    mixStart = now();
    framesMixed = 0;
    return SoundResult::OK;
}

SoundResult SoundSystem::release() {
    if (!context) return SoundResult::ERR_NOT_INITIALIZED;
    channels.clear();  // stops every voice
    for (const auto& sound : sounds) {
        if (sound->sample) alDeleteBuffers(1, &sound->sample);
        if (!sound->streamBuffers.empty())
            alDeleteBuffers(static_cast<ALsizei>(sound->streamBuffers.size()), sound->streamBuffers.data());
    }
    sounds.clear();
    closeOutput();
    running = nullptr;
    return SoundResult::OK;
}

SoundResult SoundSystem::createSound(const std::string& path, SoundLoop loop, Sound** sound) {
    if (!sound) return SoundResult::ERR_INVALID_PARAM;
    *sound = nullptr;
    if (!context) return SoundResult::ERR_NOT_INITIALIZED;
    Mp3Decoder decoder;
    const SoundResult opened = decoder.open(path);
    if (opened != SoundResult::OK) return opened;
    std::vector<std::int16_t> pcm;
    if (!decodeWhole(decoder, pcm)) return SoundResult::ERR_FORMAT;

    std::unique_ptr<Sound> made(new Sound(loop));
    made->sampleRate = decoder.rate();
    made->channelCount = decoder.channels();
    made->frames = static_cast<std::int64_t>(pcm.size()) / decoder.channels();
    std::vector<unsigned> buffer;
    if (!generateBuffers(buffer, 1)) return SoundResult::ERR_MEMORY;
    made->sample = buffer[0];
    alBufferData(made->sample, decoder.channels() == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, pcm.data(),
                 static_cast<ALsizei>(pcm.size() * sizeof(std::int16_t)), decoder.rate());
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &made->sample);
        return SoundResult::ERR_MEMORY;
    }
    *sound = made.get();
    sounds.push_back(std::move(made));
    return SoundResult::OK;
}

SoundResult SoundSystem::createStream(const std::string& path, SoundLoop loop, Sound** sound) {
    if (!sound) return SoundResult::ERR_INVALID_PARAM;
    *sound = nullptr;
    if (!context) return SoundResult::ERR_NOT_INITIALIZED;
    auto decoder = std::make_unique<Mp3Decoder>();
    const SoundResult opened = decoder->open(path);
    if (opened != SoundResult::OK) return opened;

    std::unique_ptr<Sound> made(new Sound(loop));
    made->sampleRate = decoder->rate();
    made->channelCount = decoder->channels();
    made->frames = decoder->length();
    made->block.resize(Sound::BLOCK_FRAMES * static_cast<std::size_t>(decoder->channels()));
    made->decoder = std::move(decoder);
    if (!generateBuffers(made->streamBuffers, Sound::STREAM_BLOCKS)) return SoundResult::ERR_MEMORY;
    *sound = made.get();
    sounds.push_back(std::move(made));
    return SoundResult::OK;
}

// A free channel that has been used before comes first: it already has its voice.
Channel* SoundSystem::freeChannel() {
    for (const auto& channel : channels)
        if (!channel->inUse()) return channel.get();
    if (static_cast<int>(channels.size()) >= channelLimit) return nullptr;
    channels.push_back(std::make_unique<Channel>());
    return channels.back().get();
}

SoundResult SoundSystem::playSound(Sound* sound, bool paused, Channel** channel) {
    if (channel) *channel = nullptr;
    if (!sound) return SoundResult::ERR_INVALID_PARAM;
    if (!context) return SoundResult::ERR_NOT_INITIALIZED;
    if (sound->isStream() && sound->channel) sound->channel->stop();
    Channel* free = freeChannel();
    if (!free) return SoundResult::ERR_CHANNEL_ALLOC;
    free->held = holding;
    const SoundResult started = free->start(sound, paused);
    if (started != SoundResult::OK) return started;
    if (channel) *channel = free;
    return SoundResult::OK;
}

void SoundSystem::serviceChannels() {
    for (const auto& channel : channels) channel->service();
}

SoundResult SoundSystem::mix(float* out, int frames) {
    if (!context) return SoundResult::ERR_NOT_INITIALIZED;
    if (!loopback) return SoundResult::ERR_UNSUPPORTED;
    if (!out || frames < 0) return SoundResult::ERR_INVALID_PARAM;
    for (int done = 0; done < frames;) {
        const int n = std::min(MIX_CHUNK, frames - done);
        serviceChannels();
        alcRenderSamplesSOFT(device, out + 2 * done, n);
        done += n;
    }
    return SoundResult::OK;
}

// The loopback mix keeps pace with the clock, as a device would; after a
// stall of more than MAX_CATCH_UP seconds the rest is skipped, as a device
// that ran dry would skip it.
void SoundSystem::mixElapsedTime() {
    const std::int64_t due = static_cast<std::int64_t>(std::floor((now() - mixStart) * MIX_RATE));
    std::int64_t frames = due - framesMixed;
    const auto limit = static_cast<std::int64_t>(MAX_CATCH_UP * MIX_RATE);
    if (frames > limit) frames = limit;
    framesMixed = due;
    discarded.resize(2 * MIX_CHUNK);
    for (; frames > 0; frames -= MIX_CHUNK)
        mix(discarded.data(), static_cast<int>(std::min<std::int64_t>(frames, MIX_CHUNK)));
}

SoundResult SoundSystem::update() {
    if (!context) return SoundResult::ERR_NOT_INITIALIZED;
    if (loopback) mixElapsedTime();
    serviceChannels();
    return SoundResult::OK;
}

SoundResult SoundSystem::setMute(bool mute) {
    if (!context) return SoundResult::ERR_NOT_INITIALIZED;
    muted = mute;
    alListenerf(AL_GAIN, muted ? 0.0f : 1.0f);
    return SoundResult::OK;
}

SoundResult SoundSystem::getMute(bool* mute) const {
    if (!mute) return SoundResult::ERR_INVALID_PARAM;
    if (!context) return SoundResult::ERR_NOT_INITIALIZED;
    *mute = muted;
    return SoundResult::OK;
}

SoundResult SoundSystem::setPaused(bool pause) {
    if (!context) return SoundResult::ERR_NOT_INITIALIZED;
    holding = pause;
    for (const auto& channel : channels) channel->hold(holding);
    return SoundResult::OK;
}

SoundResult SoundSystem::getPaused(bool* pause) const {
    if (!pause) return SoundResult::ERR_INVALID_PARAM;
    if (!context) return SoundResult::ERR_NOT_INITIALIZED;
    *pause = holding;
    return SoundResult::OK;
}
