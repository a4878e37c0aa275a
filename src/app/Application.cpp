#include "app/Application.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <malloc.h>
#include <unistd.h>
#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "app/Benchmark.h"
#include "app/CommandLine.h"
#include "app/DataFolder.h"
#include "app/DynamicResolution.h"
#include "app/FixedStepClock.h"
#include "app/FrameCapture.h"
#include "app/LevelChoice.h"
#include "app/LevelSwitch.h"
#include "app/LoadingPicture.h"
#include "app/MenuBridge.h"
#include "app/RenderControl.h"
#include "app/Renderer.h"
#include "app/Screenshot.h"
#include "app/Settings.h"
#include "app/SettingsControl.h"
#include "app/SettingsFile.h"
#include "assets/DetailTexture.h"
#include "assets/Texture.h"
#include "assets/Texture2D.h"
#include "audio/AudioManager.h"
#include "game/Autoplay.h"
#include "game/BestTimes.h"
#include "game/DemoLevel.h"
#include "game/Difficulty.h"
#include "game/GhostChoice.h"
#include "game/GhostFile.h"
#include "game/LevelControl.h"
#include "game/LevelRecords.h"
#include "game/MinimapChoice.h"
#include "game/UserDataFolder.h"
#include "gl/ExtensionManager.h"
#include "input/KeyBindings.h"
#include "input/Gamepad.h"
#include "input/KeyboardProcessor.h"
#include "input/PadKeys.h"
#include "levels/LevelCatalog.h"
#include "input/VirtualPad.h"
#include "math/Constants.h"
#include "menu/MenuController.h"
#include "scenegraph/OcclusionCulling.h"
#include "scenegraph/SampleCounter.h"
#include "scenegraph/ScenegraphNode.h"

namespace Application {
namespace {

std::shared_ptr<Level> theLevel;
std::shared_ptr<Renderer> theRenderer;
std::unique_ptr<DynamicResolution> dynamicResolution;  // made once the window exists
float camDist = 4.0f;
float camrotHor = 90.0f;
float camrotVert = 10.0f;
bool leftMouseDown = false;
int oldx = 0, oldy = 0;

constexpr int LEFT_BUTTON = 0;
constexpr int RIGHT_BUTTON = 2;
constexpr int STATE_DOWN = 0;

// The game opens its data relative to the working directory: it changes into
// the data folder (app/DataFolder.h). Files named on the command line are
// taken from the folder it started in. False when there is no data.
bool enterDataFolder(Options& options) {
    std::string error;
    const auto folder = DataFolder::find(
        DataFolder::places(options.dataFolder, std::getenv("ZARVIK_DATA"), DataFolder::executable()), error);
    if (!folder) {
        std::fprintf(stderr, "zarvik: %s\n", error.c_str());
        return false;
    }
    for (std::string* file : {&options.benchmarkCsv, &options.benchmarkCapture})
        if (!file->empty()) *file = std::filesystem::absolute(*file).string();
    if (LevelCatalog::isPath(options.level)) options.level = std::filesystem::absolute(options.level).lexically_normal().string();
    if (chdir(folder->c_str()) == 0) return true;
    std::fprintf(stderr, "zarvik: cannot enter the data folder %s\n", folder->c_str());
    return false;
}

void setEyePoint() {
    const double v = camrotVert * PI_OVER_180;
    const double h = camrotHor * PI_OVER_180;
    const double r = std::cos(v) * camDist;
    theLevel->getRoot()->getCamera()->setEyePoint(static_cast<float>(std::cos(h) * r),
                                                  static_cast<float>(std::sin(v) * camDist),
                                                  static_cast<float>(std::sin(h) * r));
}

}  // namespace

void setup(std::shared_ptr<Level> level, std::shared_ptr<Renderer> renderer) {
    theLevel = std::move(level);
    theRenderer = std::move(renderer);
    camDist = 4.0f;
    camrotHor = 90.0f;
    camrotVert = 10.0f;
    leftMouseDown = false;
}

std::shared_ptr<Level> level() { return theLevel; }
std::shared_ptr<Renderer> renderer() { return theRenderer; }
Orbit orbit() { return {camDist, camrotHor, camrotVert, leftMouseDown}; }

namespace {
Options theOptions;

// --help and --version need no display: they are answered before GLUT opens one.
bool answeredAtOnce(int argc, char** args) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::printf("%s\n", helpText().c_str());
            return true;
        }
        if (arg == "--version") {
            std::printf("%s\n", versionText().c_str());
            return true;
        }
    }
    return false;
}

