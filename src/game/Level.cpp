#include "game/Level.h"

#include <GL/glew.h>

#include "assets/Texture.h"
#include "assets/Texture2D.h"
#include "audio/AudioManager.h"
#include "physics/Physics.h"
#include "physics/PhysicsUpdater.h"
#include "vehicles/PhysicCarMovement.h"

Level::Level()
    : root(std::make_shared<RootNode>("<not set>")),
      animator(std::make_shared<Animator>()),
      eventManager(std::make_shared<EventManager>()),
      overlayManager(std::make_shared<Overlay2DManager>(640, 480, false)),
      stopWatch(std::make_shared<StopWatch>()),
      signStates(std::make_shared<SignStates>()) {
    // A world exists before anything is built.
    Physics::reset();
}

Level::~Level() {
    animator->clear();
    root->physicRelease();
    Physics::release();
}

void Level::preBuild() {
    root->physicRelease();
    Physics::reset();
    Texture2D::clearTextures();
    overlayManager->reset();
    animator->clear();
    eventManager->events.clear();
    signStates->clear();
    root = std::make_shared<RootNode>("Scenegraph Root");
}

void Level::postBuild() {
    signStates->updateUnmountStates();
    root->finalize();
    Texture::enable2DTextures();
    // The first frame must not see the loading time as elapsed time.
    animator->getTimeBase()->reset();
    stopWatch->stop();
    stopWatch->reset();
    overlayManager->registerOverlay(stopWatch->getOverlay(), 0);
    root->physicAllocate();
    auto updater = std::make_shared<PhysicsUpdater>(static_cast<int>(Physics::minFPS));
    animator->registerAnimation(updater);
    updater->animate(0.0);
    warmUpPaint();
    animator->animate();
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
    frameTimes.begin();
    animator->animate();
    frameTimes.lap(FrameTimes::ANIMATION);
    root->startVisibilityTests();
    eventManager->performEvents();
    stopWatch->update();
    frameTimes.lap(FrameTimes::EVENTS);
    root->paint();
    frameTimes.lap(FrameTimes::SCENE);
    overlayManager->paint();
    AudioManager::update();
    frameTimes.lap(FrameTimes::HUD);
}
