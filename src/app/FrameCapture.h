#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// The triangles a frame drew, caught through GL feedback mode, and a file of
// such frames: written by the game's benchmark (--benchmark-capture FILE),
// read back by bench/render_reference, which draws them alone.
//
// A vertex is in window coordinates, as the GL rasterised it: x and y in
// pixels from the lower-left corner of the window, z the depth in [0, 1],
// s and t the texture coordinates (divided by q). Three vertices make one
// triangle; polygons the GL emitted are split into fans. Points, lines,
// bitmaps and pixel rectangles are left out.
//
// File layout, every field in the machine's byte order (little-endian on
// x86): a header of 24 bytes
//     char[4]  magic "ZFCP"
//     uint32   version (VERSION)
//     uint32   window width, uint32 window height (pixels)
//     uint32   interval: every interval-th benchmark frame was captured
//     uint32   reserved, 0
// then frames until the end of the file, each
//     uint32   frame number (1 = the benchmark's first frame)
//     uint32   triangle count T
//     float    x y z s t for each of the 3 * T vertices
class FrameCapture {
public:
    static constexpr std::uint32_t VERSION = 1;
    // The game captures every 60th frame: one per simulated second.
    static constexpr int DEFAULT_INTERVAL = 60;
    // A frame larger than this is taken for a damaged file.
    static constexpr std::uint32_t MAX_TRIANGLES = 50000000;

    struct Vertex {
        float x, y, z;  // window coordinates: pixels, depth in [0, 1]
        float s, t;     // texture coordinates
    };
    struct Frame {
        std::uint32_t number = 0;
        std::vector<Vertex> vertices;  // 3 per triangle
        std::size_t triangleCount() const { return vertices.size() / 3; }
    };

    FrameCapture() = default;
    ~FrameCapture();
    FrameCapture(const FrameCapture&) = delete;
    FrameCapture& operator=(const FrameCapture&) = delete;

    // Writing: create writes the header, write appends one frame.
    bool create(const std::string& path, int width, int height, int interval);
    bool write(const Frame& frame);
    // Reading: open reads and checks the header, read the next frame (false
    // at the end of the file or on a damaged frame; error() tells which).
    bool open(const std::string& path);
    bool read(Frame& frame);
    // Closes the file; false when a write did not reach the disk.
    bool close();

    int width() const { return windowWidth; }
    int height() const { return windowHeight; }
    int interval() const { return frameInterval; }
    // Why the last call failed; empty at a clean end of the file.
    const std::string& error() const { return message; }

    // Runs draw in GL feedback mode and returns the triangles it drew, in
    // window coordinates. Nothing reaches the framebuffer. The current GL
    // context must be in RGBA mode.
    static std::vector<Vertex> record(const std::function<void()>& draw);
    // The projection that puts captured vertices back where they were drawn:
    // x, y in pixels of a width x height viewport, z straight into the depth
    // range (glOrtho with near 0 and far -1 maps z to z). Sets the viewport,
    // the projection and an identity modelview.
    static void loadWindowProjection(int width, int height);
    // Turns count floats of a GL_3D_COLOR_TEXTURE feedback buffer (RGBA
    // mode: 11 floats a vertex) into triangles, appended to out. Stops at a
    // token it does not know or a record cut short.
    static void appendTriangles(const float* feedback, std::size_t count, std::vector<Vertex>& out);

private:
    bool fail(const std::string& why);

    std::FILE* file = nullptr;
    int windowWidth = 0;
    int windowHeight = 0;
    int frameInterval = 0;
    std::string message;
};