// --levels needs the data folder, not a display: answered before GLUT opens one.
bool listedLevels(int argc, char** args, int& exitCode) {
    std::string error;
    auto parsed = parseCommandLine(std::vector<std::string>(args + 1, args + argc), error);
    if (!parsed || !parsed->listLevels) return false;
    exitCode = enterDataFolder(*parsed) ? 0 : 1;
    if (exitCode == 0) std::printf("%s", LevelCatalog::listing().c_str());
    return true;
}

// Reads the game's own options, from what GLUT left of the command line;
// false when the program should end with exitCode.
bool readOptions(int argc, char** args, int& exitCode) {
    std::string error;
    auto parsed = parseCommandLine(std::vector<std::string>(args + 1, args + argc), error);
    if (!parsed) {
        std::fprintf(stderr, "zarvik: %s\n", error.c_str());
        exitCode = 2;
        return false;
    }
    theOptions = *parsed;
    return true;
}
}  // namespace

const Options& options() { return theOptions; }

namespace {
// The player's lasting choices: read at start, written when the game changes one.
std::shared_ptr<SettingsFile> settingsFile;  // null without a home folder
Settings theSettings;
// The window as the run began and as the player left it in window mode: a
// size or place changed during the run is saved at the end.
int startWidth = 0, startHeight = 0;
int windowedWidth = 0, windowedHeight = 0;
int shownX = 0, shownY = 0;  // where GLUT reported the window at the first frame
bool windowShown = false;    // a window, not full screen, at the first frame

}  // namespace

const Settings& settings() { return theSettings; }

namespace {
void printSettingsNotes() {
    for (const std::string& line : settingsFile->messages()) std::printf("\n Settings: %s", line.c_str());
}

void readSettings() {
    const std::string path = SettingsFile::defaultPath();
    if (path.empty()) return;
    settingsFile = std::make_shared<SettingsFile>(path);
    theSettings = settingsFile->load();
    printSettingsNotes();
}

bool wantsMultisampling() { return theOptions.multisampling && theSettings.multisampling; }

DynamicResolution::Mode resolutionMode() {
    const std::string& mode = theOptions.resolution.empty() ? theSettings.resolution : theOptions.resolution;
    return mode == "full" ? DynamicResolution::Mode::FULL : DynamicResolution::Mode::AUTO;
}

// The world's resolution follows the frame times from the first frame on,
// on the wall clock (also in a run on the fixed-step clock).
void startDynamicResolution() {
    const double target = theOptions.targetMs ? *theOptions.targetMs : theSettings.targetMs;
    dynamicResolution = std::make_unique<DynamicResolution>(
        resolutionMode(), target, wantsMultisampling(), theRenderer->windowWidth, theRenderer->windowHeight, [] {
            return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
        });
    // GLUT fixes the window's buffers before there is a GL to ask whether the
    // world can be drawn off the screen: a window opened without depth for
    // that opens again with it where the world must be drawn into it.
    if (theRenderer->depthBuffer || dynamicResolution->canvas()->available()) return;
    theRenderer->depthBuffer = true;
    theRenderer->reopen();
}

// The settings, with the options of the command line over them.
void applySettings(Renderer& renderer) {
    KeyBindings::use(theSettings.keys);
    renderer.windowPosX = theSettings.windowX;
    renderer.windowPosY = theSettings.windowY;
    renderer.windowWidth = theOptions.windowGiven ? theOptions.windowWidth : theSettings.windowWidth;
    renderer.windowHeight = theOptions.windowGiven ? theOptions.windowHeight : theSettings.windowHeight;
    renderer.multisampling = DynamicResolution::windowSamples(resolutionMode(), wantsMultisampling()) > 1;
    // Counting the samples draws every frame a second time into the window, with its depth test.
    renderer.depthBuffer =
        DynamicResolution::windowDepth(resolutionMode(), wantsMultisampling()) || theOptions.benchmarkOverdraw;
    ScenegraphNode::detailSavings = theSettings.detailSavings;
    Texture2D::storeSixteenBits(theSettings.detailSavings);
    AudioManager::setMusicVolume(theSettings.musicVolume);
    AudioManager::setEffectsVolume(theSettings.effectsVolume);
    AudioManager::muteAll(theSettings.mute);
    MinimapChoice::keep(theSettings.minimap && theOptions.minimap);
    GhostChoice::keep(theSettings.ghost);
}

// A window the player resized or moved keeps its new size and place for the next game.
void saveWindow() {
    if (!settingsFile || !theRenderer || theRenderer->gameMode) return;
    std::vector<SettingsFile::Change> changes;
    if (windowedWidth != startWidth || windowedHeight != startHeight) {
        changes.push_back({"window", "width", std::int64_t{windowedWidth}});
        changes.push_back({"window", "height", std::int64_t{windowedHeight}});
    }
    // Measured against where the window first showed, so that a window
    // manager's frame does not move the window a little further every game.
    const int movedX = glutGet(GLUT_WINDOW_X) - shownX, movedY = glutGet(GLUT_WINDOW_Y) - shownY;
    if (windowShown && !theRenderer->fullScreen && (movedX != 0 || movedY != 0)) {
        changes.push_back({"window", "x", std::int64_t{theRenderer->windowPosX + movedX}});
        changes.push_back({"window", "y", std::int64_t{theRenderer->windowPosY + movedY}});
    }
    if (changes.empty()) return;
    if (!settingsFile->save(changes)) printSettingsNotes();
}

// The level played is kept for the next game; a game that plays itself keeps nothing.
void keepLevelChoice(const LevelDescription& level) {
    if (!settingsFile || theOptions.autoplay || theOptions.benchmark) return;
    const std::string name = LevelChoice::keptName(level);
    if (name == theSettings.level) return;
    theSettings.level = name;
    if (!settingsFile->save({{"game", "level", name}})) printSettingsNotes();
}

// The difficulty of the command line, else the settings file's.
const Difficulty& chosenDifficulty() {
    const Difficulty* chosen = Difficulty::named(theOptions.difficulty.empty() ? theSettings.difficulty : theOptions.difficulty);
    return chosen ? *chosen : Difficulty::NORMAL;
}

std::shared_ptr<DemoLevel> makeLevel(LevelDescription description) {
    auto level = std::make_shared<DemoLevel>(std::move(description));
    level->setDifficulty(chosenDifficulty());
    return level;
}

// The level of the command line, else the kept one, else the first; none
// when the one asked for cannot be played (its faults printed).
std::optional<LevelDescription> chooseLevel() {
    LevelChoice::Start start = LevelChoice::atStart(theOptions.level, theSettings.level);
    for (const std::string& line : start.messages)
        if (start.level) std::printf("\n Level: %s", line.c_str());
        else std::fprintf(stderr, "zarvik: %s\n", line.c_str());
    if (start.level) keepLevelChoice(*start.level);
    return start.level;
}
}  // namespace

