#include "game/GhostChoice.h"

#include <cstdio>
#include <fstream>

#include "game/AtomicFile.h"
#include "game/BestTimes.h"

namespace {
constexpr const char* SHOWN = "ghost shown";
constexpr const char* HIDDEN = "ghost hidden";
}  // namespace

std::string GhostChoice::path() {
    const std::string folder = BestTimes::dataFolder();
    return folder.empty() ? folder : folder + "/ghost-choice";
}

bool GhostChoice::shown() {
    std::ifstream in(path());
    std::string line;
    return !(in && std::getline(in, line) && line == HIDDEN);
}

void GhostChoice::keep(bool shown) {
    const std::string file = path();
    if (!file.empty() && !AtomicFile::write(file, std::string(shown ? SHOWN : HIDDEN) + "\n"))
        std::printf("\n GhostChoice: WARNING! cannot write %s; the choice lasts until the game ends", file.c_str());
}
