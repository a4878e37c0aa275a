#include "Model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

namespace assetgen {

namespace {

void setColour(float* dst, float r, float g, float b, float a = 1) {
    dst[0] = r; dst[1] = g; dst[2] = b; dst[3] = a;
}

// "%f" as the format wants it, without the "-0.000000" of tiny negatives.
void appendFloat(std::string& out, float v) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%f", static_cast<double>(v));
    if (std::string(buf) == "-0.000000") {
        out += "0.000000";
    } else {
        out += buf;
    }
}

void appendFloats(std::string& out, const float* v, int n) {
    for (int i = 0; i < n; ++i) {
        if (i) out += ' ';
        appendFloat(out, v[i]);
    }
    out += '\n';
}

}  // namespace

Material Material::colour(const std::string& name, float r, float g, float b, float shine, float glow) {
    Material m;
    m.name = name;
    setColour(m.ambient, r * 0.6f, g * 0.6f, b * 0.6f);
    setColour(m.diffuse, r, g, b);
    setColour(m.specular, shine, shine, shine);
    setColour(m.emissive, r * glow, g * glow, b * glow);
    m.shininess = shine > 0 ? 24 + 80 * shine : 0;
    return m;
}

Material Material::textured(const std::string& name, const std::string& map, float glow) {
    Material m = colour(name, 0.85f, 0.85f, 0.85f, 0.1f, glow);
    m.colorMap = map;
    return m;
}

Material Material::lamp(const std::string& name, float r, float g, float b) {
    Material m;
    m.name = name;
    setColour(m.ambient, 0, 0, 0);
    setColour(m.diffuse, r * 0.3f, g * 0.3f, b * 0.3f);
    setColour(m.specular, 0, 0, 0);
    setColour(m.emissive, r, g, b);
    return m;
}

int Mesh::vertex(Vec3 p, float u, float v) {
    vertices.push_back({p, u, v});
    return static_cast<int>(vertices.size()) - 1;
}

int Mesh::normal(Vec3 n) {
    normals.push_back(normalized(n));
    return static_cast<int>(normals.size()) - 1;
}

void Mesh::triangle(int a, int b, int c, Vec3 outside) {
    Vec3 pa = vertices[a].p, pb = vertices[b].p, pc = vertices[c].p;
    // Corners that the file's six decimals would print alike make a
    // triangle without area: leave it out.
    const float same = 2e-6f;
    if (length(pb - pa) < same || length(pc - pb) < same || length(pa - pc) < same) return;
    Vec3 face = cross(pb - pa, pc - pa);
    if (length(face) < 1e-10f) return;
    if (dot(face, outside) < 0) std::swap(b, c);
    triangles.push_back({{a, b, c}, {-1, -1, -1}});
}

namespace {

using GridKey = std::tuple<long, long, long>;

GridKey quantize(Vec3 p, float step) {
    return GridKey(std::lround(p.x / step), std::lround(p.y / step), std::lround(p.z / step));
}

}  // namespace

void Mesh::smooth(size_t first, float creaseDegrees) {
    const float cosLimit = std::cos(creaseDegrees * PI_F / 180.0f) - 1e-4f;
    std::vector<Vec3> face(triangles.size());
    std::map<GridKey, std::vector<size_t>> byPosition;
    for (size_t t = first; t < triangles.size(); ++t) {
        const MeshTriangle& tri = triangles[t];
        Vec3 pa = vertices[tri.v[0]].p, pb = vertices[tri.v[1]].p, pc = vertices[tri.v[2]].p;
        face[t] = cross(pb - pa, pc - pa);
        for (int k = 0; k < 3; ++k) byPosition[quantize(vertices[tri.v[k]].p, 1e-5f)].push_back(t);
    }
    std::map<GridKey, int> stored;
    for (size_t t = first; t < triangles.size(); ++t) {
        Vec3 own = normalized(face[t]);
        for (int k = 0; k < 3; ++k) {
            Vec3 sum;
            for (size_t other : byPosition[quantize(vertices[triangles[t].v[k]].p, 1e-5f)])
                if (dot(normalized(face[other]), own) >= cosLimit) sum += face[other];
            Vec3 n = normalized(sum);
            GridKey key = quantize(n, 1e-6f);
            auto it = stored.find(key);
            if (it == stored.end()) it = stored.emplace(key, normal(n)).first;
            triangles[t].n[k] = it->second;
        }
    }
}

