#include "app/Renderer.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>

#include "gl/ExtensionManager.h"

Renderer::Renderer()
    : rootNode(std::make_shared<RootNode>("<default root node>")), animator(std::make_shared<Animator>()) {
    setClearColor(0, 0, 0, 0);
}

Renderer::~Renderer() {
    if (fogList != 0 && ExtensionManager::contextAvailable()) glDeleteLists(fogList, 1);
}

void Renderer::initGLUT(int* argc, char** args) {
    // GLUT's own default size (300 x 300) would read like a size from
    // -geometry: there is none until glutInit has read the command line.
    glutInitWindowSize(-1, -1);
    glutInit(argc, args);
    // Closing the window ends the program the same way Escape does.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_EXIT);
}

void Renderer::takeGlutGeometry() {
    const int w = glutGet(GLUT_INIT_WINDOW_WIDTH), h = glutGet(GLUT_INIT_WINDOW_HEIGHT);
    if (w > 0 && h > 0) {
        windowWidth = w;
        windowHeight = h;
    }
    const int x = glutGet(GLUT_INIT_WINDOW_X), y = glutGet(GLUT_INIT_WINDOW_Y);
    if (x >= 0 && y >= 0) {
        windowPosX = x;
        windowPosY = y;
    }
}

std::string Renderer::displayString() const {
    std::string mode = displayMode;
    if (doubleBuffered) mode += " double";
    if (depthBuffer) mode += " depth";
    if (multisampling) mode += " samples=4";
    return mode;
}

void Renderer::initWindow() {
    takeGlutGeometry();
    glutInitDisplayString(displayString().c_str());
    glutInitWindowSize(windowWidth, windowHeight);
    glutInitWindowPosition(windowPosX, windowPosY);
    glutCreateWindow(windowTitle.c_str());
    init();
}

void Renderer::initGameMode(const char* modeString) {
    gameModeString = modeString;
    glutInitDisplayString(displayString().c_str());
    glutGameModeString(modeString);
    if (glutGameModeGet(GLUT_GAME_MODE_POSSIBLE) && glutEnterGameMode() != 0) {
        init();
        gameMode = true;
        return;
    }
    // A mode the display cannot show leaves no window at all; play in one instead.
    std::printf("\n Renderer.initGameMode(%s): WARNING! game mode not available, opening a window", modeString);
    initWindow();
}

void Renderer::reopen() {
    if (gameMode) {
        exitGameMode();
        initGameMode(gameModeString.c_str());
        return;
    }
    const bool wasFullScreen = fullScreen;
    glutDestroyWindow(glutGetWindow());
    fullScreen = false;
    initWindow();
    if (wasFullScreen) toggleFullScreen();
}

void Renderer::exitGameMode() {
    if (gameMode) glutLeaveGameMode();
    gameMode = false;
}

void Renderer::toggleFullScreen() {
    if (gameMode) return;
    if (!fullScreen) {
        placeBeforeFullScreen[0] = glutGet(GLUT_WINDOW_X);
        placeBeforeFullScreen[1] = glutGet(GLUT_WINDOW_Y);
    }
    glutFullScreenToggle();
    // Without a window manager freeglut resizes the window to the screen but
    // leaves it off the screen's corner, and brings it back elsewhere: the
    // full screen starts at the corner, the window goes back to where it
    // was. (Window managers keep full-screen windows where they put them.)
    if (fullScreen) glutPositionWindow(placeBeforeFullScreen[0], placeBeforeFullScreen[1]);
    else glutPositionWindow(0, 0);
    fullScreen = !fullScreen;
}

void Renderer::init() {
    if (depthTest) glEnable(GL_DEPTH_TEST);
    else glDisable(GL_DEPTH_TEST);
    if (multisampling) {
        glEnable(GL_MULTISAMPLE);
        GLint sampleBuffers = 0, samples = 0;
        glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
        glGetIntegerv(GL_SAMPLES, &samples);
        if (sampleBuffers == 1 && samples > 1) std::printf("\n enabled Multisampling...");
        else std::printf("\n NOTE: multisampling not available. check graphics hardware settings!");
    }
    // The window's depth as the GL made it: auto resolution asks for none.
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    if (depthBits > 0) std::printf("\n window with a %d-bit depth buffer", depthBits);
    else std::printf("\n window without a depth buffer: the world has its own, off the screen");
    glEnable(GL_NORMALIZE);
    glEnable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}

void Renderer::wireframeMode() { glPolygonMode(GL_FRONT, GL_LINE); }
void Renderer::smoothShadeMode() { glPolygonMode(GL_FRONT, GL_FILL); }

void Renderer::setClearColor(float r, float g, float b, float a) {
    clearColor = Utilities<float>::createArray(r, g, b, a);
}

void Renderer::enableFog(int fogMode, FloatArray color, float density, float fogStart, float fogEnd) {
    fogList = glGenLists(1);
    if (fogList == 0) {
        std::printf("\n Renderer.enableFog(): WARNING! unable to create display list for fog activation");
        return;
    }
    glNewList(fogList, GL_COMPILE_AND_EXECUTE);
    glDisable(GL_LIGHTING);
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, fogMode);
    glFogfv(GL_FOG_COLOR, color.get());
    glFogf(GL_FOG_DENSITY, density);
    glFogf(GL_FOG_START, fogStart);
    glFogf(GL_FOG_END, fogEnd);
    glEnable(GL_LIGHTING);
    glEndList();
}

void Renderer::enableFog(int fogMode, float density, float fogStart, float fogEnd) {
    enableFog(fogMode, clearColor, density, fogStart, fogEnd);
}

void Renderer::reEnableFog() { glCallList(fogList); }
void Renderer::disableFog() { glDisable(GL_FOG); }

void Renderer::checkOGLErrors() {
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError())
        std::printf("\n Renderer::checkOGLErrors(): OpenGL Error!\n   %s",
                    reinterpret_cast<const char*>(gluErrorString(error)));
}
