#include "overlay/Minimap.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "gl/ColouredTriangles.h"
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
// How far a still marker's pixels can reach from its point at 800 x 600,
// outline and smoothed edge included (the start area's ring reaches this
// far beyond its radius).
constexpr float STILL_REACH = 16.0f;

struct Rgb {
    float r, g, b;
};
constexpr Rgb WHITE = {1.0f, 1.0f, 1.0f}, DARK = {0.08f, 0.08f, 0.1f};
constexpr Rgb START_YELLOW = {1.0f, 0.88f, 0.1f}, SIGN_BLUE = {0.2f, 0.35f, 1.0f};
constexpr Rgb DISMANTLED_GREY = {0.6f, 0.6f, 0.6f}, PURSUER_ORANGE = {1.0f, 0.55f, 0.0f};
constexpr Rgb HUNTER_RED = {0.95f, 0.05f, 0.05f}, HUNTER_EDGE = {1.0f, 0.9f, 0.2f};

// The minimap's flat shapes, coloured by the palette above.
class Triangles : public ColouredTriangles {
public:
    using ColouredTriangles::ColouredTriangles;
    using ColouredTriangles::colour;
    void colour(const Rgb& c, float alpha = 1.0f) { ColouredTriangles::colour(c.r, c.g, c.b, alpha); }
};

// A marker's outline, corners in order. Each triangle costs the GL's
// rasteriser about a microsecond whatever its size, so a shape that is seen
// whole from its first corner (the convex ones, the arrow from its tip) is
// fanned from that corner: n - 2 triangles. The star is fanned from its
// centre: n.
struct Shape {
    std::vector<std::pair<float, float>> corners;
    bool fromCentre = false;
};

// The shape round (cx, cy) scaled by size and turned by the direction
// (dx, dy) (its +y axis goes along it).
void fan(Triangles& out, float cx, float cy, const Shape& shape, float size, float dx = 0.0f, float dy = 1.0f) {
    const auto& corners = shape.corners;
    auto at = [&](size_t i, float& x, float& y) {
        const auto& [px, py] = corners[i % corners.size()];
        x = cx + size * (px * dy + py * dx);
        y = cy + size * (py * dy - px * dx);
    };
    float ax = cx, ay = cy;
    size_t first = 0, last = corners.size();
    if (!shape.fromCentre) {
        at(0, ax, ay);
        first = 1;
        last = corners.size() - 1;
    }
    for (size_t i = first; i < last; ++i) {
        float x0, y0, x1, y1;
        at(i, x0, y0);
        at(i + 1, x1, y1);
        out.triangle(ax, ay, x0, y0, x1, y1);
    }
}

Shape regular(int corners, float innerRatio = 1.0f) {
    Shape shape;
    shape.fromCentre = innerRatio < 1.0f;
    const int n = shape.fromCentre ? 2 * corners : corners;
    for (int k = 0; k < n; ++k) {
        const double a = PI / 2 + TWO_PI * k / n;
        const float r = (shape.fromCentre && k % 2 == 1) ? innerRatio : 1.0f;
        shape.corners.emplace_back(static_cast<float>(r * std::cos(a)), static_cast<float>(r * std::sin(a)));
    }
    return shape;
}

const Shape SQUARE = {{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}};
const Shape DIAMOND = regular(4);
// Twelve corners: at the pursuer's 5.5 pixels the outline strays from a
// circle by a fifth of a pixel.
const Shape DISC = regular(12);
const Shape STAR = regular(5, 0.45f);
// Tip ahead, notched tail: (0, 1) is the front.
const Shape ARROW = {{{0, 1}, {CAR_WIDTH / CAR_LENGTH, -1}, {0, -0.55f}, {-CAR_WIDTH / CAR_LENGTH, -1}}};

// The outline first, a little larger, then the shape.
void outlined(Triangles& out, float cx, float cy, const Shape& shape, float size, const Rgb& fill, const Rgb& edge,
              float edgeWidth, float dx = 0.0f, float dy = 1.0f) {
    out.colour(edge);
    fan(out, cx, cy, shape, size + edgeWidth, dx, dy);
    out.colour(fill);
    fan(out, cx, cy, shape, size, dx, dy);
}

