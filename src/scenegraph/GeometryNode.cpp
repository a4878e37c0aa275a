#include "scenegraph/GeometryNode.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <cstdio>

#include "gl/ExtensionManager.h"
#include "gl/TextPainter.h"
#include "math/Constants.h"
#include "physics/OccBBPhysicBoxCreator.h"
#include "physics/PhysicVolume.h"
#include "physics/Physics.h"
#include "scenegraph/OcclusionCulling.h"

namespace {
void printMatrixRows(const float* m) {
    for (int r = 0; r < 4; ++r)
        std::printf("\n       |%+.5f %+.5f %+.5f %+.5f|", m[r], m[r + 4], m[r + 8], m[r + 12]);
}

void boxTransform(const float* center, const float* size) {
    glTranslatef(center[0], center[1], center[2]);
    glScalef(size[0], size[1], size[2]);
}
}  // namespace

// --- BoundingBox ------------------------------------------------------------

void GeometryNode::BoundingBox::setExtent(float x0, float x1, float y0, float y1, float z0, float z1) {
    minX = x0;
    maxX = x1;
    minY = y0;
    maxY = y1;
    minZ = z0;
    maxZ = z1;
    center[0] = (minX + maxX) * 0.5f;
    center[1] = (minY + maxY) * 0.5f;
    center[2] = (minZ + maxZ) * 0.5f;
    size[0] = maxX > minX ? maxX - minX : minX - maxX;
    size[1] = maxY > minY ? maxY - minY : minY - maxY;
    size[2] = maxZ > minZ ? maxZ - minZ : minZ - maxZ;
}

void GeometryNode::BoundingBox::draw() const {
    glPushMatrix();
    boxTransform(center, size);
    glutSolidCube(1.0);
    glPopMatrix();
}

void GeometryNode::BoundingBox::paint() const {
    glPushMatrix();
    boxTransform(center, size);
    glutWireCube(1.0);
    glPopMatrix();
}

GeometryNode::EventSphere::~EventSphere() {
    if (displayList != 0 && ExtensionManager::contextAvailable()) glDeleteLists(displayList, 1);
}

// --- GeometryNode -------------------------------------------------------------

GeometryNode::GeometryNode(const char* desc)
    : ScenegraphNode(desc), camera(std::make_shared<CameraNode>(nullptr, "dummy camera obj")) {
    typeName = "GeometryNode";
    eventSphere->name = nodeDescription;
    setDefaultPositionVectors();
    physicVolume = std::make_shared<PhysicVolume>();
    physicVolume->creator = std::make_shared<OccBBPhysicBoxCreator>(this);
}

GeometryNode::~GeometryNode() {
    if (boundingBox->queryName != 0 && ExtensionManager::contextAvailable()) deleteQuery();
}

void GeometryNode::setRotations(float x, float y, float z) {
    rotX = x;
    rotY = y;
    rotZ = z;
    updateCamera();
}

void GeometryNode::setTranslation(float x, float y, float z) {
    posX = x;
    posY = y;
    posZ = z;
    updateCamera();
}

void GeometryNode::setScale(float x, float y, float z) {
    scaleX = x;
    scaleY = y;
    scaleZ = z;
    updateCamera();
}

void GeometryNode::addRotations(float x, float y, float z) {
    // The angles are kept as given: glRotatef takes any value, and a body's
    // start matrix reads them unreduced.
    setRotations(rotX + x, rotY + y, rotZ + z);
}

void GeometryNode::addTranslation(float x, float y, float z) { setTranslation(posX + x, posY + y, posZ + z); }

void GeometryNode::multScale(float x, float y, float z) { setScale(scaleX * x, scaleY * y, scaleZ * z); }

Point GeometryNode::getPosition() const {
    Point p;
    p.x = (*currentMatrix)[12];
    p.y = (*currentMatrix)[13];
    p.z = (*currentMatrix)[14];
    p.w = 0.0;
    return p;
}

Point GeometryNode::getDirection() const { return currentMatrix->transformPoint(*direction); }

Point GeometryNode::getUpside() const { return currentMatrix->transformPoint(*upside); }

void GeometryNode::setDefaultPositionVectors() {
    position = std::make_shared<Point>(Point{0, 0, 0, 1});
    direction = std::make_shared<Point>(Point{0, 0, -1, 1});
    upside = std::make_shared<Point>(Point{0, 0, 1, 1});
}

