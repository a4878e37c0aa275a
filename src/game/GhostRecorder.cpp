#include "game/GhostRecorder.h"

GhostRecorder::GhostRecorder(int sampleRate) { ghost.sampleRate = sampleRate; }

void GhostRecorder::clear() {
    const int rate = ghost.sampleRate;
    ghost = Ghost();
    ghost.sampleRate = rate;
    started = false;
}

std::size_t GhostRecorder::frame(double seconds, const GhostPose& pose) {
    const std::size_t before = ghost.samples.size();
    if (!started) {  // the first frame of the race stands for every sample up to it
        started = true;
        lastSeconds = seconds;
        lastPose = pose;
    }
    for (;;) {
        const double due = static_cast<double>(ghost.samples.size()) / ghost.sampleRate;
        if (due > seconds) break;
        const double span = seconds - lastSeconds;
        const double share = span > 0.0 ? (due - lastSeconds) / span : 1.0;
        ghost.samples.push_back(share <= 0.0 ? lastPose : GhostPose::blend(lastPose, pose, share));
    }
    lastSeconds = seconds;
    lastPose = pose;
    return ghost.samples.size() - before;
}

void GhostRecorder::split(int n, double seconds) {
    if (n == static_cast<int>(ghost.splits.size()) + 1) ghost.splits.push_back(seconds);
}

Ghost GhostRecorder::finish(double seconds) const {
    Ghost result = ghost;
    result.finish = seconds;
    return result;
}
