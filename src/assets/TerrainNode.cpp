#include "assets/TerrainNode.h"

#include "assets/Texture.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <thread>
#include <string>
#include <utility>

#include <IL/il.h>

#include "math/Utilities.h"
#include "physics/CollisionTreeBuilder.h"
#include "physics/PhysicVolume.h"
#include "physics/Physics.h"
#include "physics/newton.h"

TerrainNode::TerrainNode(const char* desc) : MilkshapeNode(desc) {
    typeName = "TerrainNode";
    sampleKind = SampleCounter::TERRAIN;
    // Arrays of its own, so the class-wide default colours stay untouched;
    // specular and shininess keep the defaults. All segments share this material.
    material->ambient = Utilities<float>::createArray(0.5f, 0.33f, 0.086f, 1.0f);
    material->diffuse = Utilities<float>::createArray(0.925f, 0.8f, 0.674f, 1.0f);
    material->emission = Utilities<float>::createArray(0.5f, 0.5f, 0.5f, 1.0f);
    // The terrain's body is one static tree of all segment triangles.
    physicVolume->creator = std::make_shared<CollisionTreeBuilder>(this);
    physicVolume->materialGroupID = Physics::levelMat;
}

void TerrainNode::load(const char* subdir, const char* heightmapFile, const char* texPrefix, int n, Vector extent) {
    if (!beginLoad(n, extent)) return;
    // n x n tile files are read before the heightmap: a count no heightmap
    // could take is refused before that many tiles are tried.
    const std::vector<std::shared_ptr<Texture2D>> tiles = loadTiles(subdir, texPrefix);
    if (!loadHeightmap(Utilities<char>::createString("%s/%s", subdir, heightmapFile))) return;
    finishLoad([&tiles, n](const std::vector<Vector>&) {
        // Tile numbers count the z bands from the other side.
        SegmentTextures textures;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) textures.push_back(tiles[static_cast<std::size_t>(j) * n + (n - 1 - i)]);
        return textures;
    });
}

void TerrainNode::loadColoured(const std::string& heightmapPath, int n, Vector extent) {
    if (!beginLoad(n, extent) || !loadHeightmap(heightmapPath)) return;
    finishLoad([this](const std::vector<Vector>& normals) { return colourSegments(normals); });
}

bool TerrainNode::beginLoad(int n, const Vector& extent) {
    std::printf("\n TerrainNode::load() - %s: creating terrain from heightmap", nodeDescription.c_str());
    scale = extent;
    segmentsPerDirection = n;
    if (n > MAX_SEGMENTS) {
        std::printf("\n TerrainNode::load() - %s: ERROR! %ix%i segments are more than the %ix%i a terrain may have",
                    nodeDescription.c_str(), n, n, MAX_SEGMENTS, MAX_SEGMENTS);
        return false;
    }
    return true;
}

void TerrainNode::finishLoad(const std::function<SegmentTextures(const std::vector<Vector>&)>& textures) {
    std::printf("\n   calculating face normals...");
    std::vector<Vector> faces = grid->faceNormals();
    std::printf("\n   calculating vertex normals...");
    std::vector<Vector> normals = grid->vertexNormals(faces);
    faces = std::vector<Vector>();
    buildSegments(textures(normals), normals);
    // The normals were for the segments' first arrays; later ones come from the grid.
    std::printf("\n   deleting temporary data...");
    normals = std::vector<Vector>();
    if (Physics::newtonWorld)
        createPhysicsBounds(Physics::newtonWorld);
    else
        std::printf("\n TerrainNode::load() - %s: WARNING! no physics world: no walls around the terrain",
                    nodeDescription.c_str());
}

bool TerrainNode::loadHeightmap(const std::string& path) {
    Texture::ensureStarted();  // the heightmap may be the first picture the game reads
    std::printf("\n   loading heightmap: %s", path.c_str());
    std::string reason;
    HeightmapPixels pixels = readHeightmap(path, reason);
    if (!reason.empty()) {
        std::printf("\n ERROR!: Error while loading image! %s: %s", path.c_str(), reason.c_str());
        return false;
    }
    mapWidth = pixels.width;
    mapHeight = pixels.height;
    const int n = segmentsPerDirection;
    if (n < 1 || n > mapWidth || n > mapHeight) {
        std::printf("\n TerrainNode::load() - %s: ERROR! a %ix%i heightmap cannot be cut into %ix%i segments",
                    nodeDescription.c_str(), mapWidth, mapHeight, n, n);
        return false;
    }
    // The grid of vertices is the heightmap itself, kept: points come from its pixels.
    std::printf("\n   generating terrain vertices...");
    if (pixels.sixteenBits)
        grid = std::make_shared<const TerrainGrid>(std::move(pixels.words), mapWidth, mapHeight, scale);
    else
        grid = std::make_shared<const TerrainGrid>(std::move(pixels.bytes), mapWidth, mapHeight, scale);
    stepX = grid->getStepX();
    stepZ = grid->getStepZ();
    return true;
}

