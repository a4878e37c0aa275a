#include "TownNames.h"

#include <cctype>

namespace assetgen {

namespace {

// Onsets, vowels and codas of the inner syllables, and the endings that make
// a word sound like a place.
const char* const TOWN_ONSETS[] = {"B", "Br", "D", "Dr", "F", "G", "Gr", "H", "K", "Kl", "Kr", "L", "M", "N",
                                   "P", "R", "S", "Sch", "St", "T", "Tr", "W", "Z", "Tsch"};
const char* const TOWN_VOWELS[] = {"a", "e", "i", "o", "u", "au", "ei", "ie", "a", "o"};
const char* const TOWN_CODAS[] = {"", "", "n", "r", "l", "m", "ch", "t", "s", "tsch", "nd", "rn"};
const char* const TOWN_ENDINGS[] = {"ach", "ach", "ing", "dorf", "berg", "hof", "bach", "feld", "au",
                                    "itz", "egg", "kirchen", "stein", "ern", "inz", "ig"};

bool isVowel(char c) { return std::string("aeiou").find(c) != std::string::npos; }

template <std::size_t N>
const char* pick(Random& random, const char* const (&list)[N]) {
    return list[random.below(static_cast<int>(N))];
}

}  // namespace

std::string TownNames::candidate() {
    std::string name;
    const int inner = 1 + random.below(2);
    for (int s = 0; s < inner; ++s) {
        std::string onset = pick(random, TOWN_ONSETS);
        if (s > 0) onset[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(onset[0])));
        name += onset + pick(random, TOWN_VOWELS) + pick(random, TOWN_CODAS);
    }
    // No three vowels in a row where the last syllable meets the ending.
    const std::string ending = pick(random, TOWN_ENDINGS);
    if (isVowel(name.back()) && isVowel(ending[0])) name += 'n';
    return name + ending;
}

std::string TownNames::next() {
    for (;;) {
        std::string name = candidate();
        if (name.size() <= MAX_LENGTH && given.insert(name).second) return name;
    }
}

}  // namespace assetgen
