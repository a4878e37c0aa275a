#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/SoundResult.h"

struct mpg123_handle_struct;

// Reads an MP3 file as 16-bit signed PCM at the file's own rate and channel
// count, channels interleaved. A frame is one sample per channel. Encoder
// delay and padding recorded in the file's Info frame are dropped, so the
// first frame read is the first sample of the music and a loop that seeks
// back to frame 0 has neither gap nor overlap.
class Mp3Decoder {
public:
    Mp3Decoder() = default;
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // Opens the file and reads its first MPEG frame: ERR_FILE_NOT_FOUND,
    // ERR_FILE_EMPTY, ERR_FILE_BAD, ERR_FORMAT (no MPEG audio in the file) or
    // ERR_DECODER; OK when frames can be read.
    SoundResult open(const std::string& path);

    int rate() const { return sampleRate; }
    int channels() const { return channelCount; }
    // Frames in the whole file (exact for files with an Info frame, counted
    // by a scan of the frame headers otherwise).
    std::int64_t length() const { return frames; }
    // The frame the next read starts at.
    std::int64_t tell() const;

    // Decodes up to maxFrames frames into out (room for maxFrames x channels
    // values) and returns how many it wrote; fewer only at the end of the
    // file or where the data cannot be decoded any further (atEnd() is then true).
    std::size_t read(std::int16_t* out, std::size_t maxFrames);
    bool atEnd() const { return ended; }
    // Moves to a frame; false if the decoder cannot go there.
    bool seek(std::int64_t frame);

private:
    SoundResult checkFile(const std::string& path) const;
    SoundResult readFormat();

    mpg123_handle_struct* handle = nullptr;
    int sampleRate = 0;
    int channelCount = 0;
    std::int64_t frames = 0;
    bool ended = false;
};