// Sixteen pieces: on the start area's ring of ten pixels the corners stray
// from a circle by a fifth of a pixel.
void ring(Triangles& out, float cx, float cy, float radius, float width) {
    constexpr int PIECES = 16;
    const float inner = radius - width / 2, outer = radius + width / 2;
    for (int k = 0; k < PIECES; ++k) {
        const double a0 = TWO_PI * k / PIECES, a1 = TWO_PI * (k + 1) / PIECES;
        const float c0 = static_cast<float>(std::cos(a0)), s0 = static_cast<float>(std::sin(a0));
        const float c1 = static_cast<float>(std::cos(a1)), s1 = static_cast<float>(std::sin(a1));
        out.quad(cx + inner * c0, cy + inner * s0, cx + outer * c0, cy + outer * s0, cx + outer * c1, cy + outer * s1,
                 cx + inner * c1, cy + inner * s1);
    }
}

// A cross of two bars, half a side long each way.
void cross(Triangles& out, float cx, float cy, float half, float width) {
    for (float turn : {1.0f, -1.0f}) {
        const float ax = half * 0.7071f, ay = turn * half * 0.7071f;
        const float nx = -ay / half * width / 2, ny = ax / half * width / 2;
        out.quad(cx - ax - nx, cy - ay - ny, cx + ax - nx, cy + ay - ny, cx + ax + nx, cy + ay + ny, cx - ax + nx,
                 cy - ay + ny);
    }
}

void paintMarker(Triangles& out, const Minimap::Frame& frame, const Minimap::Marker& marker) {
    const float unit = std::max(frame.size / Minimap::SIZE, 0.75f);
    const float edge = EDGE * unit;
    float x, y;
    Minimap::toWindow(frame, marker.x, marker.z, x, y);
    switch (marker.kind) {
        case Minimap::START_AREA: {
            const float radius = marker.radius * frame.size / (2 * Minimap::SHOWN_HALF_EXTENT);
            out.colour(DARK, 0.8f);
            ring(out, x, y, radius, 2.0f * unit + 2.0f * edge);
            out.colour(START_YELLOW);
            ring(out, x, y, radius, 2.0f * unit);
            break;
        }
        case Minimap::SIGN:
            outlined(out, x, y, SQUARE, SIGN_SIZE / 2 * unit, SIGN_BLUE, WHITE, edge);
            break;
        case Minimap::SIGN_DISMANTLED:
            out.colour(DARK);
            cross(out, x, y, SIGN_SIZE / 2 * unit + edge, 2.0f * unit + 2.0f * edge);
            out.colour(DISMANTLED_GREY);
            cross(out, x, y, SIGN_SIZE / 2 * unit, 2.0f * unit);
            break;
        case Minimap::ITEM: {
            const Rgb own = {marker.colour[0], marker.colour[1], marker.colour[2]};
            outlined(out, x, y, DIAMOND, ITEM_SIZE * unit, own, WHITE, edge);
            break;
        }
        case Minimap::PURSUER: outlined(out, x, y, DISC, PURSUER_RADIUS * unit, PURSUER_ORANGE, DARK, edge); break;
        case Minimap::PURSUER_HUNTING:
            outlined(out, x, y, STAR, HUNTER_RADIUS * unit, HUNTER_RED, HUNTER_EDGE, edge);
            break;
        case Minimap::CAR: {
            // An arrowhead along the car's front (north up: -z is up the screen).
            const float length = std::hypot(marker.frontX, marker.frontZ);
            const float dx = length > 0 ? marker.frontX / length : 0.0f;
            const float dy = length > 0 ? -marker.frontZ / length : 1.0f;
            outlined(out, x, y, ARROW, CAR_LENGTH / 2 * unit, WHITE, DARK, edge, dx, dy);
            break;
        }
    }
}

}  // namespace

Minimap::Minimap(std::shared_ptr<Texture2D> groundPicture, float extent)
    : ScenegraphNode("minimap"), ground(std::move(groundPicture)), terrainExtent(extent) {
    typeName = "Minimap";
}

