#pragma once
#include <memory>
#include <vector>

#include "assets/MeshNode.h"
#include "assets/TerrainLevels.h"

// A terrain segment that draws, each frame, the coarsest of its levels of
// detail (TerrainLevels) whose error stays under half a pixel on the screen:
// its largest vertical error per level, projected at the nearest distance of
// the eye to the segment's box. Level 0 is the mesh's own full grid, drawn as
// any MeshNode; it is the only level while detailSavings is off. A coarser
// level uses the same corners with its own index list: in each draw path its
// own display list (compiled when first needed), its own index buffer over
// the mesh's vertex buffers, or its list straight from the arrays. Drawing
// goes through draw(), so the occlusion query a drawn segment counts covers
// the level it drew.
class TerrainSegment : public MeshNode {
public:
    // Half a pixel: the largest error a level may show.
    static constexpr double MAX_PIXEL_ERROR = 0.5;

    // levels: the index lists of the segment's shape (shared by the segments
    // of that shape); errors: the largest vertical error of each level in the
    // segment's units (TerrainLevels::errors of its heights).
    TerrainSegment(const char* nodeDescription, std::shared_ptr<const TerrainLevels> levels, std::vector<float> errors);
    ~TerrainSegment() override;

    // Pixels per eye unit at eye distance 1 on the viewport's vertical axis
    // (cot(fovy / 2) * viewport height / 2); the terrain sets it every drawing
    // pass. 0 (the start): no projection known, the segment draws level 0.
    void setPixelsPerUnit(double pixels) { pixelsPerUnit = pixels; }
    double getPixelsPerUnit() const { return pixelsPerUnit; }
    // The level the segment would draw now, by the matrix of its last test or drawing.
    int chooseLevel() const;
    // The level and triangles of the segment's last drawing.
    int getDrawnLevel() const { return drawnLevel; }
    int drawnTriangleCount() const;
    const std::vector<float>& getErrors() const { return errors; }
    const TerrainLevels& getLevels() const { return *levels; }
    // Eye distance from the matrix of the last test or drawing to the nearest point of the box.
    double nearestEyeDistance() const;

    void draw() override;
    void disableDisplayList() override;
    void freeVBO() override;

    // 0 or more: the segment draws this level (or its coarsest) wherever it
    // is, while detailSavings is on; for looking at the levels and testing
    // their seams.
    int forcedLevel = -1;

private:
    std::shared_ptr<const TerrainLevels> levels;
    std::vector<float> errors;
    double pixelsPerUnit = 0.0;
    int drawnLevel = 0;
    // Per level above 0: its display list and index buffer, or 0.
    std::vector<GLuint> levelLists;
    std::vector<GLuint> levelBuffers;

    void drawLevel(int level);
    void callLevelList(int level);
    GLuint levelBuffer(int level);
    void deleteLevelLists();
    void deleteLevelBuffers();
};
