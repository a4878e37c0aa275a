// Made-up town names for the plates of a level: two or three syllables of
// an alpine dialect's sound ("Krumtschach", "Obernigg"), in plain ASCII so
// that any plate font writes them. The names of one level differ.
#pragma once

#include <set>
#include <string>

#include "Noise.h"

namespace assetgen {

class TownNames {
public:
    explicit TownNames(Random& random) : random(random) {}

    // A name not given before by this object, at most MAX_LENGTH letters.
    std::string next();
    static constexpr std::size_t MAX_LENGTH = 14;

private:
    std::string candidate();
    Random& random;
    std::set<std::string> given;
};

}  // namespace assetgen
