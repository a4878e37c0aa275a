#pragma once

// What a call of the sound system answers. OK is 0; every other value names
// one kind of failure, and soundResultString() gives its text. The numbers
// are stable: they are printed with the text in error messages.
enum class SoundResult : int {
    OK = 0,
    ERR_INVALID_PARAM = 1,     // a null handle or out-pointer, a channel count below 1
    ERR_NOT_INITIALIZED = 2,   // the system is not initialised, or already released
    ERR_INITIALIZED = 3,       // init on a system that is running
    ERR_OUTPUT = 4,            // neither an output device nor the loopback mix could be opened
    ERR_FILE_NOT_FOUND = 5,    // no such file
    ERR_FILE_EMPTY = 6,        // the file has no bytes
    ERR_FILE_BAD = 7,          // the file exists but cannot be opened or read
    ERR_FORMAT = 8,            // no MPEG audio the decoder can read in the file
    ERR_DECODER = 9,           // the decoder could not be started
    ERR_MEMORY = 10,           // the mixer refused a buffer or a voice
    ERR_CHANNEL_ALLOC = 11,    // every channel is busy
    ERR_CHANNEL_FREE = 12,     // the channel's sound has played out; the handle is stale
    ERR_INVALID_POSITION = 13, // a position at or beyond the end of the sound
    ERR_UNSUPPORTED = 14,      // the call needs the loopback mix (mix() on a device output)
};

// The text of a result, for messages; "unknown result" for a value outside the list.
const char* soundResultString(SoundResult result);
