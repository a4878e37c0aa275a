#include "AudioTestSupport.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "audio/Mp3Decoder.h"

namespace audiotest {

std::string gameAudio(const std::string& name) {
    const char* dir = std::getenv("ZARVIK_GAME_DIR");
    return std::string(dir ? dir : "game") + "/audio/" + name;
}

Pcm decode(const std::string& path) {
    Pcm pcm;
    Mp3Decoder decoder;
    if (decoder.open(path) != SoundResult::OK) return pcm;
    pcm.channels = decoder.channels();
    pcm.rate = decoder.rate();
    std::vector<std::int16_t> block(4096 * static_cast<std::size_t>(pcm.channels));
    for (;;) {
        const std::size_t n = decoder.read(block.data(), 4096);
        for (std::size_t i = 0; i < n * pcm.channels; ++i) pcm.samples.push_back(block[i] / 32768.0f);
        if (n == 0) break;
    }
    return pcm;
}

double rms(const std::vector<float>& stereo, std::size_t from, std::size_t to) {
    to = std::min(to, stereo.size() / 2);
    double sum = 0.0;
    for (std::size_t i = 2 * from; i < 2 * to; ++i) sum += static_cast<double>(stereo[i]) * stereo[i];
    return to > from ? std::sqrt(sum / (2.0 * (to - from))) : 0.0;
}

double deviation(const std::vector<float>& stereo, std::size_t mixFrom, const Pcm& pcm, std::size_t pcmFrom,
                 std::size_t frames, double gain) {
    double worst = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        const std::size_t source = (pcmFrom + i) % pcm.frames();
        for (int c = 0; c < 2; ++c) {
            const double expected = gain * pcm.samples[source * pcm.channels + (pcm.channels == 2 ? c : 0)];
            worst = std::max(worst, std::fabs(stereo[2 * (mixFrom + i) + c] - expected));
        }
    }
    return worst;
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zarvik-audio-XXXXXX").string();
    if (mkdtemp(pattern.data())) folder = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
}

std::string TempFolder::write(const std::string& name, const std::string& bytes) const {
    const std::string path = folder + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

}  // namespace audiotest
