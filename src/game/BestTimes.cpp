#include "game/BestTimes.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "game/AtomicFile.h"
#include "game/UserDataFolder.h"

namespace {
constexpr const char* KEYWORD = "best";
// A record file is one short line; anything longer is not ours.
constexpr std::streamsize MAX_FILE_SIZE = 256;

bool isRaceTime(double seconds) { return std::isfinite(seconds) && seconds > 0.0; }
}  // namespace

BestTimes::BestTimes(std::string p) : path(std::move(p)) {}

std::string BestTimes::defaultPath() { return UserDataFolder::path("records"); }

// The shortest text that reads back as exactly the same number: the record
// read in the next game is the time shown in this one.
std::string BestTimes::format(double seconds) {
    char number[64];
    const auto end = std::to_chars(number, number + sizeof(number), seconds).ptr;
    return std::string(KEYWORD) + " " + std::string(number, end) + "\n";
}

std::optional<double> BestTimes::parse(const std::string& text) {
    std::istringstream in(text);
    std::string keyword, rest;
    double seconds = 0.0;
    if (!(in >> keyword) || keyword != KEYWORD || !(in >> seconds) || !isRaceTime(seconds)) return std::nullopt;
    if (in >> rest) return std::nullopt;  // nothing may follow the time
    return seconds;
}

void BestTimes::load() {
    record.reset();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::printf("\n BestTimes: no record file %s yet (%s)", path.c_str(), std::strerror(errno));
        return;
    }
    std::string text(MAX_FILE_SIZE + 1, '\0');
    in.read(&text[0], MAX_FILE_SIZE + 1);
    text.resize(static_cast<size_t>(in.gcount()));
    if (in.bad() || text.size() > static_cast<size_t>(MAX_FILE_SIZE) || !(record = parse(text)))
        std::printf("\n BestTimes: ignoring the unreadable or corrupt record file %s", path.c_str());
}

bool BestTimes::offer(double seconds) {
    if (!isRaceTime(seconds) || (record && seconds >= *record)) return false;
    record = seconds;
    if (!save(seconds)) std::printf("\n BestTimes: WARNING! cannot write %s; the record is kept until the game ends", path.c_str());
    return true;
}

bool BestTimes::save(double seconds) const { return AtomicFile::write(path, format(seconds)); }
