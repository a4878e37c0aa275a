#include <gtest/gtest.h>

#include "overlay/StopWatch.h"
#include "support/FakeClock.h"

TEST(StopWatch, CountsOnlyRunningTimeAndShowsItCutToTheMillisecond) {
    FakeClock clock;
    StopWatch watch;
    auto shown = [&] { return watch.getOverlay()->getText(); };
    EXPECT_EQ(shown(), "Time: 0:00:00.000");

    clock.advance(500.0);  // before the start: not counted
    watch.start();
    clock.advance(3723.4567);  // 1 h, 2 min, 3.4567 s
    watch.update();
    EXPECT_EQ(shown(), "Time: 1:02:03.456");

    watch.stop();
    clock.advance(50.0);
    watch.update();  // stopped: nothing is measured, the result stays
    EXPECT_EQ(shown(), "Time: 1:02:03.456");
    clock.advance(1000.0);  // a long pause, then a start: the pause never counts
    watch.start();
    clock.advance(0.5);
    watch.update();
    EXPECT_EQ(shown(), "Time: 1:02:03.956");
    clock.advance(0.25);
    watch.start();  // already running: the 0.25 s since the update still count
    clock.advance(0.125);
    watch.update();
    EXPECT_EQ(shown(), "Time: 1:02:04.331") << "1:02:03.956 + 0.25 s + 0.125 s";

    watch.reset();  // a running watch runs on from zero
    EXPECT_EQ(shown(), "Time: 0:00:00.000");
    clock.advance(59.9999);
    watch.update();
    EXPECT_EQ(shown(), "Time: 0:00:59.999") << "never rounded up";
    EXPECT_TRUE(watch.isRunning());

    watch.reset();
    clock.advance(100 * 3600.0);  // hours are neither padded nor limited
    watch.update();
    EXPECT_EQ(shown(), "Time: 100:00:00.000");
}
