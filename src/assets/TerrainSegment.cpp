#include "assets/TerrainSegment.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "gl/ExtensionManager.h"

namespace {

// a . (b x c): the determinant of the 3x3 matrix with columns a, b, c.
double determinant(const double* a, const double* b, const double* c) {
    return a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) + a[2] * (b[0] * c[1] - b[1] * c[0]);
}

}  // namespace

TerrainSegment::TerrainSegment(const char* desc, std::shared_ptr<const TerrainLevels> lv, std::vector<float> err)
    : MeshNode(desc), levels(std::move(lv)), errors(std::move(err)) {
    typeName = "TerrainSegment";
    sampleKind = SampleCounter::TERRAIN;
    if (!levels) levels = std::make_shared<const TerrainLevels>(0, 0);
    errors.resize(static_cast<std::size_t>(levels->levelCount()), 0.0f);
    levelLists.assign(errors.size(), 0);
    levelBuffers.assign(errors.size(), 0);
}

TerrainSegment::~TerrainSegment() {
    if (!ExtensionManager::contextAvailable()) return;
    deleteLevelLists();
    deleteLevelBuffers();
}

double TerrainSegment::nearestEyeDistance() const {
    const float* m = getCurrentMatrix()->m;
    const double x[3] = {m[0], m[1], m[2]}, y[3] = {m[4], m[5], m[6]}, z[3] = {m[8], m[9], m[10]};
    const double back[3] = {-m[12], -m[13], -m[14]};
    const double det = determinant(x, y, z);
    if (std::fabs(det) < 1e-12) return 0.0;
    // The eye in the segment's coordinates (solving M e = 0 by Cramer's rule),
    // then the box point nearest to it, back in eye coordinates.
    const double eye[3] = {determinant(back, y, z) / det, determinant(x, back, z) / det,
                           determinant(x, y, back) / det};
    const BoundingBox& box = *boundingBox;
    const double nearest[3] = {std::clamp<double>(eye[0], box.minX, box.maxX),
                               std::clamp<double>(eye[1], box.minY, box.maxY),
                               std::clamp<double>(eye[2], box.minZ, box.maxZ)};
    double squared = 0.0;
    for (int r = 0; r < 3; ++r) {
        const double e = x[r] * nearest[0] + y[r] * nearest[1] + z[r] * nearest[2] - back[r];
        squared += e * e;
    }
    return std::sqrt(squared);
}

int TerrainSegment::chooseLevel() const {
    const int count = levels->levelCount();
    if (!detailSavings || count <= 1) return 0;
    if (forcedLevel >= 0) return std::min(forcedLevel, count - 1);
    if (!(pixelsPerUnit > 0.0)) return 0;
    // Heights are along the segment's y axis: its length in eye units scales them.
    const float* m = getCurrentMatrix()->m;
    const double yScale = std::sqrt(m[4] * m[4] + m[5] * m[5] + m[6] * m[6]);
    return TerrainLevels::coarsestWithin(errors, nearestEyeDistance(), pixelsPerUnit * yScale, MAX_PIXEL_ERROR);
}

int TerrainSegment::drawnTriangleCount() const {
    return drawnLevel == 0 ? getTriangleCount() : levels->triangleCount(drawnLevel);
}

void TerrainSegment::draw() {
    drawnLevel = chooseLevel();
    if (drawnLevel == 0)
        MeshNode::draw();
    else if (displayListsEnabled && useDisplayList)
        callLevelList(drawnLevel);
    else
        drawLevel(drawnLevel);
}

void TerrainSegment::callLevelList(int level) {
    GLuint& list = levelLists[static_cast<std::size_t>(level)];
    if (list == 0) {
        list = glGenLists(1);
        if (list == 0) {
            drawLevel(level);
            return;
        }
        // Compiled from the arrays, which the segment gives up again afterwards.
        withArrays([this, level, &list] {
            glNewList(list, GL_COMPILE);
            drawLevel(level);
            glEndList();
        });
    }
    glCallList(list);
}

void TerrainSegment::drawLevel(int level) {
    GeometryNode::executeDisplayList();  // the material
    const std::vector<GLuint>& list = levels->indices(level);
    const int count = static_cast<int>(list.size());
    if (count == 0) return;
    const bool textured = textureEnabled();
    if (textured) getTexture()->bind();
    switch (drawMode) {
        case 0:
            if (isVboReady()) freeVBO();
            if (restoreArrays()) drawImmediate(list.data(), count);
            break;
        case 1:
            if (isVboReady()) freeVBO();
            if (restoreArrays()) drawArrays(list.data(), count);
            break;
        case 2:
            if (!isVboReady()) initVBO();
            if (isVboReady()) drawBuffers(levelBuffer(level), count);
            break;
        default:  // debug mode: no high-detail geometry
            break;
    }
    if (textured) Texture::unbindTexture();
}

GLuint TerrainSegment::levelBuffer(int level) {
    GLuint& buffer = levelBuffers[static_cast<std::size_t>(level)];
    if (buffer != 0) return buffer;
    const std::vector<GLuint>& list = levels->indices(level);
    ExtensionManager::__glewGenBuffers(1, &buffer);
    ExtensionManager::__glewBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    ExtensionManager::__glewBufferData(GL_ELEMENT_ARRAY_BUFFER,
                                       static_cast<GLsizeiptr>(list.size() * sizeof(GLuint)), list.data(),
                                       GL_STATIC_DRAW);
    ExtensionManager::__glewBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    return buffer;
}

void TerrainSegment::disableDisplayList() {
    deleteLevelLists();
    MeshNode::disableDisplayList();
}

void TerrainSegment::freeVBO() {
    deleteLevelBuffers();
    MeshNode::freeVBO();
}

void TerrainSegment::deleteLevelLists() {
    for (GLuint& list : levelLists) {
        if (list != 0) glDeleteLists(list, 1);
        list = 0;
    }
}

void TerrainSegment::deleteLevelBuffers() {
    if (!ExtensionManager::vboAvailable()) return;
    for (GLuint& buffer : levelBuffers) {
        if (buffer != 0) ExtensionManager::__glewDeleteBuffers(1, &buffer);
        buffer = 0;
    }
}