namespace {
// The runs without a player: the fixed-step clock, the autoplay and the benchmark.
FixedStepClock fixedStepClock;
std::unique_ptr<Autoplay> autoplay;
std::unique_ptr<Benchmark> benchmark;
long benchmarkFrames = 0;
std::unique_ptr<FrameCapture> capture;  // --benchmark-capture
std::optional<int> pendingExit;        // set by quit, carried out by the next frame
std::optional<LevelDescription> pendingLevel;  // chosen by a key, loaded at the next frame
// Gamepads, pressing the keys their actions stand for; a virtual pad when a test asks for one.
std::unique_ptr<Gamepad> gamepad;
PadKeys padKeys;
std::unique_ptr<VirtualPad> virtualPad;
// Where the pads' messages go once they start, after the first frame;
// empty once they have started.
std::weak_ptr<RenderControl> padMessages;
std::weak_ptr<RenderControl> hudMessages;  // the running level's message line
// The difficulty whose records are in use; a restart on another one keys them anew.
const Difficulty* recordsDifficulty = nullptr;
// The running level's menus, and their way to the settings and the levels.
std::unique_ptr<MenuBridge> menuBridge;
std::unique_ptr<MenuController> menus;
bool startPanelNext = true;  // the start panel at the first level and at one chosen in the menus

// Set once the program has begun to end, through end() or through exit
// elsewhere (a fatal sound error): freeglut's exit handler, which runs after
// ours, destroys the window, and the close callback must then not begin a
// second exit inside the first one, with another status.
bool ending = false;

// Lets go of the renderer, then of the level, whose destructor releases its
// physics world. The key consumers and the automatic runs hold the level too:
// they go first. Runs while the world registry, the GL context and GLUT live,
// before static destruction; a second run finds nothing left.
void release() {
    ending = true;
    gamepad.reset();
    virtualPad.reset();
    menus.reset();
    menuBridge.reset();
    KeyboardProcessor::reset();
    capture.reset();
    benchmark.reset();
    autoplay.reset();
    theRenderer.reset();
    theLevel.reset();
    dynamicResolution.reset();
}

// With LeakSanitizer, the leak check, made as soon as the game has released
// everything, before freeglut closes the display and with it unloads the GL
// driver: what the driver keeps until its unloading would otherwise be
// reported from a module that is gone, past the suppressions for its libraries.
void checkLeaksNow() {
#ifdef __SANITIZE_ADDRESS__
    __lsan_do_leak_check();
#endif
}

// The exit handler: every way out passes here before freeglut's (a fatal
// error with the sound still open).
void releaseAtExit() {
    AudioManager::kill();
    release();
    checkLeaksNow();
}

// What every way out does first: no key handler is running (a handler holds
// its consumer, and the consumer the level), the window's size is kept, the
// sound is off and game mode left.
void shutDown() {
    saveWindow();
    AudioManager::kill();
    if (theRenderer) theRenderer->exitGameMode();
    release();
}

// The one way out of the game itself.
[[noreturn]] void end(int code) {
    shutDown();
    std::exit(code);
}

// The player closed the window: everything ends as with Escape, while the
// window still exists; freeglut then destroys it, closes the display and
// exits with 0.
void windowClosed() {
    if (ending) return;  // destroyed by the exit handlers of an ending program
    shutDown();
    checkLeaksNow();
}

void startCapture() {
    if (theOptions.benchmarkCapture.empty()) return;
    capture = std::make_unique<FrameCapture>();
    if (capture->create(theOptions.benchmarkCapture, theRenderer->windowWidth, theRenderer->windowHeight,
                        FrameCapture::DEFAULT_INTERVAL))
        return;
    std::fprintf(stderr, "zarvik: %s\n", capture->error().c_str());
    capture.reset();
}

// Every interval-th benchmark frame, after its time is taken: the 3D scene
// once more in feedback mode, as this frame drew it (the HUD is left out).
// No query starts, so the next frame's visibility is the same as without it.
void captureFrame() {
    if (!capture || benchmark->frameCount() % static_cast<std::size_t>(capture->interval()) != 0) return;
    FrameCapture::Frame frame;
    frame.number = static_cast<std::uint32_t>(benchmark->frameCount());
    {
        OcclusionCulling::SuspendQueries suspend;
        frame.vertices = FrameCapture::record([] {
            ScenegraphNode::beginFrame();
            theLevel->getRoot()->paint();
        });
    }
    if (capture->write(frame)) return;
    std::fprintf(stderr, "zarvik: %s %s\n", capture->error().c_str(), theOptions.benchmarkCapture.c_str());
    capture.reset();
}

// With --benchmark-overdraw, after the frame's time is taken: the frame once
// more, the 3D scene and the HUD, counting the samples each kind of drawing
// writes. No query of the culling starts, so the next frame is as without it.
void countSamples() {
    if (!theOptions.benchmarkOverdraw) return;
    theLevel->paintCountingSamples();
    Benchmark::SampleCounts counts{};
    for (int k = 0; k < SampleCounter::KINDS; ++k) counts[k] = SampleCounter::samples(k);
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    const auto pixels = static_cast<std::uint64_t>(theRenderer->windowWidth) * static_cast<std::uint64_t>(theRenderer->windowHeight);
    benchmark->recordSamples(counts, pixels * static_cast<std::uint64_t>(samples > 1 ? samples : 1));
}

// With --benchmark-pictures, before the swap of frames 1, 60, 300, 900 and
// 1500: the window's picture as DIR/frame-NNNN.png, to compare builds.
void savePicture() {
    if (theOptions.benchmarkPictures.empty()) return;
    const std::size_t frame = benchmark->frameCount() + 1;
    if (frame != 1 && frame != 60 && frame != 300 && frame != 900 && frame != 1500) return;
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%04zu.png", frame);
    std::string error;
    const std::string path = theOptions.benchmarkPictures + name;
    if (!Screenshot::save(path, theRenderer->windowWidth, theRenderer->windowHeight, GL_BACK, error))
        std::fprintf(stderr, "zarvik: cannot save %s: %s\n", path.c_str(), error.c_str());
}

// Pads act through the keys they stand for; their comings and goings show
// as messages. ZARVIK_VIRTUAL_PAD plugs in a virtual pad that plays a script.
void startGamepad(const std::shared_ptr<RenderControl>& renderControl) {
    std::weak_ptr<RenderControl> messages = renderControl;
    gamepad = std::make_unique<Gamepad>([](Gamepad::Action action, bool pressed) {
                                            if (!menus || !menus->padAction(action, pressed)) padKeys.act(action, pressed);
                                        },
                                        [messages](const std::string& text) {
                                            if (auto control = messages.lock()) control->showMessage(text);
                                        });
    gamepad->setDeadZone(theSettings.padDeadZone());
    const char* script = std::getenv(VirtualPad::SCRIPT_VARIABLE);
    if (!script) return;
    virtualPad = std::make_unique<VirtualPad>();
    if (virtualPad->follow(script)) virtualPad->plug();
}

void pollGamepad() {
    if (virtualPad) virtualPad->playScript();
    if (gamepad) gamepad->poll();
}

// The pads start once the first frame is shown: opening them (about 25 ms
// here) need not hold the first picture back.
void startPendingPads() {
    const std::shared_ptr<RenderControl> control = padMessages.lock();
    if (!control) return;
    padMessages.reset();
    startGamepad(control);
}

// The ghost raced against: FILE of --ghost, else the kept best race's (a
// game that plays itself races only a ghost it is given, and keeps none).
// Shown as the player last chose, unless --no-ghost.
void startGhostRace(const std::string& keptGhost) {
    auto race = theLevel->getGhostRace();
    if (!race) return;
    const bool automatic = theOptions.autoplay || theOptions.benchmark;
    race->bestPath = keptGhost;
    race->recordPath = theOptions.recordGhost;
    if (!theOptions.ghostFile.empty()) race->race(GhostFile::load(theOptions.ghostFile, race->getFingerprint()), false);
    else if (!race->bestPath.empty()) race->race(GhostFile::load(race->bestPath, race->getFingerprint()), true);
    race->setShown(theOptions.ghost && (automatic || GhostChoice::shown()));
}

// Won races are kept per level between games (game/LevelRecords.h), the
// record shown and the kept ghost raced; a game that plays itself keeps none.
void startRecords() {
    const auto level = std::dynamic_pointer_cast<DemoLevel>(theLevel);
    const std::string user = UserDataFolder::path();
    if (!level || !level->getGhostRace() || user.empty() || theOptions.autoplay || theOptions.benchmark) {
        startGhostRace("");
        return;
    }
    const LevelDescription& description = level->getDescription();
    recordsDifficulty = &level->getRaceDifficulty();
    LevelRecords records(user, description.id, level->getGhostRace()->getFingerprint(), *recordsDifficulty);
    if (LevelChoice::keptName(description) == LevelCatalog::FIRST && recordsDifficulty->isNormal())
        records.adoptOldRecords(user, level->legacyFingerprint());
    theLevel->setBestTimes(std::make_shared<BestTimes>(records.recordsPath()));
    startGhostRace(records.ghostPath());
}

// A restart on a difficulty chosen in the menus races for that difficulty's records.
void keepRecordsOfTheRace() {
    const auto level = std::dynamic_pointer_cast<DemoLevel>(theLevel);
    if (level && recordsDifficulty && &level->getRaceDifficulty() != recordsDifficulty) startRecords();
}

void startAutomaticRun() {
    if (!theOptions.autoplay && !theOptions.benchmark) return;
    if (auto demo = std::dynamic_pointer_cast<DemoLevel>(theLevel))
        autoplay = std::make_unique<Autoplay>(demo, 1.0 / FixedStepClock::STEPS_PER_SECOND);
    if (!theOptions.benchmark) return;
    benchmark = std::make_unique<Benchmark>();
    benchmarkFrames = std::lround(theOptions.benchmarkSeconds * FixedStepClock::STEPS_PER_SECOND);
    // Each phase waits for its GL work only when asked: the waits slow the frame.
    FrameTimes::waitForGl = theOptions.benchmarkPhases;
    benchmark->phasesTimed = theOptions.benchmarkPhases;
    benchmark->alternated = theOptions.benchmarkAlternate;
    startCapture();
}

// With --benchmark-alternate, before each frame: the feature shown on every
// other frame only, without the key, so the settings file is not written.
void alternateFeature() {
    if (!benchmark || benchmark->alternated.empty()) return;
    const bool shown = benchmark->showsAlternatedNext();
    if (benchmark->alternated == "minimap") theLevel->setMinimapShown(shown);
    else if (auto race = theLevel->getGhostRace()) race->setShown(shown);
}

// After a frame: a benchmark ends after its frames with its figures (exit
// 0); an autoplay ends with its race (0 won, 3 caught). Quits as Escape does.
void finishAutomaticRun() {
    int code = -1;
    if (benchmark && static_cast<long>(benchmark->frameCount()) >= benchmarkFrames) {
        benchmark->report(stdout);
        if (!theOptions.benchmarkCsv.empty() && !benchmark->writeCsv(theOptions.benchmarkCsv))
            std::fprintf(stderr, "zarvik: cannot write %s\n", theOptions.benchmarkCsv.c_str());
        if (capture && !capture->close())
            std::fprintf(stderr, "zarvik: cannot write %s\n", theOptions.benchmarkCapture.c_str());
        code = 0;
    } else if (!benchmark && autoplay) {
        code = Autoplay::exitStatus(autoplay->getOutcome());
    }
    if (code >= 0) end(code);
}
}  // namespace

