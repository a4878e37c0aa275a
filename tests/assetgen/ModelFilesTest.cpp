// The models, read with the game's MilkShape reader: each file is accepted,
// and each model fits the place the level gives it (tire offsets, sign
// meshes, item size, sky dome).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "AssetKit.h"

namespace {

using Mesh = MilkshapeReader::Mesh;
using Model = MilkshapeReader::Model;

Model model(const std::string& file) {
    Model m;
    std::string error;
    EXPECT_TRUE(kit::readModel(kit::kitFolder() / "models" / file, m, error)) << error;
    return m;
}

struct V {
    float x, y, z;
};

V corner(const std::vector<float>& data, size_t triangle, int k) {
    const float* p = &data[9 * triangle + 3 * k];
    return {p[0], p[1], p[2]};
}

V faceNormal(const Mesh& m, size_t t) {
    V a = corner(m.triangleVertices, t, 0), b = corner(m.triangleVertices, t, 1), c = corner(m.triangleVertices, t, 2);
    V e1{b.x - a.x, b.y - a.y, b.z - a.z}, e2{c.x - a.x, c.y - a.y, c.z - a.z};
    V n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
    float l = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    return {n.x / l, n.y / l, n.z / l};
}

const char* const MODELS[] = {"player_body.txt", "player_tire.txt", "pajero_body.txt", "pajero_tire.txt",
                              "monster_body.txt", "monster_tire.txt", "sign.txt", "item_booze.txt",
                              "item_tool.txt", "item_engine.txt", "item_decease.txt", "item_overkill.txt",
                              "chalet.txt", "sky.txt"};

TEST(ModelFiles, EveryModelReadsWithMaterialsAndTexturesThatExist) {
    for (const char* file : MODELS) {
        SCOPED_TRACE(file);
        Model m = model(file);
        ASSERT_FALSE(m.meshes.empty());
        for (const Mesh& mesh : m.meshes) {
            EXPECT_GT(mesh.triangleCount, 0) << mesh.name;
            EXPECT_GE(mesh.materialIndex, 0) << mesh.name << " has no material";
            for (size_t i = 0; i + 2 < mesh.triangleNormals.size(); i += 3) {
                const float* n = &mesh.triangleNormals[i];
                ASSERT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0f, 1e-3f) << mesh.name;
            }
        }
        for (const MilkshapeReader::Material& mat : m.materials) {
            if (mat.colorMap.empty()) continue;
            kit::Picture texture;
            EXPECT_TRUE(kit::loadPicture(kit::kitFolder() / "models" / mat.colorMap, texture)) << mat.colorMap;
        }
    }
}

// The renderer culls by winding and lights by normal: where they disagree
// a face vanishes or goes dark.
TEST(ModelFiles, EveryTriangleFacesWhereItsNormalsPoint) {
    for (const char* file : MODELS) {
        Model m = model(file);
        for (const Mesh& mesh : m.meshes)
            for (size_t t = 0; t < static_cast<size_t>(mesh.triangleCount); ++t) {
                V f = faceNormal(mesh, t), n{0, 0, 0};
                for (int k = 0; k < 3; ++k) {
                    V c = corner(mesh.triangleNormals, t, k);
                    n = {n.x + c.x, n.y + c.y, n.z + c.z};
                }
                ASSERT_GT(f.x * n.x + f.y * n.y + f.z * n.z, 0) << file << " mesh " << mesh.name << " triangle " << t;
            }
    }
}

struct Car {
    const char *body, *tire;
    V offsets[4];  // FL, FR, RL, RR as the level mounts them
};

const Car CARS[] = {
    {"player_body.txt", "player_tire.txt", {{-0.233f, 0.165f, -0.6f}, {0.233f, 0.165f, -0.6f}, {-0.233f, 0.165f, 0.54f}, {0.233f, 0.165f, 0.54f}}},
    {"pajero_body.txt", "pajero_tire.txt", {{-0.192f, 0.1f, -0.348f}, {0.194f, 0.1f, -0.348f}, {-0.192f, 0.1f, 0.294f}, {0.194f, 0.1f, 0.294f}}},
    {"monster_body.txt", "monster_tire.txt", {{-0.788f, 0.6f, -1.12f}, {0.828f, 0.6f, -1.12f}, {-0.788f, 0.6f, 0.67f}, {0.828f, 0.6f, 0.67f}}},
};

TEST(ModelFiles, TiresAreCentredOnTheirAxleAndTouchTheGroundAtTheLevelsOffsets) {
    for (const Car& car : CARS) {
        SCOPED_TRACE(car.tire);
        kit::Box b = kit::bounds(model(car.tire));
        for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(b.centre(axis), 0, 1e-3f);
        // Round about the x axis (the rolling radius is half its height).
        EXPECT_NEAR(b.size(1), b.size(2), 2e-3f);
        EXPECT_LT(b.size(0), b.size(1));
        // Hung at its offset, the lowest point of every wheel is the ground.
        for (const V& offset : car.offsets) EXPECT_NEAR(offset.y + b.lo[1], 0, 2e-3f);
    }
}