// One luminance value per pixel, pixel (c, r) at r * W + c: bytes for an
// 8-bit picture, words for one with 16 bits a channel, so that its precision
// reaches the heights.
TerrainNode::HeightmapPixels TerrainNode::readHeightmap(const std::string& path, std::string& reason) {
    HeightmapPixels pixels;
    if (!std::ifstream(path, std::ios::binary).good()) {
        reason = "no such file";
        return pixels;
    }
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    if (!ilLoadImage(path.c_str())) {
        reason = "not a picture";
        ilDeleteImages(1, &image);
        return pixels;
    }
    pixels.width = ilGetInteger(IL_IMAGE_WIDTH);
    pixels.height = ilGetInteger(IL_IMAGE_HEIGHT);
    if (pixels.width < 2 || pixels.height < 2) {
        reason = Utilities<char>::createString("%ix%i pixels, a terrain needs at least 2x2", pixels.width,
                                               pixels.height);
    } else {
        const std::size_t count = static_cast<std::size_t>(pixels.width) * static_cast<std::size_t>(pixels.height);
        const ILuint w = static_cast<ILuint>(pixels.width), h = static_cast<ILuint>(pixels.height);
        pixels.sixteenBits = ilGetInteger(IL_IMAGE_BPC) >= 2;
        if (pixels.sixteenBits) {
            pixels.words.assign(count, 0);
            ilCopyPixels(0, 0, 0, w, h, 1, IL_LUMINANCE, IL_UNSIGNED_SHORT, pixels.words.data());
        } else {
            pixels.bytes.assign(count, 0);
            ilCopyPixels(0, 0, 0, w, h, 1, IL_LUMINANCE, IL_UNSIGNED_BYTE, pixels.bytes.data());
        }
    }
    ilDeleteImages(1, &image);
    return pixels;
}

std::vector<std::string> TerrainNode::tilePaths(const char* subdir, const char* texPrefix, int n) {
    std::vector<std::string> paths;  // tile[a][b] at a * n + b
    for (int a = 0; a < n; ++a)
        for (int b = 0; b < n; ++b)
            paths.push_back(Utilities<char>::createString("%s/%s_%i_%i.jpg", subdir, texPrefix, a, b));
    return paths;
}

std::vector<std::shared_ptr<Texture2D>> TerrainNode::loadTiles(const char* subdir, const char* texPrefix) const {
    std::printf("\n   preparing terrain textures: ");
    const std::vector<std::string> paths = tilePaths(subdir, texPrefix, segmentsPerDirection);
    // A second thread reads the next tiles while this one uploads, unless
    // the level asked for them earlier.
    Texture2D::readAhead(paths);
    std::vector<std::shared_ptr<Texture2D>> tiles;
    for (const std::string& path : paths) {
        std::printf("*");
        tiles.push_back(Texture2D::createFromFile(path, GL_MIRRORED_REPEAT));
    }
    return tiles;
}

TerrainNode::SegmentTextures TerrainNode::colourSegments(const std::vector<Vector>& normals) const {
    std::printf("\n   colouring terrain by height and slope: ");
    const int n = segmentsPerDirection;
    const GroundColours colours(*grid, normals);
    // The texels of all segments are worked out on every core; the GL takes them here.
    std::vector<std::vector<unsigned char>> texels(static_cast<std::size_t>(n) * n);
    std::vector<int> sides(texels.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t k = next++; k < texels.size(); k = next++) {
            const int i = static_cast<int>(k) / n, j = static_cast<int>(k) % n;
            sides[k] = GroundColours::segmentSide(grid->segmentQuadsX(j, n), grid->segmentQuadsZ(i, n));
            texels[k] = colours.segmentTexels(*grid, i, j, n, sides[k]);
        }
    };
    std::vector<std::thread> helpers;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned t = 1; t < cores && t < texels.size(); ++t) helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers) helper.join();
    SegmentTextures textures;
    for (std::size_t k = 0; k < texels.size(); ++k) {
        std::printf("*");
        const std::string name = Utilities<char>::createString("%s: ground colours of segment %i:%i",
                                                              nodeDescription.c_str(), static_cast<int>(k) % n,
                                                              static_cast<int>(k) / n);
        textures.push_back(Texture2D::createFromTexels(name, texels[k], sides[k], sides[k], 3, GL_MIRRORED_REPEAT,
                                                       GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, true, true));
        texels[k] = std::vector<unsigned char>();
    }
    return textures;
}

