#pragma once
#include <unistd.h>

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <cstdlib>

// A hidden window the size of the game's, with its four samples per pixel,
// opened once per benchmark program, the working folder moved to the game's
// data (ZARVIK_GAME_DIR, else build/game). False without an X display, the
// data or GLEW.
inline bool openGameWindow(const char* title, int width = 800, int height = 600) {
    static bool open = false;
    if (open) return true;
    if (!std::getenv("DISPLAY")) return false;
    const char* data = std::getenv("ZARVIK_GAME_DIR");
    if (chdir(data ? data : "build/game") != 0) return false;
    int argc = 1;
    char name[] = "benchmark";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayString("rgba double depth samples=4");
    glutInitWindowSize(width, height);
    glutCreateWindow(title);
    glutDisplayFunc([] {});
    glutHideWindow();
    open = glewInit() == GLEW_OK;
    glEnable(GL_MULTISAMPLE);
    glViewport(0, 0, width, height);
    return open;
}
