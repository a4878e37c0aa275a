// Helpers of the audio tests: the kit's sound files, their samples decoded
// as the sound system decodes them, and measures of the mixed output.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "audio/SoundSystem.h"

namespace audiotest {

// Frames a second of the mixed output.
constexpr int RATE = SoundSystem::MIX_RATE;

// <game dir>/audio/<name>: the sound files the asset kit writes for the game.
std::string gameAudio(const std::string& name);

// A whole file decoded with the game's decoder, samples scaled to -1..1,
// channels interleaved.
struct Pcm {
    int channels = 0;
    int rate = 0;
    std::vector<float> samples;
    std::size_t frames() const { return channels ? samples.size() / channels : 0; }
    unsigned lengthMs() const { return rate ? static_cast<unsigned>(frames() * 1000 / rate) : 0; }
};
Pcm decode(const std::string& path);

// Root mean square of the stereo frames [from, to) of a mix.
double rms(const std::vector<float>& stereo, std::size_t from = 0, std::size_t to = static_cast<std::size_t>(-1));

// The largest difference between the mix's frames from mixFrom on and the
// gain-scaled frames of a stereo recording from pcmFrom on (wrapping round
// to its start, as a loop does), over `frames` frames.
double deviation(const std::vector<float>& stereo, std::size_t mixFrom, const Pcm& pcm, std::size_t pcmFrom,
                 std::size_t frames, double gain);

// A fresh folder under the system's temporary folder, removed with its
// content when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return folder; }
    // Writes a file of the given bytes into the folder; its full path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string folder;
};

}  // namespace audiotest