TEST(ModelFiles, CarBodiesSitOverTheirWheelsWithTheFrontTowardsMinusZ) {
    for (const Car& car : CARS) {
        SCOPED_TRACE(car.body);
        Model body = model(car.body);
        kit::Box b = kit::bounds(body);
        EXPECT_GT(b.lo[1], 0.0f) << "the body reaches below the ground";
        EXPECT_GT(b.hi[1], 2 * car.offsets[0].y) << "the body is lower than its wheels";
        for (const V& o : car.offsets) {
            EXPECT_LT(b.lo[2], o.z);
            EXPECT_GT(b.hi[2], o.z);
        }
        const Mesh* head = kit::findMesh(body, "headlights");
        const Mesh* tail = kit::findMesh(body, "taillights");
        ASSERT_TRUE(head && tail);
        EXPECT_LT(kit::bounds(*head).hi[2], car.offsets[0].z) << "headlights are not in front of the front axle";
        EXPECT_GT(kit::bounds(*tail).lo[2], car.offsets[2].z) << "taillights are not behind the rear axle";
        EXPECT_NE(kit::findMesh(body, "windows"), nullptr);
        EXPECT_GE(body.materials.size(), 4u);
    }
    // Three clearly different cars.
    kit::Box hatch = kit::bounds(model(CARS[0].body)), suv = kit::bounds(model(CARS[1].body)),
             monster = kit::bounds(model(CARS[2].body));
    EXPECT_GT(monster.size(1), 2 * hatch.size(1));
    EXPECT_GT(hatch.size(2), 1.3f * suv.size(2));
    EXPECT_GT(suv.size(1) / suv.size(2), 1.2f * hatch.size(1) / hatch.size(2)) << "the SUV is the boxier";
}

// The level turns each sign so that its +z side faces the start area, and
// puts the town's name on the mesh "face".
TEST(ModelFiles, SignFaceLooksAlongPlusZAndShowsItsPictureUpright) {
    Model sign = model("sign.txt");
    const Mesh* face = kit::findMesh(sign, "face");
    const Mesh* back = kit::findMesh(sign, "backside");
    ASSERT_TRUE(face && back);
    EXPECT_EQ(sign.materials.at(face->materialIndex).colorMap.rfind("tafel_text_", 0), 0u);
    for (size_t t = 0; t < static_cast<size_t>(face->triangleCount); ++t) EXPECT_GT(faceNormal(*face, t).z, 0.99f);
    EXPECT_GT(kit::bounds(*face).lo[2], kit::bounds(*back).lo[2]);
    // Seen from +z, u grows to the right (+x) and v upwards (t = 0 is the
    // picture's bottom row once uploaded), so the words read normally.
    const size_t corners = face->triangleVertices.size() / 3;
    for (size_t i = 0; i < corners; ++i)
        for (size_t j = 0; j < corners; ++j) {
            const float *p = &face->triangleVertices[3 * i], *q = &face->triangleVertices[3 * j];
            const float *uvP = &face->triangleTexCoords[2 * i], *uvQ = &face->triangleTexCoords[2 * j];
            if (q[0] > p[0] + 0.1f) {
                EXPECT_GT(uvQ[0], uvP[0]);
            }
            if (q[1] > p[1] + 0.1f) {
                EXPECT_GT(uvQ[1], uvP[1]);
            }
        }
    kit::Box plate = kit::bounds(*face);
    EXPECT_NEAR(plate.size(0) / plate.size(1), 2.0f, 0.05f) << "the plates are drawn 2:1";
    EXPECT_GT(plate.lo[1], 0.5f) << "the plate stands on its posts";
}

TEST(ModelFiles, ItemsAreAboutOneUnitAcrossAndCentred) {
    for (const char* file : {"item_booze.txt", "item_tool.txt", "item_engine.txt", "item_decease.txt", "item_overkill.txt"}) {
        SCOPED_TRACE(file);
        kit::Box b = kit::bounds(model(file));
        float size = std::max({b.size(0), b.size(1), b.size(2)});
        EXPECT_GT(size, 0.8f);
        EXPECT_LT(size, 1.4f);
        EXPECT_LT(std::fabs(b.centre(1)), 0.15f);
    }
}

TEST(ModelFiles, ChaletIsAFewUnitsHighAndStandsOnTheGround) {
    kit::Box b = kit::bounds(model("chalet.txt"));
    EXPECT_GT(b.hi[1], 2.5f);
    EXPECT_LT(b.hi[1], 6.0f);
    EXPECT_LE(b.lo[1], 0.0f);
    EXPECT_LT(std::max(b.size(0), b.size(2)), 7.0f) << "it stands 4 units from the start";
}

// The level draws the dome at scale 4 around the camera; the far plane is 450.
TEST(ModelFiles, SkyDomeLooksInwardsAndStaysInsideTheFarPlane) {
    Model sky = model("sky.txt");
    float farthest = 0;
    for (const Mesh& mesh : sky.meshes) {
        EXPECT_FALSE(sky.materials.at(mesh.materialIndex).colorMap.empty());
        for (size_t t = 0; t < static_cast<size_t>(mesh.triangleCount); ++t) {
            V a = corner(mesh.triangleVertices, t, 0), n = faceNormal(mesh, t);
            ASSERT_LT(n.x * a.x + n.y * a.y + n.z * a.z, 0) << "triangle " << t << " faces outwards";
        }
        for (size_t i = 0; i + 2 < mesh.triangleVertices.size(); i += 3) {
            const float* p = &mesh.triangleVertices[i];
            farthest = std::max(farthest, std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]));
        }
    }
    // 5.5 below the focus, and the camera up to about 10 units from it.
    EXPECT_LT(farthest * 4 + 5.5f + 10, 450.0f);
    EXPECT_GT(farthest * 4, 300.0f) << "the dome should reach beyond the terrain's edge";
}

}  // namespace
