#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "CarModels.h"
#include "support/GlTestWindow.h"
#include "support/TempFolder.h"
#include "vehicles/SimpleCarNode.h"

namespace {

// A body 0.4 wide, 0.5 high (0.1 .. 0.6) and 1.5 long; tires 0.13 wide and
// 0.33 in diameter at the player car's offsets.
class SimpleCarNodeTest : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL();
        ASSERT_FALSE(folder.path().empty());
        dir = folder.path();
        CarModels::writeBox(dir + "/body.txt", -0.2f, 0.1f, -0.8f, 0.2f, 0.6f, 0.7f);
        CarModels::writeBox(dir + "/tire.txt", -0.065f, -0.165f, -0.165f, 0.065f, 0.165f, 0.165f);
        CarModels::writeBox(dir + "/tire03.txt", -0.05f, -0.15f, -0.15f, 0.05f, 0.15f, 0.15f);
    }

    std::shared_ptr<SimpleCarNode> loadCar(const std::string& tireFile = "tire.txt") {
        auto car = std::make_shared<SimpleCarNode>("test car");
        loaded = car->load(dir, "body.txt", tireFile, offsets);
        return car;
    }

    TempFolder folder{"cars"};  // removed with the fixture
    std::string dir;
    bool loaded = false;
    const SimpleCarNode::TireOffsets offsets = {Vector(-0.233, 0.165, -0.6), Vector(0.233, 0.165, -0.6),
                                                Vector(-0.233, 0.165, 0.54), Vector(0.233, 0.165, 0.54)};
};

TEST_F(SimpleCarNodeTest, BoxEnclosesBodyAndTires) {
    auto car = loadCar();
    ASSERT_TRUE(loaded);
    EXPECT_STREQ(car->getTypeName(), "SimpleCarNode");
    const GeometryNode::BoundingBox& box = *car->getBoundingBox();
    EXPECT_NEAR(box.minY, 0.0f, 1e-5);      // down to the tire bottoms
    EXPECT_NEAR(box.maxY, 0.6f, 1e-5);      // the taller body keeps its top
    EXPECT_NEAR(box.minX, -0.298f, 1e-5);   // outer tire faces beyond the narrow body
    EXPECT_NEAR(box.maxX, 0.298f, 1e-5);
    EXPECT_NEAR(box.minZ, -0.8f, 1e-5);     // the body reaches further forward than the tires
    EXPECT_NEAR(box.maxZ, 0.705f, 1e-5);    // the rear tires reach further back than the body
    EXPECT_NEAR(box.center[1], 0.3f, 1e-5);
    EXPECT_NEAR(box.center[2], -0.0475f, 1e-5);
    EXPECT_NEAR(box.size[0], 0.596f, 1e-5);
    EXPECT_NEAR(box.size[2], 1.505f, 1e-5);
}

TEST_F(SimpleCarNodeTest, TiresAreChildrenAtTheirOffsetsRightOnesTurnedRound) {
    auto car = loadCar();
    EXPECT_EQ(car->getChildren().size(), 4u);
    struct Expect {
        std::shared_ptr<MilkshapeNode> tire;
        const char* name;
        float x, z, yaw;
    };
    const Expect tires[] = {{car->getFrontLeft(), "car tire FL", -0.233f, -0.6f, 0.0f},
                            {car->getFrontRight(), "car tire FR", 0.233f, -0.6f, 180.0f},
                            {car->getRearLeft(), "car tire RL", -0.233f, 0.54f, 0.0f},
                            {car->getRearRight(), "car tire RR", 0.233f, 0.54f, 180.0f}};
    for (const Expect& e : tires) {
        ASSERT_TRUE(e.tire);
        EXPECT_STREQ(e.tire->getNodeDescription(), e.name);
        EXPECT_FLOAT_EQ(e.tire->getXpos(), e.x) << e.name;
        EXPECT_FLOAT_EQ(e.tire->getYpos(), 0.165f) << e.name;
        EXPECT_FLOAT_EQ(e.tire->getZpos(), e.z) << e.name;
        EXPECT_FLOAT_EQ(e.tire->getYrot(), e.yaw) << e.name;
        EXPECT_TRUE(e.tire->useOwnTransform) << e.name;
        EXPECT_NEAR(e.tire->getBoundingBox()->size[1], 0.33f, 1e-5) << e.name;
    }
    EXPECT_FALSE(car->useOwnTransform);
}

