// Building blocks for models: each function appends triangles to a mesh,
// placed by a transform, and gives them normals (hard edges above the
// crease angle, smooth below it).
#pragma once

#include <vector>

#include "Model.h"

namespace assetgen::shapes {

// A flat quad p0..p3 (in order around it), front side towards `outside`,
// with texture coordinates per corner.
void quad(Mesh& mesh, const Affine& xf, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Vec3 outside,
          Vec2 uv0 = {0, 0}, Vec2 uv1 = {1, 0}, Vec2 uv2 = {1, 1}, Vec2 uv3 = {0, 1});

// An axis-aligned box from lo to hi. With uvPerUnit > 0 the texture repeats
// that often per unit of length (for tiling textures), else each face gets
// the whole texture.
void box(Mesh& mesh, const Affine& xf, Vec3 lo, Vec3 hi, float uvPerUnit = 0);

// A box with its vertical edges and top edges cut off by `bevel`.
void bevelBox(Mesh& mesh, const Affine& xf, Vec3 lo, Vec3 hi, float bevel);

// A simple (possibly concave) outline in the x-y plane, extruded along z
// from z0 to z1, with flat caps. Texture coordinates are planar (x, y) times
// uvPerUnit plus 0.5.
void prism(Mesh& mesh, const Affine& xf, const std::vector<Vec2>& outline, float z0, float z1,
           float creaseDegrees = 30, float uvPerUnit = 1);

// A surface of revolution about the y axis. The profile holds (radius, y)
// points; the outside lies to the right when walking along the profile in a
// plane with radius to the right and y up (so an upward profile faces out).
void lathe(Mesh& mesh, const Affine& xf, const std::vector<Vec2>& profile, int segments,
           float creaseDegrees = 40, float uRepeat = 1);

void sphere(Mesh& mesh, const Affine& xf, float radius, int segments, int rings);

// A capped cylinder along y.
void cylinder(Mesh& mesh, const Affine& xf, float radius, float y0, float y1, int segments);

// A cylinder from a to b (any direction), capped.
void rod(Mesh& mesh, const Affine& xf, Vec3 a, Vec3 b, float radius, int segments);

// Connects closed rings of equal point count, one after the other, and caps
// the first and last ring with flat faces. Rings should be convex-ish, as
// the outside is taken as away from each ring's centre.
void loft(Mesh& mesh, const Affine& xf, const std::vector<std::vector<Vec3>>& rings, bool capStart, bool capEnd,
          float creaseDegrees = 35);

// Triangulates a simple polygon (either winding) by ear clipping.
std::vector<int> triangulate(const std::vector<Vec2>& polygon);

// A circle of n points in the x-y plane.
std::vector<Vec2> circle(Vec2 centre, float radius, int n, float startDegrees = 0);

}  // namespace assetgen::shapes
