#pragma once
#include <cstddef>

#include "game/Ghost.h"

// Records a race as a ghost while it is driven: handed the car's pose and
// the race time once a frame, it keeps one pose per 1 / sampleRate seconds
// of race time, each interpolated between the two frames round its time, so
// the samples do not depend on the frame rate.
class GhostRecorder {
public:
    explicit GhostRecorder(int sampleRate = 30);

    // Forgets the race recorded so far.
    void clear();
    // The car's pose at race time `seconds` (not earlier than the last
    // frame's); returns how many samples this frame added.
    std::size_t frame(double seconds, const GhostPose& pose);
    // The n-th sign (from 1) went down at race time `seconds`. Signs go
    // down one after the other: any n but the next one is ignored.
    void split(int n, double seconds);
    // The race ended at `seconds`: the ghost recorded.
    Ghost finish(double seconds) const;

    const Ghost& recorded() const { return ghost; }

private:
    Ghost ghost;
    bool started = false;
    double lastSeconds = 0.0;
    GhostPose lastPose;
};