void quit(int code) { pendingExit = code; }

namespace {
// The running level's name in the levels folder, empty for a file elsewhere.
std::string runningLevelName() {
    const auto level = std::dynamic_pointer_cast<DemoLevel>(theLevel);
    if (!level) return "";
    const std::string name = LevelChoice::keptName(level->getDescription());
    return LevelCatalog::isPath(name) ? "" : name;
}
}  // namespace

// The chosen level in place of the running one: the old one is released as
// at the end of a game (its key consumers, sounds, physics world, textures),
// then the new one loads behind the loading picture as at start.
void replaceLevel() {
    LevelDescription next = std::move(*pendingLevel);
    pendingLevel.reset();
    keepLevelChoice(next);
    glutIdleFunc(nullptr);
    menus.reset();
    menuBridge.reset();
    KeyboardProcessor::reset();
    AudioManager::kill();
    autoplay.reset();
    theRenderer->rootNode.reset();
    theRenderer->animator.reset();
    theLevel.reset();
    Texture2D::clearTextures();  // the old level's pictures, before the new one reads its own
#ifdef __GLIBC__
    // What the old level freed goes back to the system before the new one
    // grows: without it the heap, cut up by the old level's pieces, grew
    // the peak by some 3 MB at every switch.
    malloc_trim(0);
#endif
    theLevel = makeLevel(std::move(next));
    theLevel->readAhead();
    glutDisplayFunc(load);
    glutPostRedisplay();
}

