#pragma once

// Angle constants shared by the whole program (radians unless named otherwise).
constexpr double PI = 3.141592653589793;
constexpr double TWO_PI = 6.283185307179586;
constexpr double HALF_PI = 1.5707963267948966;
constexpr double THREE_HALF_PI = 4.71238898038469;
constexpr double PI_OVER_180 = 0.017453292519943295;  // degrees to radians
constexpr double PI_UNDER_180 = 57.29577951308232;    // radians to degrees
