#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/FrameCapture.h"
#include "scenegraph/OcclusionCulling.h"
#include "scenegraph/SceneTestSupport.h"

namespace {
using Vertex = FrameCapture::Vertex;

FrameCapture::Frame frameOf(std::uint32_t number, int triangles) {
    FrameCapture::Frame f;
    f.number = number;
    for (int i = 0; i < triangles * 3; ++i) {
        const float k = static_cast<float>(number * 1000 + i);
        f.vertices.push_back({k, k + 0.25f, 0.5f / (1 + k), -k, k * 0.125f});
    }
    return f;
}

bool sameVertices(const std::vector<Vertex>& a, const std::vector<Vertex>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].x != b[i].x || a[i].y != b[i].y || a[i].z != b[i].z || a[i].s != b[i].s || a[i].t != b[i].t)
            return false;
    return true;
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A box that counts the samples of its own drawing as its query, as meshes do.
class SampleCountingBox : public PassRecorder {
public:
    explicit SampleCountingBox(const char* desc) : PassRecorder(desc) {}
    void executeDisplayList() override {
        drawCountingSamples([this] { PassRecorder::executeDisplayList(); });
    }
};

// One feedback vertex of GL_3D_COLOR_TEXTURE: x y z, r g b a, s t r q.
void pushVertex(std::vector<float>& fb, float x, float y, float z, float s = 0, float t = 0, float q = 1) {
    for (float f : {x, y, z, 1.0f, 1.0f, 1.0f, 1.0f, s, t, 0.0f, q}) fb.push_back(f);
}
}  // namespace

// Frames go out and come back bit for bit, empty ones too; a damaged file
// ends the reading with a reason and never crashes.
TEST(FrameCapture, FramesComeBackAsWrittenAndDamageIsReported) {
    const std::string path = testing::TempDir() + "zarvik-capture.bin";
    const std::vector<FrameCapture::Frame> frames = {frameOf(60, 2), frameOf(120, 0), frameOf(180, 1000)};
    {
        FrameCapture out;
        ASSERT_TRUE(out.create(path, 800, 600, 60));
        for (const auto& f : frames) ASSERT_TRUE(out.write(f));
        ASSERT_TRUE(out.close());
    }
    FrameCapture in;
    ASSERT_TRUE(in.open(path)) << in.error();
    EXPECT_EQ(in.width(), 800);
    EXPECT_EQ(in.height(), 600);
    EXPECT_EQ(in.interval(), 60);
    FrameCapture::Frame f;
    for (const auto& expected : frames) {
        ASSERT_TRUE(in.read(f)) << in.error();
        EXPECT_EQ(f.number, expected.number);
        EXPECT_EQ(f.triangleCount(), expected.triangleCount());
        EXPECT_TRUE(sameVertices(f.vertices, expected.vertices)) << f.number;
    }
    EXPECT_FALSE(in.read(f));
    EXPECT_TRUE(in.error().empty()) << "a clean end: " << in.error();
    in.close();

    const std::string whole = readBytes(path);
    const std::string damaged = path + ".bad";
    struct Case {
        std::string bytes, why;
        bool headerOk;
    };
    std::string otherVersion = whole;
    otherVersion[4] = 2;
    std::string hugeFrame = whole.substr(0, 24) + std::string("\x3c\0\0\0\xff\xff\xff\x7f", 8);
    std::string zeroWidth = whole;
    zeroWidth[8] = zeroWidth[9] = 0;
    const std::vector<Case> cases = {
        {"", "not a frame capture", false},
        {"ZFCX" + whole.substr(4), "not a frame capture", false},
        {whole.substr(0, 20), "not a frame capture", false},
        {otherVersion, "version 2", false},
        {zeroWidth, "bad window size", false},
        {whole.substr(0, 24 + 4), "header is cut short", true},
        {whole.substr(0, whole.size() - 7), "cut short", true},
        {hugeFrame, "too many triangles", true},
    };
    for (const auto& c : cases) {
        writeBytes(damaged, c.bytes);
        FrameCapture bad;
        ASSERT_EQ(bad.open(damaged), c.headerOk) << c.why;
        while (c.headerOk && bad.read(f)) {
        }
        EXPECT_NE(bad.error().find(c.why), std::string::npos) << c.why << ": " << bad.error();
    }
    FrameCapture none;
    EXPECT_FALSE(none.open("/nonexistent-folder/x.bin"));
    EXPECT_FALSE(none.read(f));
    EXPECT_FALSE(none.create("/nonexistent-folder/x.bin", 800, 600, 60));
    EXPECT_FALSE(none.create(path, 0, 600, 60));
    std::remove(path.c_str());
    std::remove(damaged.c_str());
}