std::shared_ptr<Texture2D> TerrainNode::colouredMap(int side) const {
    if (!grid) return nullptr;
    return GroundColours(*grid).mapTexture(side);
}

void TerrainNode::buildSegments(const SegmentTextures& textures, const std::vector<Vector>& normals) {
    const int n = segmentsPerDirection;
    std::printf("\n   splitting terrain in %ix%i quad sections with %ix%i vertices...", n, n, mapWidth / n,
                mapHeight / n);
    // The segments of one shape (the last band is a cell short) share their index lists.
    std::map<std::pair<int, int>, std::shared_ptr<const TerrainLevels>> shapes;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const std::pair<int, int> shape(grid->segmentQuadsX(j, n), grid->segmentQuadsZ(i, n));
            std::shared_ptr<const TerrainLevels>& levels = shapes[shape];
            if (!levels) levels = std::make_shared<const TerrainLevels>(shape.first, shape.second);
            std::shared_ptr<TerrainSegment> segment = buildSegment(i, j, levels, normals);
            segment->setMaterial(material);
            const std::shared_ptr<Texture2D>& tile = textures[static_cast<std::size_t>(i) * n + j];
            tile->enabled = true;
            segment->setTexture(tile);
            segment->useOwnTransform = true;  // no body of its own: the terrain's collision tree covers it
            segment->enableDisplayList();  // the list takes the geometry: the segment frees its arrays
            segments.push_back(segment);
            addChild(segment);
        }
}

// Segment (i, j) covers the cells of z band i and x band j. Its arrays come
// from the grid, and again from the grid whenever a draw path needs them after
// its display list or vertex buffers took the geometry.
std::shared_ptr<TerrainSegment> TerrainNode::buildSegment(int i, int j, std::shared_ptr<const TerrainLevels> levels,
                                                         const std::vector<Vector>& normals) const {
    std::string name = Utilities<char>::createString("terrain segment %i:%i", j, i);
    const int n = segmentsPerDirection;
    std::shared_ptr<const TerrainGrid> source = grid;
    const std::vector<float> heights = source->segmentHeights(i, j, n);
    auto mesh = std::make_shared<TerrainSegment>(name.c_str(), levels, levels->errors(heights.data()));
    mesh->setGeometrySource([source, i, j, n](MeshNode& target) { source->fillSegment(target, i, j, n); });
    source->fillSegment(*mesh, i, j, n, &normals);
    return mesh;
}

double TerrainNode::heightAt(double x, double z) const {
    if (segments.empty()) return posY;
    const int n = segmentsPerDirection, segW = mapWidth / n, segH = mapHeight / n;
    // The segments cover the cells 0 .. n * seg - 2 of each axis; a point
    // outside is moved onto the nearest edge.
    const int lastCellX = n * segW - 2, lastCellZ = n * segH - 2;
    if (lastCellX < 0 || lastCellZ < 0) return posY;
    const double gx = (0.5 * scale.x + x - posX) / stepX;
    const double gz = (0.5 * scale.z + z - posZ) / stepZ;
    const int cellX = std::clamp(static_cast<int>(std::floor(gx)), 0, lastCellX);
    const int cellZ = std::clamp(static_cast<int>(std::floor(gz)), 0, lastCellZ);
    const double fx = std::clamp(gx - cellX, 0.0, 1.0), fz = std::clamp(gz - cellZ, 0.0, 1.0);

    const int sc = std::min(cellX / segW, n - 1), sr = std::min(cellZ / segH, n - 1);
    const int lc = cellX - sc * segW, lr = cellZ - sr * segH;
    // Heights are the y values of the cell's corners A, B, C, D as the segments hold them.
    const int row = sr * segH + lr, column = sc * segW + lc;
    auto height = [&](int r, int c) { return static_cast<double>(static_cast<float>(grid->point(r, c).y)); };
    const double hA = height(row, column), hB = height(row + 1, column + 1);
    double h;
    if (fz > fx) {  // T2 = (A, D, B)
        const double hD = height(row + 1, column);
        h = hA + fz * (hD - hA) + fx * (hB - hD);
    } else {  // T1 = (A, B, C)
        const double hC = height(row, column + 1);
        h = hA + fx * (hC - hA) + fz * (hB - hC);
    }
    return posY + h;
}

