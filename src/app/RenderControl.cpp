#include "app/RenderControl.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <cstddef>
#include <cstdio>
#include <ctime>

#include "app/Application.h"
#include "app/FPSCounter.h"
#include "app/KeyTable.h"
#include "app/Renderer.h"
#include "app/Screenshot.h"
#include "assets/Texture.h"
#include "assets/Texture2D.h"
#include "audio/AudioManager.h"
#include "game/Level.h"
#include "game/UserDataFolder.h"
#include "gl/ExtensionManager.h"
#include "gl/TextPainter.h"
#include "input/KeyBindings.h"
#include "overlay/Minimap.h"
#include "scenegraph/ScenegraphNode.h"

namespace {
constexpr byte QUIT = 27;       // Escape
constexpr byte MUTE_ALL = 'm';
constexpr int DETAIL = 11;      // F11
constexpr int SCREENSHOT = 12;  // F12
constexpr double MESSAGE_SECONDS = 2.0;
// Messages in the 9 x 15 font on their panel, which begins MESSAGE_X pixels
// from the left edge. The help, some forty lines, takes the 8 x 13 font so
// that it fits an 800 x 600 window: at 96 characters a line the longest is
// 10 + 6 + 96 * 8 + 6 = 790 pixels wide, and 40 lines of 14 pixels stand
// 40 pixels below the top with room to spare.
constexpr int MESSAGE_X = 10;
constexpr std::size_t HELP_INPUT_WIDTH = 18;
constexpr std::size_t HELP_LINE_WIDTH = 96;
constexpr int HELP_LINE_HEIGHT = 14;
constexpr int MESSAGE_LINE_HEIGHT = 24;

// Flips a switch and returns the message of its new state.
const char* toggle(bool& state, const char* on, const char* off) {
    state = !state;
    return state ? on : off;
}
}  // namespace

RenderControl::RenderControl(std::shared_ptr<Renderer> r, std::shared_ptr<Level> l)
    : renderer(std::move(r)), level(std::move(l)) {
    keys = {'1', '2', '3', '4', '5', '6', QUIT, MUTE_ALL};
    for (int f = 1; f <= 10; ++f) specialKeys.push_back(f);
    specialKeys.push_back(DETAIL);
    specialKeys.push_back(SCREENSHOT);
    activeWhilePaused = true;
    messageOverlay->visible = true;
    messageOverlay->setColor(230, 230, 230);
    messageOverlay->setFont(GLUT_BITMAP_9_BY_15);
    messageOverlay->setPanel(true);
    messageOverlay->setAlignment(TextOverlay::LEFT, TextOverlay::TOP, MESSAGE_X, -40);
}

std::string RenderControl::helpText() {
    return "Keys:\n" + KeyTable::text(HELP_INPUT_WIDTH, HELP_LINE_WIDTH, KeyBindings::current()) +
           Minimap::legendText(HELP_LINE_WIDTH);
}

void RenderControl::showMessage(const std::string& text) {
    // The messages' font; the line height stays as the help left it.
    messageOverlay->setFont(GLUT_BITMAP_9_BY_15);
    messageOverlay->setText(text, MESSAGE_SECONDS);
    helpShown = false;
}

void RenderControl::useHelpFont(bool help) {
    messageOverlay->setFont(help ? GLUT_BITMAP_8_BY_13 : GLUT_BITMAP_9_BY_15);
    TextPainter::textheight = help ? HELP_LINE_HEIGHT : MESSAGE_LINE_HEIGHT;
}

void RenderControl::consumeDown(byte key, int, int) {
    auto root = level->getRoot();
    switch (key) {
        // The end comes after this key: the sound stops, game mode is left, then
        // the renderer and the level are released and the program exits.
        case QUIT: Application::quit(0); break;
        case '1':
            eventSpheresShown = !eventSpheresShown;
            root->paintEventSpheres(eventSpheresShown);
            showMessage(eventSpheresShown ? "started painting event spheres..." : "stopped painting event spheres...");
            break;
        case '2':
            boxesShown = !boxesShown;
            root->enableBoundingBoxPainting(boxesShown);
            showMessage(boxesShown ? "started painting bounding boxes..." : "stopped painting bounding boxes...");
            break;
        case '3':
            showMessage(toggle(ScenegraphNode::highOccBoundingBoxGranularity,
                               "enabled high occlusion bounding box granularity...",
                               "disabled high occlusion bounding box granularity..."));
            break;
        case '4':
            showMessage(toggle(ScenegraphNode::showPhysicsDebug, "enabled physics debug overlay...",
                               "disabled physics debug overlay..."));
            break;
        case '5':
            showMessage(toggle(root->axisDrawing, "started axis drawing...", "stopped axis drawing..."));
            break;
        case '6':
            root->printAll();
            std::fflush(stdout);
            showMessage("painted scenegraph information to console...");
            break;
        case MUTE_ALL:
            AudioManager::muteAll(!AudioManager::isAllMuted());
            showMessage(AudioManager::isAllMuted() ? "muted all sound..." : "unmuted all sound...");
            break;
        default: break;
    }
}

