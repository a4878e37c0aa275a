#include "assets/Rgb565Mipmaps.h"

#include <array>
#include <utility>

#include <GL/glew.h>

#include "math/Utilities.h"

namespace {
// 8 bits to 5 and to 6, rounded: (x * 31 + 127) / 255 and (x * 63 + 127) / 255.
template <unsigned MAX>
constexpr std::array<std::uint16_t, 256> narrowed() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned x = 0; x < 256; ++x) table[x] = static_cast<std::uint16_t>((x * MAX + 127) / 255);
    return table;
}
constexpr std::array<std::uint16_t, 256> FIVE = narrowed<31>(), SIX = narrowed<63>();

void pack(const unsigned char* rgb, std::size_t texels, bool bgr, std::uint16_t* out) {
    const int r = bgr ? 2 : 0, b = bgr ? 0 : 2;
    for (std::size_t i = 0; i < texels; ++i, rgb += 3)
        out[i] = static_cast<std::uint16_t>(FIVE[rgb[r]] << 11 | SIX[rgb[1]] << 5 | FIVE[rgb[b]]);
}
}  // namespace

bool Rgb565Mipmaps::fits(int width, int height) {
    return width >= 4 && isPowerOfTwo(width) && isPowerOfTwo(height);
}

Rgb565Mipmaps::Rgb565Mipmaps(const unsigned char* rgb, int width, int height, bool bgr)
    : width(width), height(height) {
    std::size_t total = 0;
    for (int i = 0;; ++i) {
        offsets.push_back(total);
        total += static_cast<std::size_t>(levelWidth(i)) * static_cast<std::size_t>(levelHeight(i));
        if (levelWidth(i) == 1 && levelHeight(i) == 1) break;
    }
    texels.resize(total);
    std::vector<unsigned char> previous;  // the last level in 8 bits per channel
    for (int i = 0; i < levelCount(); ++i) {
        const std::size_t w = static_cast<std::size_t>(levelWidth(i)), h = static_cast<std::size_t>(levelHeight(i));
        const unsigned char* level = previous.empty() ? rgb : previous.data();
        pack(level, w * h, bgr, texels.data() + offsets[static_cast<std::size_t>(i)]);
        if (i + 1 < levelCount()) {
            std::vector<unsigned char> next(static_cast<std::size_t>(levelWidth(i + 1) * levelHeight(i + 1)) * 3);
            MipmapHalving::halve<3>(level, w, h, next.data());
            previous = std::move(next);
        }
    }
}

std::vector<std::uint16_t> Rgb565Mipmaps::level(int index) const {
    const std::size_t at = offsets[static_cast<std::size_t>(index)];
    const std::size_t count = static_cast<std::size_t>(levelWidth(index)) * static_cast<std::size_t>(levelHeight(index));
    return std::vector<std::uint16_t>(texels.begin() + static_cast<std::ptrdiff_t>(at),
                                      texels.begin() + static_cast<std::ptrdiff_t>(at + count));
}

void Rgb565Mipmaps::upload() const {
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 2);  // a level one texel wide has rows of one 16-bit word
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    for (int i = 0; i < levelCount(); ++i)
        glTexImage2D(GL_TEXTURE_2D, i, GL_RGB565, levelWidth(i), levelHeight(i), 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5,
                     texels.data() + offsets[static_cast<std::size_t>(i)]);
    glPopClientAttrib();
}
