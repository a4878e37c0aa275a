// What the sky dome model and the sky picture must agree on.
#pragma once

namespace assetgen {

constexpr const char* SKY_TEXTURE = "sky.jpg";
constexpr float SKY_RADIUS = 100.0f;
constexpr float SKY_LOWEST_ELEVATION = -30.0f;  // degrees, at v = 0; v = 1 is the zenith

inline float skyElevationOfV(float v) { return SKY_LOWEST_ELEVATION + v * (90.0f - SKY_LOWEST_ELEVATION); }

// The sun light shines from (0, 11, -100): straight along -z, 6.3 degrees
// up. The dome's azimuth a (u = a / 360) runs from +z through +x, so the
// sun stands at u = 0.5.
constexpr float SUN_U = 0.5f;
constexpr float SUN_ELEVATION = 6.2773f;

}  // namespace assetgen
