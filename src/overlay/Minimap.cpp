#include "overlay/Minimap.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "gl/PixelProjection.h"
#include "math/Constants.h"

namespace {

// Marker sizes in pixels at 800 x 600; in smaller windows they shrink no
// further than to three quarters.
constexpr float CAR_LENGTH = 13.0f, CAR_WIDTH = 9.0f;
constexpr float SIGN_SIZE = 8.0f;
constexpr float ITEM_SIZE = 5.0f;
constexpr float PURSUER_RADIUS = 4.0f;
constexpr float HUNTER_RADIUS = 8.0f;
constexpr float EDGE = 1.5f;  // the contrasting outline round each marker
constexpr float BORDER = 2.0f;

struct Rgb {
    float r, g, b;
};
constexpr Rgb WHITE = {1.0f, 1.0f, 1.0f}, DARK = {0.08f, 0.08f, 0.1f};
constexpr Rgb START_YELLOW = {1.0f, 0.88f, 0.1f}, SIGN_BLUE = {0.2f, 0.35f, 1.0f};
constexpr Rgb DISMANTLED_GREY = {0.6f, 0.6f, 0.6f}, PURSUER_ORANGE = {1.0f, 0.55f, 0.0f};
constexpr Rgb HUNTER_RED = {0.95f, 0.05f, 0.05f}, HUNTER_EDGE = {1.0f, 0.9f, 0.2f};

void colour(const Rgb& c, float alpha = 1.0f) { glColor4f(c.r, c.g, c.b, alpha); }

using Shape = std::vector<std::pair<float, float>>;

// A fan round (cx, cy) through the points (x, y) scaled by size and turned by
// the direction (dx, dy) (the points' +y axis goes along it).
void fan(float cx, float cy, const Shape& points, float size, float dx = 0.0f, float dy = 1.0f) {
    glBegin(GL_TRIANGLE_FAN);
    glVertex2f(cx, cy);
    for (size_t i = 0; i <= points.size(); ++i) {
        const auto& [x, y] = points[i % points.size()];
        glVertex2f(cx + size * (x * dy + y * dx), cy + size * (y * dy - x * dx));
    }
    glEnd();
}

Shape regular(int corners, float innerRatio = 1.0f) {
    Shape points;
    const int n = innerRatio < 1.0f ? 2 * corners : corners;
    for (int k = 0; k < n; ++k) {
        const double a = PI / 2 + TWO_PI * k / n;
        const float r = (innerRatio < 1.0f && k % 2 == 1) ? innerRatio : 1.0f;
        points.emplace_back(static_cast<float>(r * std::cos(a)), static_cast<float>(r * std::sin(a)));
    }
    return points;
}

const Shape SQUARE = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
const Shape DIAMOND = regular(4);
const Shape DISC = regular(16);
const Shape STAR = regular(5, 0.45f);
// Tip ahead, notched tail: (0, 1) is the front.
const Shape ARROW = {{0, 1}, {CAR_WIDTH / CAR_LENGTH, -1}, {0, -0.55f}, {-CAR_WIDTH / CAR_LENGTH, -1}};

// The outline first, a little larger, then the shape.
void outlined(float cx, float cy, const Shape& points, float size, const Rgb& fill, const Rgb& edge, float edgeWidth,
              float dx = 0.0f, float dy = 1.0f) {
    colour(edge);
    fan(cx, cy, points, size + edgeWidth, dx, dy);
    colour(fill);
    fan(cx, cy, points, size, dx, dy);
}

void ring(float cx, float cy, float radius, float width) {
    glBegin(GL_TRIANGLE_STRIP);
    for (int k = 0; k <= 32; ++k) {
        const double a = TWO_PI * k / 32;
        const float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
        glVertex2f(cx + (radius - width / 2) * c, cy + (radius - width / 2) * s);
        glVertex2f(cx + (radius + width / 2) * c, cy + (radius + width / 2) * s);
    }
    glEnd();
}

// A cross of two bars, half a side long each way.
void cross(float cx, float cy, float half, float width) {
    for (float turn : {1.0f, -1.0f}) {
        const float ax = half * 0.7071f, ay = turn * half * 0.7071f;
        const float nx = -ay / half * width / 2, ny = ax / half * width / 2;
        glBegin(GL_QUADS);
        glVertex2f(cx - ax - nx, cy - ay - ny);
        glVertex2f(cx + ax - nx, cy + ay - ny);
        glVertex2f(cx + ax + nx, cy + ay + ny);
        glVertex2f(cx - ax + nx, cy - ay + ny);
        glEnd();
    }
}

}  // namespace

Minimap::Minimap(std::shared_ptr<Texture2D> groundPicture, float extent)
    : ScenegraphNode("minimap"), ground(std::move(groundPicture)), terrainExtent(extent) {
    typeName = "Minimap";
}

Minimap::Frame Minimap::frameIn(int windowWidth, int windowHeight) {
    const float scale = std::min(windowWidth / REFERENCE_WIDTH, windowHeight / REFERENCE_HEIGHT);
    Frame frame;
    frame.left = frame.bottom = std::round(MARGIN * scale);
    frame.size = std::round(SIZE * scale);
    return frame;
}

