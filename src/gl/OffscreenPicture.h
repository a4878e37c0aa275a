#pragma once
#include <GL/glew.h>

#include <functional>
#include <vector>

// Pictures made by drawing them once, off the screen, and kept as textures
// of their own: paint() draws through a framebuffer object into a scratch
// texture and reads the pixels back; upload() puts them into a texture
// sampled one texel a pixel. In a game's frame llvmpipe charges a texture
// that has been drawn into some 120 microseconds more each frame it is
// sampled than the same picture uploaded, so the scratch texture is never
// the one kept.
namespace OffscreenPicture {

// Calls draw with a scratch framebuffer of width x height bound, its
// viewport set to it and nothing else changed, then reads its RGBA pixels
// (bottom row first) into texels. False, with texels untouched, without
// framebuffer objects or for a size of 0. The previous framebuffer,
// viewport and texture binding are back afterwards.
bool paint(int width, int height, const std::function<void()>& draw, std::vector<GLubyte>& texels);

// RGBA texels of width x height into texture (a new one when 0): nearest
// filtering, clamped at the edges. Returns the texture; the binding is as
// before.
GLuint upload(int width, int height, const std::vector<GLubyte>& texels, GLuint texture = 0);

}  // namespace OffscreenPicture
