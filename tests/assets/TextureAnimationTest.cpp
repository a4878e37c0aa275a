#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "assets/AlphaGlow.h"
#include "assets/TextureMover.h"

namespace {
std::shared_ptr<Material> materialWithAlpha(float alpha) {
    auto m = std::make_shared<Material>();
    m->ambient = Utilities<float>::createArray(1, 1, 1, 1);
    m->diffuse = Utilities<float>::createArray(1, 1, 1, 1);
    m->specular = Utilities<float>::createArray(1, 1, 1, 1);
    m->emission = Utilities<float>::createArray(1, 1, 1, 1);
    m->setTransparency(alpha);
    return m;
}
}  // namespace

TEST(AlphaGlow, OneFallingGlowFadesOutInFiveSecondsAndStops) {
    // 0.4 glows per second over the range 0 .. 1 move the alpha by
    // (1 - 0) * 0.4 * 0.5 = 0.2 per second: from 1.0 to 0 in 5 s.
    auto material = materialWithAlpha(1.0f);
    AlphaGlow glow(material, 0.4f, 1, 0.0f, 1.0f);
    glow.rising = false;
    for (int frame = 0; frame < 49; ++frame) glow.animate(0.1);
    EXPECT_NEAR(material->diffuse[3], 0.02f, 1e-4f);  // after 4.9 s
    EXPECT_EQ(glow.glowCount, 0);
    EXPECT_TRUE(material->isTransparent());
    glow.animate(0.1);
    glow.animate(0.1);  // 5.1 s: below 0, the one turn is made
    EXPECT_NEAR(material->diffuse[3], -0.02f, 1e-4f);
    EXPECT_EQ(glow.glowCount, 1);
    EXPECT_TRUE(glow.rising);
    glow.animate(3.0);  // finished: nothing changes any more
    EXPECT_NEAR(material->diffuse[3], -0.02f, 1e-4f);
    EXPECT_FLOAT_EQ(material->emission[3], material->diffuse[3]) << "every colour carries the alpha";

    glow.reset();  // counting from 0 again, it rises
    glow.animate(1.0);
    EXPECT_NEAR(material->diffuse[3], 0.18f, 1e-4f);
}

TEST(AlphaGlow, EndlessGlowsSwingBetweenTheEnds) {
    // 0.5 glows per second over 0.2 .. 0.8: 0.15 per second, 4 s from one end to the other.
    auto material = materialWithAlpha(0.2f);
    AlphaGlow glow(material, 0.5f, AlphaGlow::INFINITE_GLOWS, 0.2f, 0.8f);
    float lowest = 1, highest = 0;
    for (int frame = 0; frame < 1400; ++frame) {  // 14 s: turns near 4, 8 and 12 s
        glow.animate(0.01);
        lowest = std::min(lowest, material->diffuse[3]);
        highest = std::max(highest, material->diffuse[3]);
    }
    EXPECT_EQ(glow.glowCount, 3);
    EXPECT_GT(lowest, 0.2f - 0.002f);  // overshoot at most one frame's step
    EXPECT_LT(highest, 0.8f + 0.002f);
    EXPECT_GT(highest, 0.8f - 0.002f);
    EXPECT_FALSE(glow.rising);  // after the turn at 12 s it falls towards 0.2 again
    glow.active = false;
    const float held = material->diffuse[3];
    glow.animate(1.0);
    EXPECT_FLOAT_EQ(material->diffuse[3], held);
}

TEST(TextureMover, ScrollsTheQuadAndTakesWholeWidthsBackInTheSameFrame) {
    auto quad = std::make_shared<TextureQuad>("scrolled");
    float* uv = quad->getTexCoords().get();
    const float start[8] = {0, 0, 0, 1, 1, 1, 1, 0};  // the corners of a loaded quad
    std::copy(start, start + 8, uv);
    TextureMover mover(quad, 0.3f, -0.45f);
    for (int second = 1; second <= 10; ++second) {
        mover.animate(1.0);
        SCOPED_TRACE(testing::Message() << "after " << second << " s");
        // The coordinates are always the start plus the kept offset, and the
        // offset is the whole shift less the whole widths taken back.
        EXPECT_LE(std::fabs(mover.offsetU), 1.0f);
        EXPECT_LE(std::fabs(mover.offsetV), 1.0f);
        const float wholeU = 0.3f * second - mover.offsetU, wholeV = -0.45f * second - mover.offsetV;
        EXPECT_NEAR(wholeU, std::round(wholeU), 1e-4f);
        EXPECT_NEAR(wholeV, std::round(wholeV), 1e-4f);
        for (int corner = 0; corner < 4; ++corner) {
            EXPECT_NEAR(uv[2 * corner], start[2 * corner] + mover.offsetU, 1e-4f);
            EXPECT_NEAR(uv[2 * corner + 1], start[2 * corner + 1] + mover.offsetV, 1e-4f);
        }
    }
    // After 4 s u passed 1 (1.2) and came back to 0.2 in that same frame.
    mover.offsetU = 0;
    std::copy(start, start + 8, uv);
    for (int s = 0; s < 4; ++s) mover.animate(1.0);
    EXPECT_NEAR(mover.offsetU, 0.2f, 1e-5f);
    EXPECT_NEAR(uv[4], 1.2f, 1e-5f);  // corner 2: u = 1 + 0.2
}
