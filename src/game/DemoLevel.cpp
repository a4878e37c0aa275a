#include "game/DemoLevel.h"

#include <GL/glew.h>

#include "math/Utilities.h"
#include "physics/PhysicVolume.h"
#include "physics/PhysicsDebugNode.h"
#include "physics/newton.h"
#include "scenegraph/BoxNode.h"
#include "scenegraph/LightNode.h"
#include "scenegraph/SphereNode.h"

void DemoLevel::build() {
    placements.clear();
    addLight();
    addShowcase();
    // The view the mouse orbit starts from: 4 units out, 10 degrees up.
    root->getCamera()->setEyePoint(0.0f, 0.6946f, 3.9392f);
    reset();
    postBuild();
}

void DemoLevel::reset() {
    for (const Placement& p : placements) putBack(*p.node, p.pos, p.rot);
}

void DemoLevel::putBack(GeometryNode& node, const float pos[3], const float rot[3]) {
    node.setTranslation(pos[0], pos[1], pos[2]);
    node.setRotations(rot[0], rot[1], rot[2]);
    auto volume = node.getPhysicVolume();
    if (!volume || node.useOwnTransform) return;
    volume->matrix->setTranslate(pos[0], pos[1], pos[2]);
    if (!volume->hasLiveBody()) return;
    const float rest[3] = {0, 0, 0};
    NewtonBodySetMatrix(volume->body, volume->matrix->data());
    NewtonBodySetVelocity(volume->body, rest);
    NewtonBodySetOmega(volume->body, rest);
}

void DemoLevel::addLight() {
    auto sun = std::make_shared<LightNode>(GL_LIGHT0, "sun");
    sun->setLightPosition(1.0f, 2.0f, 1.5f, 0.0f);
    const float white[4] = {1.0f, 0.95f, 0.85f, 1.0f};
    const float ambient[4] = {0.25f, 0.25f, 0.3f, 1.0f};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    root->addChild(sun);
}

std::shared_ptr<GeometryNode> DemoLevel::placeFalling(std::shared_ptr<GeometryNode> node, float x, float y, float z) {
    auto volume = node->getPhysicVolume();
    volume->isStatic = false;
    volume->mass = 1.0f;
    placements.push_back({node, {x, y, z}, {0, 0, 0}});
    root->addChild(node);
    return node;
}

std::shared_ptr<GeometryNode> DemoLevel::place(std::shared_ptr<GeometryNode> node, float x, float y, float z) {
    node->useOwnTransform = true;
    placements.push_back({node, {x, y, z}, {0, 0, 0}});
    root->addChild(node);
    return node;
}

void DemoLevel::addShowcase() {
    auto colour = [](GeometryNode& node, float r, float g, float b, float a) {
        auto m = node.getMaterial();
        m->ambient = Utilities<float>::createArray(r * 0.3f, g * 0.3f, b * 0.3f, a);
        m->diffuse = Utilities<float>::createArray(r, g, b, a);
        m->specular = Utilities<float>::createArray(0.4f, 0.4f, 0.4f, a);
        m->emission = Utilities<float>::createArray(0, 0, 0, a);
        m->shininess = Utilities<float>::createArray(20.0f);
        m->evalTransparency();
    };
    // A static floor (a box body without mass) and two boxes that fall onto it.
    auto floor = std::make_shared<BoxNode>("floor");
    floor->setScale(4.0f, 0.1f, 4.0f);
    placements.push_back({floor, {0.0f, -0.75f, 0.0f}, {0, 0, 0}});
    root->addChild(floor);
    colour(*floor, 0.35f, 0.55f, 0.3f, 1.0f);
    // Key 4 shows the collision shapes around the floor as wire lines.
    root->addChild(std::make_shared<PhysicsDebugNode>(floor, "physics debugging"));

    auto crate = placeFalling(std::make_shared<BoxNode>("red box"), -1.0f, 1.5f, 0.0f);
    colour(*crate, 0.8f, 0.2f, 0.15f, 1.0f);
    auto small = std::make_shared<BoxNode>("blue box");
    small->setScale(0.6f, 0.6f, 0.6f);
    placeFalling(small, 0.9f, 2.5f, 0.6f);
    colour(*small, 0.2f, 0.35f, 0.85f, 1.0f);

    auto ball = place(std::make_shared<SphereNode>("yellow sphere", 0.45f), 0.6f, 0.1f, -0.8f);
    colour(*ball, 0.95f, 0.8f, 0.2f, 1.0f);
    auto glass = place(std::make_shared<SphereNode>("glass sphere", 0.55f), 0.1f, 0.0f, 0.9f);
    colour(*glass, 0.6f, 0.85f, 1.0f, 0.45f);
}
