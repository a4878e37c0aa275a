#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "assets/Texture2D.h"
#include "gl/KeptRegion.h"
#include "scenegraph/ScenegraphNode.h"

// The level seen from above in the HUD's bottom left corner, north (-z) up
// and east (+x) to the right, whichever way the car turns: the ground's
// picture with markers on it. The level gives the markers each frame.
//
// It is pinned to the screen and drawn in the frame's last pass, before the
// screen pictures that the root visits after it (message boards, the arrow
// row): they stay on top of it, as they do of the whole world.
class Minimap : public ScenegraphNode {
public:
    // Drawn in this order: later kinds lie on top of earlier ones (a sign
    // over the item that lies five units before it). The kinds up to
    // SIGN_DISMANTLED stay where they are until they change.
    enum Kind { START_AREA, ITEM, SIGN, SIGN_DISMANTLED, PURSUER, PURSUER_HUNTING, CAR };

    struct Marker {
        Kind kind = CAR;
        float x = 0.0f, z = 0.0f;                     // the world position
        float frontX = 0.0f, frontZ = -1.0f;          // CAR: where its front points, along the ground
        float radius = 0.0f;                          // START_AREA: the area's radius in units
        float colour[3] = {1.0f, 1.0f, 1.0f};         // ITEM: the item's own colour
        bool operator==(const Marker& other) const;
    };

    // Where the map lies in a window, in pixels from the lower left corner.
    struct Frame {
        float left = 0.0f, bottom = 0.0f, size = 0.0f;
        float right() const { return left + size; }
        float top() const { return bottom + size; }
    };

    // 160 x 160 pixels, 10 from the left and bottom edges, at 800 x 600; in
    // other windows scaled by the smaller of the two size ratios.
    static constexpr float SIZE = 160.0f, MARGIN = 10.0f;
    static constexpr float REFERENCE_WIDTH = 800.0f, REFERENCE_HEIGHT = 600.0f;
    // The square shown: 250 units from the middle of the level each way, the
    // signs (200 out) and the ground round them.
    static constexpr float SHOWN_HALF_EXTENT = 250.0f;

    // ground: a picture of the whole terrain, a square terrainExtent units
    // wide round x = z = 0, north at its top, opaque. Without a picture (a
    // file that did not load) the map is a plain dark square with its markers.
    Minimap(std::shared_ptr<Texture2D> ground, float terrainExtent);

    void setMarkers(std::vector<Marker> markers) { this->markers = std::move(markers); }
    const std::vector<Marker>& getMarkers() const { return markers; }

    bool pinnedToScreen() const override { return true; }
    void performOperations() override;
    void executeDisplayList() override {}

    static Frame frameIn(int windowWidth, int windowHeight);
    // The window pixel where a world point shows on a map in that frame;
    // points outside the square shown stay on its edge.
    static void toWindow(const Frame& frame, float x, float z, float& px, float& py);

    // What the markers look like and mean, for the help and the README.
    struct LegendEntry {
        const char* marker;
        const char* meaning;
    };
    static const std::vector<LegendEntry>& legend();
    // "Minimap, north up: white arrow: your car, ...; ..." in lines of at
    // most width characters, broken at spaces, each ending in a line break.
    static std::string legendText(std::size_t width);

    bool visible = true;

private:
    // The dark border round the map, in whole pixels.
    static float borderWidth(const Frame& frame);
    void paintGroundPicture(const Frame& frame) const;
    // Whether the marker is drawn into the still picture: a kind that stays
    // put, wholly inside the map (what reaches over its edge is drawn each frame).
    static bool isStill(const Marker& marker, const Frame& frame);
    void drawStillPicture(const Frame& frame);

    std::shared_ptr<Texture2D> ground;
    float terrainExtent;
    std::vector<Marker> markers;
    std::vector<float> vertices;  // the triangles of one draw, kept between frames
    // The ground with its border and the still markers, as the window showed
    // it. Drawn afresh and read back only when a still marker or the
    // window's size changes (a sign taken down, an item taken); every other
    // frame draws this one picture, and over it only the car and the
    // pursuers, which are opaque and so drawn without blending.
    KeptRegion stillPicture;
    std::vector<Marker> stillMarkers;  // those the kept picture shows
    std::vector<Marker> stillNow;      // those of this frame (kept for its storage)
    std::vector<float> stillVertices;
};