TEST_F(SimpleCarNodeTest, FrontSteeringTurnsOnlyTheFrontPair) {
    auto car = loadCar();
    car->addTireRotation(0.1, 1.0);  // rolled wheels keep their roll when steered
    const float rollFL = car->getFrontLeft()->getXrot();
    car->setFrontSteering(20.0f);
    EXPECT_FLOAT_EQ(car->getFrontLeft()->getYrot(), 20.0f);
    EXPECT_FLOAT_EQ(car->getFrontRight()->getYrot(), 200.0f);
    EXPECT_FLOAT_EQ(car->getFrontLeft()->getXrot(), rollFL);
    EXPECT_FLOAT_EQ(car->getRearLeft()->getYrot(), 0.0f);
    EXPECT_FLOAT_EQ(car->getRearRight()->getYrot(), 180.0f);
    car->setFrontSteering(-5.0f);
    EXPECT_FLOAT_EQ(car->getFrontLeft()->getYrot(), -5.0f);
    EXPECT_FLOAT_EQ(car->getFrontRight()->getYrot(), 175.0f);
}

TEST_F(SimpleCarNodeTest, WheelsRollByDistanceOverRadius) {
    auto car = loadCar("tire03.txt");
    car->addTireRotation(0.5, 2.0);  // 1 unit on a tire of radius 0.15
    EXPECT_NEAR(car->getFrontLeft()->getXrot(), -381.97f, 0.01);
    EXPECT_NEAR(car->getRearLeft()->getXrot(), -381.97f, 0.01);
    EXPECT_NEAR(car->getFrontRight()->getXrot(), 381.97f, 0.01);
    EXPECT_NEAR(car->getRearRight()->getXrot(), 381.97f, 0.01);
    car->addTireRotation(0.5, -2.0);  // reversing rolls them back; the values are not wrapped
    EXPECT_NEAR(car->getFrontLeft()->getXrot(), 0.0f, 0.01);
    EXPECT_NEAR(car->getRearRight()->getXrot(), 0.0f, 0.01);
}

TEST_F(SimpleCarNodeTest, UnknownLabelCreatesNothing) {
    SimpleCarNode car("no tires");
    EXPECT_FALSE(car.setupTire("XL", dir, "tire.txt", offsets));
    EXPECT_FALSE(car.getFrontLeft() || car.getFrontRight() || car.getRearLeft() || car.getRearRight());
    EXPECT_TRUE(car.setupTire("RR", dir, "tire.txt", offsets));
    EXPECT_TRUE(car.getRearRight());
    EXPECT_FALSE(car.getFrontLeft());
    car.setFrontSteering(10.0f);  // incomplete car: nothing to turn, no crash
    car.addTireRotation(1.0, 1.0);
    EXPECT_FLOAT_EQ(car.getRearRight()->getXrot(), 0.0f);
}

TEST_F(SimpleCarNodeTest, MissingTireModelLeavesABodyCarThatDoesNotRoll) {
    auto car = loadCar("no_such_tire.txt");
    EXPECT_FALSE(loaded);
    EXPECT_EQ(car->getChildren().size(), 4u);
    car->addTireRotation(1.0, 10.0);
    EXPECT_FLOAT_EQ(car->getFrontLeft()->getXrot(), 0.0f);
    // The empty tires still widen the box to their mounting points.
    EXPECT_NEAR(car->getBoundingBox()->minY, 0.1f, 1e-5);
    EXPECT_NEAR(car->getBoundingBox()->maxZ, 0.7f, 1e-5);
}

}  // namespace
