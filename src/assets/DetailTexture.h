#pragma once
#include <memory>
#include <string>
#include <vector>

#include "assets/Texture.h"

// The ground's grain: a greyscale picture tiled over the terrain on the second
// texture unit, scaling the tile colour by texel / mid-grey (GL_COMBINE:
// previous colour * texel * 2). Its mipmap levels are built here, their
// contrast fading towards flat mid-grey, so the grain shows close up and the
// far ground keeps its own colours (a flat level is stored as exactly half
// of 16 bits: it multiplies by 1.00002). Texture coordinates come from world
// x and z by eye-linear generation, set while the world's matrix is current:
// the pattern runs on across segment edges, and every draw path (immediate,
// arrays, buffers, display lists) gets it without coordinates of its own.
class DetailTexture : public Texture {
public:
    // World units per repetition of the pattern: about three per car length.
    static constexpr double REPEAT = 1.5;
    // The share of the full contrast each mipmap level keeps (level 0 first);
    // coarser levels are flat mid-grey.
    static constexpr double LEVEL_CONTRAST[] = {1.0, 1.0, 0.7, 0.4, 0.15};
    static constexpr unsigned short MID_GREY = 32768;

    // Loads a square greyscale picture whose side is a power of two (other
    // colours are turned to grey). Any other picture gives a texture that
    // stays unloaded and draws nothing.
    static std::shared_ptr<DetailTexture> createFromFile(const std::string& path);
    ~DetailTexture() override;

    bool isLoaded() const { return loaded; }
    void bind() override;

    // Turns the second unit on with the pattern and its coordinates from the
    // current modelview's x and z, then leaves unit 0 active for the tiles.
    // Nothing happens without GL 1.3 or while the texture is unloaded.
    void begin();
    // Turns the second unit off again.
    void end();

    // The mip chain of a size x size picture of 8-bit greys (8 bits per
    // texel, row after row): each level the box average of the one before,
    // its distance to mid-grey (128 in 8 bits, MID_GREY in 16) scaled by
    // LEVEL_CONTRAST; level 0 first, down to 1 x 1.
    static std::vector<std::vector<unsigned short>> mipChain(const std::vector<unsigned char>& pixels, int size);

    // Whether terrains lay the grain over their tiles (--no-detail-texture turns it off).
    static bool enabled;

private:
    DetailTexture() = default;
    bool loaded = false;
    bool begun = false;

    void upload(const std::vector<unsigned char>& pixels, int size);
};
