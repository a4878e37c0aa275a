#pragma once

// The depth buffer's value at pixel (x, y) of the framebuffer read from.
// glReadPixels refuses a multisampled framebuffer object (the window's
// samples it resolves by itself): such a pixel is first resolved into a
// one-pixel framebuffer of its own, which is read instead. A framebuffer
// without depth reads 1, the far plane, without a GL error.
namespace DepthReading {

float at(int x, int y);

}  // namespace DepthReading
