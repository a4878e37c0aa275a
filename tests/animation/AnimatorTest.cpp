#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "animation/Animator.h"
#include "animation/TimeBase.h"
#include "support/FakeClock.h"

namespace {

class Recorder : public Animation {
public:
    void animate(double elapsed) override { calls.push_back(elapsed); }
    std::vector<double> calls;
};

}  // namespace

TEST(TimeBase, MeasuresBetweenReadingsAndResets) {
    FakeClock clock;
    TimeBase tb;
    EXPECT_EQ(tb.getElapsedTime(), 0.0);
    clock.advance(0.25);
    tb.measure();
    EXPECT_NEAR(tb.getElapsedTime(), 0.25, 1e-9);
    clock.advance(10.0);  // a long load...
    tb.reset();           // ...is forgotten
    EXPECT_NEAR(tb.getElapsedTime(), 0.25, 1e-9);  // reset does not touch the last result
    clock.advance(0.016);
    tb.measure();
    EXPECT_NEAR(tb.getElapsedTime(), 0.016, 1e-9);
}

TEST(Animator, EveryActiveAnimationGetsTheSameFrameTime) {
    FakeClock clock;
    Animator animator;
    auto a = std::make_shared<Recorder>(), b = std::make_shared<Recorder>();
    animator.registerAnimation(a);
    animator.registerAnimation(b);
    clock.advance(0.04);
    animator.animate();
    ASSERT_EQ(a->calls.size(), 1u);
    ASSERT_EQ(b->calls.size(), 1u);
    EXPECT_NEAR(a->calls[0], 0.04, 1e-9);
    EXPECT_EQ(a->calls[0], b->calls[0]);
}

TEST(Animator, EmptyAnimatorStillMeasures) {
    FakeClock clock;
    Animator animator;
    clock.advance(5.0);
    animator.animate();  // nothing registered: the 5 s are consumed here
    auto a = std::make_shared<Recorder>();
    animator.registerAnimation(a);
    clock.advance(0.02);
    animator.animate();
    ASSERT_EQ(a->calls.size(), 1u);
    EXPECT_NEAR(a->calls[0], 0.02, 1e-9);
}

TEST(Animator, RegisterActivateDeactivateUnregister) {
    FakeClock clock;
    Animator animator;
    auto a = std::make_shared<Recorder>();
    animator.registerAnimation(a);
    animator.registerAnimation(a);  // twice changes nothing
    animator.deactivateAnimation(a);
    animator.animate();
    EXPECT_TRUE(a->calls.empty());
    animator.activateAnimation(a);
    animator.animate();
    EXPECT_EQ(a->calls.size(), 1u);
    animator.unregisterAnimation(a);  // once is enough to remove it completely
    EXPECT_FALSE(animator.isRegistered(a));
    animator.animate();
    EXPECT_EQ(a->calls.size(), 1u);

    testing::internal::CaptureStdout();
    animator.activateAnimation(a);
    animator.deactivateAnimation(a);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\nAnimator.activateAnimation(): specified animation is not registered!"
              "\nAnimator.deactivateAnimation(): specified animation is not registered!");
    EXPECT_FALSE(animator.isActive(a));
}

TEST(Animator, ClearDropsTheOnlyReference) {
    Animator animator;
    std::weak_ptr<Recorder> watch;
    {
        auto a = std::make_shared<Recorder>();
        watch = a;
        animator.registerAnimation(a);
    }
    EXPECT_FALSE(watch.expired());
    animator.clear();
    EXPECT_TRUE(watch.expired());
}

TEST(Animator, RunsInRegistrationOrderAndKeepsTheFrameWhenTheListChanges) {
    FakeClock clock;
    Animator animator;
    std::vector<int> order;
    // Each animation notes its number; the second unregisters the third and registers a fourth.
    struct Numbered : Animation {
        Numbered(int n, std::vector<int>& order) : n(n), order(order) {}
        void animate(double) override {
            order.push_back(n);
            if (then) then();
        }
        int n;
        std::vector<int>& order;
        std::function<void()> then;
    };
    std::vector<std::shared_ptr<Numbered>> made;
    for (int n = 0; n < 4; ++n) made.push_back(std::make_shared<Numbered>(n, order));
    // Registered against their allocation order, so an order by address would differ.
    for (int n : {2, 0, 1}) animator.registerAnimation(made[n]);
    made[0]->then = [&] {
        animator.unregisterAnimation(made[1]);
        animator.registerAnimation(made[3]);
        made[0]->then = nullptr;
    };
    animator.animate();
    EXPECT_EQ(order, (std::vector<int>{2, 0, 1}));  // this frame's list stood before the first call
    order.clear();
    animator.animate();
    EXPECT_EQ(order, (std::vector<int>{2, 0, 3}));
}
