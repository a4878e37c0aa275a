#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "math/Matrix.h"
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

// An eye at (x, y, z) looking along -z, turned by yaw about y (90: along
// -x), pitched (negative: down) and rolled, all in degrees: the camera's
// place in the world, and its inverse, the view.
Matrix camera(double x, double y, double z, double yaw, double pitch, double roll = 0.0) {
    Matrix m;
    m.translate(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
    m.rotateY(yaw * PI / 180).rotateX(pitch * PI / 180).rotateZ(roll * PI / 180);
    return m;
}

Mat4 view(double x, double y, double z, double yaw, double pitch, double roll = 0.0) {
    Matrix v = camera(x, y, z, yaw, pitch, roll);
    v.invertGL();
    Mat4 m;
    for (int i = 0; i < 16; ++i) m[i] = v[i];
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
bool sightMeetsGround(const GroundCover& ground, const Matrix& eye, double fovy, double farPlane, double wx, double wy) {
    const double t = std::tan(fovy * PI / 360.0);
    const Point along = eye.transformPoint(Point{(2 * wx / 800 - 1) * t * 800 / 600, (2 * wy / 600 - 1) * t, -1, 0});
    const double length = std::sqrt(along.x * along.x + along.y * along.y + along.z * along.z);
    for (double s = 0.0; s <= farPlane; s += 0.05) {
        const double p[3] = {eye[12] + along.x / length * s, eye[13] + along.y / length * s,
                             eye[14] + along.z / length * s};
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
        const Matrix eye = camera(e.x, e.y, e.z, e.yaw, e.pitch, e.roll);
        const int hidden = ground.hiddenRows(v.data(), projection.data(), VIEWPORT);
        for (int row = 0; row < hidden; row += 7)
            for (double x = 0; x <= 800; x += 50) {
                ++checked;
                ASSERT_TRUE(sightMeetsGround(ground, eye, fovy, farPlane, x, row + 1.0))
                    << "eye " << e.x << ", " << e.y << ", " << e.z << ": row " << row << " of " << hidden;
            }
    }
    EXPECT_GT(checked, 1000);
    // Over flat ground seen level the rows kept show sky within a few rows.
    const GroundCover flat = flatGround();
    const Mat4 level = view(0, 2, 0, 0, 0);
    const int hidden = flat.hiddenRows(level.data(), projection.data(), VIEWPORT);
    EXPECT_FALSE(sightMeetsGround(flat, camera(0, 2, 0, 0, 0), fovy, farPlane, 0, hidden + 6.0));
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