void GeometryNode::loadCurrentMatrix() { glGetFloatv(GL_MODELVIEW_MATRIX, currentMatrix->m); }

void GeometryNode::setCameraFocus(std::shared_ptr<CameraNode> cam) {
    if (!cam) return;
    focused = true;
    camera = std::move(cam);
    camera->setFocusing(true);
    updateCamera();
}

void GeometryNode::releaseCameraFocus() {
    focused = false;
    camera->setFocusing(false);
    camera = std::make_shared<CameraNode>(nullptr, "dummy camera obj");
}

void GeometryNode::updateCamera() {
    if (!focused) return;
    const float* pose = bodyMatrix();
    if (!pose) return;  // no body yet: the camera keeps its view until the body exists
    camera->getViewMatrix()->set(pose).invertGL();
    // The sky moves along horizontally; its height stays.
    if (auto sky = std::dynamic_pointer_cast<GeometryNode>(camera->getSkyElements())) {
        sky->posX = pose[12];
        sky->posZ = pose[14];
        sky->updateCamera();
    }
}

const float* GeometryNode::bodyMatrix() const {
    // A node without a body of its own (a vehicle's tire) is posed by its owner.
    if (!physicVolume || (!physicVolume->body && !physicVolume->noBody)) return nullptr;
    return physicVolume->matrix->data();
}

void GeometryNode::orientObject() {
    const float* pose = useOwnTransform ? nullptr : bodyMatrix();
    if (pose) {
        glMultMatrixf(pose);
    } else {
        glTranslatef(posX, posY, posZ);
        glRotatef(rotY, 0, 1, 0);
        glRotatef(rotX, 1, 0, 0);
        glRotatef(rotZ, 0, 0, 1);
    }
    glScalef(scaleX, scaleY, scaleZ);
}

void GeometryNode::executeDisplayList() { material->load(); }

void GeometryNode::performOperations() {
    glPushMatrix();
    orientObject();
    const RenderStates state = getRenderState();
    switch (state) {
        case VISIBILITY_TEST:
            if (!alwaysVisible) testVisibility();
            break;
        case OPAQUE_PASS:
        case SINGLE_PASS: {
            loadCurrentMatrix();
            const bool drawn = takeOcclusionResult();
            if (drawn) {
                if (eventSpherePainting) paintEventSphere();
                if (boundingBoxPainting) paintBoundingBox();
            }
            const bool drawHere = state == SINGLE_PASS || (!drawnInTransparentPass() && inItsTurn());
            if (drawn && drawHere && drawMode != 3) drawSampled([this] { draw(); });
            queryBoxLater();
            break;
        }
        case TRANSPARENT_PASS:
            if (boundingBox->visible && drawnInTransparentPass() && drawMode != 3) drawSampled([this] { draw(); });
            break;
    }
    processChildren();
    glPopMatrix();
}

// --- occlusion culling ----------------------------------------------------------

bool GeometryNode::backgroundTurn = false;

bool GeometryNode::inItsTurn() const {
    if (!detailSavings || getRenderState() != OPAQUE_PASS) return true;
    return background == backgroundTurn;
}

bool GeometryNode::culled() const { return useVisibilityCulling && !alwaysVisible; }

void GeometryNode::testVisibility() {
    if (boundingBox->queryName != 0 && occResultAvailable()) getOccResult();
    loadCurrentMatrix();
    if (!OcclusionCulling::boxInFrustum(*boundingBox, currentMatrix->m)) {
        // Nothing is known about a node while it is out of view: it is
        // drawn, and queried, as soon as it comes back.
        boundingBox->occluded = false;
        boundingBox->visible = false;
        return;
    }
    boundingBox->visible = !boundingBox->occluded;
}

bool GeometryNode::takeOcclusionResult() {
    if (!culled()) {
        // Untested: the node is drawn, and an old answer must not hide it
        // when culling comes back on.
        if (boundingBox->queryName != 0 && !alwaysVisible) deleteQuery();
        boundingBox->occluded = false;
        boundingBox->visible = true;
    }
    return boundingBox->visible;
}

void GeometryNode::queryBoxLater() {
    if (!culled() || boundingBox->queryName != 0) return;
    if (!boundingBox->visible && !boundingBox->occluded) return;  // out of the frustum
    OcclusionCulling::queueBoxQuery(this, currentMatrix->m);
}

