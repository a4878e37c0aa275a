#pragma once

// A homogeneous point; w = 1 for positions. Plain data, zero-filled.
struct Point {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double w = 0.0;
};
