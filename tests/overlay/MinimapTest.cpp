#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "assets/Texture2D.h"
#include "gl/OffscreenPicture.h"
#include "overlay/Minimap.h"
#include "support/GlTestWindow.h"
#include "support/TestPictures.h"

namespace {

// The game's 800 x 600 window, drawn off the screen: the map lies where it
// lies in the game, 160 pixels square at (10, 10).
class GameWindow {
public:
    static constexpr int WIDTH = 800, HEIGHT = 600;

    // A frame of the map alone on black, read back (RGBA, bottom row first);
    // false without framebuffer objects.
    bool draw(Minimap& map) {
        return OffscreenPicture::paint(WIDTH, HEIGHT, [&map] {
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            map.performOperations();
            glClearColor(0, 0, 0, 0);
        }, rgba);
    }

    struct Rgb {
        int r, g, b;
    };
    // The pixel that shows the world point (x, z).
    Rgb at(float x, float z) const {
        float px = 0, py = 0;
        Minimap::toWindow(Minimap::frameIn(WIDTH, HEIGHT), x, z, px, py);
        const unsigned char* p = &rgba[4 * (static_cast<size_t>(py) * WIDTH + static_cast<size_t>(px))];
        return {p[0], p[1], p[2]};
    }

    std::vector<GLubyte> rgba;
};

bool isSignBlue(GameWindow::Rgb p) { return p.b > 220 && p.r < 90 && p.g < 120; }
bool isCrossGrey(GameWindow::Rgb p) {
    return std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b}) < 12 && p.r > 135 && p.r < 170;
}

// The pixels that differ between two pictures, outside the square of
// `reach` pixels round the window point (x, y).
int differingOutside(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, float x, float y,
                     float reach) {
    int count = 0;
    for (size_t i = 0; i < a.size(); i += 4) {
        const float px = static_cast<float>((i / 4) % GameWindow::WIDTH) + 0.5f;
        const float py = static_cast<float>((i / 4) / GameWindow::WIDTH) + 0.5f;
        if (std::abs(px - x) < reach && std::abs(py - y) < reach) continue;
        count += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    }
    return count;
}

Minimap::Marker marker(Minimap::Kind kind, float x, float z) {
    Minimap::Marker m;
    m.kind = kind;
    m.x = x;
    m.z = z;
    return m;
}

}  // namespace

// The ground, its border, the start ring and the signs are drawn once and
// kept; the kept picture is drawn afresh when a still marker changes. Here
// one sign is taken down and nothing else changes (the same number of
// markers, in the same places): its blue square becomes a grey cross, and
// no other pixel of the window changes. Back up, the picture is the first
// one again.
TEST(Minimap, TheKeptPictureIsDrawnAfreshWhenOneSignIsTakenDown) {
    REQUIRE_GL();
    ASSERT_TRUE(ScenegraphNode::getRenderState() == SINGLE_PASS || ScenegraphNode::getRenderState() == TRANSPARENT_PASS);
    glDisable(GL_DEPTH_TEST);
    GameWindow window;
    const auto ground = Texture2D::createFromFile(TestPictures::solid({40, 110, 40, 255}), GL_CLAMP_TO_EDGE);
    ASSERT_TRUE(ground->hasPicture());
    Minimap map(ground, 600.0f);

    Minimap::Marker start = marker(Minimap::START_AREA, 0, 0);
    start.radius = 30.0f;
    const float signs[4][2] = {{200, 0}, {-200, 0}, {0, 200}, {0, -200}};
    std::vector<Minimap::Marker> markers = {start};
    for (const auto& sign : signs) markers.push_back(marker(Minimap::SIGN, sign[0], sign[1]));
    markers.push_back(marker(Minimap::CAR, 0, 20));
    map.setMarkers(markers);

    ASSERT_TRUE(window.draw(map));
    const std::vector<unsigned char> standing = window.rgba;
    for (const auto& sign : signs) EXPECT_TRUE(isSignBlue(window.at(sign[0], sign[1]))) << sign[0] << ", " << sign[1];
    window.draw(map);
    EXPECT_EQ(window.rgba, standing) << "the kept picture shows what was drawn";

    // The north sign (0, -200) taken down: at window pixel (90, 154), as
    // 10 + 160 x (250 + 0) / 500 and 10 + 160 x (250 + 200) / 500.
    markers[4].kind = Minimap::SIGN_DISMANTLED;
    map.setMarkers(markers);
    window.draw(map);
    EXPECT_TRUE(isCrossGrey(window.at(0, -200))) << "drawn afresh";
    EXPECT_FALSE(isSignBlue(window.at(0, -200)));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(isSignBlue(window.at(signs[i][0], signs[i][1]))) << i;
    EXPECT_EQ(differingOutside(standing, window.rgba, 90.0f, 154.0f, 8.0f), 0) << "only the sign changed";
    const std::vector<unsigned char> down = window.rgba;
    window.draw(map);
    EXPECT_EQ(window.rgba, down);

    markers[4].kind = Minimap::SIGN;
    map.setMarkers(markers);
    window.draw(map);
    EXPECT_EQ(window.rgba, standing) << "the sign back up";

    // A sign moved 50 units east, nothing else: the square moves along.
    markers[3].x = 50.0f;
    map.setMarkers(markers);
    window.draw(map);
    EXPECT_TRUE(isSignBlue(window.at(50, 200)));
    EXPECT_FALSE(isSignBlue(window.at(0, 200)));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
