#include <gtest/gtest.h>

#include "SceneTestSupport.h"
#include "scenegraph/OcclusionCulling.h"
#include "scenegraph/SampleCounter.h"

namespace {

// A quad over the whole window, in clip coordinates.
void fillWindow() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    glVertex2f(-1, -1);
    glVertex2f(1, -1);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

std::uint64_t windowSamples() {
    return static_cast<std::uint64_t>(GlTestWindow::width()) * static_cast<std::uint64_t>(GlTestWindow::height());
}

}  // namespace

// Each node's drawing counts as its kind: a far wall over the whole window,
// a nearer box over part of it (exactly its red pixels), and a box behind the
// far wall drawn last, which the depth test hides: no sample.
TEST(SampleCounter, EachNodeCountsTheSamplesThatPassTheDepthTestAsItsKind) {
    REQUIRE_GL();
    SwitchGuard guard;
    ScenegraphNode::useVisibilityCulling = false;
    ScenegraphNode::useAlphaBlending = true;
    RootNode root("root");
    setUpView(root);
    auto far = placed(std::make_shared<BoxNode>("far"), 0, 0, -10, 40, 40, 0.2f);
    far->sampleKind = SampleCounter::SKY;
    glow(*far, 0, 0, 1);
    auto box = placed(std::make_shared<BoxNode>("box"), 0, 0, 0, 2, 2, 2);
    glow(*box, 1, 0, 0);
    auto hidden = placed(std::make_shared<BoxNode>("hidden"), 0, 0, -12, 2, 2, 2);
    hidden->sampleKind = SampleCounter::TERRAIN;
    root.addChild(hidden);
    root.addChild(box);
    root.addChild(far);  // visited first
    root.finalize();

    SampleCounter::start();
    SampleCounter::stop();
    drawFrame(root);  // not counted
    for (int k = 0; k < SampleCounter::KINDS; ++k) EXPECT_EQ(SampleCounter::samples(k), 0u) << k;
    {
        OcclusionCulling::SuspendQueries suspend;
        SampleCounter::start();
        drawFrame(root);
        SampleCounter::stop();
    }
    EXPECT_FALSE(SampleCounter::active());
    EXPECT_EQ(SampleCounter::samples(SampleCounter::SKY), windowSamples());
    EXPECT_EQ(SampleCounter::samples(SampleCounter::TERRAIN), 0u);
    std::uint64_t red = 0;
    for (int y = 0; y < GlTestWindow::height(); ++y)
        for (int x = 0; x < GlTestWindow::width(); ++x) red += GlTestWindow::readPixel(x, y).r > 128 ? 1 : 0;
    EXPECT_GT(red, windowSamples() / 10);
    EXPECT_EQ(SampleCounter::samples(SampleCounter::MODELS), red);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A scope inside another counts its own drawing only; the outer kind goes on
// counting around it. Stopping with a scope open loses nothing drawn before,
// and the scope closing afterwards leaves the GL without a running query.
TEST(SampleCounter, NestedScopesCountApartAndStopEndsAnOpenScope) {
    REQUIRE_GL();
    glDisable(GL_DEPTH_TEST);
    SampleCounter::start();
    {
        SampleCounter::Scope sky(SampleCounter::SKY);
        fillWindow();
        {
            SampleCounter::Scope hud(SampleCounter::HUD);
            fillWindow();
            {
                SampleCounter::Scope flare(SampleCounter::FLARE);
            }
            fillWindow();
        }
        fillWindow();
        fillWindow();
    }
    SampleCounter::stop();
    EXPECT_EQ(SampleCounter::samples(SampleCounter::SKY), 3 * windowSamples());
    EXPECT_EQ(SampleCounter::samples(SampleCounter::HUD), 2 * windowSamples());
    EXPECT_EQ(SampleCounter::samples(SampleCounter::FLARE), 0u);

    SampleCounter::start();
    {
        SampleCounter::Scope glows(SampleCounter::GLOWS);
        fillWindow();
        SampleCounter::stop();
        fillWindow();  // after the stop: not counted
    }
    EXPECT_EQ(SampleCounter::samples(SampleCounter::GLOWS), windowSamples());
    EXPECT_EQ(SampleCounter::samples(SampleCounter::SKY), 0u) << "a new count starts from zero";
    glEnable(GL_DEPTH_TEST);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Into a four-sample buffer, the window filled with multisampling on and once
// with it off (as single-sampled nodes draw) counts four samples per pixel
// either way: a single-sampled scope makes up for the GL's one per pixel.
TEST(SampleCounter, SingleSampledDrawingCountsEverySampleOfItsPixels) {
    REQUIRE_GL();
    const int w = GlTestWindow::width(), h = GlTestWindow::height();
    GLuint framebuffer = 0, colour = 0;
    glGenFramebuffers(1, &framebuffer);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, 4, GL_RGBA8, w, h);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_MULTISAMPLE);
    SampleCounter::start();
    {
        SampleCounter::Scope terrain(SampleCounter::TERRAIN);
        fillWindow();
    }
    glDisable(GL_MULTISAMPLE);
    {
        SampleCounter::Scope sky(SampleCounter::SKY);
        fillWindow();
    }
    // A scope begun multisampled, with a single-sampled one inside that
    // switches multisampling back on before it closes, as a node's drawing
    // does: the outer one counts on, multisampled.
    glEnable(GL_MULTISAMPLE);
    {
        SampleCounter::Scope hud(SampleCounter::HUD);
        fillWindow();
        glDisable(GL_MULTISAMPLE);
        {
            SampleCounter::Scope picture(SampleCounter::HUD);
            fillWindow();
            glEnable(GL_MULTISAMPLE);
        }
        fillWindow();
    }
    SampleCounter::stop();
    glEnable(GL_MULTISAMPLE);
    glEnable(GL_DEPTH_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &colour);
    EXPECT_EQ(SampleCounter::samples(SampleCounter::TERRAIN), 4 * windowSamples());
    EXPECT_EQ(SampleCounter::samples(SampleCounter::SKY), 4 * windowSamples());
    EXPECT_EQ(SampleCounter::samples(SampleCounter::HUD), 3 * 4 * windowSamples());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
