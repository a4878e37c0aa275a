#pragma once
#include <memory>
#include <string>
#include <vector>

#include "assets/Texture2D.h"

// The plate of a town sign with the town's name on it, drawn when the level
// loads: yellow, darker towards the bottom, a black border with rounded
// corners inside its edge, and the name in black letters of the plate font
// (DejaVu Sans Bold, images/plate-font.ttf in the game's data), centred and
// fitted to the space inside the border (a long name is written smaller).
// Names are UTF-8; letters the font lacks are left out. An empty name or a
// font that cannot be read gives the plain plate with a one-line message.
class TownPlate {
public:
    static constexpr int WIDTH = 512, HEIGHT = 256;  // 2:1, as the sign's face
    static constexpr const char* FONT = "images/plate-font.ttf";

    explicit TownPlate(const std::string& name, const std::string& fontPath = FONT);

    // WIDTH x HEIGHT RGB texels, row 0 at the top of the plate.
    const std::vector<unsigned char>& texels() const { return rgb; }
    const unsigned char* at(int x, int y) const { return rgb.data() + 3 * (static_cast<std::size_t>(y) * WIDTH + x); }
    // The name was written on it.
    bool hasName() const { return written; }
    // The plate as a mipmapped texture for the sign's face (bottom row first, as the GL takes it).
    std::shared_ptr<Texture2D> texture() const;

private:
    std::string name;
    std::vector<unsigned char> rgb;
    std::vector<float> ink;  // coverage of the black, WIDTH x HEIGHT
    bool written = false;

    void drawBorder();
    bool drawName(const std::string& fontPath);
    void paint();
};
