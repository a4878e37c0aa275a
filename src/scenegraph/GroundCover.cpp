#include "scenegraph/GroundCover.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using Vec3 = std::array<double, 3>;
using Mat4 = std::array<double, 16>;

Mat4 multiply(const double a[16], const double b[16]) {
    Mat4 m{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k) m[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
    return m;
}

// The inverse by cofactors; false for a singular matrix.
bool invert(const Mat4& m, Mat4& inv) {
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
             m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
             m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
             m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
              m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
             m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
             m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
             m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
              m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
             m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
              m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
              m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
             m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
              m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
    const double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (det == 0.0 || !std::isfinite(det)) return false;
    for (double& v : inv) v /= det;
    return true;
}

// The world point at normalised device coordinates (x, y, z).
Vec3 unproject(const Mat4& inverse, double x, double y, double z) {
    double p[4];
    for (int r = 0; r < 4; ++r) p[r] = inverse[r] * x + inverse[4 + r] * y + inverse[8 + r] * z + inverse[12 + r];
    return {p[0] / p[3], p[1] / p[3], p[2] / p[3]};
}

}  // namespace

bool GroundCover::covers(double eyeHeight, double slope, double reach, double far) const {
    if (!(slope > 0.0)) return false;  // level or rising: it may pass over everything
    const double way = (eyeHeight - lowest) / slope;  // horizontal way down to the lowest height
    return way <= reach && way * std::sqrt(1.0 + slope * slope) <= far;
}

int GroundCover::hiddenRows(const double modelview[16], const double projection[16], const int viewport[4]) const {
    const int width = viewport[2], height = viewport[3];
    Mat4 inverse;
    if (width <= 0 || height <= 0 || !heightAt || !invert(multiply(projection, modelview), inverse)) return 0;
    // The eye: where every line of sight starts (the near plane's centre
    // seen back through the view alone would do as well).
    Mat4 view, viewInverse;
    std::copy(modelview, modelview + 16, view.begin());
    if (!invert(view, viewInverse)) return 0;
    const Vec3 eye = {viewInverse[12], viewInverse[13], viewInverse[14]};
    if (eye[0] <= minX || eye[0] >= maxX || eye[2] <= minZ || eye[2] >= maxZ) return 0;
    if (eye[1] < heightAt(eye[0], eye[2]) + EYE_CLEARANCE) return 0;
    if (viewInverse[5] <= 0.0) return 0;  // upside down: lower rows look higher
    const double reach = std::min({eye[0] - minX, maxX - eye[0], eye[2] - minZ, maxZ - eye[2]});
    // The far plane's distance along the view: a point no farther than that
    // from the eye, in any direction, lies before it.
    const Vec3 farCentre = unproject(inverse, 0.0, 0.0, 1.0);
    const double far = std::sqrt(std::pow(farCentre[0] - eye[0], 2) + std::pow(farCentre[1] - eye[1], 2) +
                                 std::pow(farCentre[2] - eye[2], 2));

    // Every line of sight through a window row, sampled along it (the slope
    // changes smoothly across a row; SLOPE_MARGIN covers what lies between).
    constexpr int SAMPLES = 33;
    auto rowCovered = [&](double windowY) {
        const double y = 2.0 * windowY / height - 1.0;
        for (int k = 0; k < SAMPLES; ++k) {
            const double x = -1.0 + 2.0 * k / (SAMPLES - 1);
            const Vec3 a = unproject(inverse, x, y, -1.0), b = unproject(inverse, x, y, 1.0);
            const double dx = b[0] - a[0], dy = b[1] - a[1], dz = b[2] - a[2];
            const double level = std::hypot(dx, dz);
            if (level <= 0.0) return false;  // straight down: no slope to judge by
            if (!covers(eye[1], -dy / level / SLOPE_MARGIN, reach, far)) return false;
        }
        return true;
    };
    // Rows look higher the higher they lie: the covered ones are the lowest.
    // A row counts by its top edge, the highest line of sight through it.
    int low = 0, high = height;  // rows [0, low) covered; row `high` is not
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (rowCovered(middle)) low = middle;
        else high = middle - 1;
    }
    return std::max(low - 1, 0);  // a whole row of margin
}
