#include "overlay/Speedometer.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>

#include "gl/ColouredTriangles.h"
#include "gl/PixelProjection.h"
#include "overlay/Minimap.h"

namespace {
// Opaque, as the minimap's border beside it: drawn without blending, which
// would cost as much again over the panel's 7700 pixels.
constexpr float PANEL[3] = {0.08f, 0.08f, 0.1f};
constexpr float BAR_GREY = 0.32f;
// Inside the panel, from its lower left corner: the number's baseline, the
// bar and the top speed's baseline.
constexpr int PAD = 8, NUMBER_Y = 40, BAR_Y = 26, BAR_HEIGHT = 8, TOP_Y = 9;
// The engine item's blue.
constexpr float BOOST[3] = {0.35f, 0.6f, 1.0f};
constexpr float TOP_GREY[3] = {0.8f, 0.8f, 0.8f};
// The texts' fonts in the glyph atlas.
constexpr std::size_t NUMBER_FONT = 0, TOP_FONT = 1;
}  // namespace

Speedometer::Speedometer()
    : ScenegraphNode("speedometer"), texts({GLUT_BITMAP_HELVETICA_18, GLUT_BITMAP_HELVETICA_12}) {
    typeName = "Speedometer";
}

void Speedometer::show(double s, double top, bool boost) {
    speed = std::max(s, 0.0);
    topSpeed = std::max(top, 0.0);
    boosted = boost;
}

std::string Speedometer::kmh(double unitsPerSecond) {
    return std::to_string(std::lround(std::max(unitsPerSecond, 0.0) * KMH_PER_UNIT_PER_SECOND)) + " km/h";
}

void Speedometer::placeIn(int windowWidth, int windowHeight, int& left, int& bottom) {
    const Minimap::Frame map = Minimap::frameIn(windowWidth, windowHeight);
    const float scale = map.size / Minimap::SIZE;
    left = static_cast<int>(std::lround(map.right() + GAP * scale));
    bottom = static_cast<int>(map.bottom);
}

void Speedometer::performOperations() {
    const RenderStates state = getRenderState();
    if (!visible || (state != TRANSPARENT_PASS && state != SINGLE_PASS)) return;
    const PixelProjection pixels;
    int left, bottom;
    placeIn(pixels.width(), pixels.height(), left, bottom);
    // The panel and the bar in one draw, the texts over them.
    ColouredTriangles shapes(vertices);
    shapes.colour(PANEL[0], PANEL[1], PANEL[2]);
    shapes.rect(left, bottom, left + WIDTH, bottom + HEIGHT);
    const float barLeft = left + PAD, barRight = left + WIDTH - PAD, barBottom = bottom + BAR_Y;
    shapes.colour(BAR_GREY, BAR_GREY, BAR_GREY);
    shapes.rect(barLeft, barBottom, barRight, barBottom + BAR_HEIGHT);
    const float filled = topSpeed > 0 ? static_cast<float>(std::min(speed / topSpeed, 1.0)) : 0.0f;
    if (boosted) shapes.colour(BOOST[0], BOOST[1], BOOST[2]);
    else shapes.colour(1.0f, 1.0f, 1.0f);
    if (filled > 0) shapes.rect(barLeft, barBottom, barLeft + filled * (barRight - barLeft), barBottom + BAR_HEIGHT);
    shapes.draw();

    texts.add(NUMBER_FONT, left + PAD, bottom + NUMBER_Y, reading(), 1.0f, 1.0f, 1.0f);
    const float* top = boosted ? BOOST : TOP_GREY;
    texts.add(TOP_FONT, left + PAD, bottom + TOP_Y, topReading(), top[0], top[1], top[2]);
    texts.drawAdded();
}
