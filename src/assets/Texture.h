#pragma once
#include <GL/glew.h>

// Base of every OpenGL texture of the game: owns the OpenGL texture name and
// starts the DevIL image library the first time any texture is created.
class Texture {
public:
    Texture();
    virtual ~Texture() = default;  // the subclass deletes its OpenGL object
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Asks OpenGL for one texture name; false (with a message) if none is given.
    virtual bool generateTexture();
    virtual void bind();

    GLuint getTextureName() const { return textureName; }

    // Starts DevIL unconditionally (the constructor does it once by itself).
    static void init();
    // Starts DevIL unless it runs already: for readers of pictures that make no texture.
    static void ensureStarted() {
        if (!initiated) init();
    }
    // Drains DevIL's error queue and prints every error.
    static void checkDevILErrors();
    static void unbindTexture();
    static void enable2DTextures();
    static void disable2DTextures();

    // Whether the owner should bind this texture when drawing.
    bool enabled = true;

protected:
    GLuint textureName = 0;  // 0: none yet

private:
    static bool initiated;  // DevIL has been started
};
