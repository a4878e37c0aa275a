#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "scenegraph/GroundCover.h"

namespace {

using Mat4 = std::array<double, 16>;
constexpr double PI = 3.14159265358979323846;
constexpr int VIEWPORT[4] = {0, 0, 800, 600};

// Column-major, as the GL keeps them.
Mat4 perspective(double fovyDegrees, double aspect, double nearPlane, double farPlane) {
    const double f = 1.0 / std::tan(fovyDegrees * PI / 360.0);
    Mat4 m{};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (farPlane + nearPlane) / (nearPlane - farPlane);
    m[11] = -1.0;
    m[14] = 2.0 * farPlane * nearPlane / (nearPlane - farPlane);
    return m;
}

// The view of an eye at (x, y, z) turned by yaw about y (0: looking along -z,
// 90: along -x) and pitched by pitch (negative: down), then rolled.
Mat4 view(double x, double y, double z, double yawDegrees, double pitchDegrees, double rollDegrees = 0.0) {
    const double a = yawDegrees * PI / 180, b = pitchDegrees * PI / 180, c = rollDegrees * PI / 180;
    // The camera's axes in the world: right, up, back.
    const double fwd[3] = {-std::sin(a) * std::cos(b), std::sin(b), -std::cos(a) * std::cos(b)};
    const double right0[3] = {std::cos(a), 0.0, -std::sin(a)};
    const double up0[3] = {right0[1] * fwd[2] - right0[2] * fwd[1], right0[2] * fwd[0] - right0[0] * fwd[2],
                           right0[0] * fwd[1] - right0[1] * fwd[0]};
    double right[3], up[3];
    for (int i = 0; i < 3; ++i) {
        right[i] = std::cos(c) * right0[i] + std::sin(c) * up0[i];
        up[i] = -std::sin(c) * right0[i] + std::cos(c) * up0[i];
    }
    const double eye[3] = {x, y, z};
    Mat4 m{};
    for (int i = 0; i < 3; ++i) {
        m[i * 4 + 0] = right[i];
        m[i * 4 + 1] = up[i];
        m[i * 4 + 2] = -fwd[i];
    }
    for (int r = 0; r < 3; ++r) {
        const double* axis = r == 0 ? right : r == 1 ? up : nullptr;
        double dot = 0;
        for (int i = 0; i < 3; ++i) dot += (axis ? axis[i] : -fwd[i]) * eye[i];
        m[12 + r] = -dot;
    }
    m[15] = 1.0;
    return m;
}

GroundCover flatGround(double height = 0.0) {
    GroundCover cover;
    cover.minX = cover.minZ = -300;
    cover.maxX = cover.maxZ = 300;
    cover.lowest = height;
    cover.heightAt = [height](double, double) { return height; };
    return cover;
}

// Hills between -5 and 0 over the 600 x 600 square.
GroundCover hills() {
    GroundCover cover = flatGround(-5.0);
    cover.heightAt = [](double x, double z) { return -2.5 + 2.5 * std::sin(x / 23.0) * std::cos(z / 17.0); };
    return cover;
}

// Marches the line of sight through window point (wx, wy) until it meets
// the ground (true) or leaves the square or passes the far plane (false).
bool sightMeetsGround(const GroundCover& ground, const Mat4& v, double fovy, double farPlane, double wx, double wy) {
    const double t = std::tan(fovy * PI / 360.0), aspect = 800.0 / 600.0;
    const double ex = (2 * wx / 800 - 1) * t * aspect, ey = (2 * wy / 600 - 1) * t;
    // Eye space (ex, ey, -1) into the world by the view's rotation (its transpose).
    double d[3], eye[3];
    for (int i = 0; i < 3; ++i) d[i] = v[i * 4 + 0] * ex + v[i * 4 + 1] * ey - v[i * 4 + 2];
    for (int i = 0; i < 3; ++i) eye[i] = -(v[i * 4 + 0] * v[12] + v[i * 4 + 1] * v[13] + v[i * 4 + 2] * v[14]);
    const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    for (double s = 0.0; s <= farPlane; s += 0.05) {
        const double p[3] = {eye[0] + d[0] / length * s, eye[1] + d[1] / length * s, eye[2] + d[2] / length * s};
        if (p[0] < ground.minX || p[0] > ground.maxX || p[2] < ground.minZ || p[2] > ground.maxZ) return false;
        if (p[1] <= ground.heightAt(p[0], p[2])) return true;
    }
    return false;
}

}  // namespace

