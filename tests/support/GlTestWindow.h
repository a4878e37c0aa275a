#pragma once

// One hidden freeglut window (with GLEW initialised) shared by every test of a
// test program. GL tests call GlTestWindow::ensure() first; it returns false
// when no X display is reachable, and the test then fails with a clear message.
namespace GlTestWindow {

bool ensure(int width = 256, int height = 256);

// ensure(), then changes into the game's data folder (ZARVIK_GAME_DIR, set by
// the test build) so that models and pictures open as the game opens them.
bool ensureInGameDir();

// The current framebuffer size of the window.
int width();
int height();

// Reads the RGBA pixel at (x, y) of the back buffer, origin lower-left.
struct Pixel { unsigned char r, g, b, a; };
Pixel readPixel(int x, int y);

}  // namespace GlTestWindow

#define REQUIRE_GL() ASSERT_TRUE(GlTestWindow::ensure()) << "no X display: run the tests through scripts/test.sh"
