#include "game/Level.h"

#include <GL/glew.h>

#include <cstdio>

#include "assets/Texture.h"
#include "assets/Texture2D.h"
#include "audio/AudioManager.h"
#include "game/MinimapChoice.h"
#include "input/KeyboardProcessor.h"
#include "physics/Physics.h"
#include "physics/PhysicsUpdater.h"
#include "scenegraph/OcclusionCulling.h"
#include "scenegraph/SampleCounter.h"
#include "vehicles/PhysicCarMovement.h"

namespace {
// "PAUSED" is about 92 pixels wide in the 24 pixel font; it stands on the
// dark panel of the HUD's messages.
std::shared_ptr<TextOverlay> makePauseOverlay() {
    auto overlay = std::make_shared<TextOverlay>();
    overlay->setPanel(true);
    overlay->setAlignment(TextOverlay::CENTER, TextOverlay::CENTER, -46, -8);
    overlay->setText("PAUSED");
    overlay->visible = false;
    return overlay;
}
}  // namespace

Level::Level()
    : root(std::make_shared<RootNode>("<not set>")),
      animator(std::make_shared<Animator>()),
      eventManager(std::make_shared<EventManager>()),
      overlayManager(std::make_shared<Overlay2DManager>(640, 480, false)),
      stopWatch(std::make_shared<StopWatch>()),
      signStates(std::make_shared<SignStates>()),
      pauseOverlay(makePauseOverlay()) {
    // A world exists before anything is built.
    Physics::reset();
}

Level::~Level() {
    if (paused) {
        KeyboardProcessor::setPaused(false);
        AudioManager::pauseAll(false);
    }
    animator->clear();
    root->physicRelease();
    Physics::release();
}

void Level::preBuild() {
    setPaused(false);
    root->physicRelease();
    Physics::reset();
    Texture2D::clearTextures();
    overlayManager->reset();
    animator->clear();
    eventManager->events.clear();
    signStates->clear();
    minimap.reset();
    speedometer.reset();
    ghostRace.reset();
    root = std::make_shared<RootNode>("Scenegraph Root");
}

void Level::postBuild() {
    Texture2D::forgetReadAhead();  // what the build did not take
    firstFrameShown = false;
    signStates->updateUnmountStates();
    root->finalize();
    Texture::enable2DTextures();
    // The first frame must not see the loading time as elapsed time.
    animator->getTimeBase()->reset();
    stopWatch->stop();
    stopWatch->reset();
    overlayManager->registerOverlay(stopWatch->getOverlay(), 0);
    bestTimeHud->registerWith(*overlayManager);
    overlayManager->registerOverlay(pauseOverlay, 0);
    root->physicAllocate();
    auto updater = std::make_shared<PhysicsUpdater>(static_cast<int>(Physics::minFPS));
    animator->registerAnimation(updater);
    updater->animate(0.0);
    warmUpPaint();
    animator->animate();
}

void Level::frameShown() {
    if (firstFrameShown) return;
    firstFrameShown = true;
    readAheadShownLater();
}

void Level::warmUpPaint() {
    // Compile every display list and draw every node once before occlusion
    // queries decide what is drawn; the picture itself is never shown.
    const bool culling = ScenegraphNode::useVisibilityCulling;
    ScenegraphNode::useVisibilityCulling = false;
    root->paint();
    ScenegraphNode::useVisibilityCulling = culling;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void Level::display() {
    if (paused) {
        paintFrame();
        AudioManager::update();  // the sound system stays serviced, its sound held
        return;
    }
    frameTimes.begin();
    animator->animate();
    frameTimes.lap(FrameTimes::ANIMATION);
    root->startVisibilityTests();
    eventManager->performEvents();
    stopWatch->update();
    if (ghostRace) ghostRace->frame();
    frameTimes.lap(FrameTimes::EVENTS);
    paintScene();
    frameTimes.lap(FrameTimes::SCENE);
    overlayManager->paint();
    if (worldCanvas) worldCanvas->endFrame();
    AudioManager::update();
    frameTimes.lap(FrameTimes::HUD);
}

void Level::paintFrame() {
    root->startVisibilityTests();
    paintScene();
    overlayManager->paint();
    if (worldCanvas) worldCanvas->endFrame();
}

void Level::paintScene() {
    if (!worldCanvas || worldCanvas->beginFrame() != WorldCanvas::SCALED) {
        root->paint();
        return;
    }
    root->paintWorld();
    worldCanvas->endWorld();
    root->paintScreen();
}

void Level::paintCountingSamples() {
    {
        OcclusionCulling::SuspendQueries suspend;
        SampleCounter::start();
        ScenegraphNode::beginFrame();
        root->paint();
        SampleCounter::Scope hud(SampleCounter::HUD);
        overlayManager->paint();
    }
    SampleCounter::stop();
}

void Level::setPaused(bool p) {
    if (paused == p) return;
    paused = p;
    pauseOverlay->visible = p;
    KeyboardProcessor::setPaused(p);
    AudioManager::pauseAll(p);
    if (p) return;
    animator->getTimeBase()->reset();
    stopWatch->skipElapsed();
}

void Level::setMinimapShown(bool shown) {
    MinimapChoice::keep(shown);
    if (minimap) minimap->visible = shown;
    if (speedometer) speedometer->visible = shown;
}

bool Level::isMinimapShown() const { return MinimapChoice::shown(); }

void Level::setBestTimes(std::shared_ptr<BestTimes> times) {
    bestTimes = std::move(times);
    if (bestTimes) bestTimes->load();
    bestTimeHud->show(bestTimes ? bestTimes->best() : std::nullopt);
}

void Level::recordRace(double seconds) {
    const bool newBest = bestTimes && bestTimes->offer(seconds);
    win = Win{seconds, newBest};
    ++wins;
    if (newBest) {
        std::printf("\n Level: new best time %s", StopWatch::format(seconds).c_str());
        bestTimeHud->show(bestTimes->best());
        bestTimeHud->announceRecord();
    }
    if (medals) {
        const std::string verdict = medals->verdict(seconds);
        std::printf("\n Level: %s", verdict.c_str());
        bestTimeHud->announceMedal(verdict);
    }
    if (ghostRace) ghostRace->finish(seconds, newBest);
}