// A level eye 2 units over flat ground, 300 units from every edge: the ground
// covers each line of sight that falls 2 units within 300, a slope of
// 2 / 300. Along a row the shallowest line is at the window's side, where
// the slope of window height e is e * tan 30 / sqrt(1 + (4/3 tan 30)^2); with
// the 2 % margin the covered rows end 300 * (1 - e) below the middle, and
// one row more is kept back.
TEST(GroundCover, LevelEyeOverFlatGroundHidesTheRowsBelowTheHorizon) {
    const GroundCover ground = flatGround();
    const Mat4 projection = perspective(60, 800.0 / 600.0, 0.5, 1000);
    const Mat4 level = view(0, 2, 0, 0, 0);
    const double t = std::tan(PI / 6), side = std::sqrt(1 + std::pow(4.0 / 3.0 * t, 2));
    const double e = 2.0 / 300.0 * GroundCover::SLOPE_MARGIN * side / t;
    const int expected = static_cast<int>(std::floor(300.0 * (1.0 - e))) - 1;
    EXPECT_EQ(ground.hiddenRows(level.data(), projection.data(), VIEWPORT), expected);  // 294

    // The same eye turned about: the square's nearest edge counts, whichever way it looks.
    EXPECT_EQ(ground.hiddenRows(view(0, 2, 0, 37, 0).data(), projection.data(), VIEWPORT), expected);
    // A nearer edge behind the eye shortens every line: 2 units over 100.
    const int nearEdge = ground.hiddenRows(view(0, 2, 200, 0, 0).data(), projection.data(), VIEWPORT);
    EXPECT_LT(nearEdge, expected);
    EXPECT_GT(nearEdge, expected - 10);
    // A far plane 100 units out: lines that reach the ground beyond it show the sky.
    EXPECT_LT(ground.hiddenRows(level.data(), perspective(60, 800.0 / 600.0, 0.5, 100).data(), VIEWPORT),
              nearEdge + 1);
}

// What matters: every line of sight through a hidden row meets the ground,
// over hills, from eyes looking down, up, across and near an edge, rolled a
// little; and the rows kept are not many more than need be.
TEST(GroundCover, EveryLineThroughAHiddenRowMeetsTheGround) {
    const GroundCover ground = hills();
    const double fovy = 60, farPlane = 450;
    const Mat4 projection = perspective(fovy, 800.0 / 600.0, 0.5, farPlane);
    struct Eye {
        double x, y, z, yaw, pitch, roll;
    };
    const Eye eyes[] = {{-1.9, -1.0, 49.0, 0, -8, 0}, {120, 0.5, -40, 90, 5, 0}, {280, -1.5, 0, -90, -3, 0},
                        {-50, 3.0, 250, 180, -20, 4}, {0, -0.5, 0, 45, 25, 0}};
    int checked = 0;
    for (const Eye& e : eyes) {
        const Mat4 v = view(e.x, e.y, e.z, e.yaw, e.pitch, e.roll);
        const int hidden = ground.hiddenRows(v.data(), projection.data(), VIEWPORT);
        for (int row = 0; row < hidden; row += 7)
            for (double x = 0; x <= 800; x += 50) {
                ++checked;
                ASSERT_TRUE(sightMeetsGround(ground, v, fovy, farPlane, x, row + 1.0))
                    << "eye " << e.x << ", " << e.y << ", " << e.z << ": row " << row << " of " << hidden;
            }
    }
    EXPECT_GT(checked, 1000);
    // Over flat ground seen level the rows kept show sky within a few rows.
    const GroundCover flat = flatGround();
    const Mat4 level = view(0, 2, 0, 0, 0);
    const int hidden = flat.hiddenRows(level.data(), projection.data(), VIEWPORT);
    EXPECT_FALSE(sightMeetsGround(flat, level, fovy, farPlane, 0, hidden + 6.0));
}

// No cover, no rows: the eye off the ground's square or under its surface, a
// camera upside down, an empty window, a singular matrix, no height function.
TEST(GroundCover, HidesNothingWhereItCannotBeSure) {
    const GroundCover ground = flatGround();
    const Mat4 projection = perspective(60, 800.0 / 600.0, 0.5, 1000);
    EXPECT_EQ(ground.hiddenRows(view(301, 2, 0, 0, 0).data(), projection.data(), VIEWPORT), 0);
    EXPECT_EQ(ground.hiddenRows(view(0, 0.01, 0, 0, 0).data(), projection.data(), VIEWPORT), 0);  // under the clearance
    EXPECT_EQ(ground.hiddenRows(view(0, 2, 0, 0, 0, 180).data(), projection.data(), VIEWPORT), 0);
    const int empty[4] = {0, 0, 800, 0};
    EXPECT_EQ(ground.hiddenRows(view(0, 2, 0, 0, 0).data(), projection.data(), empty), 0);
    const Mat4 zero{};
    EXPECT_EQ(ground.hiddenRows(zero.data(), projection.data(), VIEWPORT), 0);
    GroundCover noHeights = ground;
    noHeights.heightAt = nullptr;
    EXPECT_EQ(noHeights.hiddenRows(view(0, 2, 0, 0, 0).data(), projection.data(), VIEWPORT), 0);
    EXPECT_EQ(GroundCover{}.hiddenRows(view(0, 2, 0, 0, 0).data(), projection.data(), VIEWPORT), 0);
}
