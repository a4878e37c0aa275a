#include "assets/TextureQuad.h"

#include <GL/glew.h>

#include <cstdio>

#include "assets/Texture.h"

TextureQuad::TextureQuad(const char* desc)
    : GeometryNode(desc),
      texture(std::make_shared<Texture2D>(false)),
      vertices(new float[12]{}),
      normals(new float[12]{}),
      texCoords(new float[8]{}) {
    typeName = "TextureQuad";
    alwaysVisible = true;
    useOwnTransform = true;
    disableDisplayList();
}

void TextureQuad::makeWhite(Material& m, float alpha) {
    m.ambient = Utilities<float>::createArray(1, 1, 1, 1);
    m.diffuse = Utilities<float>::createArray(1, 1, 1, 1);
    m.specular = Utilities<float>::createArray(1, 1, 1, 1);
    m.emission = Utilities<float>::createArray(1, 1, 1, 1);
    m.shininess = Utilities<float>::createArray(0);
    m.setTransparency(alpha);
}

void TextureQuad::load(const char* texfile, float sizex, float sizez, bool autoMipMap) {
    makeWhite(*material, 0.7f);
    pendingMipMap = autoMipMap;  // for a reload after unloadUntilDrawn
    loadPicture(texfile, autoMipMap);
    setCorners(sizex, sizez);
}

void TextureQuad::loadWhenDrawn(const char* texfile, float sizex, float sizez, bool autoMipMap) {
    makeWhite(*material, 0.7f);
    texture = std::make_shared<Texture2D>(false);
    pendingMipMap = autoMipMap;
    setCorners(sizex, sizez);
    // Only whether the file opens, now: reading it waits for the first draw.
    // A missing one is loaded as load() would, which reports it and leaves
    // the empty texture.
    if (std::FILE* file = std::fopen(texfile, "rb")) {
        std::fclose(file);
        pendingPicture = texfile;
    } else {
        loadPicture(texfile, autoMipMap);
    }
}

void TextureQuad::unloadUntilDrawn() {
    if (!pendingPicture.empty() || !texture || !texture->hasPicture()) return;
    pendingPicture = texture->getFileName();
    Texture2D::release(std::move(texture));
    texture = std::make_shared<Texture2D>(false);
}

void TextureQuad::loadPicture(const char* texfile, bool autoMipMap) {
    texture = Texture2D::createFromFile(texfile, GL_REPEAT, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, GL_MODULATE, autoMipMap);
    if (!texture->hasPicture())
        std::printf("\n TextureQuad.load() - %s: ERROR WHILE LOADING IMAGE %s", nodeDescription.c_str(), texfile);
    texture->enabled = true;
}

// Loading in the middle of a frame: the texture environment the loader sets
// is put back, and the new texture follows the filter switches like the
// textures loaded with the level.
void TextureQuad::loadPendingPicture() {
    GLint envMode = GL_MODULATE;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    const std::string file = std::move(pendingPicture);
    pendingPicture.clear();
    loadPicture(file.c_str(), pendingMipMap);
    if (texture->hasPicture()) texture->applyFilterSwitches();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, envMode);
}

void TextureQuad::setCorners(float sizex, float sizez) {
    const float hx = 0.5f * sizex, hz = 0.5f * sizez;
    // Corner 0 (-x, -z) ends up at the lower left of a billboard, where the
    // picture's bottom row (v = 0) belongs.
    const float corners[12] = {-hx, 0, -hz, -hx, 0, hz, hx, 0, hz, hx, 0, -hz};
    const float uv[8] = {0, 0, 0, 1, 1, 1, 1, 0};
    for (int i = 0; i < 12; ++i) {
        vertices[i] = corners[i];
        normals[i] = (i % 3 == 1) ? 1.0f : 0.0f;
    }
    for (int i = 0; i < 8; ++i) texCoords[i] = uv[i];
}

void TextureQuad::executeDisplayList() {
    if (!pendingPicture.empty()) loadPendingPicture();
    texture->bind();
    GeometryNode::executeDisplayList();
    glBegin(GL_QUADS);
    for (int c = 0; c < 4; ++c) {
        glTexCoord2fv(&texCoords[2 * c]);
        glNormal3fv(&normals[3 * c]);
        glVertex3fv(&vertices[3 * c]);
    }
    glEnd();
    Texture::unbindTexture();
}
