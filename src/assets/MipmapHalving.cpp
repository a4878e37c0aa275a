#include "assets/MipmapHalving.h"

namespace MipmapHalving {

template <int CHANNELS>
void halve(const unsigned char* from, std::size_t width, std::size_t height, unsigned char* to) {
    constexpr std::size_t C = CHANNELS;
    if (width == 1 || height == 1) {  // a row or a column: pairs of neighbours
        for (std::size_t i = 0; i + 2 * C <= width * height * C; i += 2 * C)
            for (std::size_t c = 0; c < C; ++c)
                *to++ = static_cast<unsigned char>((0u + from[i + c] + from[i + C + c]) / 2);
        return;
    }
    const std::size_t row = width * C;
    for (std::size_t y = 0; y < height / 2; ++y) {
        const unsigned char* top = from + 2 * y * row;
        const unsigned char* bottom = top + row;
        for (std::size_t x = 0; x < width / 2; ++x, top += 2 * C, bottom += 2 * C)
            for (std::size_t c = 0; c < C; ++c)
                *to++ = static_cast<unsigned char>((0u + top[c] + top[c + C] + bottom[c] + bottom[c + C] + 2) / 4);
    }
}

template void halve<3>(const unsigned char*, std::size_t, std::size_t, unsigned char*);
template void halve<4>(const unsigned char*, std::size_t, std::size_t, unsigned char*);

}  // namespace MipmapHalving
