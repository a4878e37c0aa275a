// The three cars and their tires. Sizes follow the tire offsets the level
// mounts them with: each tire's radius equals the height of its offset, so
// the wheels stand on y = 0; the front is towards -z.
#include <algorithm>
#include <cmath>

#include "Models.h"
#include "Shapes.h"

namespace assetgen {

namespace {


struct Key {
    float z, v;
};

// Piecewise linear value over z, held at the ends.
float at(const std::vector<Key>& keys, float z) {
    if (z <= keys.front().z) return keys.front().v;
    for (size_t i = 1; i < keys.size(); ++i)
        if (z <= keys[i].z) {
            float t = (z - keys[i - 1].z) / (keys[i].z - keys[i - 1].z);
            return mixf(keys[i - 1].v, keys[i].v, t);
        }
    return keys.back().v;
}

// A cross-section of the lower body: a rectangle with rounded corners,
// four points per corner so that the loft shades them smoothly.
std::vector<Vec3> roundedSection(float z, float cx, float y0, float y1, float halfWidth, float rBottom, float rTop) {
    float h = std::max(y1 - y0, 0.002f);
    rBottom = std::min({rBottom, h * 0.45f, halfWidth * 0.9f});
    rTop = std::min({rTop, h * 0.45f, halfWidth * 0.9f});
    struct Corner {
        float x, y, r, a0;
    };
    const Corner corners[4] = {{halfWidth - rBottom, y0 + rBottom, rBottom, -90},
                               {halfWidth - rTop, y1 - rTop, rTop, 0},
                               {-halfWidth + rTop, y1 - rTop, rTop, 90},
                               {-halfWidth + rBottom, y0 + rBottom, rBottom, 180}};
    std::vector<Vec3> ring;
    for (const Corner& c : corners)
        for (int k = 0; k < 4; ++k) {
            float a = (c.a0 + 30.0f * k) * PI_F / 180;
            ring.emplace_back(cx + c.x + c.r * std::cos(a), c.y + c.r * std::sin(a), z);
        }
    return ring;
}

struct LowerBody {
    float zFront, zRear, sill, cx = 0;
    std::vector<Key> top, halfWidth;
    std::vector<float> axles;  // z of the axles that get wheel arches
    float axleY = 0, archRadius = 0;
    float roundBottom = 0.03f, roundTop = 0.06f;
};

float bottomAt(const LowerBody& b, float z) {
    float y = b.sill;
    for (float axle : b.axles) {
        float dz = z - axle;
        if (std::fabs(dz) < b.archRadius)
            y = std::max(y, b.axleY + std::sqrt(b.archRadius * b.archRadius - dz * dz));
    }
    return y;
}

void lowerBody(Mesh& mesh, const LowerBody& b) {
    std::vector<float> zs;
    const int steps = 28;
    for (int i = 0; i <= steps; ++i) zs.push_back(mixf(b.zFront, b.zRear, static_cast<float>(i) / steps));
    for (float axle : b.axles)
        for (int k = 0; k <= 16; ++k) zs.push_back(axle + b.archRadius * std::cos(PI_F * k / 16));
    for (const Key& k : b.top) zs.push_back(k.z);
    for (const Key& k : b.halfWidth) zs.push_back(k.z);
    std::sort(zs.begin(), zs.end());
    std::vector<std::vector<Vec3>> rings;
    float last = -1e9f;
    for (float z : zs) {
        if (z < b.zFront - 1e-5f || z > b.zRear + 1e-5f || z - last < 0.004f) continue;
        last = z;
        rings.push_back(roundedSection(z, b.cx, bottomAt(b, z), at(b.top, z), at(b.halfWidth, z), b.roundBottom,
                                       b.roundTop));
    }
    shapes::loft(mesh, IDENTITY, rings, true, true, 35);
}

// The passenger cabin: a frustum from the belt line to the roof.
struct Cabin {
    float belt, roof;
    float zBottomFront, zBottomRear, zTopFront, zTopRear;
    float halfWidthBottom, halfWidthTop;
    float cx = 0;
    int sideWindows = 2;
};

struct CabinCorners {
    Vec3 b[4], t[4];  // front-left, front-right, rear-right, rear-left
};

CabinCorners cabinCorners(const Cabin& c) {
    CabinCorners k;
    k.b[0] = {c.cx - c.halfWidthBottom, c.belt, c.zBottomFront};
    k.b[1] = {c.cx + c.halfWidthBottom, c.belt, c.zBottomFront};
    k.b[2] = {c.cx + c.halfWidthBottom, c.belt, c.zBottomRear};
    k.b[3] = {c.cx - c.halfWidthBottom, c.belt, c.zBottomRear};
    k.t[0] = {c.cx - c.halfWidthTop, c.roof, c.zTopFront};
    k.t[1] = {c.cx + c.halfWidthTop, c.roof, c.zTopFront};
    k.t[2] = {c.cx + c.halfWidthTop, c.roof, c.zTopRear};
    k.t[3] = {c.cx - c.halfWidthTop, c.roof, c.zTopRear};
    return k;
}

Vec3 bilinear(const Vec3 q[4], float u, float v) { return lerp(lerp(q[0], q[1], u), lerp(q[3], q[2], u), v); }

// A window pane on a quad face (bottom edge q0-q1, top edge q3-q2), lifted
// a little off the face so that it is drawn over the paint.
void pane(Mesh& glass, const Vec3 q[4], Vec3 centre, float u0, float u1, float v0, float v1) {
    Vec3 n = normalized(cross(q[1] - q[0], q[3] - q[0]));
    Vec3 mid = (q[0] + q[1] + q[2] + q[3]) * 0.25f;
    if (dot(n, mid - centre) < 0) n = -n;
    Vec3 lift = n * 0.004f;
    shapes::quad(glass, IDENTITY, bilinear(q, u0, v0) + lift, bilinear(q, u1, v0) + lift, bilinear(q, u1, v1) + lift,
                 bilinear(q, u0, v1) + lift, n, {u0, v0}, {u1, v0}, {u1, v1}, {u0, v1});
}

void cabin(Mesh& paint, Mesh& glass, const Cabin& c) {
    CabinCorners k = cabinCorners(c);
    Vec3 centre = (k.b[0] + k.b[2] + k.t[0] + k.t[2]) * 0.25f;
    const Vec3 front[4] = {k.b[0], k.b[1], k.t[1], k.t[0]};
    const Vec3 right[4] = {k.b[1], k.b[2], k.t[2], k.t[1]};
    const Vec3 rear[4] = {k.b[2], k.b[3], k.t[3], k.t[2]};
    const Vec3 left[4] = {k.b[3], k.b[0], k.t[0], k.t[3]};
    for (const Vec3* f : {front, right, rear, left}) {
        Vec3 mid = (f[0] + f[1] + f[2] + f[3]) * 0.25f;
        shapes::quad(paint, IDENTITY, f[0], f[1], f[2], f[3], mid - centre);
    }
    shapes::quad(paint, IDENTITY, k.t[0], k.t[1], k.t[2], k.t[3], {0, 1, 0});
    pane(glass, front, centre, 0.07f, 0.93f, 0.06f, 0.9f);
    pane(glass, rear, centre, 0.1f, 0.9f, 0.1f, 0.88f);
    for (const Vec3* side : {right, left}) {
        if (c.sideWindows == 1) {
            pane(glass, side, centre, 0.06f, 0.94f, 0.1f, 0.86f);
        } else {
            pane(glass, side, centre, 0.05f, 0.47f, 0.1f, 0.86f);
            pane(glass, side, centre, 0.53f, 0.93f, 0.1f, 0.86f);
        }
    }
}

// A flat lamp or plate on a face that looks along -z (front) or +z (rear).
void plate(Mesh& mesh, float x0, float x1, float y0, float y1, float z, float facing) {
    shapes::quad(mesh, IDENTITY, {x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}, {0, 0, facing});
}

// A flat plate on a side face, looking along -x or +x.
void sidePlate(Mesh& mesh, float x, float z0, float z1, float y0, float y1, float facing) {
    shapes::quad(mesh, IDENTITY, {x, y0, z0}, {x, y0, z1}, {x, y1, z1}, {x, y1, z0}, {facing, 0, 0});
}

// A curved mudguard over a wheel whose axle runs along x.
void fender(Mesh& mesh, float x0, float x1, float y, float z, float r0, float r1, float fromDeg, float toDeg) {
    std::vector<std::vector<Vec3>> rings;
    for (int i = 0; i <= 10; ++i) {
        float a = mixf(fromDeg, toDeg, i / 10.0f) * PI_F / 180;
        float s = std::sin(a), c = std::cos(a);
        rings.push_back({{x0, y + r0 * c, z + r0 * s},
                         {x1, y + r0 * c, z + r0 * s},
                         {x1, y + r1 * c, z + r1 * s},
                         {x0, y + r1 * c, z + r1 * s}});
    }
    shapes::loft(mesh, IDENTITY, rings, true, true, 20);
}

struct TireSize {
    float radius, width, rimRadius;
    int lugs = 0;  // tread blocks round the tire; 0 for a smooth tread
    float lugDepth = 0;
    int spokes = 5;
    float rimColour[3] = {0.78f, 0.78f, 0.8f};
};

// A tire centred on the origin with its axle along x; the rim faces -x
// (the outside of a left wheel; the right wheels are turned round).
Model buildTire(const TireSize& s) {
    Model model;
    int rubberMat = model.addMaterial(Material::colour("rubber", 0.09f, 0.09f, 0.1f, 0.05f, 0.25f));
    int rimMat = model.addMaterial(
        Material::colour("rim", s.rimColour[0], s.rimColour[1], s.rimColour[2], 0.8f, 0.3f));
    int shadeMat = model.addMaterial(Material::colour("rim shade", 0.16f, 0.16f, 0.17f, 0.1f, 0.2f));

    const float R = s.radius, w = s.width, rr = s.rimRadius;
    const float Rt = R - s.lugDepth;
    // Built with the axle along y (outside at -y), turned at the end.
    Mesh& rubber = model.addMesh("tire", rubberMat);
    shapes::lathe(rubber, IDENTITY,
                  {{rr, -w * 0.46f}, {Rt * 0.93f, -w * 0.5f}, {Rt, -w * 0.4f}, {Rt, w * 0.4f}, {Rt * 0.93f, w * 0.5f},
                   {rr, w * 0.46f}, {0, w * 0.46f}},
                  32, 35);
    for (int i = 0; i < s.lugs; ++i) {
        float a = 360.0f * i / s.lugs;
        float shift = (i % 2 ? 0.12f : -0.12f) * w;
        Affine xf = Affine::rotateY(a);
        shapes::box(rubber, xf, {-R * 0.09f, shift - w * 0.3f, Rt - 0.01f * R}, {R * 0.09f, shift + w * 0.3f, R});
    }
    Mesh& shade = model.addMesh("rim shade", shadeMat);
    shapes::lathe(shade, IDENTITY, {{0, -w * 0.3f}, {rr * 0.86f, -w * 0.3f}}, 24, 30);
    Mesh& rim = model.addMesh("rim", rimMat);
    shapes::lathe(rim, IDENTITY,
                  {{rr * 0.84f, -w * 0.3f}, {rr * 0.84f, -w * 0.43f}, {rr, -w * 0.47f}, {rr * 1.02f, -w * 0.44f}}, 24,
                  40);
    shapes::lathe(rim, IDENTITY, {{rr * 0.24f, -w * 0.3f}, {rr * 0.22f, -w * 0.42f}, {rr * 0.12f, -w * 0.46f},
                                  {0, -w * 0.47f}},
                  16, 50);
    for (int i = 0; i < s.spokes; ++i) {
        Affine xf = Affine::rotateY(360.0f * i / s.spokes + 18);
        shapes::box(rim, xf, {-rr * 0.09f, -w * 0.41f, rr * 0.18f}, {rr * 0.09f, -w * 0.33f, rr * 0.86f});
    }
    model.transform(Affine::rotateZ(-90));  // axle from y to x, outside to -x
    return model;
}

struct CarMaterials {
    int paint, glass, trim, chrome, head, tail, plate;
};

CarMaterials carMaterials(Model& model, float r, float g, float b) {
    CarMaterials m;
    // The low sun stands in the north and the player sees the cars mostly
    // from the south, so the paint glows a little to keep its colour.
    m.paint = model.addMaterial(Material::colour("paint", r, g, b, 0.7f, 0.5f));
    Material glass = Material::colour("glass", 0.1f, 0.14f, 0.22f, 0.9f, 0.2f);
    glass.shininess = 110;
    m.glass = model.addMaterial(glass);
    m.trim = model.addMaterial(Material::colour("trim", 0.12f, 0.12f, 0.13f, 0.2f, 0.25f));
    m.chrome = model.addMaterial(Material::colour("chrome", 0.8f, 0.8f, 0.82f, 0.9f, 0.3f));
    m.head = model.addMaterial(Material::lamp("headlight", 1.0f, 0.97f, 0.8f));
    m.tail = model.addMaterial(Material::lamp("taillight", 0.95f, 0.08f, 0.05f));
    m.plate = model.addMaterial(Material::colour("number plate", 0.95f, 0.95f, 0.92f, 0.1f, 0.5f));
    return m;
}

}  // namespace

Model buildPlayerTire() { return buildTire({0.165f, 0.13f, 0.105f}); }

Model buildPajeroTire() {
    TireSize s{0.1f, 0.085f, 0.06f};
    s.lugs = 16;
    s.lugDepth = 0.008f;
    s.spokes = 6;
    return buildTire(s);
}

Model buildMonsterTire() {
    TireSize s{0.6f, 0.5f, 0.3f};
    s.lugs = 24;
    s.lugDepth = 0.07f;
    s.spokes = 8;
    s.rimColour[0] = 0.9f;
    s.rimColour[1] = 0.75f;
    s.rimColour[2] = 0.2f;
    return buildTire(s);
}

// A small red hatchback.
Model buildPlayerBody() {
    Model model;
    CarMaterials m = carMaterials(model, 0.82f, 0.07f, 0.05f);
    LowerBody b;
    b.zFront = -0.84f;
    b.zRear = 0.72f;
    b.sill = 0.085f;
    b.axles = {-0.6f, 0.54f};
    b.axleY = 0.165f;
    b.archRadius = 0.205f;
    b.top = {{-0.84f, 0.3f}, {-0.79f, 0.335f}, {-0.55f, 0.375f}, {-0.3f, 0.405f}, {0.62f, 0.415f}, {0.72f, 0.4f}};
    b.halfWidth = {{-0.84f, 0.24f}, {-0.79f, 0.28f}, {-0.66f, 0.3f}, {0.62f, 0.3f}, {0.72f, 0.28f}};
    lowerBody(model.addMesh("body", m.paint), b);

    Cabin c{0.4f, 0.64f, -0.3f, 0.66f, -0.02f, 0.57f, 0.275f, 0.22f};
    cabin(model.addMesh("cabin", m.paint), model.addMesh("windows", m.glass), c);

    Mesh& head = model.addMesh("headlights", m.head);
    plate(head, -0.2f, -0.11f, 0.22f, 0.27f, -0.843f, -1);
    plate(head, 0.11f, 0.2f, 0.22f, 0.27f, -0.843f, -1);
    Mesh& tail = model.addMesh("taillights", m.tail);
    plate(tail, -0.25f, -0.17f, 0.28f, 0.36f, 0.723f, 1);
    plate(tail, 0.17f, 0.25f, 0.28f, 0.36f, 0.723f, 1);
    Mesh& trim = model.addMesh("bumpers", m.trim);
    plate(trim, -0.09f, 0.09f, 0.17f, 0.25f, -0.843f, -1);  // grille
    shapes::bevelBox(trim, IDENTITY, {-0.27f, 0.075f, -0.87f}, {0.27f, 0.16f, -0.74f}, 0.02f);
    shapes::bevelBox(trim, IDENTITY, {-0.27f, 0.075f, 0.64f}, {0.27f, 0.16f, 0.75f}, 0.02f);
    shapes::box(trim, IDENTITY, {-0.33f, 0.43f, -0.27f}, {-0.28f, 0.47f, -0.23f});  // mirrors
    shapes::box(trim, IDENTITY, {0.28f, 0.43f, -0.27f}, {0.33f, 0.47f, -0.23f});
    Mesh& numberPlate = model.addMesh("number plate", m.plate);
    plate(numberPlate, -0.08f, 0.08f, 0.19f, 0.24f, 0.754f, 1);
    return model;
}

// A boxy police SUV: white with a blue band and a blue light bar.
Model buildPajeroBody() {
    Model model;
    CarMaterials m = carMaterials(model, 0.93f, 0.94f, 0.95f);
    int blue = model.addMaterial(Material::colour("police blue", 0.05f, 0.2f, 0.75f, 0.5f, 0.35f));
    int beacon = model.addMaterial(Material::lamp("beacon", 0.2f, 0.45f, 1.0f));
    const float cx = 0.001f;
    LowerBody b;
    b.cx = cx;
    b.zFront = -0.5f;
    b.zRear = 0.45f;
    b.sill = 0.06f;
    b.axles = {-0.348f, 0.294f};
    b.axleY = 0.1f;
    b.archRadius = 0.128f;
    b.roundTop = 0.03f;
    b.roundBottom = 0.02f;
    b.top = {{-0.5f, 0.265f}, {-0.46f, 0.29f}, {-0.25f, 0.3f}, {0.45f, 0.3f}};
    b.halfWidth = {{-0.5f, 0.21f}, {-0.46f, 0.234f}, {0.43f, 0.236f}, {0.45f, 0.228f}};
    lowerBody(model.addMesh("body", m.paint), b);

    Cabin c{0.298f, 0.49f, -0.22f, 0.445f, -0.11f, 0.435f, 0.228f, 0.205f, cx};
    cabin(model.addMesh("cabin", m.paint), model.addMesh("windows", m.glass), c);

    Mesh& band = model.addMesh("band", blue);
    sidePlate(band, cx - 0.2375f, -0.46f, 0.43f, 0.235f, 0.27f, -1);
    sidePlate(band, cx + 0.2375f, -0.46f, 0.43f, 0.235f, 0.27f, 1);
    Mesh& lights = model.addMesh("beacons", beacon);
    shapes::box(lights, IDENTITY, {cx - 0.13f, 0.492f, 0.0f}, {cx - 0.02f, 0.53f, 0.06f});
    shapes::box(lights, IDENTITY, {cx + 0.02f, 0.492f, 0.0f}, {cx + 0.13f, 0.53f, 0.06f});
    Mesh& head = model.addMesh("headlights", m.head);
    plate(head, cx - 0.19f, cx - 0.11f, 0.2f, 0.245f, -0.503f, -1);
    plate(head, cx + 0.11f, cx + 0.19f, 0.2f, 0.245f, -0.503f, -1);
    Mesh& tail = model.addMesh("taillights", m.tail);
    plate(tail, cx - 0.225f, cx - 0.17f, 0.2f, 0.28f, 0.453f, 1);
    plate(tail, cx + 0.17f, cx + 0.225f, 0.2f, 0.28f, 0.453f, 1);
    Mesh& trim = model.addMesh("bull bar", m.trim);
    plate(trim, cx - 0.09f, cx + 0.09f, 0.15f, 0.25f, -0.503f, -1);  // grille
    shapes::bevelBox(trim, IDENTITY, {cx - 0.225f, 0.05f, -0.53f}, {cx + 0.225f, 0.12f, -0.44f}, 0.015f);
    shapes::bevelBox(trim, IDENTITY, {cx - 0.225f, 0.05f, 0.4f}, {cx + 0.225f, 0.12f, 0.48f}, 0.015f);
    shapes::rod(trim, IDENTITY, {cx - 0.13f, 0.1f, -0.54f}, {cx - 0.13f, 0.26f, -0.54f}, 0.012f, 8);
    shapes::rod(trim, IDENTITY, {cx + 0.13f, 0.1f, -0.54f}, {cx + 0.13f, 0.26f, -0.54f}, 0.012f, 8);
    shapes::rod(trim, IDENTITY, {cx - 0.14f, 0.25f, -0.54f}, {cx + 0.14f, 0.25f, -0.54f}, 0.012f, 8);
    // The spare wheel on the tailgate.
    Affine spare = Affine::translate(cx, 0.3f, 0.5f) * Affine::rotateX(90);
    shapes::cylinder(trim, spare, 0.085f, -0.05f, 0.0f, 16);
    shapes::box(trim, IDENTITY, {cx - 0.255f, 0.33f, -0.17f}, {cx - 0.225f, 0.36f, -0.14f});  // mirrors
    shapes::box(trim, IDENTITY, {cx + 0.225f, 0.33f, -0.17f}, {cx + 0.255f, 0.36f, -0.14f});
    Mesh& numberPlate = model.addMesh("number plate", m.plate);
    plate(numberPlate, cx - 0.06f, cx + 0.06f, 0.13f, 0.17f, -0.535f, -1);
    return model;
}

// An orange pickup on a frame high above four huge wheels.
Model buildMonsterBody() {
    Model model;
    CarMaterials m = carMaterials(model, 1.0f, 0.42f, 0.04f);
    int frameMat = model.addMaterial(Material::colour("frame", 0.2f, 0.2f, 0.22f, 0.4f, 0.25f));
    int spring = model.addMaterial(Material::colour("springs", 0.95f, 0.85f, 0.1f, 0.5f, 0.35f));
    const float cx = 0.02f;
    const float axleFront = -1.12f, axleRear = 0.67f, axleY = 0.6f;

    Mesh& frame = model.addMesh("frame", frameMat);
    for (float side : {-0.32f, 0.32f})
        shapes::box(frame, IDENTITY, {cx + side - 0.05f, 0.72f, -1.6f}, {cx + side + 0.05f, 0.9f, 1.25f});
    for (float z : {axleFront, axleRear}) {
        shapes::rod(frame, IDENTITY, {-0.6f, axleY, z}, {0.64f, axleY, z}, 0.07f, 12);
        shapes::sphere(frame, Affine::translate(cx, axleY, z), 0.16f, 14, 8);
        shapes::rod(frame, IDENTITY, {cx, axleY + 0.05f, z}, {cx, 0.8f, z + (z < 0 ? 0.3f : -0.3f)}, 0.05f, 8);
    }
    Mesh& springs = model.addMesh("springs", spring);
    for (float z : {axleFront, axleRear})
        for (float side : {-0.42f, 0.46f})
            shapes::rod(springs, IDENTITY, {side, axleY, z + 0.12f}, {side * 0.8f, 0.95f, z + 0.05f}, 0.06f, 10);

    LowerBody b;
    b.cx = cx;
    b.zFront = -1.78f;
    b.zRear = 1.36f;
    b.sill = 0.9f;
    b.roundTop = 0.08f;
    b.roundBottom = 0.05f;
    b.top = {{-1.78f, 1.36f}, {-1.7f, 1.45f}, {-0.8f, 1.53f}, {1.36f, 1.53f}};
    b.halfWidth = {{-1.78f, 0.44f}, {-1.68f, 0.5f}, {1.3f, 0.5f}, {1.36f, 0.48f}};
    lowerBody(model.addMesh("body", m.paint), b);

    Cabin c{1.52f, 2.02f, -0.56f, 0.26f, -0.33f, 0.22f, 0.48f, 0.43f, cx};
    c.sideWindows = 1;
    cabin(model.addMesh("cabin", m.paint), model.addMesh("windows", m.glass), c);

    // The load bed: side walls and tailgate on the body, a dark floor.
    Mesh& bed = model.addMesh("bed", m.paint);
    shapes::box(bed, IDENTITY, {cx - 0.5f, 1.52f, 0.28f}, {cx - 0.44f, 1.74f, 1.34f});
    shapes::box(bed, IDENTITY, {cx + 0.44f, 1.52f, 0.28f}, {cx + 0.5f, 1.74f, 1.34f});
    shapes::box(bed, IDENTITY, {cx - 0.44f, 1.52f, 1.28f}, {cx + 0.44f, 1.74f, 1.34f});
    Mesh& trim = model.addMesh("trim", m.trim);
    shapes::quad(trim, IDENTITY, {cx - 0.44f, 1.535f, 0.28f}, {cx + 0.44f, 1.535f, 0.28f},
                 {cx + 0.44f, 1.535f, 1.28f}, {cx - 0.44f, 1.535f, 1.28f}, {0, 1, 0});
    plate(trim, cx - 0.2f, cx + 0.2f, 1.12f, 1.32f, -1.783f, -1);  // grille
    for (float z : {axleFront, axleRear})
        for (float x : {-0.788f, 0.828f})
            fender(trim, x - 0.27f, x + 0.27f, axleY, z, 0.66f, 0.7f, -75, 75);
    Mesh& chrome = model.addMesh("chrome", m.chrome);
    shapes::bevelBox(chrome, IDENTITY, {cx - 0.52f, 0.88f, -1.86f}, {cx + 0.52f, 1.05f, -1.7f}, 0.03f);
    shapes::bevelBox(chrome, IDENTITY, {cx - 0.52f, 0.88f, 1.3f}, {cx + 0.52f, 1.02f, 1.42f}, 0.03f);
    for (float side : {-0.47f, 0.47f}) {
        shapes::rod(chrome, IDENTITY, {cx + side, 1.5f, 0.3f}, {cx + side, 2.3f, 0.3f}, 0.045f, 12);
        shapes::rod(chrome, IDENTITY, {cx + side, 1.3f, 0.22f}, {cx + side, 1.52f, 0.3f}, 0.045f, 12);
    }
    // Roll bar with four spotlights over the cab.
    shapes::rod(chrome, IDENTITY, {cx - 0.4f, 2.02f, -0.2f}, {cx - 0.4f, 2.16f, -0.2f}, 0.03f, 8);
    shapes::rod(chrome, IDENTITY, {cx + 0.4f, 2.02f, -0.2f}, {cx + 0.4f, 2.16f, -0.2f}, 0.03f, 8);
    shapes::rod(chrome, IDENTITY, {cx - 0.42f, 2.16f, -0.2f}, {cx + 0.42f, 2.16f, -0.2f}, 0.03f, 8);
    Mesh& head = model.addMesh("headlights", m.head);
    plate(head, cx - 0.4f, cx - 0.24f, 1.24f, 1.36f, -1.783f, -1);
    plate(head, cx + 0.24f, cx + 0.4f, 1.24f, 1.36f, -1.783f, -1);
    Mesh& spots = model.addMesh("spotlights", m.head);
    for (int i = 0; i < 4; ++i) {
        float x = cx - 0.3f + 0.2f * i;
        shapes::box(spots, IDENTITY, {x - 0.06f, 2.12f, -0.27f}, {x + 0.06f, 2.24f, -0.21f});
    }
    Mesh& tail = model.addMesh("taillights", m.tail);
    plate(tail, cx - 0.49f, cx - 0.38f, 1.5f, 1.7f, 1.343f, 1);
    plate(tail, cx + 0.38f, cx + 0.49f, 1.5f, 1.7f, 1.343f, 1);
    return model;
}

}  // namespace assetgen
