#pragma once
#include <memory>
#include <vector>

#include "assets/Billboard.h"
#include "assets/LensFlare.h"
#include "assets/MilkshapeNode.h"
#include "assets/TerrainNode.h"
#include "assets/TextureQuad.h"
#include "game/Level.h"
#include "game/AntiHunterAction.h"
#include "game/CatchAction.h"
#include "game/Event.h"
#include "game/HunterAI.h"
#include "game/ItemAction.h"
#include "game/OverkillAction.h"
#include "game/Sign.h"
#include "game/TimerRegionAction.h"
#include "game/UnmountAction.h"
#include "game/Difficulty.h"
#include "levels/LevelDescription.h"
#include "overlay/Overlay3D.h"
#include "overlay/OverlayList.h"
#include "overlay/OverlayStack.h"
#include "scenegraph/LightNode.h"
#include "vehicles/CarControl.h"
#include "vehicles/GhostCarNode.h"
#include "vehicles/PhysicCarMovement.h"
#include "vehicles/SimpleCarNode.h"

class MinimapFeed;

// A level built from its description (levels/demo.toml is the first): a
// square terrain under a sky dome with a sun, its lens flare and drifting
// clouds, the player's car in the middle of the start/finish area, pursuers
// patrolling between the town signs (or the level's checkpoints), the items,
// a chalet beside the start, and the HUD: three picture lists (item icons,
// pursuer stars, the arrow row of the sign game) and the message stack with
// its pictures.
//
// Every rule is an event: per pursuer its view sphere and its catch, per
// sign its game and one checkpoint per pursuer, the start/finish area, then
// the items, checked in that order every frame.
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
    // An item back in place with its influence ended.
    class ItemSetting : public Setting {
    public:
        explicit ItemSetting(std::shared_ptr<ItemAction> action) : action(std::move(action)) {}
        void reset() override { action->abortInfluence(); }
        std::shared_ptr<ItemAction> action;
    };
    // A pursuer back at its start place, standing, facing its start heading,
    // patrolling towards the nearest checkpoint, its catch undone.
    class HunterSetting : public Setting {
    public:
        void reset() override;
        std::shared_ptr<CatchAction> catchAction;
        std::shared_ptr<HunterAI> hunterAI;
        std::shared_ptr<SimpleCarNode> hunterCar;
        std::shared_ptr<PhysicCarMovement> movement;
        float startX = 0.0f, startZ = 0.0f;
        float heading = 0.0f;  // compass degrees
    };

    // The first level, read from DEMO_FILE in the data folder; throws
    // std::runtime_error with the file's faults when it cannot be read.
    DemoLevel();
    explicit DemoLevel(LevelDescription description);
    // Lets go of the ground the settings put things back on, if it is this level's.
    ~DemoLevel() override;
    static constexpr const char* DEMO_FILE = "levels/demo.toml";
    const LevelDescription& getDescription() const { return description; }
    // How hard the race is (normal unless set): it takes effect at the next
    // reset, the one that ends build() included.
    void setDifficulty(const Difficulty& d) { difficulty = &d; }
    const Difficulty& getDifficulty() const { return *difficulty; }
    // The difficulty the running race was started with.
    const Difficulty& getRaceDifficulty() const { return *raceDifficulty; }

    void build() override;
    void readAhead() override;
    void readAheadShownLater() override;
    void reset() override;

    std::shared_ptr<TerrainNode> getTerrain() const { return terrain; }
    std::shared_ptr<SimpleCarNode> getPlayerCar() const { return playerCar; }
    std::shared_ptr<GhostCarNode> getGhostCar() const { return ghostCar; }
    // What records and ghosts are kept for: the level file and the files it
    // names, so a changed level never shows another's record (see GhostFile).
    std::uint64_t fingerprint() const { return fingerprintOf(description); }
    // The same for a level not built (the records of the levels folder).
    static std::uint64_t fingerprintOf(const LevelDescription& description);
    // What ghosts were keyed by before levels were files (the heightmap's
    // bytes, the start and the signs): a kept ghost of the first level is
    // read with it once.
    std::uint64_t legacyFingerprint() const;
    std::shared_ptr<CarControl> getCarControl() const { return carControl; }
    const std::vector<std::shared_ptr<MilkshapeNode>>& getSigns() const { return signs; }
    std::shared_ptr<OverlayList> getItemOverlays() const { return itemOverlays; }
    std::shared_ptr<OverlayList> getHunterOverlays() const { return hunterOverlays; }
    std::shared_ptr<OverlayList> getSequenceOverlays() const { return sequenceOverlays; }
    std::shared_ptr<OverlayStack> getMessageStack() const { return messageStack; }
    // The six message boards, each read when first shown (none before the build).
    std::vector<std::shared_ptr<Billboard>> getMessageBoards() const;
    std::shared_ptr<LensFlare> getLensFlare() const { return lensFlare; }
    std::shared_ptr<TextureQuad> getClouds() const { return clouds; }
    std::shared_ptr<Event> getStartEvent() const { return startEvent; }
    std::shared_ptr<TimerRegionAction> getTimerAction() const { return timerAction; }
    const std::vector<std::shared_ptr<HunterAI>>& getHunters() const { return hunters; }
    // The item actions in placement order.
    const std::vector<std::shared_ptr<ItemAction>>& getItems() const { return items; }

    // What tells the kinds of pursuer and of item apart (tables beside the placements).
    struct HunterKind;
    struct ItemKind;

    // The arrow slots of the sign game.
    static constexpr int ARROW_SLOTS = 8;

    // Ground height under (x, z), or 0 before the terrain exists.
    float height(float x, float z) const;

    // Moves a node to (x, y, z), facing the compass heading (degrees), tilted
    // by nothing; a node with a body takes the body along, at rest.
    static void putBack(GeometryNode& node, float x, float y, float z, float heading = 0.0f);

    // A screen picture, switched on, drawn in front of everything (a child of the root).
    std::shared_ptr<Billboard> loadBillboard(const char* filename,
                                             Billboard::PictureLoad pictureLoad = Billboard::PictureLoad::NOW);
    // A screen picture behind a hidden HUD overlay registered in front of the others.
    std::shared_ptr<Overlay3D> prepareOverlay(const char* filename);

