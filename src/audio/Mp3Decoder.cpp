#include "audio/Mp3Decoder.h"

#include <mpg123.h>
#include <sys/stat.h>

#include <cstdio>

namespace {
// mpg123_init only prepares tables; once per process is enough.
bool libraryReady() {
    static const bool ready = mpg123_init() == MPG123_OK;
    return ready;
}
}  // namespace

Mp3Decoder::~Mp3Decoder() {
    if (handle) mpg123_delete(handle);
}

SoundResult Mp3Decoder::checkFile(const std::string& path) const {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return SoundResult::ERR_FILE_NOT_FOUND;
    if (!S_ISREG(info.st_mode)) return SoundResult::ERR_FILE_BAD;
    if (info.st_size == 0) return SoundResult::ERR_FILE_EMPTY;
    return SoundResult::OK;
}

// Fixes the output to 16-bit signed samples at the file's own rate and
// channel count, so that every later read delivers that one format.
SoundResult Mp3Decoder::readFormat() {
    long rate = 0;
    int encoding = 0;
    if (mpg123_getformat(handle, &rate, &channelCount, &encoding) != MPG123_OK) return SoundResult::ERR_FORMAT;
    sampleRate = static_cast<int>(rate);
    if (sampleRate <= 0 || channelCount < 1 || channelCount > 2) return SoundResult::ERR_FORMAT;
    mpg123_format_none(handle);
    if (mpg123_format(handle, rate, channelCount, MPG123_ENC_SIGNED_16) != MPG123_OK) return SoundResult::ERR_FORMAT;
    off_t total = mpg123_length(handle);
    if (total < 0 && mpg123_scan(handle) == MPG123_OK) total = mpg123_length(handle);
    if (total <= 0) return SoundResult::ERR_FORMAT;
    frames = total;
    return SoundResult::OK;
}

SoundResult Mp3Decoder::open(const std::string& path) {
    const SoundResult file = checkFile(path);
    if (file != SoundResult::OK) return file;
    if (!libraryReady()) return SoundResult::ERR_DECODER;
    if (handle) mpg123_delete(handle);
    int error = MPG123_OK;
    handle = mpg123_new(nullptr, &error);
    if (!handle) return SoundResult::ERR_DECODER;
    // Failures come back as results; the library's own console messages
    // would only repeat them.
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    if (mpg123_open(handle, path.c_str()) != MPG123_OK) return SoundResult::ERR_FILE_BAD;
    ended = false;
    return readFormat();
}

std::int64_t Mp3Decoder::tell() const {
    const off_t frame = handle ? mpg123_tell(handle) : 0;
    return frame < 0 ? 0 : frame;
}

std::size_t Mp3Decoder::read(std::int16_t* out, std::size_t maxFrames) {
    if (!handle || ended) return 0;
    const std::size_t frameBytes = sizeof(std::int16_t) * static_cast<std::size_t>(channelCount);
    unsigned char* bytes = reinterpret_cast<unsigned char*>(out);
    std::size_t filled = 0, wanted = maxFrames * frameBytes;
    int formatNotes = 0;
    while (filled < wanted) {
        std::size_t done = 0;
        const int status = mpg123_read(handle, bytes + filled, wanted - filled, &done);
        filled += done;
        // The library announces the format it was told to deliver once
        // after open and after a seek; the format itself stays as fixed.
        if (status == MPG123_NEW_FORMAT && ++formatNotes < 4) continue;
        if (status != MPG123_OK || done == 0) {
            ended = true;
            break;
        }
    }
    return filled / frameBytes;
}

bool Mp3Decoder::seek(std::int64_t frame) {
    if (!handle || frame < 0) return false;
    if (mpg123_seek(handle, static_cast<off_t>(frame), SEEK_SET) < 0) return false;
    ended = false;
    return true;
}
