#include "support/TestPictures.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "support/TempFolder.h"

// Static: the asset tests link their own copy of the writer.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace TestPictures {
namespace {

// Made with the first picture, removed when the program ends.
std::string folder() {
    static const TempFolder pictures("pictures");
    return pictures.path().empty() ? "/tmp" : pictures.path();
}

std::string write(const std::string& name, int size, Colour (*colourAt)(int x, int y, int size)) {
    std::vector<std::uint8_t> pixels;
    pixels.reserve(static_cast<size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y)  // top row first
        for (int x = 0; x < size; ++x) {
            const Colour c = colourAt(x, y, size);
            pixels.insert(pixels.end(), {c.r, c.g, c.b, c.a});
        }
    const std::string path = folder() + "/" + name;
    stbi_write_png(path.c_str(), size, size, 4, pixels.data(), size * 4);
    return path;
}

Colour solidColour;

}  // namespace

std::string quadrants(int size) {
    return write("quadrants.png", size, [](int x, int y, int n) {
        const bool left = x < n / 2, top = y < n / 2;
        return top ? (left ? TOP_LEFT : TOP_RIGHT) : (left ? BOTTOM_LEFT : BOTTOM_RIGHT);
    });
}

std::string solid(Colour colour, int size) {
    solidColour = colour;
    const std::string name = "solid-" + std::to_string(colour.r) + "-" + std::to_string(colour.g) + "-" +
                             std::to_string(colour.b) + "-" + std::to_string(colour.a) + ".png";
    return write(name, size, [](int, int, int) { return solidColour; });
}

}  // namespace TestPictures
