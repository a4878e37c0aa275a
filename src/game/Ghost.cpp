#include "game/Ghost.h"

#include <algorithm>
#include <cmath>

GhostPose GhostPose::fromMatrix(const float* m, float steerDegrees) {
    GhostPose pose;
    pose.position[0] = m[12];
    pose.position[1] = m[13];
    pose.position[2] = m[14];
    pose.steer = steerDegrees;
    // Element (row r, column c) is m[c * 4 + r]. The largest of the four
    // squared components is found first, so the division is well conditioned.
    const double m00 = m[0], m11 = m[5], m22 = m[10];
    const double m01 = m[4], m10 = m[1], m02 = m[8], m20 = m[2], m12 = m[9], m21 = m[6];
    const double trace = m00 + m11 + m22;
    double x, y, z, w;
    if (trace > 0.0) {
        const double s = 2.0 * std::sqrt(trace + 1.0);
        w = 0.25 * s;
        x = (m21 - m12) / s;
        y = (m02 - m20) / s;
        z = (m10 - m01) / s;
    } else if (m00 > m11 && m00 > m22) {
        const double s = 2.0 * std::sqrt(1.0 + m00 - m11 - m22);
        w = (m21 - m12) / s;
        x = 0.25 * s;
        y = (m01 + m10) / s;
        z = (m02 + m20) / s;
    } else if (m11 > m22) {
        const double s = 2.0 * std::sqrt(1.0 + m11 - m00 - m22);
        w = (m02 - m20) / s;
        x = (m01 + m10) / s;
        y = 0.25 * s;
        z = (m12 + m21) / s;
    } else {
        const double s = 2.0 * std::sqrt(1.0 + m22 - m00 - m11);
        w = (m10 - m01) / s;
        x = (m02 + m20) / s;
        y = (m12 + m21) / s;
        z = 0.25 * s;
    }
    const double n = std::sqrt(x * x + y * y + z * z + w * w);
    const double q[4] = {x / n, y / n, z / n, w / n};
    for (int i = 0; i < 4; ++i) pose.orientation[i] = static_cast<float>(q[i]);
    return pose;
}

void GhostPose::toMatrix(float* m) const {
    const double x = orientation[0], y = orientation[1], z = orientation[2], w = orientation[3];
    m[0] = static_cast<float>(1 - 2 * (y * y + z * z));
    m[1] = static_cast<float>(2 * (x * y + z * w));
    m[2] = static_cast<float>(2 * (x * z - y * w));
    m[4] = static_cast<float>(2 * (x * y - z * w));
    m[5] = static_cast<float>(1 - 2 * (x * x + z * z));
    m[6] = static_cast<float>(2 * (y * z + x * w));
    m[8] = static_cast<float>(2 * (x * z + y * w));
    m[9] = static_cast<float>(2 * (y * z - x * w));
    m[10] = static_cast<float>(1 - 2 * (x * x + y * y));
    m[3] = m[7] = m[11] = 0.0f;
    m[12] = position[0];
    m[13] = position[1];
    m[14] = position[2];
    m[15] = 1.0f;
}

namespace {
float dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3]; }
}  // namespace

GhostPose GhostPose::blend(const GhostPose& a, const GhostPose& b, double share) {
    const float t = static_cast<float>(share);
    GhostPose pose;
    for (int i = 0; i < 3; ++i) pose.position[i] = a.position[i] + (b.position[i] - a.position[i]) * t;
    pose.steer = a.steer + (b.steer - a.steer) * t;
    // q and -q are the same turn: blend towards the nearer of the two.
    const float side = dot(a.orientation, b.orientation) < 0.0f ? -1.0f : 1.0f;
    double length = 0.0;
    for (int i = 0; i < 4; ++i) {
        pose.orientation[i] = a.orientation[i] + (side * b.orientation[i] - a.orientation[i]) * t;
        length += static_cast<double>(pose.orientation[i]) * pose.orientation[i];
    }
    length = std::sqrt(length);
    if (length > 0.0)
        for (float& q : pose.orientation) q = static_cast<float>(q / length);
    return pose;
}

float GhostPose::positionGap(const GhostPose& a, const GhostPose& b) {
    float gap = 0.0f;
    for (int i = 0; i < 3; ++i) gap = std::max(gap, std::fabs(a.position[i] - b.position[i]));
    return gap;
}

float GhostPose::orientationGap(const GhostPose& a, const GhostPose& b) {
    const float side = dot(a.orientation, b.orientation) < 0.0f ? -1.0f : 1.0f;
    float gap = 0.0f;
    for (int i = 0; i < 4; ++i) gap = std::max(gap, std::fabs(a.orientation[i] - side * b.orientation[i]));
    return gap;
}

GhostPose Ghost::poseAt(double seconds) const {
    if (samples.empty()) return GhostPose();
    const double at = std::max(0.0, seconds) * sampleRate;
    const double last = static_cast<double>(samples.size() - 1);
    if (at >= last) return samples.back();
    const auto i = static_cast<std::size_t>(at);
    return GhostPose::blend(samples[i], samples[i + 1], at - static_cast<double>(i));
}
