#include "audio/Channel.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alext.h>

#include <algorithm>

#include "audio/Sound.h"

namespace {
ALenum bufferFormat(const Sound& sound) { return sound.channels() == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16; }

ALint sourceState(ALuint source) {
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}
}  // namespace

Channel::~Channel() {
    if (sound) stop();
    if (source) alDeleteSources(1, &source);
}

SoundResult Channel::start(Sound* s, bool startPaused) {
    if (!source) {
        alGetError();
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR) {
            source = 0;
            return SoundResult::ERR_MEMORY;
        }
        // Every sound is heard as it is, not placed in space: mono in the
        // middle, stereo channels straight to the left and right outputs.
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
    }
    sound = s;
    volume = 1.0f;
    muted = false;
    paused = startPaused;
    applyGain();
    if (sound->isStream()) {
        sound->channel = this;
        alSourcei(source, AL_LOOPING, AL_FALSE);  // a stream loops in its decoder
        idleBuffers = sound->streamBuffers;
        flushStream();
        sound->decoder->seek(0);
        nextFrame = 0;
        streamEnded = false;
    } else {
        alSourceRewind(source);  // a reused voice waits as new, not as played out
        alSourcei(source, AL_BUFFER, static_cast<ALint>(sound->sample));
        alSourcei(source, AL_LOOPING, sound->isLooping() ? AL_TRUE : AL_FALSE);
    }
    if (running()) play();
    return SoundResult::OK;
}

void Channel::hold(bool holding) {
    held = holding;
    if (!sound) return;
    if (held) {
        if (sourceState(source) == AL_PLAYING) alSourcePause(source);
    } else if (running() && (sound->isStream() || sourceState(source) != AL_STOPPED)) {
        // A sound that played out just before the pause stays over; service() frees it.
        play();
    }
}

void Channel::stop() {
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    if (sound->isStream()) {
        sound->channel = nullptr;
        queued.clear();
        idleBuffers.clear();
    }
    sound = nullptr;
}

void Channel::play() {
    if (sound->isStream()) refill();
    if (sourceState(source) != AL_PLAYING) alSourcePlay(source);
}

void Channel::service() {
    if (!sound || !running()) return;
    if (sound->isStream()) refill();
    if (sourceState(source) == AL_PLAYING) return;
    // Stopped without being paused: a stream that ran dry goes on with its
    // new blocks; anything else has played out.
    if (sound->isStream() && !queued.empty()) alSourcePlay(source);
    else stop();
}

void Channel::applyGain() { alSourcef(source, AL_GAIN, muted ? 0.0f : volume); }

// Takes back the blocks the mixer has played and queues freshly decoded ones.
void Channel::refill() {
    ALint processed = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0 && !queued.empty(); --processed) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source, 1, &buffer);
        idleBuffers.push_back(buffer);
        queued.pop_front();
    }
    fill();
}

void Channel::fill() {
    while (!idleBuffers.empty() && !streamEnded) {
        const std::size_t frames = sound->decodeBlock();
        if (frames == 0) {
            streamEnded = true;
            break;
        }
        const ALuint buffer = idleBuffers.back();
        idleBuffers.pop_back();
        const auto bytes = static_cast<ALsizei>(frames * sizeof(std::int16_t) * sound->channels());
        alBufferData(buffer, bufferFormat(*sound), sound->block.data(), bytes, sound->rate());
        alSourceQueueBuffers(source, 1, &buffer);
        queued.push_back({buffer, nextFrame});
        nextFrame = sound->decoder->tell();
    }
}

// Empties the mixer's queue of a stream; its buffers wait to be filled again.
void Channel::flushStream() {
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    for (const QueuedBlock& block : queued) idleBuffers.push_back(block.buffer);
    queued.clear();
}

// The frame of the stream the mixer plays now: the start of the oldest
// queued block plus the mixer's offset into the queue, which counts from
// that block on.
std::int64_t Channel::streamFrame() const {
    std::int64_t frame = nextFrame;
    if (!queued.empty()) {
        ALint offset = 0;
        alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
        frame = queued.front().start + offset;
    }
    const std::int64_t length = sound->length();
    if (length <= 0) return 0;
    return sound->isLooping() ? frame % length : std::min(frame, length);
}

SoundResult Channel::setVolume(float v) {
    if (!sound) return SoundResult::ERR_CHANNEL_FREE;
    volume = v > 0.0f ? std::min(v, 1.0f) : 0.0f;  // NaN too becomes 0
    applyGain();
    return SoundResult::OK;
}

SoundResult Channel::getVolume(float* v) const {
    if (!v) return SoundResult::ERR_INVALID_PARAM;
    if (!sound) return SoundResult::ERR_CHANNEL_FREE;
    *v = volume;
    return SoundResult::OK;
}

SoundResult Channel::setMute(bool mute) {
    if (!sound) return SoundResult::ERR_CHANNEL_FREE;
    muted = mute;
    applyGain();
    return SoundResult::OK;
}

SoundResult Channel::getMute(bool* mute) const {
    if (!mute) return SoundResult::ERR_INVALID_PARAM;
    if (!sound) return SoundResult::ERR_CHANNEL_FREE;
    *mute = muted;
    return SoundResult::OK;
}

SoundResult Channel::setPaused(bool pause) {
    if (!sound) return SoundResult::ERR_CHANNEL_FREE;
    if (pause == paused) return SoundResult::OK;
    paused = pause;
    if (paused) {
        if (sourceState(source) == AL_PLAYING) alSourcePause(source);
    } else if (running()) {
        play();
    }
    return SoundResult::OK;
}

SoundResult Channel::getPaused(bool* pause) const {
    if (!pause) return SoundResult::ERR_INVALID_PARAM;
    if (!sound) return SoundResult::ERR_CHANNEL_FREE;
    *pause = paused;
    return SoundResult::OK;
}

SoundResult Channel::setPosition(unsigned ms) {
    if (!sound) return SoundResult::ERR_CHANNEL_FREE;
    const std::int64_t frame = static_cast<std::int64_t>(ms) * sound->rate() / 1000;
    if (frame != 0 && frame >= sound->length()) return SoundResult::ERR_INVALID_POSITION;
    if (!sound->isStream()) {
        alSourcei(source, AL_SAMPLE_OFFSET, static_cast<ALint>(frame));
        return SoundResult::OK;
    }
    // A stream starts over from the new place: what is queued is dropped and
    // decoding resumes there (at once when playing, else when it runs again).
    flushStream();
    if (!sound->decoder->seek(frame)) return SoundResult::ERR_INVALID_POSITION;
    nextFrame = frame;
    streamEnded = false;
    if (running()) play();
    return SoundResult::OK;
}

SoundResult Channel::getPosition(unsigned* ms) const {
    if (!ms) return SoundResult::ERR_INVALID_PARAM;
    if (!sound) return SoundResult::ERR_CHANNEL_FREE;
    std::int64_t frame = 0;
    if (sound->isStream()) {
        frame = streamFrame();
    } else {
        ALint offset = 0;
        alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
        frame = offset;
    }
    *ms = static_cast<unsigned>(frame * 1000 / sound->rate());
    return SoundResult::OK;
}
