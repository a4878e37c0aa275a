#pragma once
#include <cstddef>

// One step down a mipmap chain of 8-bit channels, as gluBuild2DMipmaps takes
// it: each channel of the next level is the rounded mean of 2 x 2 texels,
// (a + b + c + d + 2) / 4, and once a side is down to one texel the
// truncated mean of 2 neighbours, (a + b) / 2. The chains built on the
// processor (Rgb565Mipmaps, RgbaMipmaps) so hold the very texels GLU makes.
namespace MipmapHalving {

// The side of a chain's level `level`, whose first level has side `first`.
inline int side(int first, int level) { return first >> level > 0 ? first >> level : 1; }

// Writes the level after `from` (width x height texels of CHANNELS bytes,
// row after row; not both sides 1) to `to`, which has room for
// max(width / 2, 1) x max(height / 2, 1) texels. Sides are powers of two.
template <int CHANNELS>
void halve(const unsigned char* from, std::size_t width, std::size_t height, unsigned char* to);

}  // namespace MipmapHalving