// Polygons become fans with s and t divided by q; points, lines, bitmaps,
// pixel rectangles and pass-through markers are stepped over; a buffer cut
// short or an unknown token ends the reading without reading past the end.
TEST(FrameCapture, FeedbackPolygonsBecomeTrianglesAndEverythingElseIsSkipped) {
    std::vector<float> fb;
    fb.push_back(GL_PASS_THROUGH_TOKEN);
    fb.push_back(42.0f);
    fb.push_back(GL_POINT_TOKEN);
    pushVertex(fb, 9, 9, 0.5f);
    fb.push_back(GL_POLYGON_TOKEN);
    fb.push_back(4);  // a quad: two triangles around its first corner
    pushVertex(fb, 0, 0, 0.25f, 2, 4, 2);
    pushVertex(fb, 10, 0, 0.25f, 1, 0);
    pushVertex(fb, 10, 10, 0.5f, 1, 1);
    pushVertex(fb, 0, 10, 0.5f, 0, 1);
    fb.push_back(GL_LINE_TOKEN);
    pushVertex(fb, 1, 1, 0);
    pushVertex(fb, 2, 2, 0);
    fb.push_back(GL_LINE_RESET_TOKEN);
    pushVertex(fb, 1, 1, 0);
    pushVertex(fb, 2, 2, 0);
    for (float token : {GL_BITMAP_TOKEN, GL_DRAW_PIXEL_TOKEN, GL_COPY_PIXEL_TOKEN}) {
        fb.push_back(token);
        pushVertex(fb, 3, 3, 0);
    }
    fb.push_back(GL_POLYGON_TOKEN);
    fb.push_back(3);
    pushVertex(fb, 20, 20, 1.0f);
    pushVertex(fb, 30, 20, 1.0f);
    pushVertex(fb, 20, 30, 0.0f);

    std::vector<Vertex> out;
    FrameCapture::appendTriangles(fb.data(), fb.size(), out);
    ASSERT_EQ(out.size(), 9u);
    const float expectedX[9] = {0, 10, 10, 0, 10, 0, 20, 30, 20};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(out[i].x, expectedX[i]) << i;
    EXPECT_EQ(out[0].s, 1.0f) << "s / q";
    EXPECT_EQ(out[0].t, 2.0f) << "t / q";
    EXPECT_EQ(out[5].y, 10.0f);
    EXPECT_EQ(out[5].z, 0.5f);
    EXPECT_EQ(out[8].z, 0.0f);

    // Every cut of the buffer keeps only whole polygons; none reads past the end.
    for (std::size_t cut = 0; cut < fb.size(); ++cut) {
        std::vector<float> part(fb.begin(), fb.begin() + static_cast<long>(cut));
        std::vector<Vertex> some;
        FrameCapture::appendTriangles(part.data(), part.size(), some);
        EXPECT_TRUE(some.empty() || some.size() == 6u) << cut;
    }
    std::vector<float> unknown = {12345.0f, GL_POLYGON_TOKEN, 3};
    std::vector<Vertex> none;
    FrameCapture::appendTriangles(unknown.data(), unknown.size(), none);
    std::vector<float> negative = {GL_POLYGON_TOKEN, -3};
    FrameCapture::appendTriangles(negative.data(), negative.size(), none);
    EXPECT_TRUE(none.empty());
}

