// Small HUD pictures and glow sprites. Sprites keep a white colour and
// carry their shape in alpha, so the game can tint them with materials.
#include <cmath>

#include "Noise.h"
#include "Pictures.h"

namespace assetgen {

namespace {

const Colour HUD_WHITE(1, 1, 1, 1);
const Colour HUD_INK(0.07f, 0.07f, 0.1f, 1);

// A white sprite whose alpha is a function of the distance from the
// centre (0 at the centre, 1 at the edge) and of the angle.
Canvas sprite(int size, const std::function<float(float r, float angle)>& alpha) {
    Canvas c(size, size, Colour(1, 1, 1, 0));
    const float half = size * 0.5f;
    c.paint([&](float x, float y) {
        float dx = (x - half) / half, dy = (y - half) / half;
        float r = std::sqrt(dx * dx + dy * dy);
        return Colour(1, 1, 1, clamp01(alpha(r, std::atan2(dy, dx))));
    });
    return c;
}

Paint vertical(float y0, Colour top, float y1, Colour bottom) { return linearGradient({0, y0}, top, {0, y1}, bottom); }

}  // namespace

// An arrow pointing right (rotation 0 stands for the key d).
Canvas drawArrow() {
    Canvas c(128, 128, Colour(1, 0.85f, 0.2f, 0));
    std::vector<Vec2> arrow = {{14, 50}, {66, 50}, {66, 22}, {114, 64}, {66, 106}, {66, 78}, {14, 78}};
    Mask shape = Mask::polygon(arrow);
    c.fill(shape.grown(9).blurred(6), Colour(0, 0, 0, 0.35f));  // soft dark halo, no direction
    paintOutlined(c, shape, vertical(22, Colour::rgb(0xFFE45C), 106, Colour::rgb(0xFF9A1F)), HUD_INK, 4.5f);
    // A light edge on the upper faces gives it some body.
    Mask shine = Mask::polygon({{20, 54}, {70, 54}, {70, 32}, {98, 57}, {92, 60}, {20, 60}});
    c.fill(shine, Colour(1, 1, 1, 0.35f));
    return c;
}

// A six-pointed police star: pale gold, so that a red material tints it red.
Canvas drawPoliceStar() {
    Canvas c(128, 128, Colour(1, 0.9f, 0.6f, 0));
    const Vec2 centre(64, 66);
    std::vector<Vec2> star;
    for (int i = 0; i < 12; ++i) {
        float r = (i % 2 == 0) ? 52.0f : 27.0f;
        float a = (-90 + 30.0f * i) * PI_F / 180;
        star.emplace_back(centre.x + r * std::cos(a), centre.y + r * std::sin(a));
    }
    Mask shape = Mask::polygon(star);
    for (int i = 0; i < 6; ++i) {
        float a = (-90 + 60.0f * i) * PI_F / 180;
        shape = shape.united(Mask::circle(centre.x + 53 * std::cos(a), centre.y + 53 * std::sin(a), 7));
    }
    paintOutlined(c, shape, radialGradient(centre, 60, Colour::rgb(0xFFF6D0), Colour::rgb(0xE8C35A)),
                  Colour::rgb(0x3A2A08), 3.5f, 3);
    paintOutlined(c, Mask::circle(centre.x, centre.y, 17), radialGradient(centre, 17, Colour::rgb(0xF2D27A), Colour::rgb(0xC99A2E)),
                  Colour::rgb(0x5A4210), 2.5f);
    c.fill(Mask::circle(centre.x - 5, centre.y - 6, 5), Colour(1, 1, 1, 0.6f));
    return c;
}

Canvas drawObjectHalo() {
    return sprite(128, [](float r, float) {
        float glow = std::exp(-r * r * 5.0f) * 0.75f;
        float ring = std::exp(-std::pow((r - 0.62f) / 0.12f, 2.0f)) * 0.3f;
        return (glow + ring) * smoothstep(1.0f, 0.85f, r);
    });
}

Canvas drawBigGlow() {
    return sprite(256, [](float r, float) {
        return (std::exp(-r * r * 9.0f) * 0.85f + std::exp(-r * r * 2.5f) * 0.25f) * smoothstep(1.0f, 0.7f, r);
    });
}

Canvas drawStreaks() {
    // Rays of random length and width; the brightest along the diagonals.
    struct Ray {
        float angle, length, width, strength;
    };
    std::vector<Ray> rays;
    Random rng(4711);
    for (int i = 0; i < 6; ++i) rays.push_back({PI_F / 3 * i + 0.26f, 0.95f, 0.012f, 0.9f});
    for (int i = 0; i < 30; ++i)
        rays.push_back({rng.range(0, 2 * PI_F), rng.range(0.35f, 0.8f), rng.range(0.006f, 0.014f), rng.range(0.25f, 0.55f)});
    return sprite(256, [rays](float r, float angle) {
        float sum = std::exp(-r * r * 40.0f);
        for (const Ray& ray : rays) {
            float d = std::remainder(angle - ray.angle, 2 * PI_F);
            float across = std::fabs(std::sin(d)) * r;
            if (std::cos(d) < 0) continue;
            float fall = clamp01(1 - r / ray.length);
            sum += ray.strength * fall * fall * std::exp(-std::pow(across / ray.width, 2.0f));
        }
        return sum;
    });
}

Canvas drawFlareHalo() {
    return sprite(256, [](float r, float) {
        float ring = std::exp(-std::pow((r - 0.78f) / 0.07f, 2.0f)) * 0.75f;
        float inner = smoothstep(0.8f, 0.3f, r) * 0.12f;
        return (ring + inner) * smoothstep(1.0f, 0.92f, r);
    });
}

Canvas drawHardGlow() {
    return sprite(256, [](float r, float) { return smoothstep(0.62f, 0.56f, r) * (0.55f + 0.35f * (1 - r)); });
}

namespace {

struct Theme {
    Colour light, dark;
};

Theme themeOf(Item item) {
    switch (item) {
        case Item::BOOZE: return {Colour::rgb(0xF0473A), Colour::rgb(0x8E0F12)};
        case Item::TOOL: return {Colour::rgb(0x4CD164), Colour::rgb(0x166B28)};
        case Item::ENGINE: return {Colour::rgb(0x4F8CFF), Colour::rgb(0x12318F)};
        case Item::DECEASE: return {Colour::rgb(0xFFE04A), Colour::rgb(0xB98A00)};
        case Item::OVERKILL: return {Colour::rgb(0x5A5A62), Colour::rgb(0x111114)};
    }
    return {HUD_WHITE, HUD_INK};
}

void bottle(Canvas& c, Theme t) {
    Mask glass = Mask::polygon({{50, 104}, {78, 104}, {80, 100}, {80, 64}, {76, 56}, {70, 50}, {70, 34}, {58, 34},
                                {58, 50}, {52, 56}, {48, 64}, {48, 100}});
    paintOutlined(c, glass, vertical(34, Colour::rgb(0xE8FFF0), 104, Colour::rgb(0xA8E6B8)), HUD_INK, 3, 2);
    c.fill(Mask::roundRect(48, 70, 80, 92, 2), t.dark);
    c.fill(Mask::roundRect(48, 76, 80, 80, 0), Colour::rgb(0xFFF1C0));
    paintOutlined(c, Mask::roundRect(57, 22, 71, 35, 2), Colour::rgb(0xC08A50), HUD_INK, 2.5f);
    c.fill(Mask::roundRect(53, 60, 57, 98, 2), Colour(1, 1, 1, 0.6f));
}

void spanner(Canvas& c, Theme) {
    Mask shape = Mask::line({42, 86}, {86, 42}, 13);
    Mask head = Mask::circle(88, 40, 17).minus(Mask::polygon(rotated({{82, 16}, {94, 16}, {94, 42}, {82, 42}}, {88, 40}, 45)));
    Mask ringEnd = Mask::circle(40, 88, 15).minus(Mask::circle(40, 88, 6.5f));
    shape = shape.united(head).united(ringEnd);
    paintOutlined(c, shape, vertical(20, Colour::rgb(0xFFFFFF), 110, Colour::rgb(0xC9D0DA)), HUD_INK, 3, 2);
}

void piston(Canvas& c, Theme t) {
    Mask rod = Mask::polygon({{58, 60}, {70, 60}, {73, 88}, {55, 88}}).united(Mask::circle(64, 96, 13).minus(Mask::circle(64, 96, 6)));
    paintOutlined(c, rod, vertical(60, Colour::rgb(0xDDE6FF), 110, Colour::rgb(0xA9B8E8)), HUD_INK, 3, 2);
    Mask body = Mask::roundRect(40, 24, 88, 64, 6);
    paintOutlined(c, body, vertical(24, Colour::rgb(0xFFFFFF), 64, Colour::rgb(0xC8CDD6)), HUD_INK, 3, 2);
    for (float y : {31.0f, 38.0f, 45.0f}) c.fill(Mask::roundRect(40, y, 88, y + 3, 0), t.dark);
    c.fill(Mask::circle(64, 55, 5), Colour::rgb(0x5A6270));
}

void syringe(Canvas& c, Theme t) {
    const Vec2 ctr(64, 64);
    const float turn = -45;
    Mask barrel = Mask::polygon(rotated({{38, 55}, {82, 55}, {82, 73}, {38, 73}}, ctr, turn));
    Mask needle = Mask::polygon(rotated({{82, 62}, {110, 63.5f}, {110, 64.5f}, {82, 66}}, ctr, turn));
    Mask plunger = Mask::polygon(rotated({{16, 61}, {38, 61}, {38, 67}, {16, 67}}, ctr, turn))
                       .united(Mask::polygon(rotated({{12, 52}, {18, 52}, {18, 76}, {12, 76}}, ctr, turn)))
                       .united(Mask::polygon(rotated({{36, 48}, {40, 48}, {40, 80}, {36, 80}}, ctr, turn)));
    paintOutlined(c, needle.united(plunger), Colour::rgb(0xEEF2F6), HUD_INK, 2.5f, 2);
    paintOutlined(c, barrel, Colour::rgb(0xF4FBFF), HUD_INK, 3, 2);
    c.fill(Mask::polygon(rotated({{56, 58}, {80, 58}, {80, 70}, {56, 70}}, ctr, turn)), t.dark);
    for (float x : {50.0f, 60.0f, 70.0f})
        c.fill(Mask::polygon(rotated({{x, 55}, {x + 1.5f, 55}, {x + 1.5f, 61}, {x, 61}}, ctr, turn)), HUD_INK);
}

void bomb(Canvas& c, Theme) {
    Mask ball = Mask::circle(58, 72, 28);
    const Colour rim = Colour::rgb(0xB8B8C0);
    paintOutlined(c, ball, radialGradient({50, 62}, 34, Colour::rgb(0x4A4A52), Colour::rgb(0x0C0C0E)), rim, 2.5f, 0);
    paintOutlined(c, Mask::roundRect(70, 40, 84, 52, 2), Colour::rgb(0x8A8A90), rim, 2);
    Mask fuse = Mask::line({78, 42}, {88, 30}, 4).united(Mask::line({88, 30}, {98, 26}, 4));
    c.fill(fuse, Colour::rgb(0xD9B27A));
    std::vector<Vec2> spark;
    for (int i = 0; i < 16; ++i) {
        float r = i % 2 ? 5.0f : 13.0f, a = (22.5f * i) * PI_F / 180;
        spark.emplace_back(100 + r * std::cos(a), 24 + r * std::sin(a));
    }
    c.fill(Mask::polygon(spark), Colour::rgb(0xFFB020));
    c.fill(Mask::circle(100, 24, 4.5f), Colour::rgb(0xFFF6B0));
    // Skull.
    c.fill(Mask::circle(58, 70, 12).united(Mask::roundRect(51, 76, 65, 88, 3)), Colour::rgb(0xF4F0E4));
    c.fill(Mask::circle(53.5f, 70, 3.6f).united(Mask::circle(62.5f, 70, 3.6f)), HUD_INK);
    c.fill(Mask::polygon({{58, 74}, {60, 78}, {56, 78}}), HUD_INK);
    for (float x : {54.5f, 58.0f, 61.5f}) c.fill(Mask::roundRect(x - 0.8f, 82, x + 0.8f, 88, 0), HUD_INK);
}

}  // namespace

// A round badge in the item's colour with a white pictogram.
Canvas drawItemIcon(Item item) {
    Canvas c(128, 128, Colour(1, 1, 1, 0));
    Theme t = themeOf(item);
    Mask disc = Mask::circle(64, 64, 56);
    c.fill(disc.grown(5).blurred(4).moved(0, 3), Colour(0, 0, 0, 0.5f));
    c.fill(disc.grown(4), HUD_INK);
    c.fill(disc, radialGradient({52, 44}, 80, t.light, t.dark));
    c.fill(Mask::ring(64, 64, 53, 3.5f), Colour(1, 1, 1, 0.85f));
    switch (item) {
        case Item::BOOZE: bottle(c, t); break;
        case Item::TOOL: spanner(c, t); break;
        case Item::ENGINE: piston(c, t); break;
        case Item::DECEASE: syringe(c, t); break;
        case Item::OVERKILL: bomb(c, t); break;
    }
    return c;
}

}  // namespace assetgen
