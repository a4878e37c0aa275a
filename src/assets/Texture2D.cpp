#include "assets/Texture2D.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <optional>

#include <IL/ilu.h>
#define ILUT_USE_OPENGL
#include <IL/ilut.h>

#include "assets/PictureDecoder.h"
#include "assets/Rgb565Mipmaps.h"
#include "assets/RgbaMipmaps.h"

bool Texture2D::mipmap = true;
bool Texture2D::filter = true;
std::vector<std::string> Texture2D::sixteenBitPaths;
GLint Texture2D::sixteenBitFormat = GL_RGB565;
bool Texture2D::sixteenBits = true;
std::vector<std::shared_ptr<Texture2D>> Texture2D::textures;
std::map<Texture2D::SharingKey, std::weak_ptr<Texture2D>> Texture2D::shared;

namespace {
PictureDecoder readAheadPictures;

// Every level of a picture read ahead into the bound texture; the chain is
// built here where the reader handed the texels over without it.
void uploadDecoded(const DecodedPicture& picture) {
    if (picture.rgbaMipmaps)
        picture.rgbaMipmaps->upload();
    else if (picture.mipmaps)
        picture.mipmaps->upload();
    else if (picture.channels == 4)
        RgbaMipmaps(picture.texels.data(), picture.width, picture.height).upload();
    else
        Rgb565Mipmaps(picture.texels.data(), picture.width, picture.height, false).upload();
}

bool texelSidePowerOfTwo(int side) { return side > 0 && (side & (side - 1)) == 0; }

// Texels made in memory into the bound texture, with the chain GLU's halving
// makes where asked for: built here level by level for sides that are powers
// of two (GLU scales the others first, so they go through GLU).
void uploadTexels(const std::vector<unsigned char>& texels, int width, int height, int channels, bool mipmapped,
                  bool sixteenBitsAllowed) {
    const GLenum format = channels == 4 ? GL_RGBA : GL_RGB;
    const GLint stored = channels == 4 ? GL_RGBA8 : GL_RGB8;
    GLint alignment = 4;  // given back: other uploads rely on the alignment they set
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // RGB rows of the small levels are no whole words
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    if (!mipmapped) {
        glTexImage2D(GL_TEXTURE_2D, 0, stored, width, height, 0, format, GL_UNSIGNED_BYTE, texels.data());
    } else if (sixteenBitsAllowed && channels == 3 && Texture2D::sixteenBits && Texture2D::sixteenBitFormat == GL_RGB565 &&
               Rgb565Mipmaps::fits(width, height)) {
        // Stored as the tiles of a ground are while the savings are on: 5-6-5, built here.
        Rgb565Mipmaps(texels.data(), width, height, false).upload();
    } else if (!texelSidePowerOfTwo(width) || !texelSidePowerOfTwo(height)) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, stored, width, height, format, GL_UNSIGNED_BYTE, texels.data());
    } else {
        std::vector<unsigned char> level = texels, next;
        for (int i = 0, w = width, h = height;; ++i) {
            glTexImage2D(GL_TEXTURE_2D, i, stored, w, h, 0, format, GL_UNSIGNED_BYTE, level.data());
            if (w == 1 && h == 1) break;
            next.resize(static_cast<std::size_t>(std::max(w / 2, 1)) * std::max(h / 2, 1) * channels);
            if (channels == 4)
                MipmapHalving::halve<4>(level.data(), w, h, next.data());
            else
                MipmapHalving::halve<3>(level.data(), w, h, next.data());
            level.swap(next);
            w = std::max(w / 2, 1);
            h = std::max(h / 2, 1);
        }
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}
}  // namespace

Texture2D::Texture2D(bool autoDelete) : autoDelete(autoDelete) {}

Texture2D::~Texture2D() {
    deleteImage();
    deleteTexture();
}

bool Texture2D::loadImage(const std::string& filename) {
    std::string path = filename;  // the argument may be fileName itself
    fileName = path;
    deleteImage();  // a second load must not leave the first image behind
    ilGenImages(1, &imageName);
    ilBindImage(imageName);
    if (!ilLoadImage(path.c_str())) {
        std::printf("\n Texture2D.loadImage(%s): Error while loading image!", path.c_str());
        ilDeleteImages(1, &imageName);
        imageName = 0;
        imageLoaded = false;
        return false;
    }
    imageLoaded = true;
    return true;
}

bool Texture2D::generateTexture() {
    textureGenerated = Texture::generateTexture();
    return textureGenerated;
}

void Texture2D::bind() {
    if (!textureGenerated) {
        std::printf("\n Texture2D.bind(): no texture object for %s present", fileName.c_str());
        if (!imageLoaded) {
            std::printf("\n Texture2D.bind(): reloading texture %s from disk", fileName.c_str());
            loadImage(fileName);
        }
        ilBindImage(imageName);
    }
    glBindTexture(GL_TEXTURE_2D, textureName);
    textureGenerated = true;
    if (autoDelete) deleteImage();
}

