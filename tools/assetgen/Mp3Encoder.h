// MP3 encoding with libmp3lame.
#pragma once

#include <cstdint>
#include <vector>

#include "Synth.h"

namespace assetgen {

// Constant bit rate; mono mixes both channels. The stream starts with an
// Info frame (the LAME tag) that records the encoder's delay and padding,
// so decoders that honour it (mpg123 does) return exactly the samples
// given, which keeps the loops gapless.
std::vector<uint8_t> encodeMp3(const AudioBuffer& sound, bool stereo, int kbps);

}  // namespace assetgen