bool Minimap::Marker::operator==(const Marker& o) const {
    return kind == o.kind && x == o.x && z == o.z && frontX == o.frontX && frontZ == o.frontZ && radius == o.radius &&
           std::equal(colour, colour + 3, o.colour);
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
    const bool picture = ground && ground->hasPicture();
    if (picture) drawStillPicture(frame);
    // Every other marker in one draw, kind by kind: later kinds lie on top.
    // Without a picture the markers lie on a translucent dark square.
    Triangles shapes(vertices);
    if (!picture) {
        const float b = borderWidth(frame);
        shapes.colour(DARK, 0.7f);
        shapes.rect(frame.left - b, frame.bottom - b, frame.right() + b, frame.top() + b);
    }
    for (int kind = START_AREA; kind <= CAR; ++kind)
        for (const Marker& marker : markers)
            if (marker.kind == kind && !(picture && isStill(marker, frame))) paintMarker(shapes, frame, marker);
    shapes.draw();
}

float Minimap::borderWidth(const Frame& frame) {
    return std::max(1.0f, std::round(BORDER * std::max(frame.size / SIZE, 0.5f)));
}

bool Minimap::isStill(const Marker& marker, const Frame& frame) {
    if (marker.kind > SIGN_DISMANTLED) return false;
    const float unit = std::max(frame.size / SIZE, 0.75f);
    float reach = STILL_REACH * unit, x, y;
    if (marker.kind == START_AREA) reach += marker.radius * frame.size / (2 * SHOWN_HALF_EXTENT);
    toWindow(frame, marker.x, marker.z, x, y);
    return x - reach >= frame.left && x + reach <= frame.right() && y - reach >= frame.bottom &&
           y + reach <= frame.top();
}

// The kept picture while it shows the still markers of now at this size;
// else the border, the ground and those markers are drawn afresh and the
// picture kept again.
void Minimap::drawStillPicture(const Frame& frame) {
    std::vector<Marker>& still = stillNow;
    still.clear();
    for (const Marker& marker : markers)
        if (isStill(marker, frame)) still.push_back(marker);
    const float b = borderWidth(frame);
    const int left = static_cast<int>(frame.left - b), bottom = static_cast<int>(frame.bottom - b);
    const int size = static_cast<int>(frame.size + 2 * b);
    if (stillPicture.holds(left, bottom, size, size) && still == stillMarkers) {
        stillPicture.draw();
        return;
    }
    paintGroundPicture(frame);
    Triangles shapes(stillVertices);
    shapes.colour(DARK);  // the border round the picture, opaque so that it is kept with it
    shapes.rect(frame.left - b, frame.bottom - b, frame.right() + b, frame.bottom);
    shapes.rect(frame.left - b, frame.top(), frame.right() + b, frame.top() + b);
    shapes.rect(frame.left - b, frame.bottom, frame.left, frame.top());
    shapes.rect(frame.right(), frame.bottom, frame.right() + b, frame.top());
    for (int kind = START_AREA; kind <= SIGN_DISMANTLED; ++kind)
        for (const Marker& marker : still)
            if (marker.kind == kind) paintMarker(shapes, frame, marker);
    shapes.draw();
    std::swap(stillMarkers, still);
    stillPicture.keep(left, bottom, size, size);
}

// The picture is opaque: drawn without blending, one texel a pixel at 800 x
// 600 (a picture of terrainExtent * SIZE / (2 * SHOWN_HALF_EXTENT) pixels).
void Minimap::paintGroundPicture(const Frame& frame) const {
    // The picture's bottom row (t = 0) is its south edge, at z = +extent / 2.
    const float half = terrainExtent / 2;
    const float s0 = (half - SHOWN_HALF_EXTENT) / terrainExtent, s1 = (half + SHOWN_HALF_EXTENT) / terrainExtent;
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    ground->bind();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    drawTexturedRect(frame.left, frame.bottom, frame.right(), frame.top(), s0, s0, s1, s1);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
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
