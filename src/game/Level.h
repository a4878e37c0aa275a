#pragma once
#include <memory>
#include <optional>

#include "animation/Animator.h"
#include "game/BestTimes.h"
#include "game/CatchState.h"
#include "game/EventManager.h"
#include "game/FrameTimes.h"
#include "game/GhostRace.h"
#include "game/SignStates.h"
#include "gl/WorldCanvas.h"
#include "levels/LevelDescription.h"
#include "overlay/BestTimeHud.h"
#include "overlay/Minimap.h"
#include "overlay/Overlay2DManager.h"
#include "overlay/Speedometer.h"
#include "overlay/StopWatch.h"
#include "scenegraph/RootNode.h"

class PhysicCarMovement;

// One playable world: the scene graph, the animations, the game events, and
// the per-frame order in which they run. A concrete level fills the world in
// build() (which ends with reset() and postBuild()) and restores its start
// situation in reset().
class Level {
public:
    Level();
    virtual ~Level();
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    // Starts reading the level's largest pictures on a second thread, before
    // the window opens, so that build() finds them read. Called once, after
    // the settings are applied and in the data folder; build() works without.
    virtual void readAhead() {}
    // Called after every frame is shown: after the first one of a build it
    // calls readAheadShownLater, so that the first frame waits for none of
    // that reading.
    void frameShown();
    // Starts reading, on the picture reader's thread, the pictures that the
    // level reads when they are first shown (its message boards), so that
    // showing one later costs its frame no reading. Not during the build,
    // which holds the most memory. None by default.
    virtual void readAheadShownLater() {}
    // Empties what a previous build left behind and starts a fresh scene root.
    void preBuild();
    virtual void build() {}
    // Readies the built world for its first frame.
    void postBuild();
    virtual void reset() {}
    // One frame: animations, visibility tests, events, race time, painting.
    virtual void display();
    // Paints the world and the HUD as they stand, advancing nothing (the
    // frames of a pause, a screenshot). The caller clears the buffers first.
    void paintFrame();
    // The frame once more, as this frame's visibility decided it (no culling
    // query starts), counting the samples each kind of drawing writes: read
    // them from SampleCounter afterwards.
    void paintCountingSamples();
    // Where display() and paintFrame() draw the world (gl/WorldCanvas.h):
    // without one, or while it draws straight into the window, the world and
    // the pictures pinned to the screen share each pass as always.
    void setWorldCanvas(std::shared_ptr<WorldCanvas> canvas) { worldCanvas = std::move(canvas); }

    // A paused level paints its standing picture with "PAUSED" in the middle
    // and runs nothing else: no animation, physics, event or race time, no
    // game key presses (releases still arrive, so no key sticks), and holds
    // all music and effects where they stand. Resuming drops the paused time
    // from the animator's and the stopwatch's clocks (nothing jumps) and lets
    // the sound go on from where it stood. A new build starts unpaused.
    void setPaused(bool paused);
    bool isPaused() const { return paused; }
    std::shared_ptr<TextOverlay> getPauseOverlay() const { return pauseOverlay; }

    // Where won races are kept (none by default: nothing is written); the
    // record is read now and shown on the HUD under the stopwatch.
    void setBestTimes(std::shared_ptr<BestTimes> bestTimes);
    std::shared_ptr<BestTimes> getBestTimes() const { return bestTimes; }
    std::shared_ptr<BestTimeHud> getBestTimeHud() const { return bestTimeHud; }
    // A won race's time: stored and announced when it is a new record, the
    // medal it earned announced (where the level has medal times); the race
    // against the ghost ends with it.
    void recordRace(double seconds);
    // The last race won since the build, and how many were: a new win is
    // told from an old one by the count.
    struct Win {
        double seconds = 0.0;
        bool newBest = false;
    };
    const std::optional<Win>& lastWin() const { return win; }
    int wonRaces() const { return wins; }
    void setMedals(std::optional<LevelDescription::Medals> times) { medals = times; }
    // The race against a ghost, where the concrete level has one.
    std::shared_ptr<GhostRace> getGhostRace() const { return ghostRace; }

    // The minimap and the speedometer, shown or hidden together; the choice
    // is kept (MinimapChoice) and a new build shows them as chosen. A level
    // that builds none keeps the choice all the same.
    void setMinimapShown(bool shown);
    bool isMinimapShown() const;
    std::shared_ptr<Minimap> getMinimap() const { return minimap; }
    std::shared_ptr<Speedometer> getSpeedometer() const { return speedometer; }

    std::shared_ptr<RootNode> getRoot() const { return root; }
    std::shared_ptr<Animator> getAnimator() const { return animator; }
    std::shared_ptr<EventManager> getEventManager() const { return eventManager; }
    std::shared_ptr<Overlay2DManager> getOverlayManager() const { return overlayManager; }
    std::shared_ptr<PhysicCarMovement> getCarMovement() const { return carMovement; }
    std::shared_ptr<StopWatch> getStopWatch() const { return stopWatch; }
    std::shared_ptr<SignStates> getSignStates() const { return signStates; }
    // Whether a pursuer has caught the player (until the reset).
    bool isCaught() const { return catchState->caught; }
    // Where the last display() spent its time (the application adds the swap).
    FrameTimes& getFrameTimes() { return frameTimes; }

protected:
    // The movement of the player's car; set by the concrete level's build.
    std::shared_ptr<PhysicCarMovement> carMovement;
    std::shared_ptr<RootNode> root;
    std::shared_ptr<Animator> animator;
    std::shared_ptr<EventManager> eventManager;
    std::shared_ptr<Overlay2DManager> overlayManager;
    std::shared_ptr<StopWatch> stopWatch;
    std::shared_ptr<SignStates> signStates;
    std::shared_ptr<CatchState> catchState = std::make_shared<CatchState>();
    // Built by the concrete level, none by default.
    std::shared_ptr<Minimap> minimap;
    std::shared_ptr<Speedometer> speedometer;
    // Run every frame after the race time is updated; set by the concrete level's build.
    std::shared_ptr<GhostRace> ghostRace;

private:
    void warmUpPaint();
    // The scene graph's passes, into the canvas's picture when it draws off
    // the screen (the world alone when scaled); the caller draws the HUD and
    // then ends the canvas's frame.
    void paintScene();

    bool paused = false;
    bool firstFrameShown = false;  // since the last build
    std::shared_ptr<TextOverlay> pauseOverlay;
    std::shared_ptr<BestTimes> bestTimes;
    std::shared_ptr<BestTimeHud> bestTimeHud = std::make_shared<BestTimeHud>();
    std::optional<LevelDescription::Medals> medals;
    std::optional<Win> win;
    int wins = 0;
    FrameTimes frameTimes;
    std::shared_ptr<WorldCanvas> worldCanvas;
};
