#pragma once
#include <string>
#include <vector>

#include "gl/GlyphAtlas.h"
#include "scenegraph/ScenegraphNode.h"

// The car's speed over the ground beside the minimap: a number in km/h (a
// unit of the level is a metre) over a bar that fills up to the top speed the
// car has now, and that top speed under it, in blue while the engine item
// raises it. The level gives the speeds each frame.
//
// Pinned to the screen and drawn in the frame's last pass, as the minimap is.
class Speedometer : public ScenegraphNode {
public:
    // A unit a second is 3.6 km/h.
    static constexpr double KMH_PER_UNIT_PER_SECOND = 3.6;
    // The panel's size in pixels (its texts are bitmap fonts, which do not
    // scale), GAP pixels at 800 x 600 to the right of the minimap.
    static constexpr int WIDTH = 124, HEIGHT = 62, GAP = 8;

    Speedometer();

    // Speeds in units per second; boosted: the engine item raises the top speed.
    void show(double speed, double topSpeed, bool boosted);

    // Whole km/h, rounded: "54 km/h".
    static std::string kmh(double unitsPerSecond);
    std::string reading() const { return kmh(speed); }
    std::string topReading() const { return "top " + kmh(topSpeed); }
    double getSpeed() const { return speed; }
    double getTopSpeed() const { return topSpeed; }
    bool isBoosted() const { return boosted; }

    bool pinnedToScreen() const override { return true; }
    void performOperations() override;
    void executeDisplayList() override {}

    // The panel's lower left corner in a window.
    static void placeIn(int windowWidth, int windowHeight, int& left, int& bottom);

    bool visible = true;

private:
    double speed = 0.0, topSpeed = 0.0;
    bool boosted = false;
    // The two texts in their two fonts, drawn at once from one texture:
    // glBitmap costs much more.
    GlyphAtlas texts;
    std::vector<float> vertices;  // the panel's triangles, kept between frames
};
