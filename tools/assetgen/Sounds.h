// The music loops and sound effects, synthesised and encoded as MP3.
#pragma once

#include <string>
#include <vector>

#include "AssetSink.h"

namespace assetgen {

struct SoundFile {
    std::string path;  // "audio/background.mp3"
    bool loop;         // music that the game repeats
};

const std::vector<SoundFile>& soundFiles();

void writeSounds(AssetSink& sink);

}  // namespace assetgen
