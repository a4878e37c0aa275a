#include "game/GhostRace.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "game/GhostFile.h"
#include "physics/PhysicVolume.h"

GhostRace::GhostRace(std::shared_ptr<GhostCarNode> ghostNode, std::shared_ptr<SimpleCarNode> player,
                     std::shared_ptr<StopWatch> stopWatch, std::shared_ptr<SignStates> signStates,
                     std::uint64_t levelFingerprint)
    : ghostCar(std::move(ghostNode)),
      playerCar(std::move(player)),
      watch(std::move(stopWatch)),
      signs(std::move(signStates)),
      fingerprint(levelFingerprint) {
    ghostCar->opacity = 0.0f;
}

void GhostRace::race(std::optional<Ghost> g, bool kept) {
    ghost = std::move(g);
    keptGhost = kept;
    nextGhost.reset();
    restart();
}

void GhostRace::restart() {
    if (nextGhost) ghost = std::move(nextGhost);
    nextGhost.reset();
    recorder.clear();
    signsDown = 0;
    splitGaps.clear();
    finishGap.reset();
    gaps = Gaps();
    splitHud.hide();
    ghostCar->opacity = 0.0f;
}

void GhostRace::setShown(bool s) {
    shown = s;
    ghostCar->shown = s;
}

std::optional<double> GhostRace::splitDifference(int n) const {
    if (n < 1 || n > static_cast<int>(splitGaps.size())) return std::nullopt;
    return splitGaps[n - 1];
}

void GhostRace::frame() {
    const double seconds = watch->getTotalTime();
    if (watch->isRunning()) record(seconds);
    takeSplits(seconds);
    placeGhost(seconds, watch->isRunning() || seconds > 0.0);
}

// The car's pose into the recording; each new sample is measured against
// the ghost's pose at its time.
void GhostRace::record(double seconds) {
    const auto front = playerCar->getFrontLeft();
    const GhostPose pose =
        GhostPose::fromMatrix(playerCar->getPhysicVolume()->matrix->data(), front ? front->getYrot() : 0.0f);
    const std::size_t added = recorder.frame(seconds, pose);
    if (!ghost) return;
    const auto& samples = recorder.recorded().samples;
    for (std::size_t i = samples.size() - added; i < samples.size() && i < ghost->samples.size(); ++i) {
        const GhostPose there = ghost->poseAt(static_cast<double>(i) / ghost->sampleRate);
        gaps.position = std::max(gaps.position, GhostPose::positionGap(samples[i], there));
        gaps.orientation = std::max(gaps.orientation, GhostPose::orientationGap(samples[i], there));
        ++gaps.samples;
    }
}

// The n-th sign down: its race time kept and set against the ghost's.
void GhostRace::takeSplits(double seconds) {
    int down = 0;
    for (const auto& sign : signs->getSigns()) down += sign->dismounted ? 1 : 0;
    for (; signsDown < down; ++signsDown) {
        recorder.split(signsDown + 1, seconds);
        splitGaps.emplace_back();
        // A ghost of an older game may know fewer signs than went down.
        if (!ghost || signsDown >= static_cast<int>(ghost->splits.size())) continue;
        splitGaps.back() = seconds - ghost->splits[signsDown];
        splitHud.show(*splitGaps.back());
    }
}

// From the watch's start on, where the ghost was then; after its finish it
// stands and fades out.
void GhostRace::placeGhost(double seconds, bool racing) {
    if (!ghost || !racing) {
        ghostCar->opacity = 0.0f;
        return;
    }
    const GhostPose pose = ghost->poseAt(seconds);
    float matrix[16];
    pose.toMatrix(matrix);
    ghostCar->setPose(matrix, pose.steer);
    const double after = seconds - ghost->finish;
    const double fade = after <= 0.0 ? 1.0 : std::max(0.0, 1.0 - after / FADE_SECONDS);
    ghostCar->opacity = static_cast<float>(GhostCarNode::OPACITY * fade) * closeFade(matrix);
}

// 1 while the ghost is FULL_GAP or more from the player's car, 0 within GONE_GAP.
float GhostRace::closeFade(const float* ghostMatrix) const {
    const float* car = playerCar->getPhysicVolume()->matrix->data();
    const float dx = ghostMatrix[12] - car[12], dy = ghostMatrix[13] - car[13], dz = ghostMatrix[14] - car[14];
    const float gap = std::sqrt(dx * dx + dy * dy + dz * dz);
    return std::clamp((gap - GONE_GAP) / (FULL_GAP - GONE_GAP), 0.0f, 1.0f);
}

void GhostRace::finish(double seconds, bool newBest) {
    const Ghost won = recorder.finish(seconds);
    if (ghost) {
        finishGap = seconds - ghost->finish;
        splitHud.show(*finishGap);
    }
    if (won.samples.empty()) return;  // a race never recorded (the watch never ran) has no ghost
    if (!recordPath.empty() && GhostFile::save(recordPath, won, fingerprint))
        std::printf("\n GhostRace: the race's ghost written to %s", recordPath.c_str());
    if (!newBest || bestPath.empty()) return;
    if (GhostFile::save(bestPath, won, fingerprint) && (keptGhost || !ghost)) {
        nextGhost = won;
        keptGhost = true;
    }
}