bool startUp(int& argc, char** args, int& exitCode) {
    auto renderer = std::make_shared<Renderer>();
    renderer->initGLUT(&argc, args);
    if (!readOptions(argc, args, exitCode)) return false;
    std::srand(theOptions.seed ? *theOptions.seed : static_cast<unsigned>(std::time(nullptr)));
    // Diagnostics go to the console as they happen, also when it is a pipe.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (theOptions.fixedStep) fixedStepClock.install();
    if (!enterDataFolder(theOptions)) {
        exitCode = 1;
        return false;
    }
    readSettings();
    std::optional<LevelDescription> level = chooseLevel();
    if (!level) {
        exitCode = 2;
        return false;
    }
    setup(makeLevel(std::move(*level)), renderer);
    if (!chosenDifficulty().isNormal())
        std::printf("\n Difficulty: %s (%s)", chosenDifficulty().name, chosenDifficulty().description);
    // Whatever ends the program (a fatal sound error, GLUT itself) releases in
    // the same order. Registered after glutInit, it runs before freeglut's own
    // exit handler, which closes the window.
    std::atexit(releaseAtExit);
    renderer->windowTitle = "Zarvik";
    applySettings(*renderer);
    DetailTexture::enabled = theOptions.detailTexture && theSettings.detailTexture;
    theLevel->readAhead();  // while the window opens
    if (theOptions.gameMode.empty()) renderer->initWindow();
    else renderer->initGameMode(theOptions.gameMode.c_str());
    startWidth = windowedWidth = renderer->windowWidth;
    startHeight = windowedHeight = renderer->windowHeight;
    if (theSettings.fullScreen && !theOptions.windowGiven) renderer->toggleFullScreen();
    return true;
}

