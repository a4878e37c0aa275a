#include "assets/RgbaMipmaps.h"

#include <algorithm>

#include <GL/glew.h>

#include "math/Utilities.h"

bool RgbaMipmaps::fits(int width, int height) { return isPowerOfTwo(width) && isPowerOfTwo(height); }

RgbaMipmaps::RgbaMipmaps(const unsigned char* rgba, int width, int height) : width(width), height(height) {
    std::size_t total = 0;
    for (int i = 0;; ++i) {
        offsets.push_back(total);
        total += static_cast<std::size_t>(levelWidth(i)) * static_cast<std::size_t>(levelHeight(i)) * 4;
        if (levelWidth(i) == 1 && levelHeight(i) == 1) break;
    }
    texels.resize(total);
    std::copy(rgba, rgba + static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, texels.begin());
    for (int i = 0; i + 1 < levelCount(); ++i)
        MipmapHalving::halve<4>(level(i), static_cast<std::size_t>(levelWidth(i)),
                                static_cast<std::size_t>(levelHeight(i)),
                                texels.data() + offsets[static_cast<std::size_t>(i + 1)]);
}

// The internal format is DevIL's: the picture's 4 components, not GL_RGBA8.
void RgbaMipmaps::upload() const {
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    for (int i = 0; i < levelCount(); ++i)
        glTexImage2D(GL_TEXTURE_2D, i, 4, levelWidth(i), levelHeight(i), 0, GL_RGBA, GL_UNSIGNED_BYTE, level(i));
    glPopClientAttrib();
}
