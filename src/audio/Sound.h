#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/Mp3Decoder.h"

class Channel;

// Whether a sound starts again from its beginning when it reaches its end.
enum class SoundLoop { OFF, NORMAL };

// A sound of the SoundSystem. Made by createSound, it is decoded whole into
// one mixer buffer when it is created, and any number of channels may play
// it at once. Made by createStream, it keeps its file open and is decoded
// block by block while it plays, on one channel at a time. The system owns
// every sound and frees it when it is released.
class Sound {
public:
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    bool isStream() const { return decoder != nullptr; }
    bool isLooping() const { return looping; }
    int rate() const { return sampleRate; }
    int channels() const { return channelCount; }
    std::int64_t length() const { return frames; }  // frames
    unsigned lengthMs() const { return sampleRate ? static_cast<unsigned>(frames * 1000 / sampleRate) : 0; }

    // A stream's block: about 93 ms at 44.1 kHz. A playing stream keeps
    // STREAM_BLOCKS of them queued in the mixer, so it survives a frame of
    // up to about a quarter of a second without running dry.
    static constexpr std::size_t BLOCK_FRAMES = 4096;
    static constexpr int STREAM_BLOCKS = 4;

private:
    friend class SoundSystem;
    friend class Channel;

    explicit Sound(SoundLoop loop) : looping(loop == SoundLoop::NORMAL) {}

    // Decodes the next block of a stream into `block`; a looping stream goes
    // on from its first frame when the file ends. Returns the frames decoded
    // (0 once a stream without loop is at its end, or nothing is decodable).
    std::size_t decodeBlock();

    bool looping;
    int sampleRate = 0;
    int channelCount = 0;
    std::int64_t frames = 0;

    unsigned sample = 0;                    // mixer buffer of a sound decoded whole
    std::unique_ptr<Mp3Decoder> decoder;    // a stream's open file
    std::vector<unsigned> streamBuffers;    // the mixer buffers a stream cycles through
    std::vector<std::int16_t> block;        // a stream's decoding space, one block
    Channel* channel = nullptr;             // the channel a stream plays on, if any
};
