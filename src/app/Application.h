#pragma once
#include <memory>

class Level;
struct Options;
class Renderer;
struct Settings;

// The program's entry and its GLUT callbacks: main sets up the renderer and
// the window, load builds the level behind a loading frame and then hands the
// display over to display, which draws one frame and is also the idle callback.
namespace Application {

int main(int argc, char** args);
// The start-up up to an open window: GLUT takes its own options (-display,
// -geometry, ...) out of the command line, the game reads the rest, then come
// the level, the renderer and the window. False when the program ends at once
// with exitCode (a bad option).
bool startUp(int& argc, char** args, int& exitCode);
// The options of the command line that started the game.
const Options& options();
// The settings file's entries as read at start (app/Settings.h).
const Settings& settings();
// Ends the program with code once the current event is handled: the next
// frame releases the renderer, then the level with its physics world, while
// everything they use still lives, and exits.
void quit(int code);

void load();
void display();
// The level chosen by the l key in place of the running one (display calls
// it at the frame after the choice): the old one is released, the new one
// loads behind the loading picture.
void replaceLevel();
void reshape(int w, int h);
void mouseBtn(int button, int state, int x, int y);
void mouseMotion(int x, int y);
// The mouse moved with no button held: it focuses a menu's entry under it.
void mouseHover(int x, int y);

// The mouse orbit of the camera's eye point around its centre.
struct Orbit {
    float camDist;
    float camrotHor;   // degrees
    float camrotVert;  // degrees
    bool leftMouseDown;
};
Orbit orbit();

// The objects the callbacks work on; main creates them, tests may set their own.
void setup(std::shared_ptr<Level> level, std::shared_ptr<Renderer> renderer);
std::shared_ptr<Level> level();
std::shared_ptr<Renderer> renderer();

}  // namespace Application
