#pragma once
#include <functional>

// What a level's ground surely hides, for drawing the sky dome only where it
// can show. The ground is a height field over a rectangle of the x-z plane,
// nowhere lower than `lowest`, whose drawn surface is unbroken inside it. A
// line of sight from an eye above the ground that falls to `lowest` before it
// leaves the rectangle, and before the far plane, must cross the ground: the
// ground covers it, whatever lies in between. hiddenRows turns that into the
// window rows, counted from the bottom, whose every pixel the ground covers;
// the sky's drawing can leave them out (a scissor box) with the same picture.
//
// Conventions: world units, y up; matrices are 16 doubles, column-major, as
// glGetDoublev gives them, the modelview a rigid motion (the camera's view:
// rotations and a translation); the viewport is x, y, width, height in pixels.
class GroundCover {
public:
    double minX = 0.0, maxX = 0.0, minZ = 0.0, maxZ = 0.0;
    double lowest = 0.0;
    // The ground's height below a point of the rectangle.
    std::function<double(double x, double z)> heightAt;

    // The eye must be this far above the ground below it. (The segment the
    // eye is over is drawn at full detail, where the drawn surface is the
    // true one; the chase camera rides about half a unit above the ground.)
    static constexpr double EYE_CLEARANCE = 0.05;
    // Rows are judged by lines of sight this much steeper than needed, and by
    // a whole row more, against rounding in the GL's own projection.
    static constexpr double SLOPE_MARGIN = 1.02;

    // The number of rows from the viewport's bottom (0 .. height) that the
    // ground covers in a view with these matrices: 0 with the eye outside the
    // rectangle or not above the ground, a camera turned upside down, or
    // matrices that map nothing to the window.
    int hiddenRows(const double modelview[16], const double projection[16], const int viewport[4]) const;

private:
    // The ground covers the line of sight from the eye at this height along a
    // direction that descends `slope` units per unit of horizontal way, with
    // `reach` horizontal units to the rectangle's nearest edge and the far
    // plane `far` units along the line.
    bool covers(double eyeHeight, double slope, double reach, double far) const;
};
