#include "ModelView.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "Pictures.h"

namespace assetgen {

namespace {

struct Camera {
    Vec3 eye, right, up, forward;
    float focal, cx, cy;

    bool project(Vec3 p, float& sx, float& sy, float& z) const {
        Vec3 d = p - eye;
        z = dot(d, forward);
        if (z < 0.01f) return false;
        sx = cx + dot(d, right) / z * focal;
        sy = cy - dot(d, up) / z * focal;
        return true;
    }
};

Camera lookAt(Vec3 eye, Vec3 target, float fovDegrees, int w, int h) {
    Camera c;
    c.eye = eye;
    c.forward = normalized(target - eye);
    c.right = normalized(cross(c.forward, Vec3(0, 1, 0)));
    c.up = cross(c.right, c.forward);
    c.focal = (h / 2.0f) / std::tan(fovDegrees * PI_F / 360);
    c.cx = w / 2.0f;
    c.cy = h / 2.0f;
    return c;
}

// The picture a material names, drawn once per render.
const Canvas* texture(const std::string& name, std::map<std::string, Canvas>& cache) {
    if (name.empty()) return nullptr;
    auto it = cache.find(name);
    if (it != cache.end()) return &it->second;
    for (const PictureFile& f : pictureFiles())
        if (f.path == "models/" + name) return &cache.emplace(name, f.draw()).first->second;
    return nullptr;
}

struct Corner {
    float x, y, invZ, uOverZ, vOverZ;
    Colour light;
};

}  // namespace

Canvas renderModel(const Model& model, int width, int height, Vec3 viewFrom, bool fromInside) {
    const int ss = 2, W = width * ss, H = height * ss;
    Canvas image(W, H, Colour::rgb(0x30333C));
    std::vector<float> depth(static_cast<size_t>(W) * H, std::numeric_limits<float>::max());

    Camera cam;
    if (fromInside) {
        cam = lookAt({0, 2, 0}, {0, 14, -100}, 100, W, H);
    } else {
        Vec3 lo, hi;
        model.bounds(lo, hi);
        Vec3 centre = (lo + hi) * 0.5f;
        float radius = length(hi - lo) * 0.5f;
        Vec3 dir = normalized(viewFrom);
        cam = lookAt(centre + dir * (radius / std::sin(17 * PI_F / 180)), centre, 36, W, H);
    }
    const Vec3 light = normalized(Vec3(-0.4f, 0.85f, -0.5f));
    std::map<std::string, Canvas> textures;

    for (int pass = 0; pass < 2; ++pass)
        for (const Mesh& mesh : model.meshes()) {
            Material mat;
            if (mesh.material >= 0 && mesh.material < static_cast<int>(model.materials().size()))
                mat = model.materials()[mesh.material];
            const bool transparent = mat.transparency < 1;
            if (transparent != (pass == 1)) continue;
            const Canvas* tex = texture(mat.colorMap, textures);
            for (const MeshTriangle& t : mesh.triangles) {
                Corner c[3];
                bool visible = true;
                for (int k = 0; k < 3 && visible; ++k) {
                    const MeshVertex& v = mesh.vertices[t.v[k]];
                    float z;
                    visible = cam.project(v.p, c[k].x, c[k].y, z);
                    c[k].invZ = 1 / z;
                    c[k].uOverZ = v.u / z;
                    c[k].vOverZ = v.v / z;
                    float diffuse = std::max(0.0f, dot(mesh.normals[t.n[k]], light));
                    float e[3] = {mat.emissive[0], mat.emissive[1], mat.emissive[2]};
                    c[k].light = Colour(std::min(1.0f, e[0] + 0.3f * mat.ambient[0] + mat.diffuse[0] * (0.25f + 0.85f * diffuse)),
                                        std::min(1.0f, e[1] + 0.3f * mat.ambient[1] + mat.diffuse[1] * (0.25f + 0.85f * diffuse)),
                                        std::min(1.0f, e[2] + 0.3f * mat.ambient[2] + mat.diffuse[2] * (0.25f + 0.85f * diffuse)), 1);
                }
                if (!visible) continue;
                float area = (c[1].x - c[0].x) * (c[2].y - c[0].y) - (c[1].y - c[0].y) * (c[2].x - c[0].x);
                if (area >= 0) continue;  // counter-clockwise in the world is clockwise with y down
                int x0 = std::max(0, static_cast<int>(std::floor(std::min({c[0].x, c[1].x, c[2].x}))));
                int x1 = std::min(W - 1, static_cast<int>(std::ceil(std::max({c[0].x, c[1].x, c[2].x}))));
                int y0 = std::max(0, static_cast<int>(std::floor(std::min({c[0].y, c[1].y, c[2].y}))));
                int y1 = std::min(H - 1, static_cast<int>(std::ceil(std::max({c[0].y, c[1].y, c[2].y}))));
                for (int y = y0; y <= y1; ++y)
                    for (int x = x0; x <= x1; ++x) {
                        float px = x + 0.5f, py = y + 0.5f;
                        float w0 = ((c[2].x - c[1].x) * (py - c[1].y) - (c[2].y - c[1].y) * (px - c[1].x)) / area;
                        float w1 = ((c[0].x - c[2].x) * (py - c[2].y) - (c[0].y - c[2].y) * (px - c[2].x)) / area;
                        float w2 = 1 - w0 - w1;
                        if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                        float invZ = w0 * c[0].invZ + w1 * c[1].invZ + w2 * c[2].invZ;
                        float z = 1 / invZ;
                        float& d = depth[static_cast<size_t>(y) * W + x];
                        if (z >= d) continue;
                        Colour col = mix(mix(c[0].light, c[1].light, w1 / std::max(w0 + w1, 1e-6f)), c[2].light, w2);
                        if (tex) {
                            float u = (w0 * c[0].uOverZ + w1 * c[1].uOverZ + w2 * c[2].uOverZ) * z;
                            float v = (w0 * c[0].vOverZ + w1 * c[1].vOverZ + w2 * c[2].vOverZ) * z;
                            Colour tc = tex->sample(u - std::floor(u), 1 - (v - std::floor(v)), true);
                            col = Colour(col.r * tc.r, col.g * tc.g, col.b * tc.b, 1);
                        }
                        if (transparent) {
                            image.blend(x, y, col.withAlpha(mat.transparency));
                        } else {
                            d = z;
                            image.set(x, y, col.withAlpha(1));
                        }
                    }
            }
        }
    return image.resized(width, height);
}

}  // namespace assetgen
