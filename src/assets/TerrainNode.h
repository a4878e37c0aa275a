#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "assets/DetailTexture.h"
#include "assets/GroundColours.h"
#include "assets/MeshNode.h"
#include "assets/MilkshapeNode.h"
#include "assets/TerrainGrid.h"
#include "assets/TerrainSegment.h"
#include "math/Vector.h"
#include "scenegraph/GroundCover.h"

struct NewtonWorld;

// The ground of the level, built from a greyscale heightmap of any size, 8 or
// 16 bits a pixel: one grid vertex per pixel (white = scale.y high), smooth vertex normals, and an n x n array
// of square segments. Each segment is a MeshNode with its own texture tile,
// added as a scene-graph child so that it is culled by its own occlusion
// query and drawn from its own display list. The terrain keeps the heightmap
// (one byte per pixel, TerrainGrid); a segment's indexed arrays go to its
// display list or vertex buffers and come back from the grid when a draw path
// or a reader needs them (MeshNode::withArrays). The grid spans -scale/2 to
// scale/2 on x and z around the node's offset; heightmap columns run along +x,
// rows along +z (DevIL's first row, the bottom of the picture, lies at -z).
// Tile "<prefix>_a_b.jpg" covers the a-th band of columns from the left and
// the b-th band of rows from the top of the picture; a terrain loaded
// without tiles is coloured by its heights and slopes (GroundColours). Its physical body is one
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
    // A heightmap that is missing, no picture or less than 2 x 2 pixels is
    // named with the reason.
    virtual void load(const char* subdir, const char* heightmapFile, const char* texPrefix, int segmentsPerDirection,
                      Vector scale);
    // The same for a ground without tile pictures: the heightmap at its path
    // as given, each segment coloured from the heights and slopes below it
    // (GroundColours), with the same checks and the same physics.
    void loadColoured(const std::string& heightmapPath, int segmentsPerDirection, Vector scale);
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
    // The heightmap as loaded; null before a load or after one that failed.
    const std::shared_ptr<const TerrainGrid>& getGrid() const { return grid; }
    // The colours of this ground seen from above for the minimap, side x
    // side (GroundColours::mapTexture); null without a terrain.
    std::shared_ptr<Texture2D> colouredMap(int side = GroundColours::MAP_SIDE) const;

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
    // The start both loads share: the first line, the segment count's upper bound.
    bool beginLoad(int segmentsPerDirection, const Vector& extent);
    // Reads the heightmap into the grid and checks it against the segment
    // count; false (with a message) when nothing can be built.
    bool loadHeightmap(const std::string& path);
    struct HeightmapPixels {
        int width = 0, height = 0;
        bool sixteenBits = false;
        std::vector<unsigned char> bytes;   // an 8-bit picture's
        std::vector<std::uint16_t> words;  // a 16-bit picture's
    };
    // The picture's luminance; reason says why there is none.
    static HeightmapPixels readHeightmap(const std::string& path, std::string& reason);
    std::vector<std::shared_ptr<Texture2D>> loadTiles(const char* subdir, const char* texPrefix) const;
    // Textures of segment (i, j) at i * n + j.
    using SegmentTextures = std::vector<std::shared_ptr<Texture2D>>;
    // Normals, segments with their textures, the physics: the rest of a load.
    void finishLoad(const std::function<SegmentTextures(const std::vector<Vector>&)>& textures);
    // normals: the grid's vertex normals (TerrainGrid::vertexNormals).
    SegmentTextures colourSegments(const std::vector<Vector>& normals) const;
    void buildSegments(const SegmentTextures& textures, const std::vector<Vector>& normals);
    std::shared_ptr<TerrainSegment> buildSegment(int i, int j, std::shared_ptr<const TerrainLevels> levels,
                                                 const std::vector<Vector>& normals) const;
};
