#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/Ghost.h"
#include "game/GhostRecorder.h"
#include "game/SignStates.h"
#include "overlay/SplitHud.h"
#include "overlay/StopWatch.h"
#include "vehicles/GhostCarNode.h"
#include "vehicles/SimpleCarNode.h"

// The race against the ghost of an earlier one. Once a frame, after the
// events and the stopwatch (frame()), it records the player's car while the
// watch runs, notes the race time at which each sign goes down, and puts the
// ghost car where the ghost was at the watch's time: hidden until the watch
// starts, standing still and fading out after the ghost's finish, and
// fading out while it rides in the player's car. At each
// sign and at the win the HUD shows the time against the ghost.
//
// A won race hands its ghost on (finish()): to recordPath always, to
// bestPath when it was a new best time. The ghost raced against changes at
// the next restart, to a new best when the raced ghost is the kept one.
class GhostRace {
public:
    static constexpr double FADE_SECONDS = 1.0;
    // Riding in the player's car the ghost would only double its picture: it
    // fades out as the gap between the two closes from FULL_GAP to GONE_GAP
    // (units, between the cars' centres; the car is some 1.7 units long).
    static constexpr float FULL_GAP = 2.0f;
    static constexpr float GONE_GAP = 0.5f;

    GhostRace(std::shared_ptr<GhostCarNode> ghostCar, std::shared_ptr<SimpleCarNode> playerCar,
              std::shared_ptr<StopWatch> watch, std::shared_ptr<SignStates> signs, std::uint64_t levelFingerprint);

    // The ghost to race from now on (none: no ghost shows). keptGhost: it is
    // the kept best race's, and a new best replaces it.
    void race(std::optional<Ghost> ghost, bool keptGhost);
    // The race starts again (the level's reset): nothing recorded, no split shown.
    void restart();
    void frame();
    // The race was won in `seconds`; newBest: a new best time.
    void finish(double seconds, bool newBest);

    void setShown(bool shown);
    bool isShown() const { return shown; }

    const std::optional<Ghost>& getGhost() const { return ghost; }
    std::uint64_t getFingerprint() const { return fingerprint; }
    const GhostRecorder& getRecorder() const { return recorder; }
    std::shared_ptr<GhostCarNode> getGhostCar() const { return ghostCar; }
    SplitHud& getSplitHud() { return splitHud; }
    // This race's time minus the ghost's at the n-th sign (from 1) and at
    // the finish; nothing before they are reached or without a ghost.
    std::optional<double> splitDifference(int n) const;
    std::optional<double> finishDifference() const { return finishGap; }

    // How far the ghost was from the car at the samples recorded so far
    // against it (see GhostPose's gaps), and at how many.
    struct Gaps {
        std::size_t samples = 0;
        float position = 0.0f;
        float orientation = 0.0f;
    };
    const Gaps& getGaps() const { return gaps; }

    std::string bestPath;    // where a new best race's ghost is kept (empty: nowhere)
    std::string recordPath;  // where every won race's ghost is written (empty: nowhere)

private:
    void record(double seconds);
    void takeSplits(double seconds);
    void placeGhost(double seconds, bool racing);
    float closeFade(const float* ghostMatrix) const;

    std::shared_ptr<GhostCarNode> ghostCar;
    std::shared_ptr<SimpleCarNode> playerCar;
    std::shared_ptr<StopWatch> watch;
    std::shared_ptr<SignStates> signs;
    std::uint64_t fingerprint;
    GhostRecorder recorder;
    SplitHud splitHud;

    std::optional<Ghost> ghost;
    bool keptGhost = false;
    std::optional<Ghost> nextGhost;  // a new best, raced from the next restart on
    bool shown = true;
    int signsDown = 0;
    std::vector<std::optional<double>> splitGaps;  // one per sign down
    std::optional<double> finishGap;
    Gaps gaps;
};