// DevIL reuses freed image names, so a name is forgotten once its image is
// deleted: a later delete must not hit another texture's image.
void Texture2D::deleteImage() {
    if (imageLoaded && imageName != 0) ilDeleteImages(1, &imageName);
    imageName = 0;
    imageLoaded = false;
}

void Texture2D::deleteTexture() {
    if (textureName != 0) glDeleteTextures(1, &textureName);
    textureName = 0;
}

void Texture2D::generateTexObj(bool autoMipMap, int mipmapLvl) {
    if (autoMipMap)
        ilutGLBuildMipmaps();
    else
        ilutGLTexImage(static_cast<GLuint>(mipmapLvl));
}

void Texture2D::makeOGLTexture2DCalls(GLint wrapS, GLint wrapT, GLint magFilter, GLint minFilter, GLint texEnvMode) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapS);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, texEnvMode);
}

std::shared_ptr<Texture2D> Texture2D::createFromFile(const std::string& path, GLint wrap, GLint magFilter,
                                                     GLint minFilter, GLint texEnvMode, bool mipmapped) {
    const SharingKey key{path, wrap, magFilter, minFilter, texEnvMode, mipmapped};
    if (std::shared_ptr<Texture2D> texture = sharedTexture(key)) return texture;
    std::shared_ptr<Texture2D> texture;
    if (mipmapped && magFilter == GL_LINEAR && minFilter == GL_LINEAR_MIPMAP_LINEAR && texEnvMode == GL_MODULATE)
        if (const std::optional<DecodedPicture> picture = readAheadPictures.take(path))
            texture = createFromDecoded(*picture, wrap);
    if (!texture) texture = upload(path, wrap, magFilter, minFilter, texEnvMode, mipmapped);
    if (texture->pictureUploaded) shared[key] = texture;
    return texture;
}

std::shared_ptr<Texture2D> Texture2D::sharedTexture(const SharingKey& key) {
    auto found = shared.find(key);
    if (found == shared.end()) return nullptr;
    if (std::shared_ptr<Texture2D> texture = found->second.lock()) return texture;
    shared.erase(found);
    return nullptr;
}

std::shared_ptr<Texture2D> Texture2D::upload(const std::string& path, GLint wrap, GLint magFilter, GLint minFilter,
                                             GLint texEnvMode, bool mipmapped) {
    std::shared_ptr<Texture2D> texture = std::make_shared<Texture2D>(false);
    const bool loaded = texture->loadImage(path);
    texture->generateTexture();
    texture->bind();
    makeOGLTexture2DCalls(wrap, wrap, magFilter, minFilter, texEnvMode);
    texture->mipmapped = mipmapped;
    if (loaded)
        texture->uploadBoundImage();
    else
        texture->generateTexObj(mipmapped, 0);
    texture->pictureUploaded = loaded && texture->textureName != 0;
    texture->setAutoDelete(true);
    registerTexture(texture);
    texture->deleteImage();
    return texture;
}

std::shared_ptr<Texture2D> Texture2D::createFromTexels(const std::string& name, const std::vector<unsigned char>& texels,
                                                       int width, int height, int channels, GLint wrap,
                                                       GLint magFilter, GLint minFilter, bool mipmapped,
                                                       bool sixteenBitsAllowed) {
    std::shared_ptr<Texture2D> texture = std::make_shared<Texture2D>(false);
    texture->fileName = name;
    texture->madeFromTexels = true;
    texture->mipmapped = mipmapped;
    const bool whole = width > 0 && height > 0 && (channels == 3 || channels == 4) &&
                       texels.size() == static_cast<std::size_t>(width) * height * channels;
    if (!whole) std::printf("\n Texture2D.createFromTexels(%s): ERROR! texels of a %ix%i picture missing", name.c_str(), width, height);
    if (whole && texture->generateTexture()) {
        texture->bind();
        makeOGLTexture2DCalls(wrap, wrap, magFilter, minFilter, GL_MODULATE);
        uploadTexels(texels, width, height, channels, mipmapped, sixteenBitsAllowed);
        texture->pictureUploaded = texture->textureName != 0;
    }
    texture->setAutoDelete(true);
    registerTexture(texture);
    return texture;
}

void Texture2D::readAhead(const std::vector<std::string>& paths) {
    std::vector<std::string> quick;
    std::copy_if(paths.begin(), paths.end(), std::back_inserter(quick), readableAhead);
    if (!quick.empty()) readAheadPictures.request(quick, true);
}

void Texture2D::forgetReadAhead() { readAheadPictures.clear(); }

void Texture2D::finishReadingAhead() { readAheadPictures.finishReading(); }

bool Texture2D::quickSixteenBits() { return sixteenBits && sixteenBitFormat == GL_RGB565; }

// DevIL uploads an RGBA picture's texels as they are, whatever the 16-bit
// switch; an RGB one the quick way only where it is stored in 5-6-5.
bool Texture2D::readableAhead(const std::string& path) {
    return PictureDecoder::isPng(path) || (quickSixteenBits() && inSixteenBitPaths(path));
}