int main(int argc, char** args) {
#ifdef __GLIBC__
    // One malloc arena for every thread. The threads beside this one (the
    // tile reader, the GL's rasterisers, the sound mixer) allocate little,
    // and an arena of their own kept what the tile reader freed resident:
    // 2.5 to 3.5 MB more at the peak.
    mallopt(M_ARENA_MAX, 1);
    // Blocks of 512 KB and more (a level's pictures and their mipmaps, its
    // larger meshes) always come from mappings of their own, given back
    // whole when freed. Left to itself, malloc raises this bound to the
    // largest block freed so far (up to 32 MB), after which such blocks
    // landed in the heap between smaller ones that outlived them: a level
    // loaded after another peaked 20 to 30 MB higher than loaded first.
    // Below it stay the blocks that frames ask for and give back (260 and
    // 144 KB), which a mapping of their own would fault in anew each time.
    mallopt(M_MMAP_THRESHOLD, 512 * 1024);
#endif
    if (answeredAtOnce(argc, args)) return 0;
    int exitCode = 0;
    if (listedLevels(argc, args, exitCode)) return exitCode;
    if (!startUp(argc, args, exitCode)) {
        checkLeaksNow();  // GLUT has opened the display: checked while its libraries are loaded
        return exitCode;
    }

    ExtensionManager::initGLEW();
    ExtensionManager::configureExtensions();
    startDynamicResolution();
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glutIgnoreKeyRepeat(1);

    glutDisplayFunc(load);
    glutReshapeFunc(reshape);
    // Keys go through the player's bindings to the key consumers.
    glutKeyboardFunc(KeyBindings::processDown);
    glutKeyboardUpFunc(KeyBindings::processUp);
    glutSpecialFunc(KeyBindings::processSpecial);
    glutSpecialUpFunc(KeyBindings::processSpecialUp);
    glutMouseFunc(mouseBtn);
    glutMotionFunc(mouseMotion);
    glutPassiveMotionFunc(mouseHover);
    glutCloseFunc(windowClosed);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_EXIT);  // the exit with 0 that windowClosed leaves to freeglut
    // The idle callback is registered at the end of load: a frame needs a built level.
    std::fflush(stdout);
    glutMainLoop();
    return 0;
}

