#include <gtest/gtest.h>

#include "SceneTestSupport.h"
#include "scenegraph/LightModel.h"
#include "scenegraph/LightNode.h"
#include "scenegraph/Material.h"

TEST(Material, TransparencyFollowsAlpha) {
    Material own;
    own.ambient = Utilities<float>::createArray(0.2f, 0.2f, 0.2f, 1);
    own.diffuse = Utilities<float>::createArray(0.8f, 0.8f, 0.8f, 1);
    own.specular = Utilities<float>::createArray(0, 0, 0, 1);
    own.emission = Utilities<float>::createArray(0, 0, 0, 1);
    EXPECT_FALSE(own.isTransparent());
    own.setTransparency(0.99f);
    EXPECT_TRUE(own.isTransparent());
    own.setTransparency(1.0f);
    EXPECT_FALSE(own.isTransparent());
}

TEST(Material, DefaultMaterialsShareTheirArrays) {
    Material a, b;
    a.setTransparency(0.5f);
    EXPECT_TRUE(a.isTransparent());
    EXPECT_FLOAT_EQ(b.diffuse[3], 0.5f);                        // shared array changed
    EXPECT_FALSE(b.isTransparent());                            // but b's cached flag did not
    EXPECT_FLOAT_EQ(Material::defaultDiffuseColor[3], 0.5f);   // and so did the defaults
    a.setTransparency(1.0f);                                   // put the defaults back
    EXPECT_FALSE(a.isTransparent());
}

TEST(LightModel, SendsParametersOnlyWhenChanged) {
    REQUIRE_GL();
    LightModel model;
    model.setAmbientColor(0.1f, 0.2f, 0.3f, 1.0f);
    model.update();
    float ambient[4];
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_FLOAT_EQ(ambient[2], 0.3f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    // Nothing changed: GL state set by someone else survives the next update.
    const float other[4] = {0.9f, 0.9f, 0.9f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, other);
    model.update();
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_FLOAT_EQ(ambient[2], 0.9f);
    model.switchOff();
    model.update();
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
}

TEST(LightNode, PlacedInEyeCoordinatesAndNotInDebugMode) {
    REQUIRE_GL();
    SwitchGuard guard;
    ScenegraphNode::useVisibilityCulling = false;
    RootNode root("root");
    setUpView(root);
    auto light = std::make_shared<LightNode>(GL_LIGHT1, "lamp");
    light->setLightPosition(0, 10, 0, 1);
    root.addChild(light);
    drawFrame(root);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    float pos[4];
    glGetLightfv(GL_LIGHT1, GL_POSITION, pos);
    // The eye sits at z = 5 looking down -Z: the light is 5 in front of it, 10 up.
    EXPECT_NEAR(pos[1], 10.0f, 1e-4);
    EXPECT_NEAR(pos[2], -5.0f, 1e-4);
    const Point p = light->getPosition();
    EXPECT_NEAR(p.z, -5.0, 1e-4);

    ScenegraphNode::drawMode = 3;
    light->setLightPosition(0, -10, 0, 1);
    drawFrame(root);
    glGetLightfv(GL_LIGHT1, GL_POSITION, pos);
    EXPECT_NEAR(pos[1], 10.0f, 1e-4);  // not placed again
    glDisable(GL_LIGHT1);
}
