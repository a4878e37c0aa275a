#pragma once
#include <memory>
#include <vector>

#include "assets/Billboard.h"
#include "assets/LensFlare.h"
#include "assets/MilkshapeNode.h"
#include "assets/TerrainNode.h"
#include "assets/TextureQuad.h"
#include "game/Level.h"
#include "game/Event.h"
#include "game/Sign.h"
#include "game/TimerRegionAction.h"
#include "game/UnmountAction.h"
#include "overlay/Overlay3D.h"
#include "overlay/OverlayList.h"
#include "overlay/OverlayStack.h"
#include "scenegraph/LightNode.h"
#include "vehicles/CarControl.h"
#include "vehicles/SimpleCarNode.h"

// The game's one level: a square terrain under a sky dome with a sun, its
// lens flare and drifting clouds, the player's car in the middle, four town
// signs with their halos at the points of the compass 200 units out, the
// start/finish area round the start, a chalet beside it, and the HUD: three picture lists (item icons, pursuer
// stars, the arrow row of the sign game) and the message stack with its
// message pictures.
class DemoLevel : public Level {
public:
    // Restores one resettable piece of the level to its start situation.
    class Setting {
    public:
        virtual ~Setting() = default;
        virtual void reset() {}
        // The ground, for settings that put things back on it; set by the level's reset.
        static std::shared_ptr<TerrainNode> terrain;
    };
    // A sign back up: its game ended, counted as not dismantled, its plate shown again.
    class SignSetting : public Setting {
    public:
        SignSetting(std::shared_ptr<Sign> sign, std::shared_ptr<UnmountAction> unmountAction)
            : sign(std::move(sign)), unmountAction(std::move(unmountAction)) {}
        void reset() override;
        std::shared_ptr<Sign> sign;
        std::shared_ptr<UnmountAction> unmountAction;
    };

    void build() override;
    void reset() override;

    std::shared_ptr<TerrainNode> getTerrain() const { return terrain; }
    std::shared_ptr<SimpleCarNode> getPlayerCar() const { return playerCar; }
    std::shared_ptr<CarControl> getCarControl() const { return carControl; }
    const std::vector<std::shared_ptr<MilkshapeNode>>& getSigns() const { return signs; }
    std::shared_ptr<OverlayList> getItemOverlays() const { return itemOverlays; }
    std::shared_ptr<OverlayList> getHunterOverlays() const { return hunterOverlays; }
    std::shared_ptr<OverlayList> getSequenceOverlays() const { return sequenceOverlays; }
    std::shared_ptr<OverlayStack> getMessageStack() const { return messageStack; }
    std::shared_ptr<LensFlare> getLensFlare() const { return lensFlare; }
    std::shared_ptr<TextureQuad> getClouds() const { return clouds; }
    std::shared_ptr<Event> getStartEvent() const { return startEvent; }
    std::shared_ptr<TimerRegionAction> getTimerAction() const { return timerAction; }

    // The arrow slots of the sign game.
    static constexpr int ARROW_SLOTS = 8;

    // Ground height under (x, z), or 0 before the terrain exists.
    float height(float x, float z) const;

    // Moves a node to (x, y, z) with no rotation; a node with a body takes
    // the body along, at rest.
    static void putBack(GeometryNode& node, float x, float y, float z);

    // A screen picture, switched on, drawn in front of everything (a child of the root).
    std::shared_ptr<Billboard> loadBillboard(const char* filename);
    // A screen picture behind a hidden HUD overlay registered in front of the others.
    std::shared_ptr<Overlay3D> prepareOverlay(const char* filename);

private:
    void buildHud();
    void buildMessages();
    void buildLensFlare();
    void buildClouds();
    void buildTerrain();
    void buildPlayerCar();
    void buildSun();
    void buildSky();
    void buildChalet();
    std::shared_ptr<MilkshapeNode> placeRoadSign(float x, float z, float rotation);
    void placeSignWithPlate(float x, float z, float rotation, const char* plateTexture);
    void defineStartArea(float x, float z, float radius);

    std::shared_ptr<TerrainNode> terrain;
    std::shared_ptr<SimpleCarNode> playerCar;
    std::shared_ptr<CarControl> carControl;
    std::vector<std::shared_ptr<MilkshapeNode>> signs;
    std::vector<std::shared_ptr<Setting>> settings;  // in creation order
    std::shared_ptr<LightNode> sun;
    std::shared_ptr<LensFlare> lensFlare;
    std::shared_ptr<TextureQuad> clouds;

    std::shared_ptr<OverlayList> itemOverlays;
    std::shared_ptr<OverlayList> hunterOverlays;
    std::shared_ptr<OverlayList> sequenceOverlays;
    std::shared_ptr<OverlayStack> messageStack;
    std::shared_ptr<Billboard> signFinishedBoard, gotSignBoard, unmountErrorBoard, loserBoard;
    std::shared_ptr<Event> startEvent;
    std::shared_ptr<TimerRegionAction> timerAction;
};
