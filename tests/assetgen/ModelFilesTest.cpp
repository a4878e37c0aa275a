// The models: each file reads as MilkShape ASCII, and each model fits the
// place the level gives it (tire offsets, sign meshes, item size, sky).
#include <gtest/gtest.h>

#include <cmath>

#include "AssetKit.h"

namespace {

using kit::MsMesh;
using kit::MsModel;
using kit::Vec;

MsModel model(const std::string& file) {
    MsModel m;
    std::string error;
    EXPECT_TRUE(kit::readModel(kit::kitFolder() / "models" / file, m, error)) << error;
    return m;
}

Vec faceNormal(const MsMesh& m, size_t triangle) {
    const Vec& a = m.positions[m.vertexIndex[3 * triangle]];
    const Vec& b = m.positions[m.vertexIndex[3 * triangle + 1]];
    const Vec& c = m.positions[m.vertexIndex[3 * triangle + 2]];
    Vec e1{b.x - a.x, b.y - a.y, b.z - a.z}, e2{c.x - a.x, c.y - a.y, c.z - a.z};
    Vec n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
    float l = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    return {n.x / l, n.y / l, n.z / l};
}

TEST(ModelFiles, EveryModelReadsWithMeshesMaterialsAndExistingTextures) {
    for (const char* file : {"player_body.txt", "player_tire.txt", "pajero_body.txt", "pajero_tire.txt", "monster_body.txt",
                             "monster_tire.txt", "sign.txt", "item_booze.txt", "item_tool.txt", "item_engine.txt",
                             "item_decease.txt", "item_overkill.txt", "chalet.txt", "sky.txt"}) {
        SCOPED_TRACE(file);
        MsModel m = model(file);
        ASSERT_FALSE(m.meshes.empty());
        for (const MsMesh& mesh : m.meshes) {
            EXPECT_FALSE(mesh.vertexIndex.empty()) << mesh.name << " has no triangles";
            EXPECT_GE(mesh.material, 0) << mesh.name << " has no material";
            for (const Vec& n : mesh.normals) EXPECT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), 1.0f, 1e-3f);
        }
        for (const kit::MsMaterial& mat : m.materials) {
            if (mat.colourMap.empty()) continue;
            kit::Picture texture;
            EXPECT_TRUE(kit::loadPicture(kit::kitFolder() / "models" / mat.colourMap, texture)) << mat.colourMap;
        }
    }
}

// Winding and normals agree: the renderer culls by winding and lights by
// normal, so a mismatch shows as holes or dark faces.
TEST(ModelFiles, TrianglesFaceWhereTheirNormalsPoint) {
    for (const char* file : {"player_body.txt", "monster_tire.txt", "sign.txt", "item_tool.txt", "chalet.txt", "sky.txt"}) {
        MsModel m = model(file);
        for (const MsMesh& mesh : m.meshes)
            for (size_t t = 0; t < mesh.vertexIndex.size() / 3; ++t) {
                Vec f = faceNormal(mesh, t), n{0, 0, 0};
                for (int k = 0; k < 3; ++k) {
                    const Vec& c = mesh.normals[mesh.normalIndex[3 * t + k]];
                    n = {n.x + c.x, n.y + c.y, n.z + c.z};
                }
                ASSERT_GT(f.x * n.x + f.y * n.y + f.z * n.z, 0) << file << " mesh " << mesh.name << " triangle " << t;
            }
    }
}

struct Car {
    const char *body, *tire;
    Vec offsets[4];  // FL, FR, RL, RR as the level mounts them
};

const Car CARS[] = {
    {"player_body.txt", "player_tire.txt", {{-0.233f, 0.165f, -0.6f}, {0.233f, 0.165f, -0.6f}, {-0.233f, 0.165f, 0.54f}, {0.233f, 0.165f, 0.54f}}},
    {"pajero_body.txt", "pajero_tire.txt", {{-0.192f, 0.1f, -0.348f}, {0.194f, 0.1f, -0.348f}, {-0.192f, 0.1f, 0.294f}, {0.194f, 0.1f, 0.294f}}},
    {"monster_body.txt", "monster_tire.txt", {{-0.788f, 0.6f, -1.12f}, {0.828f, 0.6f, -1.12f}, {-0.788f, 0.6f, 0.67f}, {0.828f, 0.6f, 0.67f}}},
};

TEST(ModelFiles, TiresAreCentredOnTheirAxleAndTouchTheGroundAtTheLevelsOffsets) {
    for (const Car& car : CARS) {
        SCOPED_TRACE(car.tire);
        MsModel tire = model(car.tire);
        Vec lo, hi;
        tire.bounds(lo, hi);
        // Centred on the origin.
        EXPECT_NEAR(lo.x + hi.x, 0, 2e-3f);
        EXPECT_NEAR(lo.y + hi.y, 0, 2e-3f);
        EXPECT_NEAR(lo.z + hi.z, 0, 2e-3f);
        // Round about the x axis: as high as long, narrower than high.
        EXPECT_NEAR(hi.y - lo.y, hi.z - lo.z, 2e-3f);
        EXPECT_LT(hi.x - lo.x, hi.y - lo.y);
        // Hung at its offset, the lowest point of every wheel is the ground.
        for (const Vec& offset : car.offsets) EXPECT_NEAR(offset.y + lo.y, 0, 2e-3f);
    }
}

