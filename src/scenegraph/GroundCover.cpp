#include "scenegraph/GroundCover.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

using Vec3 = std::array<double, 3>;
using Mat4 = std::array<double, 16>;  // column-major: row r, column c at 4c + r

Mat4 multiply(const double a[16], const double b[16]) {
    Mat4 m{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k) m[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
    return m;
}

// Gauss-Jordan elimination with partial pivoting; false for a singular matrix.
bool invert(Mat4 m, Mat4& inverse) {
    inverse = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    auto at = [](Mat4& x, int r, int c) -> double& { return x[c * 4 + r]; };
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::abs(at(m, r, c)) > std::abs(at(m, pivot, c))) pivot = r;
        const double p = at(m, pivot, c);
        if (!(std::abs(p) > 1e-300) || !std::isfinite(p)) return false;
        for (int k = 0; k < 4; ++k) {
            std::swap(at(m, c, k), at(m, pivot, k));
            std::swap(at(inverse, c, k), at(inverse, pivot, k));
        }
        for (int k = 0; k < 4; ++k) {
            at(m, c, k) /= p;
            at(inverse, c, k) /= p;
        }
        for (int r = 0; r < 4; ++r) {
            if (r == c) continue;
            const double f = at(m, r, c);
            for (int k = 0; k < 4; ++k) {
                at(m, r, k) -= f * at(m, c, k);
                at(inverse, r, k) -= f * at(inverse, c, k);
            }
        }
    }
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
    const int height = viewport[3];
    Mat4 inverse;
    if (viewport[2] <= 0 || height <= 0 || !heightAt || !invert(multiply(projection, modelview), inverse)) return 0;
    // The eye, -R^T t of the view's rotation R and translation t.
    const double* m = modelview;
    const Vec3 eye = {-(m[0] * m[12] + m[1] * m[13] + m[2] * m[14]), -(m[4] * m[12] + m[5] * m[13] + m[6] * m[14]),
                      -(m[8] * m[12] + m[9] * m[13] + m[10] * m[14])};
    if (!(eye[0] > minX && eye[0] < maxX && eye[2] > minZ && eye[2] < maxZ)) return 0;
    if (!(eye[1] >= heightAt(eye[0], eye[2]) + EYE_CLEARANCE)) return 0;
    if (!(m[5] > 0.0)) return 0;  // the camera's up leans down: lower rows look higher
    const double reach = std::min({eye[0] - minX, maxX - eye[0], eye[2] - minZ, maxZ - eye[2]});
    // The far plane's distance along the view: a point no farther than that
    // from the eye, in any direction, lies before it.
    const Vec3 farCentre = unproject(inverse, 0.0, 0.0, 1.0);
    const double far = std::hypot(farCentre[0] - eye[0], farCentre[1] - eye[1], farCentre[2] - eye[2]);

    // Every line of sight along a window row's top edge, sampled across it
    // (the slope changes smoothly along a row; SLOPE_MARGIN covers what lies
    // between the samples).
    constexpr int SAMPLES = 33;
    auto rowCovered = [&](int row) {
        const double y = 2.0 * row / height - 1.0;
        for (int k = 0; k < SAMPLES; ++k) {
            const double x = -1.0 + 2.0 * k / (SAMPLES - 1);
            const Vec3 a = unproject(inverse, x, y, -1.0), b = unproject(inverse, x, y, 1.0);
            const double level = std::hypot(b[0] - a[0], b[2] - a[2]);
            if (!(level > 0.0)) return false;  // straight down: no slope to judge by
            if (!covers(eye[1], (a[1] - b[1]) / level / SLOPE_MARGIN, reach, far)) return false;
        }
        return true;
    };
    // Rows look higher the higher they lie: the covered ones are the lowest.
    int low = 0, high = height;  // the rows below `low` are covered; those from `high + 1` up are not
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (rowCovered(middle)) low = middle;
        else high = middle - 1;
    }
    return std::max(low - 1, 0);  // a whole row of margin
}
