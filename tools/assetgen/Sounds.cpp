#include "Sounds.h"

#include <thread>

#include "Mp3Encoder.h"
#include "Music.h"

namespace assetgen {

namespace {

struct SoundRecipe {
    SoundFile file;
    AudioBuffer (*compose)();
    bool stereo;
    int kbps;
};

const std::vector<SoundRecipe>& recipes() {
    static const std::vector<SoundRecipe> list = {
        {{"audio/background.mp3", true}, composeBackground, true, 112},
        {{"audio/hunting.mp3", true}, composeHunting, true, 112},
        {{"audio/intro.mp3", true}, composeIntro, true, 112},
        {{"audio/winner.mp3", true}, composeWinner, true, 112},
        {{"audio/looser.mp3", true}, composeLooser, true, 112},
        {{"audio/pickup.mp3", false}, effectPickup, false, 96},
        {{"audio/overkill.mp3", false}, effectOverkill, false, 96},
        {{"audio/error.mp3", false}, effectError, false, 96},
        {{"audio/cheer.mp3", false}, effectCheer, false, 96},
    };
    return list;
}

}  // namespace

const std::vector<SoundFile>& soundFiles() {
    static const std::vector<SoundFile> files = [] {
        std::vector<SoundFile> f;
        for (const SoundRecipe& r : recipes()) f.push_back(r.file);
        return f;
    }();
    return files;
}

void writeSounds(AssetSink& sink) {
    // Two threads share the sounds; each file depends only on its recipe.
    auto work = [&sink](size_t first) {
        for (size_t i = first; i < recipes().size(); i += 2) {
            const SoundRecipe& r = recipes()[i];
            sink.write(r.file.path, encodeMp3(r.compose(), r.stereo, r.kbps));
        }
    };
    std::thread helper(work, 1);
    work(0);
    helper.join();
}

}  // namespace assetgen
