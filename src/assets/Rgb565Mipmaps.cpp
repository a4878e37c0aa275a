#include "assets/Rgb565Mipmaps.h"

#include <algorithm>
#include <array>

#include <GL/glew.h>

namespace {
// 8 bits to 5 and to 6, rounded: (x * 31 + 127) / 255 and (x * 63 + 127) / 255.
template <unsigned MAX>
constexpr std::array<std::uint16_t, 256> narrowed() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned x = 0; x < 256; ++x) table[x] = static_cast<std::uint16_t>((x * MAX + 127) / 255);
    return table;
}
constexpr std::array<std::uint16_t, 256> FIVE = narrowed<31>(), SIX = narrowed<63>();

std::vector<std::uint16_t> packed(const unsigned char* rgb, std::size_t texels, bool bgr) {
    const int r = bgr ? 2 : 0, b = bgr ? 0 : 2;
    std::vector<std::uint16_t> out(texels);
    for (std::size_t i = 0; i < texels; ++i, rgb += 3)
        out[i] = static_cast<std::uint16_t>(FIVE[rgb[r]] << 11 | SIX[rgb[1]] << 5 | FIVE[rgb[b]]);
    return out;
}

// The level after one of width x height texels (not both 1).
std::vector<unsigned char> halved(const unsigned char* rgb, std::size_t width, std::size_t height) {
    const std::size_t row = width * 3;
    std::vector<unsigned char> out(std::max<std::size_t>(width / 2, 1) * std::max<std::size_t>(height / 2, 1) * 3);
    unsigned char* to = out.data();
    if (width == 1 || height == 1) {  // a row or a column: pairs of neighbours
        for (std::size_t i = 0; i + 6 <= width * height * 3; i += 6)
            for (int c = 0; c < 3; ++c) *to++ = static_cast<unsigned char>((0u + rgb[i + c] + rgb[i + 3 + c]) / 2);
        return out;
    }
    for (std::size_t y = 0; y < height / 2; ++y) {
        const unsigned char* top = rgb + 2 * y * row;
        const unsigned char* bottom = top + row;
        for (std::size_t x = 0; x < width / 2; ++x, top += 6, bottom += 6)
            for (int c = 0; c < 3; ++c)
                *to++ = static_cast<unsigned char>((0u + top[c] + top[c + 3] + bottom[c] + bottom[c + 3] + 2) / 4);
    }
    return out;
}

bool powerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }
}  // namespace

bool Rgb565Mipmaps::fits(int width, int height) { return width >= 4 && powerOfTwo(width) && powerOfTwo(height); }

Rgb565Mipmaps::Rgb565Mipmaps(const unsigned char* rgb, int width, int height, bool bgr)
    : width(width), height(height) {
    std::vector<unsigned char> previous;  // the last level in 8 bits per channel
    for (int i = 0;; ++i) {
        const std::size_t w = static_cast<std::size_t>(levelWidth(i)), h = static_cast<std::size_t>(levelHeight(i));
        const unsigned char* texels = previous.empty() ? rgb : previous.data();
        levels.push_back(packed(texels, w * h, bgr));
        if (w == 1 && h == 1) break;
        previous = halved(texels, w, h);
    }
}

void Rgb565Mipmaps::upload() const {
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 2);  // a level one texel wide has rows of one 16-bit word
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    for (int i = 0; i < levelCount(); ++i)
        glTexImage2D(GL_TEXTURE_2D, i, GL_RGB565, levelWidth(i), levelHeight(i), 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5,
                     levels[static_cast<std::size_t>(i)].data());
    glPopClientAttrib();
}
