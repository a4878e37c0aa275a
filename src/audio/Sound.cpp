#include "audio/Sound.h"

std::size_t Sound::decodeBlock() {
    std::size_t got = 0;
    bool rewound = false;
    while (got < BLOCK_FRAMES) {
        const std::size_t n = decoder->read(block.data() + got * channelCount, BLOCK_FRAMES - got);
        got += n;
        if (got == BLOCK_FRAMES || !looping || !decoder->atEnd()) break;
        // A file that yields nothing after a rewind would spin here for ever.
        if (rewound && n == 0) break;
        // The end is known exactly now: positions wrap at the frames the file really had.
        if (decoder->tell() > 0) frames = decoder->tell();
        if (!decoder->seek(0)) break;
        rewound = true;
    }
    return got;
}
