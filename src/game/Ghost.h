#pragma once
#include <vector>

// One pose of a car: where it stands, how it is turned and how far its
// front wheels are steered.
struct GhostPose {
    float position[3] = {0, 0, 0};
    // The orientation as a unit quaternion x, y, z, w.
    float orientation[4] = {0, 0, 0, 1};
    float steer = 0.0f;  // degrees, as SimpleCarNode::setFrontSteering takes them

    // From a pose matrix (column-major, rotation without scale, translation in 12-14).
    static GhostPose fromMatrix(const float* matrix, float steerDegrees);
    void toMatrix(float* matrix) const;
    // Linear between the two (the orientation normalised on the shorter way round).
    static GhostPose blend(const GhostPose& a, const GhostPose& b, double share);
    // The largest difference of a position coordinate (units) and of an
    // orientation component (the quaternions taken on the same side).
    static float positionGap(const GhostPose& a, const GhostPose& b);
    static float orientationGap(const GhostPose& a, const GhostPose& b);
};

// A race as it was driven: the car's pose sampled at a fixed rate from the
// moment the watch started (sample i at i / sampleRate seconds of race time)
// up to the finish, the race times at which each sign went down (one per
// sign, in the order they went down) and the finish time.
struct Ghost {
    int sampleRate = 30;  // samples per second of race time
    std::vector<double> splits;  // seconds
    double finish = 0.0;  // seconds
    std::vector<GhostPose> samples;

    // The pose at race time t, interpolated between the two samples round
    // it; before the first sample the first, after the last the last.
    GhostPose poseAt(double seconds) const;
};
