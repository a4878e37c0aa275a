// An alpine chalet: a stone base, a white plastered ground floor, a wooden
// upper floor under a wide, flat gable roof, green shutters, and a balcony
// with flower boxes on the gable front (+z).
#include <cmath>

#include "ModelTextures.h"
#include "Models.h"
#include "Shapes.h"

namespace assetgen {

namespace {

const float HALF_X = 1.8f, HALF_Z = 1.5f;
const float FLOOR_1 = 0.2f, FLOOR_2 = 1.35f, EAVES = 2.5f, RIDGE = 3.45f;
const float ROOF_X = 2.35f, ROOF_Z_BACK = -2.05f, ROOF_Z_FRONT = 2.35f, ROOF_T = 0.12f;
const float SLOPE = 0.5f;  // roof drop per unit sideways

struct ChaletMaterials {
    int glass, frame, shutter, door;
};

// A wall of the house as a frame: origin on the wall at floor level, `right`
// along the wall, `out` away from the house.
struct Wall {
    Vec3 origin, right, out;
    Vec3 at(float x, float y, float lift) const { return origin + right * x + Vec3(0, y, 0) + out * lift; }
};

void flat(Mesh& mesh, const Wall& w, float x0, float x1, float y0, float y1, float lift, float uv = 0) {
    Vec2 a(0, 0), b(1, 0), c(1, 1), d(0, 1);
    if (uv > 0) a = {x0 * uv, y0 * uv}, b = {x1 * uv, y0 * uv}, c = {x1 * uv, y1 * uv}, d = {x0 * uv, y1 * uv};
    shapes::quad(mesh, IDENTITY, w.at(x0, y0, lift), w.at(x1, y0, lift), w.at(x1, y1, lift), w.at(x0, y1, lift),
                 w.out, a, b, c, d);
}

// A window: glass, a white frame with a cross bar, and a green shutter on
// each side.
void window(Model& model, const ChaletMaterials& m, const Wall& w, float x, float y0, float width, float height) {
    const float hw = width / 2, bar = 0.05f;
    Mesh& glass = model.meshes()[m.glass];
    Mesh& frame = model.meshes()[m.frame];
    Mesh& shutter = model.meshes()[m.shutter];
    flat(glass, w, x - hw, x + hw, y0, y0 + height, 0.006f);
    flat(frame, w, x - hw - bar, x + hw + bar, y0 - bar, y0, 0.012f);
    flat(frame, w, x - hw - bar, x + hw + bar, y0 + height, y0 + height + bar, 0.012f);
    flat(frame, w, x - hw - bar, x - hw, y0, y0 + height, 0.012f);
    flat(frame, w, x + hw, x + hw + bar, y0, y0 + height, 0.012f);
    flat(frame, w, x - bar / 2, x + bar / 2, y0, y0 + height, 0.014f);
    flat(frame, w, x - hw, x + hw, y0 + height * 0.55f, y0 + height * 0.55f + bar * 0.8f, 0.014f);
    flat(shutter, w, x - hw - bar - width * 0.5f, x - hw - bar - 0.01f, y0 - 0.02f, y0 + height + 0.02f, 0.01f);
    flat(shutter, w, x + hw + bar + 0.01f, x + hw + bar + width * 0.5f, y0 - 0.02f, y0 + height + 0.02f, 0.01f);
}

void triangleFace(Mesh& mesh, Vec3 a, Vec3 b, Vec3 c, Vec3 out, float uv) {
    size_t first = mesh.triangles.size();
    auto planar = [&](Vec3 p) {
        float u = (std::fabs(out.z) > 0.5f ? p.x : p.z) * uv;
        return Vec2(u, p.y * uv);
    };
    Vec2 ua = planar(a), ub = planar(b), uc = planar(c);
    mesh.triangle(mesh.vertex(a, ua.x, ua.y), mesh.vertex(b, ub.x, ub.y), mesh.vertex(c, uc.x, uc.y), out);
    mesh.smooth(first, 1);
}

void roof(Model& model, int shingles, int timber) {
    Mesh& top = model.addMesh("roof", shingles);
    Mesh& under = model.addMesh("roof timber", timber);
    const float ridgeTop = RIDGE, eaveTop = RIDGE - ROOF_X * SLOPE;
    const float slopeLength = std::sqrt(ROOF_X * ROOF_X + (ridgeTop - eaveTop) * (ridgeTop - eaveTop));
    const float zb = ROOF_Z_BACK, zf = ROOF_Z_FRONT;
    for (float side : {-1.0f, 1.0f}) {
        Vec3 ridgeB(0, ridgeTop, zb), ridgeF(0, ridgeTop, zf), eaveB(side * ROOF_X, eaveTop, zb),
            eaveF(side * ROOF_X, eaveTop, zf);
        Vec3 down(0, -ROOF_T, 0);
        Vec3 up = normalized(Vec3(side * SLOPE, 1, 0));
        const float u = (zf - zb) * 0.9f, v = slopeLength * 0.9f;
        shapes::quad(top, IDENTITY, ridgeB, ridgeF, eaveF, eaveB, up, {0, v}, {u, v}, {u, 0}, {0, 0});
        shapes::quad(under, IDENTITY, ridgeB + down, ridgeF + down, eaveF + down, eaveB + down, -up,
                     {0, v}, {u, v}, {u, 0}, {0, 0});
        shapes::quad(under, IDENTITY, eaveB, eaveF, eaveF + down, eaveB + down, {side, 0, 0});
        shapes::quad(under, IDENTITY, ridgeF, eaveF, eaveF + down, ridgeF + down, {0, 0, 1});
        shapes::quad(under, IDENTITY, ridgeB, eaveB, eaveB + down, ridgeB + down, {0, 0, -1});
    }
    shapes::box(under, IDENTITY, {-0.08f, ridgeTop - 0.02f, zb - 0.02f}, {0.08f, ridgeTop + 0.06f, zf + 0.02f});
}

void balcony(Model& model, int wood, int boxMat, int flowerMat, int flowerMat2) {
    Mesh& deck = model.addMesh("balcony", wood);
    const float y0 = 1.28f, y1 = 1.36f, zIn = HALF_Z, zOut = 2.2f, hx = 1.7f;
    shapes::box(deck, IDENTITY, {-hx, y0, zIn}, {hx, y1, zOut}, 1.5f);
    const float railTop = 1.9f;
    shapes::box(deck, IDENTITY, {-hx, railTop - 0.07f, zOut - 0.07f}, {hx, railTop, zOut}, 1.5f);
    for (float side : {-1.0f, 1.0f})
        shapes::box(deck, IDENTITY, {side * hx - 0.035f, railTop - 0.07f, zIn}, {side * hx + 0.035f, railTop, zOut},
                    1.5f);
    for (int i = 0; i <= 24; ++i) {
        float x = -hx + 0.03f + (2 * hx - 0.06f) * i / 24;
        shapes::box(deck, IDENTITY, {x - 0.035f, y1, zOut - 0.055f}, {x + 0.035f, railTop - 0.07f, zOut - 0.025f},
                    1.5f);
    }
    for (float side : {-1.0f, 1.0f})
        for (int i = 0; i < 5; ++i) {
            float z = zIn + 0.1f + (zOut - zIn - 0.2f) * i / 4;
            shapes::box(deck, IDENTITY, {side * hx - 0.015f, y1, z - 0.035f}, {side * hx + 0.015f, railTop - 0.07f, z + 0.035f},
                        1.5f);
        }
    for (float x : {-1.2f, 1.2f})  // brackets under the deck
        shapes::rod(deck, IDENTITY, {x, 0.75f, zIn}, {x, y0, zOut - 0.15f}, 0.05f, 6);

    Mesh& boxes = model.addMesh("flower boxes", boxMat);
    Mesh& flowers = model.addMesh("flowers", flowerMat);
    Mesh& flowers2 = model.addMesh("flowers pink", flowerMat2);
    for (float side : {-1.0f, 1.0f}) {
        float xa = side < 0 ? -1.55f : 0.3f, xb = side < 0 ? -0.3f : 1.55f;
        shapes::box(boxes, IDENTITY, {xa, 1.7f, zOut}, {xb, 1.82f, zOut + 0.13f});
        int n = 9;
        for (int i = 0; i < n; ++i) {
            float x = mixf(xa + 0.07f, xb - 0.07f, static_cast<float>(i) / (n - 1));
            float dz = (i % 2) ? 0.04f : 0.09f;
            Mesh& m = (i % 3 == 1) ? flowers2 : flowers;
            shapes::sphere(m, Affine::translate(x, 1.86f + 0.02f * (i % 2), zOut + dz), 0.055f, 8, 5);
        }
    }
}

}  // namespace

Model buildChalet() {
    Model model;
    int plaster = model.addMaterial(Material::textured("plaster", CHALET_PLASTER, 0.45f));
    int wood = model.addMaterial(Material::textured("wood", CHALET_WOOD, 0.4f));
    int shingles = model.addMaterial(Material::textured("shingles", CHALET_ROOF, 0.4f));
    int stone = model.addMaterial(Material::textured("stone", CHALET_STONE, 0.4f));
    int darkWood = model.addMaterial(Material::colour("dark wood", 0.36f, 0.2f, 0.09f, 0.1f, 0.35f));
    int glass = model.addMaterial(Material::colour("window glass", 0.12f, 0.18f, 0.3f, 0.9f, 0.25f));
    int white = model.addMaterial(Material::colour("window frame", 0.95f, 0.95f, 0.92f, 0.2f, 0.45f));
    int green = model.addMaterial(Material::colour("shutters", 0.1f, 0.45f, 0.18f, 0.2f, 0.4f));
    int boxMat = model.addMaterial(Material::colour("flower box", 0.4f, 0.22f, 0.1f, 0.1f, 0.35f));
    int red = model.addMaterial(Material::colour("geraniums", 0.92f, 0.08f, 0.12f, 0.2f, 0.5f));
    int pink = model.addMaterial(Material::colour("petunias", 0.95f, 0.4f, 0.7f, 0.2f, 0.5f));

    Mesh& base = model.addMesh("base", stone);
    shapes::box(base, IDENTITY, {-HALF_X - 0.1f, -0.4f, -HALF_Z - 0.1f}, {HALF_X + 0.1f, FLOOR_1, HALF_Z + 0.1f}, 1.2f);
    Mesh& ground = model.addMesh("ground floor", plaster);
    shapes::box(ground, IDENTITY, {-HALF_X, FLOOR_1, -HALF_Z}, {HALF_X, FLOOR_2, HALF_Z}, 0.6f);
    Mesh& upper = model.addMesh("upper floor", wood);
    shapes::box(upper, IDENTITY, {-HALF_X, FLOOR_2, -HALF_Z}, {HALF_X, EAVES, HALF_Z}, 0.8f);
    const float gableTop = RIDGE - 0.05f;
    triangleFace(upper, {-HALF_X, EAVES, HALF_Z}, {HALF_X, EAVES, HALF_Z}, {0, gableTop, HALF_Z}, {0, 0, 1}, 0.8f);
    triangleFace(upper, {HALF_X, EAVES, -HALF_Z}, {-HALF_X, EAVES, -HALF_Z}, {0, gableTop, -HALF_Z}, {0, 0, -1},
                 0.8f);
    roof(model, shingles, darkWood);
    Mesh& chimney = model.addMesh("chimney", stone);
    shapes::box(chimney, IDENTITY, {0.7f, 2.6f, -0.9f}, {1.05f, 3.75f, -0.55f}, 1.2f);

    // Meshes the windows draw into, in this order.
    ChaletMaterials m;
    m.glass = static_cast<int>(model.meshes().size());
    model.addMesh("windows", glass);
    m.frame = m.glass + 1;
    model.addMesh("window frames", white);
    m.shutter = m.glass + 2;
    model.addMesh("shutters", green);
    m.door = m.glass + 3;
    model.addMesh("doors", darkWood);

    const Wall front{{0, 0, HALF_Z}, {1, 0, 0}, {0, 0, 1}};
    const Wall back{{0, 0, -HALF_Z}, {-1, 0, 0}, {0, 0, -1}};
    const Wall right{{HALF_X, 0, 0}, {0, 0, -1}, {1, 0, 0}};
    const Wall left{{-HALF_X, 0, 0}, {0, 0, 1}, {-1, 0, 0}};
    for (float x : {-1.15f, 1.15f}) {
        window(model, m, front, x, 0.55f, 0.5f, 0.5f);
        window(model, m, front, x, 1.65f, 0.5f, 0.5f);
        window(model, m, back, x, 0.55f, 0.5f, 0.5f);
        window(model, m, back, x, 1.65f, 0.5f, 0.5f);
    }
    for (float x : {-0.7f, 0.7f}) {
        window(model, m, right, x, 0.55f, 0.45f, 0.5f);
        window(model, m, right, x, 1.65f, 0.45f, 0.5f);
        window(model, m, left, x, 0.55f, 0.45f, 0.5f);
        window(model, m, left, x, 1.65f, 0.45f, 0.5f);
    }
    Mesh& doors = model.meshes()[m.door];
    flat(doors, front, -0.32f, 0.32f, FLOOR_1, 1.12f, 0.008f);
    flat(model.meshes()[m.frame], front, -0.38f, 0.38f, 1.12f, 1.18f, 0.012f);
    flat(model.meshes()[m.glass], front, -0.3f, 0.3f, FLOOR_2 + 0.02f, 2.2f, 0.006f);
    flat(model.meshes()[m.frame], front, -0.36f, -0.3f, FLOOR_2 + 0.02f, 2.26f, 0.012f);
    flat(model.meshes()[m.frame], front, 0.3f, 0.36f, FLOOR_2 + 0.02f, 2.26f, 0.012f);
    flat(model.meshes()[m.frame], front, -0.3f, 0.3f, 2.2f, 2.26f, 0.012f);
    flat(model.meshes()[m.frame], front, -0.025f, 0.025f, FLOOR_2 + 0.02f, 2.2f, 0.014f);
    // A small vent in the front gable.
    flat(doors, front, -0.2f, 0.2f, 2.7f, 3.0f, 0.006f);

    balcony(model, wood, boxMat, red, pink);
    return model;
}

}  // namespace assetgen
