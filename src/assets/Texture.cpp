#include "assets/Texture.h"

#include <cstdio>

#include <IL/il.h>
#include <IL/ilu.h>
#define ILUT_USE_OPENGL
#include <IL/ilut.h>

bool Texture::initiated = false;

Texture::Texture() {
    if (!initiated) init();
}

void Texture::init() {
    ilInit();
    iluInit();
    // Every picture is turned to OpenGL's row order when it is loaded: the
    // first row in memory is the bottom of the picture. Textures look the same
    // either way (the upload would flip them otherwise); heightmap rows read
    // with ilCopyPixels then count from the bottom of the picture, the same
    // way as the texture coordinates of the terrain tiles.
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
    ilutRenderer(ILUT_OPENGL);
    checkDevILErrors();
    initiated = true;
}

void Texture::checkDevILErrors() {
    for (ILenum code = ilGetError(); code != IL_NO_ERROR; code = ilGetError())
        std::printf("\n Texture::checkDevILErrors(): DevIL Error!\n   %s", iluErrorString(code));
}

bool Texture::generateTexture() {
    GLuint name = 0;
    glGenTextures(1, &name);
    if (name == 0) {
        std::printf("\n Texture.generateTexture(): Error while generating openGL texture object!");
        return false;
    }
    textureName = name;
    return true;
}

void Texture::bind() { std::printf("\n Texture.bind(): WARNING! method not overwritten by subclass."); }

void Texture::unbindTexture() { glBindTexture(GL_TEXTURE_2D, 0); }

void Texture::enable2DTextures() { glEnable(GL_TEXTURE_2D); }

void Texture::disable2DTextures() { glDisable(GL_TEXTURE_2D); }