void RenderControl::toggleHelp() {
    if (!helpShown) {
        useHelpFont(true);
        messageOverlay->setText(helpText(), TimedTextOverlay::TIME_PERMANENT);
        helpShown = true;
    } else {
        useHelpFont(false);
        messageOverlay->setText("", 0.0);
        helpShown = false;
    }
}

void RenderControl::switchDrawMode() {
    ScenegraphNode::drawMode = (ScenegraphNode::drawMode + 1) % 4;
    std::string message;
    switch (ScenegraphNode::drawMode) {
        case 0: message = "switched to immediate mode..."; break;
        case 1: message = "drawing vertex arrays..."; break;
        case 2:
            message = ExtensionManager::vboAvailable() ? "using vertex buffer objects..."
                                                       : "WARNING! vertex buffers not available...";
            break;
        default: message = "switched to debug mode (no high detail geometry)..."; break;
    }
    // Display lists would keep replaying the geometry of the old mode.
    if (ScenegraphNode::displayListsEnabled) {
        ScenegraphNode::displayListsEnabled = false;
        message += " (NOTE: display lists disabled automatically)";
    }
    showMessage(message);
}

// Keys arrive between frames, when the back buffer holds nothing certain and
// the front buffer cannot be read back everywhere (Mesa's software driver
// returns black): the frame is painted once more, with no time passing, and
// read from the back buffer before anything is shown. The pictures go to the
// player's own folder, never into the game's data.
void RenderControl::saveScreenshot() {
    const std::string folder = UserDataFolder::path("screenshots");
    std::string error;
    if (folder.empty()) error = "neither XDG_DATA_HOME nor HOME is set";
    else if (!UserDataFolder::create(folder, error)) error = "cannot create the folder " + error;
    if (!error.empty()) {
        std::printf("\n RenderControl: WARNING! cannot save the screenshot: %s", error.c_str());
        showMessage("cannot save screenshot: " + error);
        std::fflush(stdout);
        return;
    }
    const std::string name = Screenshot::freeName(folder, std::time(nullptr));
    ScenegraphNode::beginFrame();
    level->paintFrame();
    if (Screenshot::save(name, renderer->windowWidth, renderer->windowHeight, GL_BACK, error)) {
        std::printf("\n RenderControl: saved the screenshot %s", name.c_str());
        showMessage("saved screenshot " + name + "...");
    } else {
        std::printf("\n RenderControl: WARNING! cannot save the screenshot %s: %s", name.c_str(), error.c_str());
        showMessage("cannot save screenshot " + name + ": " + error);
    }
    std::fflush(stdout);
}

void RenderControl::consumeSpecial(int key, int, int) {
    auto fps = renderer->fpsCounter;
    switch (key) {
        case 1: toggleHelp(); break;
        case 2:
            if (fps->isCalculatingFPS()) {
                fps->stopFPSCalculation();
                showMessage("stopped FPS calculation...");
            } else {
                fps->startFPSCalculation(1.0f);
                showMessage("started FPS calculation...");
            }
            break;
        case 3:
            showMessage(toggle(wireframe, "started wireframe mode...", "stopped wireframe mode..."));
            if (wireframe) renderer->wireframeMode();
            else renderer->smoothShadeMode();
            break;
        case 4:
            showMessage(toggle(linearFiltering, "using linear texture filtering...",
                               "using nearest neighbour texture filtering..."));
            Texture2D::filtering(linearFiltering);
            break;
        case 5:
            showMessage(toggle(mipmappingOn, "started mipmapping...", "stopped mipmapping..."));
            Texture2D::mipmapping(mipmappingOn);
            break;
        case 6: switchDrawMode(); break;
        case SCREENSHOT: saveScreenshot(); break;
        case DETAIL:
            showMessage(toggle(ScenegraphNode::detailSavings,
                               "saving work where it does not show:\n"
                               "sky, clouds, glows single-sampled; far terrain coarser; terrain tiles in 16 bits...",
                               "drawing everything in full..."));
            Texture2D::storeSixteenBits(ScenegraphNode::detailSavings);
            break;
        case 7:
            showMessage(ScenegraphNode::displayListsEnabled ? "disabled display lists (Warning: some objects may be unpaintable now)"
                                                            : "enabled display lists...");
            ScenegraphNode::displayListsEnabled = !ScenegraphNode::displayListsEnabled;
            break;
        case 8:
            showMessage(toggle(ScenegraphNode::useVisibilityCulling, "visibility culling activated...",
                               "visibility culling deactivated..."));
            break;
        case 9:
            showMessage(toggle(ScenegraphNode::useAlphaBlending, "alphablending activated...",
                               "alphablending deactivated..."));
            break;
        case 10:
            showMessage(toggle(texturesOn, "textures activated...", "textures deactivated..."));
            if (texturesOn) Texture::enable2DTextures();
            else Texture::disable2DTextures();
            break;
        default: break;
    }
}
