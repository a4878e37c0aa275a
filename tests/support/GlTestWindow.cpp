#include "support/GlTestWindow.h"

#include <unistd.h>

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <dlfcn.h>

#include <cstdlib>
#include <initializer_list>

namespace GlTestWindow {
namespace {
int windowId = 0;
int w = 0, h = 0;
void displayNothing() {}

// Mesa unloads its driver when the display closes at exit, before the leak
// checker runs; the driver's caches (compiled state it keeps for the life of
// the context) then look like leaks with unreadable stacks. Keeping the
// driver loaded keeps those caches reachable from the driver's globals.
void pinGlDriver() {
    for (const char* driver : {"swrast_dri.so", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
        if (dlopen(driver, RTLD_NOW | RTLD_NODELETE)) return;
}

}  // namespace

bool ensure(int width, int height) {
    if (windowId != 0) return true;
    if (std::getenv("DISPLAY") == nullptr) return false;
    int argc = 1;
    char name[] = "zarvik-test";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(width, height);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    pinGlDriver();
    windowId = glutCreateWindow("zarvik test");
    glutDisplayFunc(displayNothing);
    glutHideWindow();
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) return false;
    glGetError();  // glewInit may leave GL_INVALID_ENUM behind on core-profile probes
    w = width;
    h = height;
    glViewport(0, 0, w, h);
    return true;
}

int width() { return w; }
int height() { return h; }

Pixel readPixel(int x, int y) {
    Pixel p{};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
    return p;
}

}  // namespace GlTestWindow

bool GlTestWindow::ensureInGameDir() {
    if (!ensure()) return false;
    const char* data = std::getenv("ZARVIK_GAME_DIR");
    return !data || chdir(data) == 0;
}
