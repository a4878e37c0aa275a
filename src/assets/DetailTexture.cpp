#include "assets/DetailTexture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include <IL/il.h>

#include "gl/ExtensionManager.h"
#include "math/Utilities.h"

bool DetailTexture::enabled = true;

std::shared_ptr<DetailTexture> DetailTexture::createFromFile(const std::string& path) {
    std::shared_ptr<DetailTexture> texture(new DetailTexture());
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    if (!ilLoadImage(path.c_str())) {
        std::printf("\n DetailTexture: ERROR! cannot load %s: no grain on the ground", path.c_str());
        ilDeleteImages(1, &image);
        checkDevILErrors();
        return texture;
    }
    const int width = ilGetInteger(IL_IMAGE_WIDTH), height = ilGetInteger(IL_IMAGE_HEIGHT);
    std::vector<unsigned char> pixels;
    if (width == height && isPowerOfTwo(width) && width <= 4096) {
        pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        ilCopyPixels(0, 0, 0, static_cast<ILuint>(width), static_cast<ILuint>(height), 1, IL_LUMINANCE,
                     IL_UNSIGNED_BYTE, pixels.data());
    } else {
        std::printf("\n DetailTexture: ERROR! %s is %ix%i, not square with a power of two side", path.c_str(),
                    width, height);
    }
    ilDeleteImages(1, &image);
    if (!pixels.empty()) texture->upload(pixels, width);
    return texture;
}

DetailTexture::~DetailTexture() {
    if (textureName != 0 && ExtensionManager::contextAvailable()) glDeleteTextures(1, &textureName);
}

std::vector<std::vector<unsigned short>> DetailTexture::mipChain(const std::vector<unsigned char>& pixels, int size) {
    std::vector<std::vector<unsigned short>> chain;
    if (!isPowerOfTwo(size) || pixels.size() != static_cast<std::size_t>(size) * static_cast<std::size_t>(size))
        return chain;
    // Averages in 8-bit units, kept unrounded from level to level.
    std::vector<double> average(pixels.begin(), pixels.end());
    for (int side = size, level = 0; side >= 1; side /= 2, ++level) {
        if (level > 0) {
            std::vector<double> coarser(static_cast<std::size_t>(side) * side);
            const int finer = 2 * side;
            for (int r = 0; r < side; ++r)
                for (int c = 0; c < side; ++c) {
                    auto at = [&](int rr, int cc) { return average[static_cast<std::size_t>(rr) * finer + cc]; };
                    coarser[static_cast<std::size_t>(r) * side + c] =
                        0.25 * (at(2 * r, 2 * c) + at(2 * r, 2 * c + 1) + at(2 * r + 1, 2 * c) + at(2 * r + 1, 2 * c + 1));
                }
            average.swap(coarser);
        }
        const double contrast =
            level < static_cast<int>(std::size(LEVEL_CONTRAST)) ? LEVEL_CONTRAST[level] : 0.0;
        // One 8-bit step is 256 16-bit steps, so 128 lands on MID_GREY exactly.
        std::vector<unsigned short> texels(average.size());
        std::transform(average.begin(), average.end(), texels.begin(), [contrast](double v) {
            const double scaled = MID_GREY + (v - 128.0) * 256.0 * contrast;
            return static_cast<unsigned short>(std::lround(std::clamp(scaled, 0.0, 65535.0)));
        });
        chain.push_back(std::move(texels));
    }
    return chain;
}

void DetailTexture::upload(const std::vector<unsigned char>& pixels, int size) {
    if (!generateTexture()) return;
    glBindTexture(GL_TEXTURE_2D, textureName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // One level per texel (no blend between two): half the texel reads of a
    // trilinear filter on every ground pixel; the grain hides the steps.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
    const std::vector<std::vector<unsigned short>> chain = mipChain(pixels, size);
    for (std::size_t level = 0; level < chain.size(); ++level) {
        const GLsizei side = size >> level;
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_LUMINANCE16, side, side, 0, GL_LUMINANCE,
                     GL_UNSIGNED_SHORT, chain[level].data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
    loaded = !chain.empty();
}

void DetailTexture::bind() { glBindTexture(GL_TEXTURE_2D, textureName); }

void DetailTexture::begin() {
    if (!loaded || !ExtensionManager::multitextureAvailable()) return;
    ExtensionManager::__glewActiveTexture(GL_TEXTURE1);
    glEnable(GL_TEXTURE_2D);
    bind();
    // The eye planes are taken through the inverse of the modelview now current:
    // s and t follow that frame's x and z.
    const GLfloat s[4] = {static_cast<GLfloat>(1.0 / REPEAT), 0, 0, 0};
    const GLfloat t[4] = {0, 0, static_cast<GLfloat>(1.0 / REPEAT), 0};
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
    glTexGenfv(GL_S, GL_EYE_PLANE, s);
    glTexGenfv(GL_T, GL_EYE_PLANE, t);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    // colour = previous * texel * 2: mid-grey leaves the tile as it is.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_MODULATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE, 2.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_REPLACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
    ExtensionManager::__glewActiveTexture(GL_TEXTURE0);
    begun = true;
}

void DetailTexture::end() {
    if (!begun) return;
    ExtensionManager::__glewActiveTexture(GL_TEXTURE1);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE, 1.0f);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    ExtensionManager::__glewActiveTexture(GL_TEXTURE0);
    begun = false;
}