void Minimap::toWindow(const Frame& frame, float x, float z, float& px, float& py) {
    const float s = SHOWN_HALF_EXTENT;
    px = frame.left + frame.size * (std::clamp(x, -s, s) + s) / (2 * s);
    py = frame.bottom + frame.size * (s - std::clamp(z, -s, s)) / (2 * s);
}

void Minimap::performOperations() {
    const RenderStates state = getRenderState();
    if (!visible || (state != TRANSPARENT_PASS && state != SINGLE_PASS)) return;
    const PixelProjection pixels;
    const Frame frame = frameIn(pixels.width(), pixels.height());
    if (frame.size < 1.0f) return;
    paintGround(frame);
    for (int kind = START_AREA; kind <= CAR; ++kind)
        for (const Marker& marker : markers)
            if (marker.kind == kind) paintMarker(frame, marker);
}

void Minimap::paintGround(const Frame& frame) const {
    const float b = BORDER * std::max(frame.size / SIZE, 0.5f);
    colour(DARK, 0.7f);
    glRectf(frame.left - b, frame.bottom - b, frame.right() + b, frame.top() + b);
    if (!ground || !ground->hasPicture()) return;
    // The picture's bottom row (t = 0) is its south edge, at z = +extent / 2.
    const float half = terrainExtent / 2;
    const float s0 = (half - SHOWN_HALF_EXTENT) / terrainExtent, s1 = (half + SHOWN_HALF_EXTENT) / terrainExtent;
    glEnable(GL_TEXTURE_2D);
    ground->bind();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    colour(WHITE);
    glBegin(GL_QUADS);
    glTexCoord2f(s0, s0);
    glVertex2f(frame.left, frame.bottom);
    glTexCoord2f(s1, s0);
    glVertex2f(frame.right(), frame.bottom);
    glTexCoord2f(s1, s1);
    glVertex2f(frame.right(), frame.top());
    glTexCoord2f(s0, s1);
    glVertex2f(frame.left, frame.top());
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

void Minimap::paintMarker(const Frame& frame, const Marker& marker) const {
    const float unit = std::max(frame.size / SIZE, 0.75f);
    const float edge = EDGE * unit;
    float x, y;
    toWindow(frame, marker.x, marker.z, x, y);
    switch (marker.kind) {
        case START_AREA: {
            const float radius = marker.radius * frame.size / (2 * SHOWN_HALF_EXTENT);
            colour(DARK, 0.8f);
            ring(x, y, radius, 2.0f * unit + 2.0f * edge);
            colour(START_YELLOW);
            ring(x, y, radius, 2.0f * unit);
            break;
        }
        case SIGN:
            outlined(x, y, SQUARE, SIGN_SIZE / 2 * unit, SIGN_BLUE, WHITE, edge);
            break;
        case SIGN_DISMANTLED:
            colour(DARK);
            cross(x, y, SIGN_SIZE / 2 * unit + edge, 2.0f * unit + 2.0f * edge);
            colour(DISMANTLED_GREY);
            cross(x, y, SIGN_SIZE / 2 * unit, 2.0f * unit);
            break;
        case ITEM: {
            const Rgb own = {marker.colour[0], marker.colour[1], marker.colour[2]};
            outlined(x, y, DIAMOND, ITEM_SIZE * unit, own, WHITE, edge);
            break;
        }
        case PURSUER: outlined(x, y, DISC, PURSUER_RADIUS * unit, PURSUER_ORANGE, DARK, edge); break;
        case PURSUER_HUNTING:
            outlined(x, y, STAR, HUNTER_RADIUS * unit, HUNTER_RED, HUNTER_EDGE, edge);
            break;
        case CAR: {
            // An arrowhead along the car's front (north up: -z is up the screen).
            const float length = std::hypot(marker.frontX, marker.frontZ);
            const float dx = length > 0 ? marker.frontX / length : 0.0f;
            const float dy = length > 0 ? -marker.frontZ / length : 1.0f;
            outlined(x, y, ARROW, CAR_LENGTH / 2 * unit, WHITE, DARK, edge, dx, dy);
            break;
        }
    }
}

const std::vector<Minimap::LegendEntry>& Minimap::legend() {
    static const std::vector<LegendEntry> entries = {
        {"white arrow", "your car, pointing ahead"}, {"yellow ring", "start and finish"},
        {"blue square", "sign standing"},           {"grey cross", "sign taken down"},
        {"diamond", "item, in its colour"},         {"orange dot", "pursuer within 100 units"},
        {"red star", "pursuer hunting you"}};
    return entries;
}

std::string Minimap::legendText(std::size_t width) {
    std::string words = "Minimap, north up:";
    for (const LegendEntry& entry : legend())
        words += std::string(&entry == &legend().front() ? " " : "; ") + entry.marker + ": " + entry.meaning;
    std::string text, line;
    std::istringstream in(words);
    for (std::string word; in >> word;) {
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            text += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return text + line + "\n";
}