// A real scene in feedback mode: the captured triangles, drawn flat with the
// window projection, cover the pixels the scene covered, at the depth the
// scene left there; the capture itself leaves the framebuffer alone.
TEST(FrameCapture, CapturedTrianglesCoverWhatTheSceneDrew) {
    REQUIRE_GL();
    SwitchGuard guard;
    ScenegraphNode::useVisibilityCulling = false;
    RootNode root("root");
    setUpView(root);
    auto box = placed(std::make_shared<BoxNode>("box"), 0.3f, -0.2f, 2.0f, 2.0f, 1.0f, 1.5f);
    box->setRotations(30, 40, 10);
    glow(*box, 1, 0, 0);
    root.addChild(box);
    root.finalize();
    drawFrame(root);

    const int w = GlTestWindow::width(), h = GlTestWindow::height();
    std::vector<bool> covered(w * h);
    std::vector<float> depth(w * h);
    std::vector<unsigned char> rgba(w * h * 4);
    glReadPixels(0, 0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int coveredCount = 0;
    for (int i = 0; i < w * h; ++i) coveredCount += (covered[i] = rgba[i * 4] > 128);
    ASSERT_GT(coveredCount, w * h / 10) << "the box fills a good part of the window";
    ASSERT_LT(coveredCount, w * h / 2);

    const auto triangles = FrameCapture::record([&] { root.paint(); });
    ASSERT_GE(triangles.size(), 3u * 3u) << "at least three faces of a turned box";
    ASSERT_LE(triangles.size(), 3u * 12u) << "back faces are culled";
    std::vector<unsigned char> after(rgba.size());
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, after.data());
    EXPECT_TRUE(after == rgba) << "feedback mode draws nothing";
    for (const Vertex& v : triangles) {
        EXPECT_GE(v.z, 0.0f);
        EXPECT_LE(v.z, 1.0f);
    }

    // Drawn again from the capture alone, in green.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    FrameCapture::loadWindowProjection(w, h);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(0, 1, 0);
    glBegin(GL_TRIANGLES);
    for (const Vertex& v : triangles) glVertex3f(v.x, v.y, v.z);
    glEnd();
    glFinish();
    std::vector<float> replayDepth(w * h);
    glReadPixels(0, 0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, replayDepth.data());
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();

    int differ = 0, deeper = 0;
    for (int i = 0; i < w * h; ++i) {
        const bool replayed = rgba[i * 4 + 1] > 128;
        differ += replayed != covered[i];
        if (replayed && covered[i] && std::abs(replayDepth[i] - depth[i]) > 1e-4f) ++deeper;
    }
    EXPECT_LE(differ, coveredCount / 1000) << "only pixels on an edge may differ";
    EXPECT_EQ(deeper, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A capture between two frames neither starts nor reads a query: a node the
// frame found hidden stays hidden (and out of the capture), the pending
// queries (the wall counts its own samples) are the same ones, and the next
// frames decide as they would have.
TEST(FrameCapture, TheSceneKeepsItsVisibilityAcrossACapture) {
    REQUIRE_GL();
    SwitchGuard guard;
    ScenegraphNode::useVisibilityCulling = true;
    RootNode root("root");
    setUpView(root);
    auto wall = placed(std::make_shared<SampleCountingBox>("wall"), 0, 0, 2, 4, 4, 0.2f);
    glow(*wall, 1, 0, 0);
    auto hidden = placed(std::make_shared<PassRecorder>("hidden"), 0, 0, -2);
    root.addChild(wall);
    root.addChild(hidden);
    root.finalize();
    drawFrame(root);
    drawFrame(root);  // the second frame knows the hidden box is hidden
    ASSERT_FALSE(hidden->getBoundingBox()->visible);
    const unsigned wallQuery = wall->getBoundingBox()->queryName;
    const unsigned hiddenQuery = hidden->getBoundingBox()->queryName;
    EXPECT_NE(hiddenQuery, 0u) << "the hidden box's own query is pending";

    for (int capture = 0; capture < 2; ++capture) {
        wall->passes.clear();
        hidden->passes.clear();
        std::vector<Vertex> triangles;
        {
            OcclusionCulling::SuspendQueries suspend;
            triangles = FrameCapture::record([&] {
                ScenegraphNode::beginFrame();
                root.paint();
            });
        }
        EXPECT_FALSE(OcclusionCulling::counting);
        EXPECT_FALSE(wall->passes.empty());
        EXPECT_TRUE(hidden->passes.empty()) << "hidden in the frame, hidden in its capture";
        EXPECT_FALSE(triangles.empty());
        EXPECT_EQ(wall->getBoundingBox()->queryName, wallQuery);
        EXPECT_EQ(hidden->getBoundingBox()->queryName, hiddenQuery);
        EXPECT_FALSE(hidden->getBoundingBox()->visible);
        EXPECT_TRUE(wall->getBoundingBox()->visible);
    }

    hidden->passes.clear();
    drawFrame(root);
    EXPECT_FALSE(hidden->getBoundingBox()->visible);
    EXPECT_TRUE(hidden->passes.empty());
    wall->setTranslation(0, 40, 2);  // out of the way: found, then drawn a frame later, as without captures
    drawFrame(root);
    drawFrame(root);
    EXPECT_TRUE(hidden->getBoundingBox()->visible);
    EXPECT_FALSE(hidden->passes.empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