namespace {
// The level's menus over its HUD; the start and results panels unless the
// game plays itself or --no-menu; no panel at all in a benchmark.
void startMenus() {
    MenuBridge::Calls calls;
    calls.switchLevel = [](LevelDescription next) {
        pendingLevel = std::move(next);
        startPanelNext = true;
    };
    calls.quit = [] { quit(0); };
    calls.deadZone = [](double zone) {
        if (gamepad) gamepad->setDeadZone(zone);
    };
    calls.message = [](const std::string& text) {
        if (auto control = hudMessages.lock()) control->showMessage(text);
    };
    menuBridge = std::make_unique<MenuBridge>(theSettings, settingsFile, theRenderer, theLevel, calls);
    MenuController::Options shown;
    shown.panels = !theOptions.benchmark;
    shown.startPanel = startPanelNext && theOptions.menu && !theOptions.autoplay;
    shown.resultsPanel = theOptions.menu && !theOptions.autoplay;
    startPanelNext = false;
    menus = std::make_unique<MenuController>(theLevel, *menuBridge, shown);
    theLevel->getOverlayManager()->registerOverlay(menus->getDrawer(), std::numeric_limits<int>::max());
    KeyBindings::setFilter([](Key key) { return menus && menus->keyDown(key); });
}
}  // namespace

