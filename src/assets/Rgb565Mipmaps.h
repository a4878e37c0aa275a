#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "assets/MipmapHalving.h"
#include "assets/PageAllocator.h"

// The mipmap chain of a picture with 8-bit RGB (or BGR) texels, each level
// stored in 16 bits per texel (5-6-5, red in the high bits), built on the
// processor without the GL.
//
// Each level halves the one before in 8 bits per channel, as GLU does
// (MipmapHalving), and is then packed with (x * 31 + 127) / 255 and
// (x * 63 + 127) / 255. These are the texels that
// gluBuild2DMipmaps and the driver's conversion store for the same picture,
// made in a fraction of their time: upload hands them to the GL packed
// already, so the driver only copies them.
//
// Only pictures whose sides are powers of two, at least 4 texels wide (rows
// of whole words), qualify; others go the general way.
class Rgb565Mipmaps {
public:
    static bool fits(int width, int height);
    // rgb: width * height texels, rows one after the other, three bytes each.
    Rgb565Mipmaps(const unsigned char* rgb, int width, int height, bool bgr);

    int levelCount() const { return static_cast<int>(offsets.size()); }
    int levelWidth(int level) const { return MipmapHalving::side(width, level); }
    int levelHeight(int level) const { return MipmapHalving::side(height, level); }
    // A copy of one level's texels, row after row.
    std::vector<std::uint16_t> level(int index) const;
    // glTexImage2D of every level into the bound texture as GL_RGB565.
    void upload() const;

private:
    int width, height;
    std::vector<std::uint16_t, PageAllocator<std::uint16_t>> texels;  // every level, the largest first
    std::vector<std::size_t> offsets;                                 // where each level starts
};