GroundCover TerrainNode::groundCover() const {
    GroundCover cover;
    if (segments.empty() || !grid) return cover;
    const int n = segmentsPerDirection;
    int cellsX = 0, cellsZ = 0;
    for (int j = 0; j < n; ++j) cellsX += grid->segmentQuadsX(j, n);
    for (int i = 0; i < n; ++i) cellsZ += grid->segmentQuadsZ(i, n);
    const Vector corner = grid->point(0, 0);
    cover.minX = posX + corner.x;
    cover.maxX = cover.minX + cellsX * grid->getStepX();
    cover.minZ = posZ + corner.z;
    cover.maxZ = cover.minZ + cellsZ * grid->getStepZ();
    double lowest = corner.y;
    for (int r = 0; r < grid->getHeight(); ++r)
        for (int c = 0; c < grid->getWidth(); ++c) lowest = std::min(lowest, static_cast<double>(grid->point(r, c).y));
    cover.lowest = posY + lowest;
    return cover;
}

void TerrainNode::createPhysicsBounds(NewtonWorld* world) const {
    const float minPoint[3] = {static_cast<float>(-scale.x), static_cast<float>(-2 * scale.y),
                               static_cast<float>(-scale.z)};
    const float maxPoint[3] = {static_cast<float>(scale.x), static_cast<float>(2 * scale.y),
                               static_cast<float>(scale.z)};
    NewtonSetWorldSize(world, minPoint, maxPoint);

    const float h = static_cast<float>(20 * scale.y), sx = static_cast<float>(scale.x),
                sz = static_cast<float>(scale.z);
    struct Wall {
        float x, z, sizeX, sizeZ;
    };
    const Wall walls[4] = {{posX - 0.495f * sx, posZ, 1, sz},
                           {posX + 0.495f * sx, posZ, 1, sz},
                           {posX, posZ - 0.495f * sz, sx, 1},
                           {posX, posZ + 0.495f * sz, sx, 1}};
    for (const Wall& wall : walls) {
        Matrix offset;
        offset.setTranslate(wall.x, posY, wall.z);
        NewtonCollision* box = NewtonCreateBox(world, wall.sizeX, h, wall.sizeZ, offset.data());
        NewtonCreateBody(world, box);  // static: no mass; the world keeps it
        NewtonReleaseCollision(world, box);
    }
}

void TerrainNode::performOperations() {
    const RenderStates state = getRenderState();
    const bool drawing = state == OPAQUE_PASS || state == SINGLE_PASS;
    if (drawing) {
        sortSegmentsFrontToBack();
        const double pixels = pixelsPerUnit();
        for (const std::shared_ptr<TerrainSegment>& segment : segments) segment->setPixelsPerUnit(pixels);
    }
    // Begun before the terrain's own offset is applied: the grain follows world x and z.
    const bool grain = drawing && detail && DetailTexture::enabled && glIsEnabled(GL_TEXTURE_2D);
    if (grain) detail->begin();
    MilkshapeNode::performOperations();
    if (grain) detail->end();
}

double TerrainNode::pixelsPerUnit() {
    GLint viewport[4] = {0, 0, 0, 0};
    GLfloat projection[16] = {0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // A perspective projection maps y / -z = tan(fovy / 2) to the top edge: element 5 is cot(fovy / 2).
    return 0.5 * projection[5] * viewport[3];
}

void TerrainNode::sortSegmentsFrontToBack() {
    if (children.size() != segments.size()) return;  // something else hangs below the terrain
    // Squared eye distance of each segment's box centre, by the matrix of its last test or drawing.
    std::vector<std::pair<float, std::shared_ptr<TerrainSegment>>> order;
    order.reserve(segments.size());
    for (const std::shared_ptr<TerrainSegment>& segment : segments) {
        const float* m = segment->getCurrentMatrix()->m;
        const float* c = segment->getBoundingBox()->center;
        float d = 0;
        for (int r = 0; r < 3; ++r) {
            const float e = m[r] * c[0] + m[4 + r] * c[1] + m[8 + r] * c[2] + m[12 + r];
            d += e * e;
        }
        order.emplace_back(d, segment);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    children.clear();
    for (const auto& entry : order) children.push_back(entry.second);
}