void load() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    KeyboardProcessor::reset();
    theLevel->preBuild();

    auto picture = std::make_shared<LoadingPicture>(theLevel->getRoot(), "images/loading.jpg");

    // Textures are switched on for good by the level's build; the loading
    // frame comes before it and would show a white rectangle without them.
    Texture::enable2DTextures();
    reshape(theRenderer->windowWidth, theRenderer->windowHeight);  // the projection, should GLUT not have set it yet
    theLevel->getRoot()->paint();
    glutSwapBuffers();
    picture->keepWindowCopy();  // before the level loads, so its memory and the picture's are never both held
    Renderer::checkOGLErrors();
    Texture::checkDevILErrors();
    if (auto level = std::dynamic_pointer_cast<DemoLevel>(theLevel)) {
        const LevelDescription::Music& m = level->getDescription().music;
        AudioManager::useMusic({m.background, m.hunting, m.intro, m.winner, m.loser});
    }
    AudioManager::init();

    theLevel->build();
    startRecords();
    theLevel->setWorldCanvas(dynamicResolution->canvas());
    theRenderer->rootNode = theLevel->getRoot();
    theRenderer->animator = theLevel->getAnimator();

    auto overlays = theLevel->getOverlayManager();
    overlays->registerOverlay(theRenderer->fpsCounter->getOverlay(), 0);
    auto renderControl = std::make_shared<RenderControl>(theRenderer, theLevel);
    KeyboardProcessor::registerConsumer(renderControl);
    overlays->registerOverlay(renderControl->getOverlay(), 0);
    KeyboardProcessor::registerConsumer(std::make_shared<LevelControl>(theLevel));
    KeyboardProcessor::registerConsumer(std::make_shared<LevelSwitch>(
        runningLevelName(), renderControl, [](LevelDescription next) { pendingLevel = std::move(next); }));
    // After the level's keys: it saves the minimap and ghost choices they changed.
    KeyboardProcessor::registerConsumer(std::make_shared<SettingsControl>(renderControl, theRenderer, settingsFile));
    padMessages = renderControl;
    hudMessages = renderControl;
    startMenus();
    reshape(theRenderer->windowWidth, theRenderer->windowHeight);
    std::printf("\n\n Level loaded successfully...\n HAVE FUN! :)");
    std::fflush(stdout);

    if (!theRenderer->gameMode && !theRenderer->fullScreen) {
        shownX = glutGet(GLUT_WINDOW_X);
        shownY = glutGet(GLUT_WINDOW_Y);
        windowShown = true;
    }
    picture->startFading(*theLevel->getAnimator());
    theLevel->getAnimator()->getTimeBase()->reset();
    startAutomaticRun();
    glutDisplayFunc(display);
    glutIdleFunc(display);
}

void display() {
    if (pendingExit) end(*pendingExit);
    if (pendingLevel) return replaceLevel();
    const auto frameStart = std::chrono::steady_clock::now();
    if (theOptions.fixedStep) fixedStepClock.advance();
    ScenegraphNode::beginFrame();
    theRenderer->fpsCounter->calc();
    pollGamepad();
    if (autoplay) autoplay->step();
    alternateFeature();
    theLevel->display();
    keepRecordsOfTheRace();
    if (menus) menus->frame();
    FrameTimes& times = theLevel->getFrameTimes();
    if (benchmark) savePicture();
    glutSwapBuffers();
    times.lap(FrameTimes::SWAP);
    Renderer::checkOGLErrors();
    Texture::checkDevILErrors();
    times.total = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - frameStart).count();
    if (benchmark) benchmark->recordResolution(dynamicResolution->fraction(), dynamicResolution->samples());
    dynamicResolution->frameDrawn(times.total);
    theRenderer->fpsCounter->setDetail(dynamicResolution->describe());
    if (benchmark) {
        benchmark->record(times);
        captureFrame();
        countSamples();
    }
    startPendingPads();
    theLevel->frameShown();
    finishAutomaticRun();
}

void reshape(int w, int h) {
    theRenderer->windowHeight = h;
    theRenderer->windowWidth = w;
    if (!theRenderer->fullScreen && !theRenderer->gameMode && w > 0 && h > 0) {
        windowedWidth = w;
        windowedHeight = h;
    }
    theLevel->getOverlayManager()->setWindowDimensions(w, h);
    if (dynamicResolution) dynamicResolution->setWindowSize(w, h);
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A minimised window reports height 0: treat it as 1 to keep the projection finite.
    const float aspect = static_cast<float>(w) / static_cast<float>(h > 0 ? h : 1);
    gluPerspective(60.0, aspect, theRenderer->nearPlane, theRenderer->farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    theLevel->getRoot()->getCamera()->fireCameraPrefsChange();
}

void mouseBtn(int button, int state, int x, int y) {
    if (menus && !leftMouseDown && menus->mouseButton(button, state == STATE_DOWN, x, y)) return;
    if (button == LEFT_BUTTON && state == STATE_DOWN) {
        oldx = x;
        oldy = y;
        leftMouseDown = true;
    } else if (button == LEFT_BUTTON) {
        leftMouseDown = false;
    } else if (button == RIGHT_BUTTON && state == STATE_DOWN) {
        camDist = 4.0f;
        camrotHor = 90.0f;
        camrotVert = 10.0f;
        setEyePoint();
    }
}

void mouseHover(int x, int y) {
    if (menus) menus->mouseMoved(x, y);
}

void mouseMotion(int x, int y) {
    if (!leftMouseDown) return;
    camrotHor += static_cast<float>(oldx - x);
    camrotVert += static_cast<float>(oldy - y);
    oldx = x;
    oldy = y;
    setEyePoint();
}

}  // namespace Application