bool GeometryNode::beginSampleCount() {
    if (!culled() || boundingBox->queryName != 0 || OcclusionCulling::counting) return false;
    ExtensionManager::__glewGenQueries(1, &boundingBox->queryName);
    if (boundingBox->queryName == 0) return false;
    ExtensionManager::__glewBeginQuery(GL_SAMPLES_PASSED, boundingBox->queryName);
    OcclusionCulling::counting = true;
    return true;
}

void GeometryNode::endSampleCount() {
    ExtensionManager::__glewEndQuery(GL_SAMPLES_PASSED);
    OcclusionCulling::counting = false;
}

int GeometryNode::beginSingleSampling() const {
    if (!detailSavings) return 0;
    const bool asBackground = background && getRenderState() == OPAQUE_PASS;
    if (!singleSampled && !asBackground) return 0;
    // A background keeps its samples: with multisampling off the depth test
    // of a rasteriser may judge a whole pixel by one sample, and the sky
    // would leave the empty samples of the scene's edges unfilled.
    const bool multisampled = singleSampled && glIsEnabled(GL_MULTISAMPLE);
    if (multisampled) glDisable(GL_MULTISAMPLE);
    if (asBackground) {
        // Every fragment at the far plane: it passes where nothing was drawn.
        glDepthRange(1.0, 1.0);
        glPushAttrib(GL_DEPTH_BUFFER_BIT);
        glDepthFunc(GL_LEQUAL);
        glDepthMask(GL_FALSE);
    }
    return (asBackground ? 2 : 0) | (multisampled ? 1 : 0);
}

void GeometryNode::endSingleSampling(int mode) const {
    if (mode & 1) glEnable(GL_MULTISAMPLE);
    if (mode & 2) {
        glPopAttrib();
        glDepthRange(0.0, 1.0);
    }
}

void GeometryNode::deleteQuery() {
    ExtensionManager::__glewDeleteQueries(1, &boundingBox->queryName);
    boundingBox->queryName = 0;
}

void GeometryNode::fireOcclusionQuery() {
    if (boundingBox->queryName != 0 || OcclusionCulling::counting) return;
    ExtensionManager::__glewGenQueries(1, &boundingBox->queryName);
    if (boundingBox->queryName == 0) {
        std::printf("\n GeometryNode::fireOcclusionQuery(): WARNING! %s got occlusion query name 0",
                    nodeDescription.c_str());
        return;
    }
    ExtensionManager::__glewBeginQuery(GL_SAMPLES_PASSED, boundingBox->queryName);
    boundingBox->draw();
    ExtensionManager::__glewEndQuery(GL_SAMPLES_PASSED);
}

bool GeometryNode::occResultAvailable() {
    if (boundingBox->queryName == 0) return true;
    GLint available = 0;
    ExtensionManager::__glewGetQueryObjectiv(boundingBox->queryName, GL_QUERY_RESULT_AVAILABLE, &available);
    return available != 0;
}

void GeometryNode::getOccResult() {
    if (boundingBox->queryName == 0) return;
    GLuint samples = 0;
    ExtensionManager::__glewGetQueryObjectuiv(boundingBox->queryName, GL_QUERY_RESULT, &samples);
    boundingBox->occluded = samples == 0;
    deleteQuery();
}

// --- physics ---------------------------------------------------------------------

