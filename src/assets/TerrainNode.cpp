#include "assets/TerrainNode.h"

#include "assets/Texture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <IL/il.h>

#include "math/Utilities.h"
#include "physics/CollisionTreeBuilder.h"
#include "physics/PhysicVolume.h"
#include "physics/Physics.h"
#include "physics/newton.h"

namespace {

// Heightmap bytes to heights: a white pixel lies scale.y high.
constexpr double ONE_OVER_255 = 0.00392156862745098;

// Corner order inside a cell (r, c): A = (r, c), B = (r+1, c+1), C = (r, c+1),
// D = (r+1, c). Its two triangles are T1 = (A, B, C) and T2 = (A, D, B).
enum Corner { A = 0, B = 1, C = 2, D = 3 };
constexpr Corner T1[3] = {A, B, C};
constexpr Corner T2[3] = {A, D, B};

}  // namespace

TerrainNode::TerrainNode(const char* desc) : MilkshapeNode(desc) {
    typeName = "TerrainNode";
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
    std::printf("\n TerrainNode::load() - %s: creating terrain from heightmap", nodeDescription.c_str());
    scale = extent;
    segmentsPerDirection = n;

    // The heightmap comes before the tiles so that a segment count that does
    // not fit it is refused before n x n tiles are loaded for nothing.
    std::vector<unsigned char> pixels;
    if (!loadHeightmap(subdir, heightmapFile, pixels)) return;
    if (n < 1 || n > mapWidth || n > mapHeight) {
        std::printf("\n TerrainNode::load() - %s: ERROR! a %ix%i heightmap cannot be cut into %ix%i segments",
                    nodeDescription.c_str(), mapWidth, mapHeight, n, n);
        return;
    }
    std::vector<std::shared_ptr<Texture2D>> tiles = loadTiles(subdir, texPrefix);

    Grid grid;
    buildGrid(pixels, grid);
    pixels.clear();
    buildSegments(grid, tiles);
    std::printf("\n   deleting temporary data...");
    if (Physics::newtonWorld)
        createPhysicsBounds(Physics::newtonWorld);
    else
        std::printf("\n TerrainNode::load() - %s: WARNING! no physics world: no walls around the terrain",
                    nodeDescription.c_str());
}

bool TerrainNode::loadHeightmap(const char* subdir, const char* heightmapFile, std::vector<unsigned char>& pixels) {
    Texture::ensureStarted();  // the heightmap may be the first picture the game reads
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    std::string path = Utilities<char>::createString("%s/%s", subdir, heightmapFile);
    std::printf("\n   loading heightmap: %s", path.c_str());
    if (!ilLoadImage(path.c_str())) {
        std::printf("\n ERROR!: Error while loading image!");
        ilDeleteImages(1, &image);
        return false;
    }
    mapWidth = ilGetInteger(IL_IMAGE_WIDTH);
    mapHeight = ilGetInteger(IL_IMAGE_HEIGHT);
    // One luminance byte per pixel, pixel (c, r) at r * W + c.
    pixels.assign(static_cast<std::size_t>(mapWidth) * static_cast<std::size_t>(mapHeight), 0);
    ilCopyPixels(0, 0, 0, static_cast<ILuint>(mapWidth), static_cast<ILuint>(mapHeight), 1, IL_LUMINANCE,
                 IL_UNSIGNED_BYTE, pixels.data());
    ilDeleteImages(1, &image);
    return true;
}

std::vector<std::shared_ptr<Texture2D>> TerrainNode::loadTiles(const char* subdir, const char* texPrefix) const {
    const int n = segmentsPerDirection;
    std::printf("\n   preparing terrain textures: ");
    std::vector<std::shared_ptr<Texture2D>> tiles;  // tile[a][b] at a * n + b
    for (int a = 0; a < n; ++a)
        for (int b = 0; b < n; ++b) {
            std::printf("*");
            std::string path = Utilities<char>::createString("%s/%s_%i_%i.jpg", subdir, texPrefix, a, b);
            tiles.push_back(Texture2D::createFromFile(path, GL_MIRRORED_REPEAT));
        }
    return tiles;
}

void TerrainNode::buildGrid(const std::vector<unsigned char>& pixels, Grid& grid) {
    const int W = mapWidth, H = mapHeight;
    std::printf("\n   generating terrain vertices...");
    stepX = scale.x / W;
    stepZ = scale.z / H;
    const double f = scale.y * ONE_OVER_255;
    grid.points.resize(static_cast<std::size_t>(W) * H);
    for (int r = 0; r < H; ++r)
        for (int c = 0; c < W; ++c)
            grid.points[r * W + c] =
                Vector(c * stepX - 0.5 * scale.x, pixels[static_cast<std::size_t>(r) * W + c] * f, r * stepZ - 0.5 * scale.z);

    std::printf("\n   calculating face normals...");
    grid.faceNormals.resize(2 * static_cast<std::size_t>(W - 1) * (H - 1));
    for (int r = 0; r + 1 < H; ++r)
        for (int c = 0; c + 1 < W; ++c) {
            int k[4];
            corners(r, c, k);
            const Vector &a = grid.points[k[A]], &b = grid.points[k[B]], &cc = grid.points[k[C]],
                         &d = grid.points[k[D]];
            std::size_t at = 2 * (static_cast<std::size_t>(r) * (W - 1) + c);
            grid.faceNormals[at] = Vector::crossProduct(Vector::diff(a, b), Vector::diff(a, cc)).normalize();
            grid.faceNormals[at + 1] = Vector::crossProduct(Vector::diff(d, a), Vector::diff(b, a)).normalize();
        }

    // Both face normals of every neighbouring cell count with equal weight,
    // also the triangle of a cell that does not touch the vertex.
    std::printf("\n   calculating vertex normals...");
    grid.vertexNormals.resize(grid.points.size());
    for (int r = 0; r < H; ++r)
        for (int c = 0; c < W; ++c) {
            Vector sum;
            auto addCell = [&](int cr, int cc) {
                std::size_t at = 2 * (static_cast<std::size_t>(cr) * (W - 1) + cc);
                sum = Vector::add(Vector::add(sum, grid.faceNormals[at]), grid.faceNormals[at + 1]);
            };
            if (c < W - 1 && r < H - 1) addCell(r, c);
            if (c < W - 1 && r > 0) addCell(r - 1, c);
            if (c > 0 && r > 0) addCell(r - 1, c - 1);
            if (c > 0 && r < H - 1) addCell(r, c - 1);
            grid.vertexNormals[r * W + c] = sum.normalize();
        }
}

