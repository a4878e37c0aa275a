#pragma once
#include <GL/glew.h>

#include <string>

// Copies a texture into a viewport of its own size and smooths the edges of
// its picture on the way (fast approximate antialiasing in a GLSL 1.20
// fragment shader): a pixel whose neighbourhood has little contrast keeps
// its colour; across a strong edge it is blended half-way with its
// neighbours along the edge's direction, softening the stairs that one
// sample per pixel leaves. Nine texture reads a pixel, so it runs at the
// size the picture was drawn at, before it is scaled up.
class FxaaShader {
public:
    FxaaShader() = default;
    ~FxaaShader();
    FxaaShader(const FxaaShader&) = delete;
    FxaaShader& operator=(const FxaaShader&) = delete;

    // GLSL 1.20 shaders exist (GL 2.1).
    static bool supported();
    // Compiles and links the program once; false, with the GL's log in
    // error(), when it cannot.
    bool build();
    // The texture of textureWidth x textureHeight texels over the viewport
    // (the same size):
    // the quad is drawn in clip coordinates, with the depth test, blending,
    // culling and the polygon mode set for it and put back afterwards.
    void draw(GLuint texture, int textureWidth, int textureHeight);

    const std::string& error() const { return log; }

private:
    GLuint program = 0;
    GLint texelsLocation = -1;
    GLuint nearest = 0;  // sampler object reading texels nearest; 0 without sampler objects
    GLint texelLocation = -1;
    std::string log;
};