int Model::addMaterial(const Material& m) {
    materialList.push_back(m);
    return static_cast<int>(materialList.size()) - 1;
}

Mesh& Model::addMesh(const std::string& name, int material) {
    meshList.emplace_back();
    meshList.back().name = name;
    meshList.back().material = material;
    return meshList.back();
}

Mesh* Model::findMesh(const std::string& name) {
    for (Mesh& m : meshList)
        if (m.name == name) return &m;
    return nullptr;
}

void Model::transform(const Affine& xf) {
    for (Mesh& m : meshList) {
        for (MeshVertex& v : m.vertices) v.p = xf.point(v.p);
        for (Vec3& n : m.normals) n = xf.normal(n);
        if (xf.mirrors())
            for (MeshTriangle& t : m.triangles) {
                std::swap(t.v[1], t.v[2]);
                std::swap(t.n[1], t.n[2]);
            }
    }
}

void Model::bounds(Vec3& lo, Vec3& hi) const {
    bool first = true;
    for (const Mesh& m : meshList)
        for (const MeshTriangle& t : m.triangles)
            for (int k = 0; k < 3; ++k) {
                Vec3 p = m.vertices[t.v[k]].p;
                if (first) {
                    lo = hi = p;
                    first = false;
                }
                lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
                hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
            }
}

std::string Model::toMilkshapeAscii() const {
    std::string out;
    out.reserve(1 << 16);
    out += "// MilkShape 3D ASCII\n\nFrames: 30\nFrame: 1\n\n";
    out += "Meshes: " + std::to_string(meshList.size()) + "\n";
    for (const Mesh& m : meshList) {
        out += "\"" + m.name + "\" 0 " + std::to_string(m.material) + "\n";
        out += std::to_string(m.vertices.size()) + "\n";
        for (const MeshVertex& v : m.vertices) {
            const float f[5] = {v.p.x, v.p.y, v.p.z, v.u, v.v};
            out += "0 ";
            for (int i = 0; i < 5; ++i) {
                appendFloat(out, f[i]);
                out += ' ';
            }
            out += "-1\n";
        }
        out += std::to_string(m.normals.size()) + "\n";
        for (const Vec3& n : m.normals) {
            const float f[3] = {n.x, n.y, n.z};
            appendFloats(out, f, 3);
        }
        out += std::to_string(m.triangles.size()) + "\n";
        for (const MeshTriangle& t : m.triangles) {
            char buf[128];
            std::snprintf(buf, sizeof buf, "0 %d %d %d %d %d %d 1\n", t.v[0], t.v[1], t.v[2], t.n[0], t.n[1],
                          t.n[2]);
            out += buf;
        }
    }
    out += "\nMaterials: " + std::to_string(materialList.size()) + "\n";
    for (const Material& m : materialList) {
        out += "\"" + m.name + "\"\n";
        appendFloats(out, m.ambient, 4);
        appendFloats(out, m.diffuse, 4);
        appendFloats(out, m.specular, 4);
        appendFloats(out, m.emissive, 4);
        appendFloats(out, &m.shininess, 1);
        appendFloats(out, &m.transparency, 1);
        out += "\"" + m.colorMap + "\"\n";
        out += "\"" + m.alphaMap + "\"\n";
    }
    out += "\nBones: 0\nGroupComments: 0\nMaterialComments: 0\nBoneComments: 0\nModelComment: 0\n";
    return out;
}

}  // namespace assetgen