void TerrainNode::corners(int r, int c, int index[4]) const {
    const int W = mapWidth;
    index[A] = r * W + c;
    index[B] = (r + 1) * W + c + 1;
    index[C] = r * W + c + 1;
    index[D] = (r + 1) * W + c;
}

void TerrainNode::buildSegments(const Grid& grid, const std::vector<std::shared_ptr<Texture2D>>& tiles) {
    const int n = segmentsPerDirection;
    std::printf("\n   splitting terrain in %ix%i quad sections with %ix%i vertices...", n, n, mapWidth / n,
                mapHeight / n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            std::shared_ptr<MeshNode> segment = buildSegment(grid, i, j);
            segment->setMaterial(material);
            // Tile numbers count the z bands from the other side.
            std::shared_ptr<Texture2D> tile = tiles[static_cast<std::size_t>(j) * n + (n - 1 - i)];
            tile->enabled = true;
            segment->setTexture(tile);
            segment->useOwnTransform = true;  // no body of its own: the terrain's collision tree covers it
            segment->enableDisplayList();
            segments.push_back(segment);
            addChild(segment);
        }
}

// Segment (i, j) covers the cells of z band i and x band j; neighbouring
// segments share their border vertices, so the last band is one cell short.
std::shared_ptr<MeshNode> TerrainNode::buildSegment(const Grid& grid, int i, int j) const {
    const int n = segmentsPerDirection, segW = mapWidth / n, segH = mapHeight / n;
    const int quadsX = j == n - 1 ? segW - 1 : segW;
    const int quadsZ = i == n - 1 ? segH - 1 : segH;
    std::string name = Utilities<char>::createString("terrain segment %i:%i", j, i);
    std::shared_ptr<MeshNode> mesh = std::make_shared<MeshNode>(name.c_str());
    const int vertices = (quadsZ + 1) * (quadsX + 1);
    mesh->allocate(vertices, vertices, 2 * quadsX * quadsZ);
    float* v = mesh->getTriangleVertices().get();
    float* nrm = mesh->getTriangleNormals().get();
    float* t = mesh->getTriangleTexCoords().get();
    for (int q = 0; q < quadsZ; ++q)
        for (int p = 0; p < quadsX; ++p) {
            int k[4];
            corners(i * segH + q, j * segW + p, k);
            const float u0 = static_cast<float>(p) / quadsX, u1 = static_cast<float>(p + 1) / quadsX;
            const float v0 = static_cast<float>(q) / quadsZ, v1 = static_cast<float>(q + 1) / quadsZ;
            const float uv[4][2] = {{u0, v0}, {u1, v1}, {u1, v0}, {u0, v1}};  // A, B, C, D
            std::size_t corner = 6 * (static_cast<std::size_t>(q) * quadsX + p);  // 2 triangles, 3 corners each
            for (const Corner* triangle : {T1, T2})
                for (int m = 0; m < 3; ++m, ++corner) {
                    const Vector& pos = grid.points[k[triangle[m]]];
                    const Vector& normal = grid.vertexNormals[k[triangle[m]]];
                    float* pv = v + 3 * corner;
                    float* pn = nrm + 3 * corner;
                    pv[0] = static_cast<float>(pos.x);
                    pv[1] = static_cast<float>(pos.y);
                    pv[2] = static_cast<float>(pos.z);
                    pn[0] = static_cast<float>(normal.x);
                    pn[1] = static_cast<float>(normal.y);
                    pn[2] = static_cast<float>(normal.z);
                    t[2 * corner] = uv[triangle[m]][0];
                    t[2 * corner + 1] = uv[triangle[m]][1];
                }
        }
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
    const int quadsX = sc == n - 1 ? segW - 1 : segW;
    const MeshNode& segment = *segments[static_cast<std::size_t>(sr) * n + sc];
    const float* v = segment.getTriangleVertices().get() + 9 * 2 * (static_cast<std::size_t>(lr) * quadsX + lc);
    // T1 = (A, B, C) at v[0..8], T2 = (A, D, B) at v[9..17]; heights are the y values.
    double h;
    if (fz > fx) {
        const double hA = v[10], hD = v[13], hB = v[16];
        h = hA + fz * (hD - hA) + fx * (hB - hD);
    } else {
        const double hA = v[1], hB = v[4], hC = v[7];
        h = hA + fx * (hC - hA) + fz * (hB - hC);
    }
    return posY + h;
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
    if (state == OPAQUE_PASS || state == SINGLE_PASS) sortSegmentsFrontToBack();
    MilkshapeNode::performOperations();
}

void TerrainNode::sortSegmentsFrontToBack() {
    if (children.size() != segments.size()) return;  // something else hangs below the terrain
    // Squared eye distance of each segment's box centre, by the matrix of its last test or drawing.
    std::vector<std::pair<float, std::shared_ptr<MeshNode>>> order;
    order.reserve(segments.size());
    for (const std::shared_ptr<MeshNode>& segment : segments) {
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
