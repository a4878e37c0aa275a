#pragma once
#include <memory>
#include <vector>

#include "assets/DetailTexture.h"
#include "assets/MeshNode.h"
#include "assets/MilkshapeNode.h"
#include "assets/TerrainGrid.h"
#include "assets/TerrainSegment.h"
#include "math/Vector.h"
#include "scenegraph/GroundCover.h"

struct NewtonWorld;

// The ground of the level, built from a greyscale heightmap: one grid vertex
// per pixel (white = scale.y high), smooth vertex normals, and an n x n array
// of square segments. Each segment is a MeshNode with its own texture tile,
// added as a scene-graph child so that it is culled by its own occlusion
// query and drawn from its own display list. The terrain keeps the heightmap
// (one byte per pixel, TerrainGrid); a segment's indexed arrays go to its
// display list or vertex buffers and come back from the grid when a draw path
// or a reader needs them (MeshNode::withArrays). The grid spans -scale/2 to
// scale/2 on x and z around the node's offset; heightmap columns run along +x,
// rows along +z (DevIL's first row, the bottom of the picture, lies at -z).
// Tile "<prefix>_a_b.jpg" covers the a-th band of columns from the left and
// the b-th band of rows from the top of the picture. Its physical body is one
// static collision tree of all segment triangles (CollisionTreeBuilder); that
// tree and heightAt use the full grid, whatever level of detail a segment
// draws (TerrainSegment: the terrain hands the segments the projection in
// each drawing pass). A detail texture, when given, lays its grain over the
// tiles in the drawing passes, in the terrain's parent frame (world x and z),
// while DetailTexture::enabled and 2D textures are on.
class TerrainNode : public MilkshapeNode {
public:
    explicit TerrainNode(const char* nodeDescription);

    // Builds the terrain and puts the world size and four walls around it in
    // the level's physics world. The node's offset must be set before: the
    // walls are placed from it. A heightmap that cannot be loaded, or a
    // segment count that is 0 or larger than the heightmap, builds nothing;
    // more than MAX_SEGMENTS per direction are refused before any tile is read.
    virtual void load(const char* subdir, const char* heightmapFile, const char* texPrefix, int segmentsPerDirection,
                      Vector scale);
    // The tile pictures load() reads for n x n segments, in the order it
    // reads them: subdir/texPrefix_a_b.jpg, b counting fastest.
    static std::vector<std::string> tilePaths(const char* subdir, const char* texPrefix, int n);
    static constexpr int MAX_SEGMENTS = 256;

    // Ground height at a world position, interpolated on the triangle of the
    // cell below it; outside the terrain the height at the nearest edge.
    double heightAt(double x, double z) const;

    // The rectangle the segments cover and the lowest height in it, for
    // leaving out the sky where the ground surely hides it; without a
    // terrain (nothing loaded) an empty rectangle, which covers nothing. Its
    // heightAt is left to the owner, who knows how long the terrain lives.
    GroundCover groundCover() const;

    // The world size around the terrain and four static walls at its edges,
    // made in the given physics world from the node's offset (load does it in
    // the level's world).
    void createPhysicsBounds(NewtonWorld* world) const;

    // In the drawing passes the segments come front to back: the near ones
    // hide what lies behind them, which spares the far ones' pixels and lets
    // their occlusion queries find them hidden. Each segment learns the
    // pass's projection to choose its level of detail.
    void performOperations() override;

    // The grain laid over every segment's tile; null: none.
    void setDetailTexture(std::shared_ptr<DetailTexture> texture) { detail = std::move(texture); }
    const std::shared_ptr<DetailTexture>& getDetailTexture() const { return detail; }

    const std::vector<std::shared_ptr<TerrainSegment>>& getSegments() const { return segments; }
    int getSegmentsPerDirection() const { return segmentsPerDirection; }
    int getMapWidth() const { return mapWidth; }
    int getMapHeight() const { return mapHeight; }
    double getStepX() const { return stepX; }
    double getStepZ() const { return stepZ; }
    const Vector& getScale() const { return scale; }

private:
    double stepX = 1.0;
    double stepZ = 1.0;
    int mapWidth = -1;
    int mapHeight = -1;
    Vector scale;
    int segmentsPerDirection = 0;
    std::vector<std::shared_ptr<TerrainSegment>> segments;
    std::shared_ptr<DetailTexture> detail;

    // The heightmap itself: heights, normals and segment arrays on demand.
    std::shared_ptr<const TerrainGrid> grid;

    void sortSegmentsFrontToBack();
    // Pixels per eye unit at distance 1 from the viewport and the projection now in GL.
    static double pixelsPerUnit();
    bool loadHeightmap(const char* subdir, const char* heightmapFile, std::vector<unsigned char>& pixels);
    std::vector<std::shared_ptr<Texture2D>> loadTiles(const char* subdir, const char* texPrefix) const;
    // normals: the grid's vertex normals (TerrainGrid::vertexNormals).
    void buildSegments(const std::vector<std::shared_ptr<Texture2D>>& tiles, const std::vector<Vector>& normals);
    std::shared_ptr<TerrainSegment> buildSegment(int i, int j, std::shared_ptr<const TerrainLevels> levels,
                                                 const std::vector<Vector>& normals) const;
};