TEST(ModelFiles, CarBodiesSitOverTheirWheelsWithTheFrontTowardsMinusZ) {
    for (const Car& car : CARS) {
        SCOPED_TRACE(car.body);
        MsModel body = model(car.body);
        Vec lo, hi;
        body.bounds(lo, hi);
        EXPECT_GT(lo.y, 0.0f) << "the body reaches below the ground";
        EXPECT_GT(hi.y, 2 * car.offsets[0].y) << "the body is lower than its wheels";
        for (const Vec& o : car.offsets) {
            EXPECT_LT(lo.z, o.z);
            EXPECT_GT(hi.z, o.z);
        }
        const MsMesh* head = body.mesh("headlights");
        const MsMesh* tail = body.mesh("taillights");
        ASSERT_TRUE(head && tail);
        Vec hlo{1e9f, 1e9f, 1e9f}, hhi{-1e9f, -1e9f, -1e9f}, tlo = hlo, thi = hhi;
        MsModel::bounds(*head, hlo, hhi);
        MsModel::bounds(*tail, tlo, thi);
        EXPECT_LT(hhi.z, car.offsets[0].z) << "headlights are not in front of the front axle";
        EXPECT_GT(tlo.z, car.offsets[2].z) << "taillights are not behind the rear axle";
        EXPECT_NE(body.mesh("windows"), nullptr);
        EXPECT_GE(body.materials.size(), 4u);
    }
    // Three different cars: their sizes differ clearly.
    Vec a0, a1, b0, b1, c0, c1;
    model(CARS[0].body).bounds(a0, a1);
    model(CARS[1].body).bounds(b0, b1);
    model(CARS[2].body).bounds(c0, c1);
    EXPECT_GT(c1.y - c0.y, 2 * (a1.y - a0.y));
    EXPECT_NE(std::lround((a1.z - a0.z) * 10), std::lround((b1.z - b0.z) * 10));
}

// The level turns each sign so that its +z side faces the start area, and
// puts the town's name on the mesh "face".
TEST(ModelFiles, SignFaceLooksAlongPlusZAndShowsItsPictureUpright) {
    MsModel sign = model("sign.txt");
    const MsMesh* face = sign.mesh("face");
    ASSERT_NE(face, nullptr);
    ASSERT_NE(sign.mesh("backside"), nullptr);
    ASSERT_GE(face->material, 0);
    EXPECT_EQ(sign.materials[face->material].colourMap.rfind("tafel_text_", 0), 0u);
    float backZ = 1e9f;
    for (int i : sign.mesh("backside")->vertexIndex) backZ = std::min(backZ, sign.mesh("backside")->positions[i].z);
    for (size_t t = 0; t < face->vertexIndex.size() / 3; ++t) EXPECT_GT(faceNormal(*face, t).z, 0.99f);
    // Seen from +z, u grows to the right (+x) and v upwards (t = 0 is the
    // picture's bottom row once uploaded), so the words read normally.
    for (size_t i = 0; i < face->positions.size(); ++i) {
        for (size_t j = 0; j < face->positions.size(); ++j) {
            const Vec &p = face->positions[i], &q = face->positions[j];
            if (q.x > p.x + 0.1f) {
                EXPECT_GT(face->u[j], face->u[i]);
            }
            if (q.y > p.y + 0.1f) {
                EXPECT_GT(face->v[j], face->v[i]);
            }
        }
        EXPECT_GT(face->positions[i].z, backZ);
    }
    Vec lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
    MsModel::bounds(*face, lo, hi);
    EXPECT_NEAR((hi.x - lo.x) / (hi.y - lo.y), 2.0f, 0.05f) << "the plates are drawn 2:1";
    EXPECT_GT(lo.y, 0.5f) << "the plate stands on its posts";
}

TEST(ModelFiles, ItemsAreAboutOneUnitAcrossAndCentred) {
    for (const char* file : {"item_booze.txt", "item_tool.txt", "item_engine.txt", "item_decease.txt", "item_overkill.txt"}) {
        SCOPED_TRACE(file);
        Vec lo, hi;
        model(file).bounds(lo, hi);
        float size = std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z});
        EXPECT_GT(size, 0.8f);
        EXPECT_LT(size, 1.4f);
        EXPECT_LT(std::fabs(lo.y + hi.y), 0.3f);
    }
}

TEST(ModelFiles, ChaletIsAFewUnitsHighAndStandsOnTheGround) {
    Vec lo, hi;
    model("chalet.txt").bounds(lo, hi);
    EXPECT_GT(hi.y, 2.5f);
    EXPECT_LT(hi.y, 6.0f);
    EXPECT_LE(lo.y, 0.0f);
    EXPECT_LT(std::max(hi.x - lo.x, hi.z - lo.z), 7.0f) << "it stands 4 units from the start";
}

// The level draws the dome at scale 4 around the camera; the far plane is 450.
TEST(ModelFiles, SkyDomeLooksInwardsAndStaysInsideTheFarPlane) {
    MsModel sky = model("sky.txt");
    float farthest = 0;
    for (const MsMesh& mesh : sky.meshes) {
        EXPECT_FALSE(sky.materials[mesh.material].colourMap.empty());
        for (size_t t = 0; t < mesh.vertexIndex.size() / 3; ++t) {
            const Vec& a = mesh.positions[mesh.vertexIndex[3 * t]];
            Vec n = faceNormal(mesh, t);
            EXPECT_LT(n.x * a.x + n.y * a.y + n.z * a.z, 0) << "triangle " << t << " faces outwards";
        }
        for (const Vec& p : mesh.positions) farthest = std::max(farthest, std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z));
    }
    // 5.5 below the focus and the camera up to about 10 units away.
    EXPECT_LT(farthest * 4 + 5.5f + 10, 450.0f);
    EXPECT_GT(farthest * 4, 300.0f) << "the dome should reach beyond the terrain's edge";
}

}  // namespace
