#pragma once
#include <cstdint>
#include <string>

// Small PNG pictures written for the tests, stored top row first as every
// picture file is; where they land on screen shows the loader's orientation.
namespace TestPictures {

struct Colour {
    std::uint8_t r, g, b, a;
};

// Four quadrants: TOP_LEFT, TOP_RIGHT, BOTTOM_LEFT, BOTTOM_RIGHT.
constexpr Colour TOP_LEFT{255, 0, 0, 255};
constexpr Colour TOP_RIGHT{0, 255, 0, 255};
constexpr Colour BOTTOM_LEFT{0, 0, 255, 255};
constexpr Colour BOTTOM_RIGHT{255, 255, 255, 255};

// A size x size picture of the four quadrants, in a temporary folder of the
// test program's (removed when the program ends); returns its path.
std::string quadrants(int size = 64);
// A size x size picture of one colour; returns its path.
std::string solid(Colour colour, int size = 16);

}  // namespace TestPictures
