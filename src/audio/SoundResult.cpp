#include "audio/SoundResult.h"

const char* soundResultString(SoundResult result) {
    switch (result) {
        case SoundResult::OK: return "No errors.";
        case SoundResult::ERR_INVALID_PARAM: return "An invalid parameter was passed to this function.";
        case SoundResult::ERR_NOT_INITIALIZED: return "The sound system has not been initialized.";
        case SoundResult::ERR_INITIALIZED: return "The sound system is already initialized.";
        case SoundResult::ERR_OUTPUT: return "No audio output could be opened, not even the loopback mix.";
        case SoundResult::ERR_FILE_NOT_FOUND: return "File not found.";
        case SoundResult::ERR_FILE_EMPTY: return "The file is empty.";
        case SoundResult::ERR_FILE_BAD: return "Error opening or reading the file.";
        case SoundResult::ERR_FORMAT: return "Unsupported file or audio format: no MPEG audio found.";
        case SoundResult::ERR_DECODER: return "The MPEG audio decoder could not be started.";
        case SoundResult::ERR_MEMORY: return "The mixer could not allocate a buffer or a voice.";
        case SoundResult::ERR_CHANNEL_ALLOC: return "Every channel is in use.";
        case SoundResult::ERR_CHANNEL_FREE: return "The channel has finished playing; the handle is no longer valid.";
        case SoundResult::ERR_INVALID_POSITION: return "The position is beyond the end of the sound.";
        case SoundResult::ERR_UNSUPPORTED: return "The call needs the loopback output.";
    }
    return "unknown result";
}
