#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "game/DemoLevel.h"
#include "support/FakeClock.h"
#include "support/GlTestWindow.h"

namespace {

std::shared_ptr<GeometryNode> find(const ScenegraphNode& parent, const char* description) {
    for (const auto& child : parent.getChildren())
        if (std::strcmp(child->getNodeDescription(), description) == 0)
            return std::dynamic_pointer_cast<GeometryNode>(child);
    return nullptr;
}

void run(Level& level, FakeClock& clock, double seconds) {
    for (double t = 0; t < seconds; t += 0.01) {
        clock.advance(0.01);
        level.display();
    }
}

}  // namespace

TEST(DemoLevel, ShowcaseBoxesFallOntoTheFloorAndResetPutsThemBack) {
    REQUIRE_GL();
    FakeClock clock;
    auto level = std::make_shared<DemoLevel>();
    level->preBuild();
    level->build();
    auto crate = find(*level->getRoot(), "red box");
    auto floor = find(*level->getRoot(), "floor");
    ASSERT_TRUE(crate && floor);
    EXPECT_FLOAT_EQ(crate->getYpos(), 1.5f);

    run(*level, clock, 3.0);
    // Floor top at -0.75 + 0.05; the unit box rests with its centre 0.5 above.
    EXPECT_NEAR(crate->getYpos(), -0.2f, 0.03f);
    EXPECT_FLOAT_EQ(floor->getYpos(), -0.75f);  // static: never moves
    const float restingY = crate->getYpos();
    run(*level, clock, 1.0);
    EXPECT_NEAR(crate->getYpos(), restingY, 1e-3f);  // came to rest

    level->reset();
    EXPECT_FLOAT_EQ(crate->getYpos(), 1.5f);
    run(*level, clock, 0.2);
    EXPECT_LT(crate->getYpos(), 1.5f);  // falls again from the start
    EXPECT_GT(crate->getYpos(), restingY);
}