private:
    void buildHud();
    void buildMessages();
    void buildLensFlare();
    void buildClouds();
    void buildMinimap();
    void buildTerrain();
    void buildPlayerCar();
    void buildGhostCar();
    void buildSun();
    void buildSky();
    void buildChalet();
    void buildFog();
    std::shared_ptr<MilkshapeNode> placeRoadSign(float x, float z, float rotation);
    void placeSignWithPlate(const LevelDescription::Sign& sign);
    void placeCheckpoints();
    void defineStartArea(float x, float z, float radius);
    void placeHunter(float x, float z, float heading);
    void placeHardcoreHunter(float x, float z, float heading);
    void placeBoozeItem(float x, float z);
    void placeToolItem(float x, float z);
    void placeEngineItem(float x, float z);
    std::shared_ptr<AntiHunterAction> placeAntiHunterItem(float x, float z);
    std::shared_ptr<OverkillAction> placeOverkillItem(float x, float z);

    static void makeCarBody(SimpleCarNode& car);
    void placeHunterOfKind(const HunterKind& kind, float x, float z, float heading);
    std::shared_ptr<GeometryNode> placeItemModel(const ItemKind& kind, float x, float z);
    void registerItem(const std::shared_ptr<GeometryNode>& item, const std::shared_ptr<ItemAction>& action);
    void placeHunters();
    // A catch ends whichever sign game is in progress.
    void endSignGames();
    void placeItems();

    LevelDescription description;
    const Difficulty* difficulty = &Difficulty::NORMAL;
    const Difficulty* raceDifficulty = &Difficulty::NORMAL;
    // The numbers as placed, which the difficulty's factors apply to.
    struct PlacedNumbers {
        std::vector<double> topSpeeds;  // per pursuer, units per second
        std::vector<float> sights;      // per pursuer, view sphere radius
        std::vector<std::pair<double, double>> itemTimes;  // per item: influence, return (seconds)
    } placed;
    void applyDifficulty();
    std::shared_ptr<TerrainNode> terrain;
    std::shared_ptr<SimpleCarNode> playerCar;
    std::shared_ptr<GhostCarNode> ghostCar;
    std::shared_ptr<CarControl> carControl;
    std::vector<std::shared_ptr<MilkshapeNode>> signs;
    std::vector<std::shared_ptr<HunterAI>> hunters;  // in placement order
    std::vector<std::shared_ptr<ItemAction>> items;  // in placement order
    std::vector<std::shared_ptr<UnmountAction>> signGames;  // one per sign, in placement order
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
    std::shared_ptr<MinimapFeed> minimapFeed;  // also fed by reset, which a pause does not hold
};
