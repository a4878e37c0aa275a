#pragma once
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <IL/il.h>

#include "assets/Texture.h"

struct DecodedPicture;

// A two-dimensional texture loaded from an image file through DevIL and
// uploaded to OpenGL with or without mipmaps. Loaders enter their textures in
// a class-wide registry so that the filter and mipmap switches of the render
// controls reach every texture at once (updateTextureStates).
//
// Every loader follows the same sequence (see createFromFile): construct with
// autoDelete false, loadImage, generateTexture, bind, makeOGLTexture2DCalls,
// generateTexObj, set autoDelete, registerTexture, deleteImage. The DevIL copy
// of the picture is dropped right after the upload, so only OpenGL holds it.
//
// createFromFile shares: loading a file again with the same parameters gives
// the texture made the first time (one OpenGL texture, one registry entry),
// as long as that texture is alive and registered. Sharers share the texture's
// state too: its `enabled` flag and the filters that the switches set.
class Texture2D : public Texture {
public:
    explicit Texture2D(bool autoDelete);
    ~Texture2D() override;

    // Loads the picture into a new DevIL image that stays bound in DevIL.
    // Prints a message and returns false if DevIL cannot load it.
    bool loadImage(const std::string& filename);
    bool generateTexture() override;
    // Binds the OpenGL texture. Without a texture object it reports that and,
    // if the picture was dropped, reloads it into DevIL so that the caller can
    // upload it with generateTexObj.
    void bind() override;
    void deleteImage();
    void deleteTexture();
    // Uploads the bound DevIL image into the bound OpenGL texture.
    void generateTexObj(bool autoMipMap, int mipmapLvl);

    void setAutoDelete(bool value) { autoDelete = value; }
    bool isImageLoaded() const { return imageLoaded; }
    bool isTextureGenerated() const { return textureGenerated; }
    // The picture was read from its file and uploaded by createFromFile.
    bool hasPicture() const { return pictureUploaded; }
    const std::string& getFileName() const { return fileName; }

    // Wrap, filter and environment parameters of the bound texture, in this order.
    static void makeOGLTexture2DCalls(GLint wrapS, GLint wrapT, GLint magFilter, GLint minFilter, GLint texEnvMode);

    // The loading sequence every loader uses: the picture at path (opened as
    // given) becomes a registered texture with these parameters, with
    // mipmaps unless told otherwise. The same path with the same parameters
    // gives the same texture while it is registered. A picture that cannot
    // be loaded gives a texture without its image (never shared: the next
    // request tries the file again).
    static std::shared_ptr<Texture2D> createFromFile(const std::string& path, GLint wrap, GLint magFilter = GL_LINEAR,
                                                     GLint minFilter = GL_LINEAR_MIPMAP_LINEAR,
                                                     GLint texEnvMode = GL_MODULATE, bool mipmapped = true);

    // A picture made in memory (texels: width * height texels of `channels`
    // bytes, 3 for RGB or 4 for RGBA, bottom row first as the GL takes them)
    // becomes a registered texture with these parameters; name stands for
    // its file in messages. A mipmapped one gets the chain GLU's halving
    // makes, in 8 bits a channel, or where allowed for RGB in 16 bits a
    // texel (5-6-5, as the tiles of a ground) while sixteenBits is on with that format. It is
    // never shared, and switching sixteenBits later leaves it as it is (there
    // is no file to store it again from). Texels
    // of the wrong count or a side below 1 give a texture without a picture.
    static std::shared_ptr<Texture2D> createFromTexels(const std::string& name, const std::vector<unsigned char>& texels,
                                                       int width, int height, int channels, GLint wrap,
                                                       GLint magFilter = GL_LINEAR,
                                                       GLint minFilter = GL_LINEAR_MIPMAP_LINEAR,
                                                       bool mipmapped = true, bool sixteenBitsAllowed = false);

