// 16-bit greyscale PNG files, for heightmaps finer than 256 steps (stb
// writes 8 bits a channel only; its deflate coder does the compressing).
#pragma once

#include <cstdint>
#include <vector>

namespace assetgen {

// The file's bytes; row 0 of `values` is the picture's top row.
std::vector<uint8_t> greyPng16(const std::vector<uint16_t>& values, int width, int height);

}  // namespace assetgen