bool Texture2D::uploadsWithoutDevil(const DecodedPicture& picture) {
    if (!picture.loaded) return false;
    if (picture.channels == 4) return picture.rgbaMipmaps || RgbaMipmaps::fits(picture.width, picture.height);
    return quickSixteenBits() && inSixteenBitPaths(picture.path) &&
           (picture.mipmaps || Rgb565Mipmaps::fits(picture.width, picture.height));
}

// createFromFile's texture, with mipmaps and its default filters, for a
// picture read ahead, where its texels are those DevIL's way would store;
// otherwise null, and createFromFile loads the file through DevIL.
std::shared_ptr<Texture2D> Texture2D::createFromDecoded(const DecodedPicture& picture, GLint wrap) {
    if (!uploadsWithoutDevil(picture)) return nullptr;
    std::shared_ptr<Texture2D> texture = std::make_shared<Texture2D>(false);
    texture->fileName = picture.path;
    if (!texture->generateTexture()) return nullptr;  // bind() would reload it through DevIL
    texture->bind();
    makeOGLTexture2DCalls(wrap, wrap, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, GL_MODULATE);
    uploadDecoded(picture);
    texture->pictureUploaded = texture->textureName != 0;
    texture->setAutoDelete(true);
    registerTexture(texture);
    return texture;
}

// The DevIL image bound now into the bound texture, in 16 bits per texel
// where the paths and the switch ask for it.
void Texture2D::uploadBoundImage() {
    const int width = ilGetInteger(IL_IMAGE_WIDTH), height = ilGetInteger(IL_IMAGE_HEIGHT);
    const bool sixteen = mipmapped && storedInSixteenBits(fileName);
    // Pictures of the shapes it takes get the same texels the quick way.
    if (sixteen && sixteenBitFormat == GL_RGB565 && Rgb565Mipmaps::fits(width, height) &&
        ilGetInteger(IL_IMAGE_TYPE) == IL_UNSIGNED_BYTE)
        Rgb565Mipmaps(ilGetData(), width, height, ilGetInteger(IL_IMAGE_FORMAT) == IL_BGR).upload();
    else if (sixteen)
        gluBuild2DMipmaps(GL_TEXTURE_2D, sixteenBitFormat, width, height,
                          static_cast<GLenum>(ilGetInteger(IL_IMAGE_FORMAT)),
                          static_cast<GLenum>(ilGetInteger(IL_IMAGE_TYPE)), ilGetData());
    else
        generateTexObj(mipmapped, 0);
}

void Texture2D::storeSixteenBits(bool enabled) {
    if (enabled == sixteenBits) return;
    sixteenBits = enabled;
    for (const std::shared_ptr<Texture2D>& texture : textures) {
        const std::string& path = texture->fileName;
        if (!texture->pictureUploaded || texture->madeFromTexels || !inSixteenBitPaths(path)) continue;
        if (!texture->loadImage(path)) continue;  // the picture is gone: the texture keeps what it has
        glBindTexture(GL_TEXTURE_2D, texture->textureName);
        texture->uploadBoundImage();
        texture->deleteImage();
    }
    unbindTexture();
}

bool Texture2D::inSixteenBitPaths(const std::string& path) {
    return std::any_of(sixteenBitPaths.begin(), sixteenBitPaths.end(), [&path](const std::string& prefix) {
        return !prefix.empty() && path.compare(0, prefix.size(), prefix) == 0;
    });
}

bool Texture2D::storedInSixteenBits(const std::string& path) {
    if (!sixteenBits || !inSixteenBitPaths(path)) return false;
    const ILint format = ilGetInteger(IL_IMAGE_FORMAT);
    return format == IL_RGB || format == IL_BGR;
}

void Texture2D::registerTexture(const std::shared_ptr<Texture2D>& texture) { textures.push_back(texture); }

void Texture2D::release(std::shared_ptr<Texture2D> texture) {
    if (!texture || texture.use_count() > 2) return;  // this handle, the registry's and others
    const Texture2D* raw = texture.get();
    texture.reset();
    textures.erase(std::remove_if(textures.begin(), textures.end(),
                                  [raw](const std::shared_ptr<Texture2D>& t) { return t.get() == raw; }),
                   textures.end());
}

void Texture2D::clearTextures() {
    textures.clear();
    shared.clear();
}

void Texture2D::mipmapping(bool enabled) {
    mipmap = enabled;
    updateTextureStates();
}

void Texture2D::filtering(bool enabled) {
    filter = enabled;
    updateTextureStates();
}

void Texture2D::updateTextureStates() {
    for (const std::shared_ptr<Texture2D>& texture : textures) texture->applyFilterSwitches();
    unbindTexture();
}

void Texture2D::applyFilterSwitches() {
    GLint minFilter, magFilter;
    if (filter) {
        magFilter = GL_LINEAR;
        minFilter = mipmap ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR;
    } else {
        magFilter = GL_NEAREST;
        minFilter = mipmap ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST;
    }
    bind();
    // A picture without mipmaps would be incomplete with a mipmapped filter.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmapped ? minFilter : magFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
}
