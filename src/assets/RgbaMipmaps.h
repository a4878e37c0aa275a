#pragma once
#include <cstddef>
#include <vector>

#include "assets/MipmapHalving.h"
#include "assets/PageAllocator.h"

// The mipmap chain of a picture with 8-bit RGBA texels, every level in 8-bit
// RGBA, built on the processor without the GL: each level halves the one
// before as gluBuild2DMipmaps does (MipmapHalving). upload() then stores the
// texels DevIL's upload of the same picture (ilutGLBuildMipmaps, which hands
// it to gluBuild2DMipmaps with 4 components) stores, so a picture read on
// another thread costs the GL's thread only the copy into the texture.
//
// Only pictures whose sides are powers of two qualify (GLU scales others
// before it halves them).
class RgbaMipmaps {
public:
    static bool fits(int width, int height);
    // rgba: width * height texels, rows one after the other, four bytes each.
    RgbaMipmaps(const unsigned char* rgba, int width, int height);

    int levelCount() const { return static_cast<int>(offsets.size()); }
    int levelWidth(int level) const { return MipmapHalving::side(width, level); }
    int levelHeight(int level) const { return MipmapHalving::side(height, level); }
    const unsigned char* level(int index) const { return texels.data() + offsets[static_cast<std::size_t>(index)]; }
    // glTexImage2D of every level into the bound texture.
    void upload() const;

private:
    int width, height;
    std::vector<unsigned char, PageAllocator<unsigned char>> texels;  // every level, the largest first
    std::vector<std::size_t> offsets;                                 // where each level starts
};
