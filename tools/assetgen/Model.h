// A model as the MilkShape 3D ASCII format stores it: named meshes with
// indexed vertices (position and texture coordinates), indexed normals and
// triangles that pick a vertex and a normal per corner, plus materials.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "Geometry.h"

namespace assetgen {

struct Material {
    std::string name;
    float ambient[4] = {0.2f, 0.2f, 0.2f, 1};
    float diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    float specular[4] = {0, 0, 0, 1};
    float emissive[4] = {0, 0, 0, 1};
    float shininess = 0;
    float transparency = 1;  // 1 = opaque, as the format counts it
    std::string colorMap;    // file name beside the model, or empty
    std::string alphaMap;

    // A lit colour: ambient follows the diffuse colour, and a share of it
    // glows, so that faces turned away from the low sun do not go black.
    static Material colour(const std::string& name, float r, float g, float b,
                           float shine = 0.3f, float glow = 0.35f);
    // A texture-carrying material with white colours.
    static Material textured(const std::string& name, const std::string& map, float glow = 0.4f);
    // A self-lit material (lamps, sky): the emissive colour is the look.
    static Material lamp(const std::string& name, float r, float g, float b);
};

struct MeshVertex {
    Vec3 p;
    float u = 0, v = 0;
};

struct MeshTriangle {
    int v[3];
    int n[3];
};

struct Mesh {
    std::string name;
    int material = -1;
    std::vector<MeshVertex> vertices;
    std::vector<Vec3> normals;
    std::vector<MeshTriangle> triangles;

    int vertex(Vec3 p, float u = 0, float v = 0);
    int normal(Vec3 n);
    // Adds a triangle whose front side (counter-clockwise winding, as the
    // renderer culls) faces along `outside`; its normals are set later by
    // smooth(). Triangles without area are dropped.
    void triangle(int a, int b, int c, Vec3 outside);
    // Gives every triangle from `first` on its corner normals: the area-
    // weighted mean of the faces that meet at the same position and bend by
    // no more than `creaseDegrees` against this face, so edges sharper than
    // that stay hard. Equal normals are stored once.
    void smooth(size_t first, float creaseDegrees);
};

class Model {
public:
    int addMaterial(const Material& m);
    Mesh& addMesh(const std::string& name, int material);
    Mesh* findMesh(const std::string& name);

    // Meshes live in a deque, so a reference from addMesh stays valid while
    // more meshes are added.
    const std::deque<Mesh>& meshes() const { return meshList; }
    std::deque<Mesh>& meshes() { return meshList; }
    const std::vector<Material>& materials() const { return materialList; }

    // Moves every vertex by a transform (used to place a finished model).
    void transform(const Affine& xf);
    // Axis-aligned bounds over all meshes.
    void bounds(Vec3& lo, Vec3& hi) const;

    // The model as MilkShape 3D ASCII text.
    std::string toMilkshapeAscii() const;

private:
    std::deque<Mesh> meshList;
    std::vector<Material> materialList;
};

}  // namespace assetgen