    // Starts reading these pictures on a second thread, so that
    // createFromFile finds them in memory with their mipmaps built (see
    // PictureDecoder) and only uploads them. Read ahead are PNG pictures
    // (their RGBA mipmaps as DevIL's upload makes them) and the paths stored
    // in 16 bits the quick way (see sixteenBitPaths); createFromFile takes
    // them only with its default filters. It loads what it does not take
    // (any other picture, a file that is not an RGB JPEG or an RGBA PNG)
    // from the file as before, with the same messages.
    static void readAhead(const std::vector<std::string>& paths);
    // Stops reading ahead and drops the pictures read that nobody took.
    static void forgetReadAhead();
    // Waits until the pictures asked for are read (before their files change).
    static void finishReadingAhead();

    static void registerTexture(const std::shared_ptr<Texture2D>& texture);
    // Drops the given handle; when the registry then holds the texture's
    // last handle, the texture leaves it and its OpenGL texture is deleted.
    // A texture that others still hold stays registered.
    static void release(std::shared_ptr<Texture2D> texture);
    // Empties the registry and forgets the shared textures: a texture still
    // held elsewhere lives on, but later loads make new ones.
    static void clearTextures();
    static const std::vector<std::shared_ptr<Texture2D>>& registeredTextures() { return textures; }

    // The two switches of the render controls; each re-applies the filters.
    static void mipmapping(bool enabled);
    static void filtering(bool enabled);
    // Binds every registered texture in turn and sets its filters from the
    // switches, then leaves texture 0 bound.
    static void updateTextureStates();
    // Binds this texture and sets its filters from the switches (for a
    // texture loaded after the switches were last applied).
    void applyFilterSwitches();

    static bool mipmap;  // mipmapped minification selected
    static bool filter;  // linear (not nearest) filtering selected
    // While sixteenBits is on, mipmapped pictures without alpha whose path
    // starts with one of these prefixes (a folder such as "terrain/", or one
    // file) are stored with 16 bits per texel (5-6-5, sixteenBitFormat)
    // instead of 32: half the memory, colours within 4 of 255 levels. Empty,
    // the default: every picture keeps its colours.
    static std::vector<std::string> sixteenBitPaths;
    static GLint sixteenBitFormat;  // GL_RGB565 or GL_RGB5
    static bool sixteenBits;
    // Switches sixteenBits and stores those registered textures again
    // from their files, in the new format.
    static void storeSixteenBits(bool enabled);

private:
    ILuint imageName = 0;  // 0: no DevIL image of ours
    std::string fileName;  // the file last given to loadImage
    bool imageLoaded = false;
    bool textureGenerated = false;
    bool autoDelete;
    bool pictureUploaded = false;
    bool mipmapped = true;
    bool madeFromTexels = false;  // by createFromTexels: no file behind it

    void uploadBoundImage();

    // path, wrap, magnification filter, minification filter, environment mode, mipmapped
    using SharingKey = std::tuple<std::string, GLint, GLint, GLint, GLint, bool>;
    // The live texture made with that key, if any (a dead entry is dropped).
    static std::shared_ptr<Texture2D> sharedTexture(const SharingKey& key);
    static bool inSixteenBitPaths(const std::string& path);
    static bool storedInSixteenBits(const std::string& path);
    static bool quickSixteenBits();  // the switch is on and the format is 5-6-5
    static bool readableAhead(const std::string& path);
    static bool uploadsWithoutDevil(const DecodedPicture& picture);
    static std::shared_ptr<Texture2D> createFromDecoded(const DecodedPicture& picture, GLint wrap);
    static std::shared_ptr<Texture2D> upload(const std::string& path, GLint wrap, GLint magFilter, GLint minFilter,
                                             GLint texEnvMode, bool mipmapped);

    static std::vector<std::shared_ptr<Texture2D>> textures;
    static std::map<SharingKey, std::weak_ptr<Texture2D>> shared;  // textures made from a file, by their key
};