void GeometryNode::physicAllocate() {
    PhysicVolume& volume = *physicVolume;
    if (!useOwnTransform && !volume.noBody) {
        volume.creator->createRigidBody();
        volume.takeBody(volume.creator->get());
    }
    if (!useOwnTransform && !volume.noBody && volume.body) {
        Matrix& pose = *volume.matrix;
        pose.setIdentity();
        // The node's angles are degrees, and the body starts turned exactly as
        // the node would be drawn by its own transform (yaw, pitch, roll).
        pose.translate(posX, posY, posZ)
            .rotateY(rotY * PI_OVER_180)
            .rotateX(rotX * PI_OVER_180)
            .rotateZ(rotZ * PI_OVER_180)
            .scale(scaleX, scaleY, scaleZ);
        NewtonBodySetMatrix(volume.body, pose.data());
        // The world keeps the pose without the scale; drawing adds the scale.
        NewtonBodyGetMatrix(volume.body, pose.data());
        NewtonBodySetUserData(volume.body, this);
        if (!volume.isStatic) {
            NewtonBodySetMassMatrix(volume.body, volume.mass, volume.inertiaX, volume.inertiaY, volume.inertiaZ);
            NewtonBodySetForceAndTorqueCallback(volume.body, Physics::handleForceAndTorque);
            NewtonBodySetTransformCallback(volume.body, physicTransformationCallback);
            NewtonBodySetOmega(volume.body, volume.omega.get());
            NewtonBodySetVelocity(volume.body, volume.velocity.get());
            NewtonBodySetCentreOfMass(volume.body, volume.centreOfMass.get());
            NewtonBodySetMaterialGroupID(volume.body, volume.materialGroupID);
            if (volume.alwaysActive) {
                NewtonBodySetAutoFreeze(volume.body, 0);
                NewtonWorldUnfreezeBody(Physics::newtonWorld, volume.body);
            }
        }
    }
    ScenegraphNode::physicAllocate();
}

void GeometryNode::physicTransformationCallback(NewtonBody* body, const float* matrix) {
    if (auto* node = static_cast<GeometryNode*>(NewtonBodyGetUserData(body))) {
        node->updatePhysicTransformationMatrix(matrix);
    }
}

void GeometryNode::updatePhysicTransformationMatrix(const float* matrix) {
    physicVolume->matrix->set(matrix);
    posX = matrix[12];
    posY = matrix[13];
    posZ = matrix[14];
    updateCamera();
}

void GeometryNode::physicRelease() { ScenegraphNode::physicRelease(); }

// --- debug drawing ---------------------------------------------------------------

void GeometryNode::paintBoundingBox() {
    glDisable(GL_LIGHTING);
    glColor3f(1, 1, 1);
    boundingBox->paint();
    glEnable(GL_LIGHTING);
}

void GeometryNode::paintEventSphere() {
    EventSphere& sphere = *eventSphere;
    if (sphere.radius <= 0) return;
    if (sphere.displayList != 0) {
        glCallList(sphere.displayList);
        return;
    }
    sphere.displayList = glGenLists(1);
    if (sphere.displayList == 0) {
        std::printf("\n GeometryNode.paintEventSphere(): WARNING! unable to create display list for debugsphere drawing");
        return;
    }
    glNewList(sphere.displayList, GL_COMPILE_AND_EXECUTE);
    glPushMatrix();
    glTranslatef(sphere.offset[0], sphere.offset[1], sphere.offset[2]);
    glDisable(GL_LIGHTING);
    glColor3fv(sphere.color);
    glutWireSphere(sphere.radius, 10, 10);
    const float n = static_cast<float>(sphere.lines.size());
    TextPainter::drawstr(0.2f - 0.5f * sphere.radius, 0.2f * n + sphere.radius, 0.0f, GLUT_BITMAP_9_BY_15, sphere.name);
    for (size_t i = 0; i < sphere.lines.size(); ++i) {
        const float y = sphere.radius + 0.2f * (n - 1 - static_cast<float>(i));
        TextPainter::drawstr(-0.5f * sphere.radius, y, 0.0f, GLUT_BITMAP_9_BY_15, sphere.lines[i]);
    }
    glEnable(GL_LIGHTING);
    glPopMatrix();
    glEndList();
}

void GeometryNode::print() {
    ScenegraphNode::print();
    std::printf("\n   intern transformation parameters:");
    std::printf("\n      rotations = (%.5f, %.5f, %.5f)", rotX, rotY, rotZ);
    std::printf("\n      offset    = (%.5f, %.5f, %.5f)", posX, posY, posZ);
    std::printf("\n      scale     = (%.5f, %.5f, %.5f)", scaleX, scaleY, scaleZ);
    material->print();
    std::printf("\n   active MODELVIEW matrix:");
    printMatrixRows(currentMatrix->m);
    const Point p = getPosition(), d = getDirection(), u = getUpside();
    std::printf("\n   object orientation vectors:");
    std::printf("\n      position:  (%+.5f, %+.5f, %+.5f)", p.x, p.y, p.z);
    std::printf("\n      direction: (%+.5f, %+.5f, %+.5f)", d.x, d.y, d.z);
    std::printf("\n      upside:    (%+.5f, %+.5f, %+.5f)", u.x, u.y, u.z);
}
