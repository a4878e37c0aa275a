#include "app/FrameCapture.h"

#include <GL/glew.h>

#include <cstring>

namespace {
constexpr char MAGIC[4] = {'Z', 'F', 'C', 'P'};
constexpr std::size_t FLOATS_PER_VERTEX = 11;  // GL_3D_COLOR_TEXTURE in RGBA mode: x y z, r g b a, s t r q
// The feedback buffer starts at 4 M floats and doubles while a frame does
// not fit, up to 256 M floats (1 GB); a frame larger still keeps what fitted.
constexpr std::size_t FIRST_FEEDBACK_FLOATS = std::size_t{1} << 22;
constexpr std::size_t MAX_FEEDBACK_FLOATS = std::size_t{1} << 28;

FrameCapture::Vertex vertexAt(const float* v) {
    const float q = v[10];
    const float s = q != 0.0f ? v[7] / q : v[7];
    const float t = q != 0.0f ? v[8] / q : v[8];
    return {v[0], v[1], v[2], s, t};
}

// How many vertices follow a token that is not a polygon; -1 for a pass-through
// (one float), -2 for a token that is not one.
int verticesAfter(int token) {
    switch (token) {
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            return 1;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            return 2;
        case GL_PASS_THROUGH_TOKEN:
            return -1;
        default:
            return -2;
    }
}
}  // namespace

FrameCapture::~FrameCapture() { close(); }

bool FrameCapture::fail(const std::string& why) {
    message = why;
    return false;
}

bool FrameCapture::create(const std::string& path, int width, int height, int interval) {
    close();
    message.clear();
    if (width <= 0 || height <= 0 || interval <= 0) return fail("bad window size or interval");
    file = std::fopen(path.c_str(), "wb");
    if (!file) return fail("cannot create " + path);
    windowWidth = width;
    windowHeight = height;
    frameInterval = interval;
    const std::uint32_t fields[5] = {VERSION, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                                     static_cast<std::uint32_t>(interval), 0};
    if (std::fwrite(MAGIC, 1, sizeof MAGIC, file) != sizeof MAGIC || std::fwrite(fields, sizeof fields, 1, file) != 1)
        return fail("cannot write " + path);
    return true;
}

bool FrameCapture::write(const Frame& frame) {
    if (!file) return fail("no file open");
    const std::uint32_t head[2] = {frame.number, static_cast<std::uint32_t>(frame.triangleCount())};
    const std::size_t count = frame.triangleCount() * 3;
    if (std::fwrite(head, sizeof head, 1, file) != 1) return fail("cannot write a frame");
    for (std::size_t i = 0; i < count; ++i) {
        const Vertex& v = frame.vertices[i];
        const float f[5] = {v.x, v.y, v.z, v.s, v.t};
        if (std::fwrite(f, sizeof f, 1, file) != 1) return fail("cannot write a frame");
    }
    return true;
}

bool FrameCapture::open(const std::string& path) {
    close();
    message.clear();
    file = std::fopen(path.c_str(), "rb");
    if (!file) return fail("cannot open " + path);
    char magic[4];
    std::uint32_t fields[5];
    if (std::fread(magic, 1, sizeof magic, file) != sizeof magic || std::memcmp(magic, MAGIC, sizeof MAGIC) != 0 ||
        std::fread(fields, sizeof fields, 1, file) != 1)
        return fail(path + " is not a frame capture");
    if (fields[0] != VERSION)
        return fail(path + " has version " + std::to_string(fields[0]) + ", not " + std::to_string(VERSION));
    const std::uint32_t limit = 1u << 16;
    if (fields[1] == 0 || fields[2] == 0 || fields[3] == 0 || fields[1] > limit || fields[2] > limit ||
        fields[3] > limit)
        return fail(path + " has a bad window size or interval");
    windowWidth = static_cast<int>(fields[1]);
    windowHeight = static_cast<int>(fields[2]);
    frameInterval = static_cast<int>(fields[3]);
    return true;
}

bool FrameCapture::read(Frame& frame) {
    frame.vertices.clear();
    if (!file) return fail("no file open");
    std::uint32_t head[2];
    const std::size_t got = std::fread(head, sizeof(std::uint32_t), 2, file);
    if (got == 0 && std::feof(file)) {
        message.clear();
        return false;  // the clean end
    }
    if (got != 2) return fail("a frame header is cut short");
    if (head[1] > MAX_TRIANGLES) return fail("frame " + std::to_string(head[0]) + " claims too many triangles");
    frame.number = head[0];
    const std::size_t count = std::size_t{head[1]} * 3;
    std::vector<float> f(count * 5);
    if (std::fread(f.data(), sizeof(float), f.size(), file) != f.size())
        return fail("frame " + std::to_string(head[0]) + " is cut short");
    frame.vertices.resize(count);
    for (std::size_t i = 0; i < count; ++i) frame.vertices[i] = {f[i * 5], f[i * 5 + 1], f[i * 5 + 2], f[i * 5 + 3], f[i * 5 + 4]};
    return true;
}

bool FrameCapture::close() {
    if (!file) return true;
    const bool ok = std::fclose(file) == 0;
    file = nullptr;
    return ok;
}

void FrameCapture::appendTriangles(const float* feedback, std::size_t count, std::vector<Vertex>& out) {
    std::size_t i = 0;
    while (i < count) {
        const int token = static_cast<int>(feedback[i++]);
        if (token == GL_POLYGON_TOKEN) {
            if (i >= count) return;
            const float n = feedback[i++];
            if (!(n >= 0.0f) || static_cast<double>(n) * FLOATS_PER_VERTEX > static_cast<double>(count - i)) return;
            const std::size_t corners = static_cast<std::size_t>(n);
            const float* first = feedback + i;
            for (std::size_t c = 1; c + 1 < corners; ++c) {
                out.push_back(vertexAt(first));
                out.push_back(vertexAt(first + c * FLOATS_PER_VERTEX));
                out.push_back(vertexAt(first + (c + 1) * FLOATS_PER_VERTEX));
            }
            i += corners * FLOATS_PER_VERTEX;
            continue;
        }
        const int vertices = verticesAfter(token);
        if (vertices == -2) return;
        const std::size_t skip = vertices == -1 ? 1 : static_cast<std::size_t>(vertices) * FLOATS_PER_VERTEX;
        if (skip > count - i) return;
        i += skip;
    }
}

std::vector<FrameCapture::Vertex> FrameCapture::record(const std::function<void()>& draw) {
    std::vector<Vertex> triangles;
    std::vector<float> buffer(FIRST_FEEDBACK_FLOATS);
    for (;;) {
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        const GLint used = glRenderMode(GL_RENDER);
        if (used >= 0) {
            appendTriangles(buffer.data(), static_cast<std::size_t>(used), triangles);
            break;
        }
        if (buffer.size() >= MAX_FEEDBACK_FLOATS) {
            appendTriangles(buffer.data(), buffer.size(), triangles);  // what fitted
            break;
        }
        buffer.assign(buffer.size() * 2, 0.0f);
    }
    return triangles;
}

void FrameCapture::loadWindowProjection(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, 0, -1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
