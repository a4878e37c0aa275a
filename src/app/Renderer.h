#pragma once
#include <GL/glew.h>

#include <memory>
#include <string>

#include "animation/Animator.h"
#include "app/FPSCounter.h"
#include "math/Utilities.h"
#include "scenegraph/RootNode.h"

// The window set-up: GLUT display mode, window or full-screen game mode, the
// fixed GL state the program relies on, and the projection parameters.
// It does not draw frames itself.
class Renderer {
public:
    Renderer();
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // glutInit: GLUT takes its own options (-display, -geometry, ...) out of
    // the arguments and lowers argc.
    void initGLUT(int* argc, char** args);
    // The display string the window and the game mode are opened with.
    std::string displayString() const;
    // A window of windowWidth x windowHeight at windowPosX, windowPosY, unless
    // a -geometry option given to GLUT says otherwise (then those follow it).
    void initWindow();
    void initGameMode(const char* modeString);
    // Closes the window (or leaves the game mode) and opens it again, as it
    // was, with the display string as it is now: a new GL context, in which
    // nothing made in the old one lasts.
    void reopen();
    void exitGameMode();
    // A window fills the screen, or goes back to its size and place (not in game mode).
    void toggleFullScreen();
    void init();

    void wireframeMode();
    void smoothShadeMode();
    void setClearColor(float r, float g, float b, float a);
    void enableFog(int fogMode, FloatArray color, float density, float fogStart, float fogEnd);
    void enableFog(int fogMode, float density, float fogStart, float fogEnd);
    void reEnableFog();
    void disableFog();

    static void checkOGLErrors();

    int windowPosX = 0;
    int windowPosY = 0;
    int windowHeight = 600;
    int windowWidth = 800;
    std::string windowTitle = "<no windowtitle set>";
    bool doubleBuffered = true;
    bool depthBuffer = true;
    bool depthTest = true;
    bool multisampling = true;
    std::string displayMode = "rgba";
    float nearPlane = 0.1f;
    float farPlane = 450.0f;
    std::shared_ptr<RootNode> rootNode;
    std::shared_ptr<Animator> animator;
    std::shared_ptr<FPSCounter> fpsCounter = std::make_shared<FPSCounter>();
    FloatArray clearColor;
    bool gameMode = false;
    bool fullScreen = false;  // a window filling the screen (toggleFullScreen)

private:
    void takeGlutGeometry();

    std::string gameModeString;  // of initGameMode
    GLuint fogList = 0;
    int placeBeforeFullScreen[2] = {0, 0};
};
