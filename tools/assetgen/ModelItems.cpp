// The five pickup items, each about one unit tall and centred on the
// origin (the level scales them by 0.4 and lets them float and spin).
#include <cmath>

#include "Models.h"
#include "Shapes.h"

namespace assetgen {

namespace {


// A "C" shaped jaw: a ring sector of the given radii with an opening of
// gapDegrees centred on openDegrees (measured from +x towards +y). The
// inner arc ends innerInset degrees short, which slants the jaw's faces.
std::vector<Vec2> jaw(Vec2 centre, float outer, float inner, float openDegrees, float gapDegrees,
                      float innerInset = 8) {
    std::vector<Vec2> out;
    const int steps = 20;
    float a0 = openDegrees + gapDegrees * 0.5f, a1 = openDegrees + 360 - gapDegrees * 0.5f;
    for (int i = 0; i <= steps; ++i) {
        float a = mixf(a0, a1, static_cast<float>(i) / steps) * PI_F / 180;
        out.emplace_back(centre.x + outer * std::cos(a), centre.y + outer * std::sin(a));
    }
    for (int i = steps; i >= 0; --i) {
        float a = mixf(a0 + innerInset, a1 - innerInset, static_cast<float>(i) / steps) * PI_F / 180;
        out.emplace_back(centre.x + inner * std::cos(a), centre.y + inner * std::sin(a));
    }
    return out;
}

}  // namespace

// A green glass bottle of schnapps with a red label and a cork.
Model buildItemBooze() {
    Model model;
    Material glassMat = Material::colour("bottle glass", 0.1f, 0.55f, 0.2f, 0.9f, 0.35f);
    glassMat.shininess = 120;
    int glass = model.addMaterial(glassMat);
    int label = model.addMaterial(Material::colour("label", 0.85f, 0.08f, 0.06f, 0.2f, 0.4f));
    int labelBand = model.addMaterial(Material::colour("label band", 0.98f, 0.92f, 0.7f, 0.2f, 0.45f));
    int cork = model.addMaterial(Material::colour("cork", 0.62f, 0.42f, 0.22f, 0.05f, 0.35f));

    Mesh& bottle = model.addMesh("bottle", glass);
    shapes::lathe(bottle, IDENTITY,
                  {{0, -0.55f}, {0.17f, -0.55f}, {0.2f, -0.52f}, {0.2f, 0.02f}, {0.17f, 0.12f}, {0.1f, 0.22f},
                   {0.07f, 0.3f}, {0.07f, 0.42f}, {0.085f, 0.44f}, {0.085f, 0.47f}, {0.06f, 0.47f}},
                  24, 40);
    Mesh& labels = model.addMesh("label", label);
    shapes::lathe(labels, IDENTITY, {{0.205f, -0.4f}, {0.205f, -0.1f}}, 24, 40);
    Mesh& band = model.addMesh("label band", labelBand);
    shapes::lathe(band, IDENTITY, {{0.207f, -0.3f}, {0.207f, -0.2f}}, 24, 40);
    shapes::lathe(band, IDENTITY, {{0.075f, 0.32f}, {0.075f, 0.38f}}, 16, 40);
    Mesh& top = model.addMesh("cork", cork);
    shapes::lathe(top, IDENTITY, {{0, 0.45f}, {0.058f, 0.45f}, {0.058f, 0.56f}, {0.05f, 0.58f}, {0, 0.58f}}, 12, 40);
    return model;
}

// A double open-end spanner with a green grip, standing upright.
Model buildItemTool() {
    Model model;
    int steel = model.addMaterial(Material::colour("steel", 0.78f, 0.8f, 0.84f, 0.9f, 0.35f));
    int grip = model.addMaterial(Material::colour("grip", 0.1f, 0.7f, 0.2f, 0.3f, 0.4f));
    const float t = 0.05f;
    Mesh& spanner = model.addMesh("spanner", steel);
    shapes::prism(spanner, IDENTITY, jaw({0, 0.36f}, 0.2f, 0.095f, 105, 70), -t, t, 30);
    shapes::prism(spanner, IDENTITY, jaw({0, -0.38f}, 0.17f, 0.08f, -75, 70), -t * 0.9f, t * 0.9f, 30);
    shapes::prism(spanner, IDENTITY, {{-0.07f, -0.26f}, {0.07f, -0.26f}, {0.085f, 0.22f}, {-0.085f, 0.22f}},
                  -t * 0.8f, t * 0.8f, 20);
    Mesh& handle = model.addMesh("grip", grip);
    shapes::bevelBox(handle, Affine::rotateX(90),
                     {-0.095f, -t * 0.8f - 0.02f, -0.12f}, {0.095f, t * 0.8f + 0.02f, 0.14f}, 0.02f);
    return model;
}

// A piston with its connecting rod.
Model buildItemEngine() {
    Model model;
    int alu = model.addMaterial(Material::colour("aluminium", 0.82f, 0.83f, 0.86f, 0.8f, 0.35f));
    int rings = model.addMaterial(Material::colour("piston rings", 0.25f, 0.26f, 0.3f, 0.6f, 0.3f));
    int rod = model.addMaterial(Material::colour("rod", 0.2f, 0.4f, 0.9f, 0.7f, 0.35f));

    Mesh& piston = model.addMesh("piston", alu);
    shapes::lathe(piston, IDENTITY,
                  {{0.25f, -0.05f}, {0.27f, 0.02f}, {0.27f, 0.3f}, {0.27f, 0.45f}, {0.25f, 0.5f}, {0.12f, 0.53f},
                   {0, 0.54f}},
                  28, 35);
    Mesh& grooves = model.addMesh("rings", rings);
    for (float y : {0.34f, 0.4f, 0.46f}) shapes::lathe(grooves, IDENTITY, {{0.275f, y - 0.015f}, {0.275f, y + 0.015f}}, 28, 40);
    shapes::rod(grooves, IDENTITY, {-0.29f, 0.12f, 0}, {0.29f, 0.12f, 0}, 0.06f, 12);  // wrist pin

    Mesh& conrod = model.addMesh("connecting rod", rod);
    shapes::prism(conrod, IDENTITY, {{-0.06f, 0.12f}, {0.06f, 0.12f}, {0.09f, -0.4f}, {-0.09f, -0.4f}}, -0.05f, 0.05f,
                  20);
    // The two eyes are rings, each built from two half rings.
    for (float open : {0.0f, 180.0f}) {
        shapes::prism(conrod, IDENTITY, jaw({0, -0.5f}, 0.16f, 0.09f, open, 180, 0), -0.06f, 0.06f, 30);
        shapes::prism(conrod, IDENTITY, jaw({0, 0.12f}, 0.1f, 0.065f, open, 180, 0), -0.055f, 0.055f, 30);
    }
    return model;
}

// A vaccine syringe with yellow serum, held at a slant.
Model buildItemDecease() {
    Model model;
    Material glassMat = Material::colour("syringe glass", 0.75f, 0.9f, 1.0f, 0.9f, 0.35f);
    glassMat.transparency = 0.45f;
    glassMat.shininess = 120;
    int glass = model.addMaterial(glassMat);
    int serum = model.addMaterial(Material::colour("serum", 1.0f, 0.85f, 0.05f, 0.4f, 0.5f));
    int plastic = model.addMaterial(Material::colour("plunger", 0.95f, 0.95f, 0.95f, 0.3f, 0.4f));
    int needleMat = model.addMaterial(Material::colour("needle", 0.8f, 0.82f, 0.86f, 0.9f, 0.35f));
    const Affine tilt = Affine::rotateZ(-35);

    Mesh& liquid = model.addMesh("serum", serum);
    shapes::lathe(liquid, tilt, {{0, -0.33f}, {0.085f, -0.33f}, {0.085f, 0.08f}, {0, 0.08f}}, 20, 40);
    Mesh& body = model.addMesh("plunger", plastic);
    shapes::lathe(body, tilt, {{0, 0.08f}, {0.088f, 0.08f}, {0.088f, 0.11f}, {0.02f, 0.11f}, {0.02f, 0.5f},
                               {0.1f, 0.5f}, {0.1f, 0.53f}, {0, 0.53f}},
                  20, 40);
    shapes::box(body, tilt, {-0.2f, 0.2f, -0.06f}, {0.2f, 0.23f, 0.06f});  // finger grip
    Mesh& needle = model.addMesh("needle", needleMat);
    shapes::lathe(needle, tilt, {{0, -0.62f}, {0.008f, -0.6f}, {0.008f, -0.4f}, {0.04f, -0.38f}, {0.04f, -0.35f},
                                 {0, -0.35f}},
                  12, 40);
    Mesh& barrel = model.addMesh("barrel", glass);
    shapes::lathe(barrel, tilt, {{0, -0.36f}, {0.1f, -0.35f}, {0.1f, 0.22f}, {0.0f, 0.22f}}, 20, 40);
    return model;
}

// A black bomb with a lit fuse and a skull on its front.
Model buildItemOverkill() {
    Model model;
    int iron = model.addMaterial(Material::colour("bomb", 0.1f, 0.1f, 0.12f, 0.8f, 0.2f));
    int metal = model.addMaterial(Material::colour("fuse cap", 0.45f, 0.45f, 0.48f, 0.7f, 0.3f));
    int cord = model.addMaterial(Material::colour("fuse", 0.65f, 0.5f, 0.3f, 0.05f, 0.35f));
    int spark = model.addMaterial(Material::lamp("spark", 1.0f, 0.75f, 0.15f));
    int bone = model.addMaterial(Material::colour("skull", 0.97f, 0.95f, 0.88f, 0.2f, 0.55f));
    int dark = model.addMaterial(Material::colour("skull eyes", 0.03f, 0.03f, 0.03f, 0.0f, 0.0f));

    const float R = 0.38f;
    const Vec3 centre(0, -0.1f, 0);
    Mesh& shell = model.addMesh("bomb", iron);
    shapes::sphere(shell, Affine::translate(centre), R, 28, 16);
    const Affine capTilt = Affine::translate(centre) * Affine::rotateZ(-25);
    Mesh& cap = model.addMesh("fuse cap", metal);
    shapes::lathe(cap, capTilt, {{0, R - 0.05f}, {0.11f, R - 0.05f}, {0.11f, R + 0.07f}, {0.09f, R + 0.09f},
                                 {0, R + 0.09f}},
                  16, 40);
    Mesh& fuse = model.addMesh("fuse", cord);
    Vec3 p = capTilt.point({0, R + 0.08f, 0});
    const Vec3 path[] = {{0.22f, 0.42f, 0}, {0.28f, 0.5f, 0.02f}, {0.3f, 0.56f, 0.03f}};
    for (const Vec3& q : path) {
        shapes::rod(fuse, IDENTITY, p, q, 0.022f, 8);
        shapes::sphere(fuse, Affine::translate(q), 0.022f, 8, 4);
        p = q;
    }
    Mesh& flame = model.addMesh("spark", spark);
    for (int i = 0; i < 3; ++i) {
        Affine star = Affine::translate(p) * Affine::rotateY(60.0f * i) * Affine::rotateX(45);
        shapes::box(flame, star, {-0.012f, -0.09f, -0.012f}, {0.012f, 0.09f, 0.012f});
        shapes::box(flame, star * Affine::rotateZ(90), {-0.012f, -0.07f, -0.012f}, {0.012f, 0.07f, 0.012f});
    }
    shapes::sphere(flame, Affine::translate(p), 0.04f, 8, 5);

    // The skull sits on the front (+z), just off the curved surface.
    const float zFront = centre.z + R + 0.004f;
    Mesh& skull = model.addMesh("skull", bone);
    std::vector<Vec2> head = shapes::circle({0, centre.y + 0.03f}, 0.13f, 20);
    shapes::prism(skull, IDENTITY, head, zFront - 0.03f, zFront, 40);
    shapes::prism(skull, IDENTITY, {{-0.07f, centre.y - 0.17f}, {0.07f, centre.y - 0.17f}, {0.08f, centre.y - 0.06f},
                                    {-0.08f, centre.y - 0.06f}},
                  zFront - 0.04f, zFront - 0.008f, 40);
    Mesh& eyes = model.addMesh("skull eyes", dark);
    for (float x : {-0.05f, 0.05f})
        shapes::prism(eyes, IDENTITY, shapes::circle({x, centre.y + 0.02f}, 0.035f, 12), zFront - 0.01f,
                      zFront + 0.004f, 40);
    shapes::prism(eyes, IDENTITY, {{0, centre.y - 0.04f}, {0.02f, centre.y - 0.075f}, {-0.02f, centre.y - 0.075f}},
                  zFront - 0.01f, zFront + 0.004f, 40);
    return model;
}

}  // namespace assetgen
