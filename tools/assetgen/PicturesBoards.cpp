// Pictures with words: the message boards, the town plates and the
// loading screen.
#include <cmath>

#include "Font.h"
#include "Noise.h"
#include "Pictures.h"

namespace assetgen {

namespace {

const Colour WHITE(1, 1, 1, 1);
const Colour INK(0.06f, 0.06f, 0.1f, 1);

enum class Emblem { POLICE_STAR, CROSSED_SIGN, CROSS, CHECK, TROPHY_STAR, EXCLAMATION };

struct BoardText {
    std::string headline, line1, line2;
    Colour light, dark;
    Emblem emblem;
};

BoardText boardText(Board board) {
    switch (board) {
        case Board::LOSER:
            return {"BUSTED!", "The police caught you.", "Press R to try again.", Colour::rgb(0xFF5A4A),
                    Colour::rgb(0x8A1010), Emblem::POLICE_STAR};
        case Board::GOT_SIGN:
            return {"ALREADY GONE", "You took this sign down before.", "Go for one that still stands.",
                    Colour::rgb(0xFFB238), Colour::rgb(0x8A4A00), Emblem::CROSSED_SIGN};
        case Board::UNMOUNT_ERROR:
            return {"WRONG KEY!", "The screws are tight again.", "Start over with the first arrow.",
                    Colour::rgb(0xFF5A4A), Colour::rgb(0x8A1010), Emblem::CROSS};
        case Board::SIGN_FINISHED:
            return {"SIGN DISMANTLED!", "Well done! Drive on to", "the next town sign.", Colour::rgb(0x5BE06E),
                    Colour::rgb(0x12641F), Emblem::CHECK};
        case Board::WINNER:
            return {"YOU WIN!", "All town signs are down.", "Press R to play again.", Colour::rgb(0xFFD84A),
                    Colour::rgb(0x8A6200), Emblem::TROPHY_STAR};
        case Board::UNFINISHED:
            return {"NOT YET!", "Some town signs still stand.", "Take them all down, then come back.",
                    Colour::rgb(0x5AA8FF), Colour::rgb(0x123C8A), Emblem::EXCLAMATION};
    }
    return {};
}

std::vector<Vec2> starPoints(Vec2 c, int points, float outer, float inner, float startDegrees) {
    std::vector<Vec2> out;
    for (int i = 0; i < 2 * points; ++i) {
        float r = i % 2 ? inner : outer, a = (startDegrees + 180.0f * i / points) * PI_F / 180;
        out.emplace_back(c.x + r * std::cos(a), c.y + r * std::sin(a));
    }
    return out;
}

void emblem(Canvas& c, Emblem e, Vec2 at, float radius, const BoardText& t) {
    Mask disc = Mask::circle(at.x, at.y, radius);
    c.fill(disc.grown(6), INK);
    c.fill(disc, radialGradient({at.x - radius * 0.3f, at.y - radius * 0.4f}, radius * 1.6f, t.light, t.dark));
    c.fill(Mask::ring(at.x, at.y, radius - 7, 5), Colour(1, 1, 1, 0.8f));
    const float s = radius / 100.0f;
    auto p = [&](float x, float y) { return Vec2(at.x + x * s, at.y + y * s); };
    Mask symbol;
    switch (e) {
        case Emblem::CHECK:
            symbol = Mask::line(p(-45, 0), p(-12, 35), 24 * s).united(Mask::line(p(-12, 35), p(48, -38), 24 * s));
            break;
        case Emblem::CROSS:
            symbol = Mask::line(p(-38, -38), p(38, 38), 24 * s).united(Mask::line(p(-38, 38), p(38, -38), 24 * s));
            break;
        case Emblem::EXCLAMATION:
            symbol = Mask::polygon({p(-12, -55), p(12, -55), p(7, 22), p(-7, 22)}).united(Mask::circle(p(0, 45).x, p(0, 45).y, 13 * s));
            break;
        case Emblem::TROPHY_STAR:
            symbol = Mask::polygon(starPoints(at, 5, 62 * s, 26 * s, -90));
            break;
        case Emblem::POLICE_STAR: {
            symbol = Mask::polygon(starPoints(at, 6, 62 * s, 32 * s, -90));
            for (int i = 0; i < 6; ++i) {
                float a = (-90 + 60.0f * i) * PI_F / 180;
                symbol = symbol.united(Mask::circle(at.x + 62 * s * std::cos(a), at.y + 62 * s * std::sin(a), 9 * s));
            }
            break;
        }
        case Emblem::CROSSED_SIGN: {
            Mask plate = Mask::roundRect(p(-55, -30).x, p(-55, -30).y, p(55, 30).x, p(55, 30).y, 6 * s);
            c.fill(plate.grown(4 * s), INK);
            c.fill(plate, Colour::rgb(0xFFD200));
            c.fill(Mask::roundRect(p(-44, -4).x, p(-44, -4).y, p(44, 4).x, p(44, 4).y, 2 * s), INK);
            symbol = Mask::line(p(-52, 45), p(52, -45), 16 * s);
            paintOutlined(c, symbol, Colour::rgb(0xE02020), WHITE, 4 * s);
            return;
        }
    }
    paintOutlined(c, symbol, WHITE, INK, 4 * s, 4 * s);
}

}  // namespace

// A message board: a dark rounded panel with a coloured rim, an emblem,
// a headline saying what happened and two lines saying what to do.
Canvas drawBoard(Board board) {
    const BoardText t = boardText(board);
    Canvas c(1024, 512, Colour(0.05f, 0.06f, 0.1f, 0));
    Mask panel = Mask::roundRect(20, 20, 1004, 492, 52);
    c.fill(panel.blurred(10).moved(0, 6), Colour(0, 0, 0, 0.5f));
    c.fill(panel, linearGradient({0, 20}, Colour(0.1f, 0.12f, 0.2f, 0.9f), {0, 492}, Colour(0.03f, 0.04f, 0.08f, 0.92f)));
    c.fill(panel.minus(Mask::roundRect(30, 30, 994, 482, 44)), t.light);
    c.fill(Mask::roundRect(36, 36, 988, 120, 36), Colour(1, 1, 1, 0.06f));  // a faint sheen on top
    emblem(c, t.emblem, {170, 256}, 104, t);

    const Font& font = gameFont();
    const float textCentre = 630, textWidth = 630;
    float size = font.fit(t.headline, 118, textWidth);
    Mask headline = font.centred(t.headline, size, textCentre, 236);
    paintOutlined(c, headline, linearGradient({0, 236 - size * 0.75f}, WHITE, {0, 236}, mix(WHITE, t.light, 0.45f)),
                  t.dark, 6, 5);
    float lineSize = std::min(font.fit(t.line1, 46, textWidth), font.fit(t.line2, 46, textWidth));
    const Colour body(0.92f, 0.94f, 0.98f, 1);
    paintOutlined(c, font.centred(t.line1, lineSize, textCentre, 330), body, INK, 3);
    paintOutlined(c, font.centred(t.line2, lineSize, textCentre, 392), body, INK, 3);
    return c;
}

// A yellow town plate with a black border and the town's name.
Canvas drawTownPlate(const std::string& town) {
    Canvas c(512, 256);
    c.paint(linearGradient({0, 0}, Colour::rgb(0xFFDA1A), {0, 256}, Colour::rgb(0xF5C400)));
    c.fill(Mask::roundRect(12, 12, 500, 244, 18).minus(Mask::roundRect(24, 24, 488, 232, 10)), INK);
    const Font& font = gameFont();
    float size = font.fit(town, 118, 430);
    float baseline = 128 + font.capHeight(size) / 2;
    c.fill(font.centred(town, size, 256, baseline), INK);
    // A little wear, so it does not look like a screen.
    c.paint([&c](float x, float y) {
        Colour p = c.get(static_cast<int>(x), static_cast<int>(y));
        float n = fractalNoise(x / 40, y / 40, 3, 99) - 0.5f;
        return p.scaled(1 + n * 0.08f).withAlpha(1);
    });
    return c;
}

namespace {

// The silhouette y of a mountain range across the picture.
float ridge(float x, float base, float height, uint32_t seed, float scale) {
    return base - height * (0.6f * ridgedNoise(x / scale, 0.5f, 5, seed) + 0.4f * fractalNoise(x / (scale * 2.2f), 3.5f, 3, seed + 9));
}

std::vector<Vec2> rangePolygon(float base, float height, uint32_t seed, float scale, float bottom) {
    std::vector<Vec2> pts;
    for (int x = -8; x <= 1032; x += 4) pts.emplace_back(static_cast<float>(x), ridge(static_cast<float>(x), base, height, seed, scale));
    pts.emplace_back(1032.0f, bottom);
    pts.emplace_back(-8.0f, bottom);
    return pts;
}

void road(Canvas& c) {
    auto centreAt = [](float s) { return 512 + 150 * std::sin(s * 2.6f) * (1 - s) - 40 * s; };
    auto yAt = [](float s) { return 452 + 316 * std::pow(1 - s, 1.9f); };
    auto widthAt = [](float s) { return 520 * std::pow(1 - s, 1.9f) + 3; };
    std::vector<Vec2> left, right, shoulderL, shoulderR;
    for (int i = 0; i <= 60; ++i) {
        float s = i / 60.0f;
        float x = centreAt(s), y = yAt(s), w = widthAt(s);
        left.emplace_back(x - w / 2, y);
        right.emplace_back(x + w / 2, y);
        shoulderL.emplace_back(x - w * 0.62f, y);
        shoulderR.emplace_back(x + w * 0.62f, y);
    }
    auto band = [](const std::vector<Vec2>& a, const std::vector<Vec2>& b) {
        std::vector<Vec2> poly = a;
        poly.insert(poly.end(), b.rbegin(), b.rend());
        return poly;
    };
    c.fill(Mask::polygon(band(shoulderL, shoulderR)), linearGradient({0, 452}, Colour::rgb(0xB9A27A), {0, 768}, Colour::rgb(0x8C7650)));
    c.fill(Mask::polygon(band(left, right)), linearGradient({0, 452}, Colour::rgb(0x8A8E96), {0, 768}, Colour::rgb(0x4A4E56)));
    for (int k = 0; k < 14; ++k) {
        float s0 = k / 14.0f, s1 = s0 + 0.4f / 14;
        std::vector<Vec2> dash;
        for (int i = 0; i <= 4; ++i) {
            float s = mixf(s0, s1, i / 4.0f);
            dash.emplace_back(centreAt(s) - widthAt(s) * 0.018f, yAt(s));
        }
        for (int i = 4; i >= 0; --i) {
            float s = mixf(s0, s1, i / 4.0f);
            dash.emplace_back(centreAt(s) + widthAt(s) * 0.018f, yAt(s));
        }
        c.fill(Mask::polygon(dash), Colour(0.97f, 0.97f, 0.92f, 0.95f));
    }
}

void hatchbackFromBehind(Canvas& c, float x, float y, float w) {
    const float h = w * 0.62f;
    c.fill(Mask::roundRect(x - w * 0.55f, y - h * 0.05f, x + w * 0.55f, y + h * 0.12f, h * 0.1f).blurred(6), Colour(0, 0, 0, 0.45f));
    for (float side : {-1.0f, 1.0f})
        c.fill(Mask::roundRect(x + side * w * 0.36f - w * 0.1f, y - h * 0.22f, x + side * w * 0.36f + w * 0.1f, y + h * 0.02f, 6), INK);
    Mask body = Mask::roundRect(x - w / 2, y - h * 0.62f, x + w / 2, y - h * 0.12f, h * 0.12f);
    Mask cabin = Mask::polygon({{x - w * 0.42f, y - h * 0.6f}, {x + w * 0.42f, y - h * 0.6f}, {x + w * 0.33f, y - h}, {x - w * 0.33f, y - h}});
    paintOutlined(c, body.united(cabin), linearGradient({0, y - h}, Colour::rgb(0xF03A2A), {0, y}, Colour::rgb(0x8E120C)), INK, 2.5f);
    c.fill(Mask::polygon({{x - w * 0.36f, y - h * 0.64f}, {x + w * 0.36f, y - h * 0.64f}, {x + w * 0.3f, y - h * 0.94f}, {x - w * 0.3f, y - h * 0.94f}}),
           linearGradient({0, y - h}, Colour::rgb(0x6A88B0), {0, y - h * 0.6f}, Colour::rgb(0x1C2638)));
    for (float side : {-1.0f, 1.0f})
        c.fill(Mask::roundRect(x + side * w * 0.38f - w * 0.08f, y - h * 0.5f, x + side * w * 0.38f + w * 0.08f, y - h * 0.38f, 3),
               Colour::rgb(0xFF3020));
    c.fill(Mask::roundRect(x - w * 0.12f, y - h * 0.36f, x + w * 0.12f, y - h * 0.24f, 2), Colour::rgb(0xF4F4EE));
}

void townSign(Canvas& c, float x, float ground, float width) {
    const float h = width / 2;
    for (float side : {-0.32f, 0.32f})
        c.fill(Mask::roundRect(x + side * width - 3, ground - h * 2.3f, x + side * width + 3, ground, 2), Colour::rgb(0x8C9094));
    Canvas plate = drawTownPlate("SMIHEL");
    c.fill(Mask::roundRect(x - width / 2 - 2, ground - h * 2.3f - 2, x + width / 2 + 2, ground - h * 1.3f + 2, 3), INK);
    c.draw(plate, x - width / 2, ground - h * 2.3f, width, h);
}

}  // namespace

// The title picture shown while the level loads (4:3).
Canvas drawLoadingScreen() {
    Canvas c(1024, 768);
    c.paint(linearGradient({0, 0}, Colour::rgb(0x2F6FD0), {0, 450}, Colour::rgb(0xCFE3F4)));
    c.fill(Mask::circle(820, 150, 230), radialGradient({820, 150}, 230, Colour(1, 0.97f, 0.85f, 0.75f), Colour(1, 0.95f, 0.8f, 0)));
    c.fill(Mask::circle(820, 150, 36), Colour(1, 0.99f, 0.9f, 1));
    Random rng(12);
    for (int i = 0; i < 6; ++i) {
        float cx = rng.range(40, 1000), cy = rng.range(300, 380), w = rng.range(80, 170);
        Mask cloud = Mask::circle(cx, cy, w * 0.3f).united(Mask::circle(cx - w * 0.35f, cy + 8, w * 0.22f)).united(Mask::circle(cx + w * 0.35f, cy + 10, w * 0.2f));
        c.fill(cloud.blurred(8), Colour(1, 1, 1, 0.7f));
    }
    // Far mountains with snow, nearer blue-green ranges, then meadows.
    auto snow = [](float x, float y) {
        float line = 292 + 26 * fractalNoise(x / 40, 1.5f, 3, 5);
        float t = smoothstep(line - 3, line + 3, y);
        return mix(Colour::rgb(0xF4F8FF), mix(Colour::rgb(0x8EA2C2), Colour::rgb(0xA9B9D2), clamp01((y - 300) / 150)), t);
    };
    c.fill(Mask::polygon(rangePolygon(445, 230, 31, 120, 470)), snow);
    c.fill(Mask::polygon(rangePolygon(445, 110, 77, 110, 480)), linearGradient({0, 330}, Colour::rgb(0x5F7F8E), {0, 470}, Colour::rgb(0x8EA7AC)));
    c.fill(Mask::polygon(rangePolygon(470, 60, 91, 140, 768)), linearGradient({0, 410}, Colour::rgb(0x6FA548), {0, 560}, Colour::rgb(0x3F7A2A)));
    c.fill(Mask::polygon(rangePolygon(560, 70, 123, 230, 768)), linearGradient({0, 490}, Colour::rgb(0x7DBA50), {0, 768}, Colour::rgb(0x2E6A22)));
    road(c);
    townSign(c, 800, 560, 120);
    hatchbackFromBehind(c, 575, 640, 130);

    const Font& font = gameFont();
    Mask title = font.centred("ZARVIK", 190, 512, 205);
    paintOutlined(c, title, linearGradient({0, 70}, Colour::rgb(0xFFF06A), {0, 205}, Colour::rgb(0xFF8A1A)), INK, 10, 10);
    c.fill(title.minus(title.moved(0, 6)).times(0.5f), Colour(1, 1, 1, 1));
    paintOutlined(c, font.centred("Take down every town sign. Don't get caught.", 34, 512, 262), WHITE, INK, 4);

    Mask bar = Mask::roundRect(40, 664, 984, 744, 24);
    c.fill(bar, Colour(0.04f, 0.05f, 0.1f, 0.78f));
    c.fill(font.text("Loading...", 40, 76, 718), Colour::rgb(0xFFE45C));
    c.fill(font.text("W A S D  drive     R  restart     Esc  quit", 26, 440, 714), Colour(0.9f, 0.92f, 0.96f, 1));
    return c;
}

}  // namespace assetgen
