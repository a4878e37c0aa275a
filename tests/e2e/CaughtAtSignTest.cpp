#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "GameSupport.h"

using namespace e2e;

namespace {

// The message board's middle on the screen: below the row of pursuer stars
// along the top, above the arrow row.
constexpr int BX0 = WX + 200, BY0 = WY + 110, BX1 = WX + 600, BY1 = WY + 240;

int darkPixels(const Picture& p) { return countPixels(p, BX0, BY0, BX1, BY1, messageDark); }
int changedPixels(const Picture& a, const Picture& b) { return e2e::changedPixels(a, b, BX0, BY0, BX1, BY1); }

}  // namespace

// The player drives into the north sign over the overkill item lying five
// units before it: every pursuer hunts the car while its row is typed, and
// the one patrolling to that sign is there within seconds. The catch ends
// the game: the rest of the row and a wrong key change nothing, the busted
// picture stays until r.
TEST(CaughtAtSign, ACatchWhileTheRowIsTypedEndsTheSignGame) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through scripts/test.sh";
    GameProcess game;
    ASSERT_TRUE(game.start());
    // Over the anti-pursuer item: no pursuer sees the car on its way north,
    // so none catches it before the sign.
    const std::string keys = driveIntoTheNorthSign(game);
    ASSERT_EQ(keys.size(), 8u) << game.output();

    // Typing the first three arrows while the pursuers come.
    for (size_t i = 0; i < 3 && game.output().find("caught by") == std::string::npos; ++i) {
        ASSERT_TRUE(game.key(std::string(1, keys[i])));
        settle(0.25);
    }
    ASSERT_TRUE(game.waitFor("caught by", 90.0)) << game.output();
    ASSERT_TRUE(game.waitFor("sign game ended by the catch", 5.0)) << game.output();
    Picture busted = shotShowing(game, "e2e-caught-at-sign.png",
                                 [](const Picture& p) { return darkPixels(p) > (BX1 - BX0) * (BY1 - BY0) / 2; });
    ASSERT_TRUE(busted.pixels);
    EXPECT_GT(darkPixels(busted), (BX1 - BX0) * (BY1 - BY0) / 2) << "the busted picture shows";

    // The whole row, then a wrong key: neither "sign dismantled" nor "wrong key" replaces it.
    for (char k : keys) {
        ASSERT_TRUE(game.key(std::string(1, k)));
        settle(0.25);
    }
    ASSERT_TRUE(game.key(keys[0] == 'w' ? "s" : "w"));
    settle(1.0);
    Picture typed = shot(game, "e2e-caught-at-sign-typed.png");
    ASSERT_TRUE(typed.pixels);
    EXPECT_LT(changedPixels(busted, typed), 100) << "the same picture";

    // r takes it away.
    ASSERT_TRUE(game.key("r"));
    Picture reset = shotShowing(game, "e2e-caught-at-sign-reset.png", [&](const Picture& p) {
        return changedPixels(busted, p) > (BX1 - BX0) * (BY1 - BY0) / 2;
    });
    EXPECT_GT(changedPixels(busted, reset), (BX1 - BX0) * (BY1 - BY0) / 2);

    ASSERT_TRUE(game.key("Escape"));
    EXPECT_EQ(game.waitForExit(60.0), 0);
}
