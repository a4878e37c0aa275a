#include "game/DemoLevel.h"

#include <cmath>

#include <GL/glew.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sstream>

#include "assets/Halo.h"
#include "assets/Texture2D.h"
#include "assets/TextureMover.h"
#include "audio/AudioManager.h"
#include "game/ArrowKeysLegend.h"
#include "game/Event.h"
#include "game/EventSphere.h"
#include "game/MinimapChoice.h"
#include "game/MinimapFeed.h"
#include "game/GhostFile.h"
#include "input/KeyboardProcessor.h"
#include "levels/LevelFile.h"
#include "math/Constants.h"
#include "math/Utilities.h"
#include "physics/PhysicSledCreator.h"
#include "physics/PhysicVolume.h"
#include "physics/Physics.h"
#include "physics/PhysicsDebugNode.h"
#include "physics/newton.h"
#include "scenegraph/LightNode.h"
#include "vehicles/PhysicCarMovement.h"

namespace {
// How far above the ground a car is dropped.
constexpr float DROP_HEIGHT = 2.0f;
// Seconds the player's car lies on its side or roof before it rights itself.
constexpr double PLAYER_UPRIGHT_AFTER = 3.0;
// The player's car, and the ghost's copy of it.
constexpr const char* PLAYER_BODY = "player_body.txt";
constexpr const char* PLAYER_TIRE = "player_tire.txt";
const SimpleCarNode::TireOffsets PLAYER_TIRES = {Vector(-0.233, 0.165, -0.6), Vector(0.233, 0.165, -0.6),
                                                 Vector(-0.233, 0.165, 0.54), Vector(0.233, 0.165, 0.54)};
// The sky dome's own picture, named in its model.
constexpr const char* SKY_PICTURE = "models/sky.jpg";
// How far the chalet stands to the right of the start.
constexpr double CHALET_OFFSET = 4.0;

// The tiles are photographs of ground and the sky one of clouds: 16 bits per
// texel keep them within 4 of 255 levels at half the memory (F11 switches
// them back to 32). The sky is drawn magnified and filtered, so its gradients
// show no bands: the benchmark's pictures stay within 4 levels.
void storeSixteenBitPictures(const LevelDescription& level) {
    Texture2D::sixteenBitPaths = {level.sky.picture.empty() ? SKY_PICTURE : level.sky.picture};
    if (!level.terrain.tiles.empty()) Texture2D::sixteenBitPaths.push_back(level.terrain.tiles + "/");
    Texture2D::sixteenBits = ScenegraphNode::detailSavings;
}

// The level's description, or an exception naming every fault.
LevelDescription readDemo() {
    std::vector<std::string> errors;
    std::optional<LevelDescription> level = LevelFile::read(DemoLevel::DEMO_FILE, errors);
    if (level) return *level;
    std::string text;
    for (const std::string& e : errors) text += e + "\n";
    throw std::runtime_error(text);
}

// The bytes of a file, empty when it cannot be read.
std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    if (in) bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace

DemoLevel::DemoLevel() : DemoLevel(readDemo()) {}

DemoLevel::DemoLevel(LevelDescription level) : description(std::move(level)) {}

DemoLevel::~DemoLevel() {
    if (Setting::terrain == terrain) Setting::terrain.reset();
}

// A car's rigid body: a never-sleeping sled of mass 20 with a low centre of mass.
void DemoLevel::makeCarBody(SimpleCarNode& car) {
    auto volume = car.getPhysicVolume();
    volume->alwaysActive = true;
    volume->isStatic = false;
    volume->centreOfMass = Utilities<float>::createArray(0.0f, -0.07f, 0.0f);
    volume->creator = std::make_shared<PhysicSledCreator>(&car);
    volume->mass = 20.0f;
}

std::shared_ptr<TerrainNode> DemoLevel::Setting::terrain;

void DemoLevel::HunterSetting::reset() {
    movement->stop();
    const float ground = terrain ? static_cast<float>(terrain->heightAt(startX, startZ)) : 0.0f;
    putBack(*hunterCar, startX, ground + DROP_HEIGHT, startZ, heading);
    movement->takeHeadingFromCar();
    hunterAI->enterStrafingState(true);
    catchAction->abort();
}

void DemoLevel::SignSetting::reset() {
    unmountAction->abort();
    sign->dismounted = false;
    sign->showPlate(true);
}

void DemoLevel::build() {
    minimapFeed.reset();  // made anew once the level stands
    settings.clear();
    signs.clear();
    items.clear();
    signGames.clear();
    // First under the root: the ghost is drawn after every other thing of
    // the level, before the sky with the sun's flare.
    buildGhostCar();
    buildHud();
    buildMessages();
    buildTerrain();
    buildPlayerCar();
    placeHunters();
    buildSun();
    buildSky();
    buildFog();
    for (const LevelDescription::Sign& sign : description.signs) placeSignWithPlate(sign);
    placeCheckpoints();
    const LevelDescription::Start& start = description.start;
    defineStartArea(start.position.x, start.position.z, start.radius);
    placeItems();
    buildChalet();
    buildLensFlare();
    buildClouds();
    buildMinimap();
    setMedals(description.medals);
    ghostRace = std::make_shared<GhostRace>(ghostCar, playerCar, stopWatch, signStates, fingerprint());
    ghostRace->getSplitHud().registerWith(*overlayManager);
    reset();
    AudioManager::stopIntro();
    postBuild();
    // Fed after the physics of each frame has moved the cars, and once now.
    minimapFeed = std::make_shared<MinimapFeed>(*this, minimap, speedometer);
    animator->registerAnimation(minimapFeed);
    minimapFeed->animate(0.0);
    AudioManager::startIntro();
}

void DemoLevel::reset() {
    root->getCamera()->setEyePoint(0.0f, 0.5f, 4.0f);
    if (carMovement) carMovement->stop();
    const LevelDescription::Place& start = description.start.position;
    if (playerCar)
        putBack(*playerCar, start.x, height(start.x, start.z) + DROP_HEIGHT, start.z, description.start.heading);
    // Put back means facing the start heading too, not turning back to the old one.
    if (carMovement) carMovement->takeHeadingFromCar();
    HunterAI::BLIND = true;  // the pursuers ignore the player until the race starts
    Setting::terrain = terrain;
    applyDifficulty();  // before the settings: a pursuer put back patrols at half its new top speed
    for (const auto& setting : settings) setting->reset();
    signStates->updateUnmountStates();
    // The car stands inside the start area: the race starts when it drives out.
    if (startEvent) startEvent->setState(EVT_IN);
    if (messageStack) messageStack->clear();
    stopWatch->stop();
    stopWatch->reset();
    if (ghostRace) ghostRace->restart();
    AudioManager::startIntro();
    // The map shows the level as it now stands, also during a pause, which holds the feed.
    if (minimapFeed) minimapFeed->animate(0.0);
}

// The level file's bytes, then those of every file it names that the race
// or its look depends on (the tiles excepted: 64 pictures to read at every load).
std::uint64_t DemoLevel::fingerprintOf(const LevelDescription& description) {
    std::uint64_t hash = GhostFile::hash(nullptr, 0);
    std::vector<std::string> files = {description.file, description.terrain.heightmap, description.terrain.detail,
                                      description.terrain.minimap, description.sky.picture};
    for (const auto& sign : description.signs) files.push_back(sign.plate);
    for (const std::string& file : files) {
        const std::string bytes = fileBytes(file);
        hash = GhostFile::hash(bytes.data(), bytes.size(), hash);
    }
    return hash;
}

// What ghosts were keyed by before levels were files: the heightmap's bytes,
// then where the start and every sign stand.
std::uint64_t DemoLevel::legacyFingerprint() const {
    const std::string heightmap = fileBytes(description.terrain.heightmap);
    std::uint64_t hash = GhostFile::hash(heightmap.data(), heightmap.size());
    const LevelDescription::Place& start = description.start.position;
    std::vector<float> places = {start.x, height(start.x, start.z), start.z};
    for (const auto& sign : signs) places.insert(places.end(), {sign->getXpos(), sign->getYpos(), sign->getZpos()});
    return GhostFile::hash(places.data(), places.size() * sizeof(float), hash);
}

float DemoLevel::height(float x, float z) const {
    return terrain ? static_cast<float>(terrain->heightAt(x, z)) : 0.0f;
}

void DemoLevel::putBack(GeometryNode& node, float x, float y, float z, float heading) {
    // A model faces north (-z) unturned; turning it by -heading about the
    // vertical faces it towards the heading.
    const float yRotation = heading == 0.0f ? 0.0f : -heading;
    node.setTranslation(x, y, z);
    node.setRotations(0, yRotation, 0);
    auto volume = node.getPhysicVolume();
    if (!volume || node.useOwnTransform) return;
    volume->matrix->setTranslate(x, y, z);
    if (yRotation != 0.0f) {
        volume->matrix->setRotateY(yRotation * PI_OVER_180);
        (*volume->matrix)[12] = x;
        (*volume->matrix)[13] = y;
        (*volume->matrix)[14] = z;
    }
    if (!volume->hasLiveBody()) return;
    const float rest[3] = {0, 0, 0};
    NewtonBodySetMatrix(volume->body, volume->matrix->data());
    NewtonBodySetVelocity(volume->body, rest);
    NewtonBodySetOmega(volume->body, rest);
}

std::shared_ptr<Billboard> DemoLevel::loadBillboard(const char* filename, Billboard::PictureLoad pictureLoad) {
    auto board = std::make_shared<Billboard>(filename, true, "auto loaded billboard", pictureLoad);
    board->overlay = true;
    board->active = true;
    TextureQuad::makeWhite(*board->getMaterial(), 0.99f);
    root->addChild(board);
    return board;
}

std::shared_ptr<Overlay3D> DemoLevel::prepareOverlay(const char* filename) {
    auto overlay = std::make_shared<Overlay3D>(loadBillboard(filename));
    overlay->visible = false;
    overlayManager->registerOverlay(overlay, 0);
    return overlay;
}

void DemoLevel::buildHud() {
    itemOverlays = std::make_shared<OverlayList>();  // a column at the right edge
    overlayManager->registerOverlay(itemOverlays, 0);

    hunterOverlays = std::make_shared<OverlayList>();  // a row along the top
    hunterOverlays->direction = OverlayList::HORIZONTAL;
    hunterOverlays->origin = Vector(0.55, 0.45, -1.0);
    hunterOverlays->spacing = -0.11f;
    overlayManager->registerOverlay(hunterOverlays, 0);

    // The arrows of the sign game keep their slots as they disappear one by one.
    sequenceOverlays = std::make_shared<OverlayList>();
    sequenceOverlays->direction = OverlayList::HORIZONTAL;
    sequenceOverlays->collapseHidden = false;
    sequenceOverlays->origin = Vector(-0.45, 0.0, -1.0);
    sequenceOverlays->spacing = 0.11f;
    overlayManager->registerOverlay(sequenceOverlays, 0);
    for (int slot = 0; slot < ARROW_SLOTS; ++slot)
        sequenceOverlays->items.push_back(prepareOverlay("images/arrow.png"));
    overlayManager->registerOverlay(std::make_shared<ArrowKeysLegend>(sequenceOverlays), 0);
}

void DemoLevel::buildMessages() {
    messageStack = std::make_shared<OverlayStack>();
    messageStack->scale = Vector(1.0, 0.5, 1.0);
    messageStack->position = Vector(0.0, 0.3, -1.0);
    overlayManager->registerOverlay(messageStack, 0);
    // The messages are large pictures that many races never show: each is read when first shown.
    const Billboard::PictureLoad whenShown = Billboard::PictureLoad::WHEN_SHOWN;
    loserBoard = loadBillboard("images/loser.png", whenShown);
    gotSignBoard = loadBillboard("images/got_sign.png", whenShown);
    unmountErrorBoard = loadBillboard("images/unmount_error.png", whenShown);
    signFinishedBoard = loadBillboard("images/sign_finished.png", whenShown);
    // Off until the message stack shows them (before, they were drawn in the
    // plane of the eye, where nothing of them could be seen).
    for (Billboard* board : {loserBoard.get(), gotSignBoard.get(), unmountErrorBoard.get(), signFinishedBoard.get()})
        board->active = false;
}

// The 64 terrain tiles and the sky are the largest pictures the level reads
// before its first frame: read while the window opens and the loading
// picture shows, they are ready when the terrain and the sky are built.
void DemoLevel::readAhead() {
    storeSixteenBitPictures(description);
    const LevelDescription::Terrain& ground = description.terrain;
    std::vector<std::string> paths;
    if (!ground.tiles.empty())
        paths = TerrainNode::tilePaths(ground.tiles.c_str(), ground.tilePrefix.c_str(), ground.segments);
    paths.push_back(description.sky.picture.empty() ? SKY_PICTURE : description.sky.picture);
    Texture2D::readAhead(paths);
}

// The message boards not shown yet are read once the first frame is shown:
// the first "sign dismantled" or "busted" of a race then only uploads its
// picture, instead of reading it within a frame of the race.
void DemoLevel::readAheadShownLater() {
    std::vector<std::string> paths;
    for (const auto& board : getMessageBoards())
        if (!board->getQuad()->isPictureLoaded()) paths.push_back(board->getQuad()->pictureToRead());
    Texture2D::readAhead(paths);
}

std::vector<std::shared_ptr<Billboard>> DemoLevel::getMessageBoards() const {
    if (!timerAction) return {};
    return {loserBoard, gotSignBoard, unmountErrorBoard, signFinishedBoard, timerAction->getWinnerBoard(),
            timerAction->getUnfinishedBoard()};
}

void DemoLevel::buildTerrain() {
    storeSixteenBitPictures(description);
    const LevelDescription::Terrain& ground = description.terrain;
    terrain = std::make_shared<TerrainNode>("Terrain");
    terrain->setTranslation(0, ground.base, 0);
    const Vector scale(ground.size, ground.height, ground.size);
    if (ground.tiles.empty()) {
        terrain->loadColoured(ground.heightmap, ground.segments, scale);
    } else {
        // The tile loader opens the heightmap in the tiles' folder.
        const std::string heightmap =
            std::filesystem::path(ground.heightmap).lexically_relative(ground.tiles).string();
        terrain->load(ground.tiles.c_str(), heightmap.c_str(), ground.tilePrefix.c_str(), ground.segments, scale);
    }
    if (!ground.detail.empty()) terrain->setDetailTexture(DetailTexture::createFromFile(ground.detail));
    root->addChild(terrain);
    GroundCover cover = terrain->groundCover();
    cover.heightAt = [weak = std::weak_ptr<TerrainNode>(terrain)](double x, double z) {
        const auto ground = weak.lock();
        return ground ? ground->heightAt(x, z) : HUGE_VAL;  // gone: nothing is above it
    };
    root->setGroundCover(std::move(cover));
}

void DemoLevel::buildPlayerCar() {
    playerCar = std::make_shared<SimpleCarNode>("Player Car");
    makeCarBody(*playerCar);
    playerCar->getPhysicVolume()->materialGroupID = Physics::carMat;
    playerCar->load("models", PLAYER_BODY, PLAYER_TIRE, PLAYER_TIRES);
    auto sphere = playerCar->getEventSphere();
    sphere->radius = 1.0f;
    sphere->color[1] = 1.0f;
    playerCar->enableDisplayList();
    playerCar->setCameraFocus(root->getCamera());
    root->addChild(playerCar);
    root->addChild(std::make_shared<PhysicsDebugNode>(playerCar, "physics debugging"));

    carMovement = std::make_shared<PhysicCarMovement>(playerCar);
    carMovement->uprightAfter = PLAYER_UPRIGHT_AFTER;
    carControl = std::make_shared<CarControl>(carMovement);
    KeyboardProcessor::registerConsumer(carControl);
    animator->registerAnimation(carMovement);
}

void DemoLevel::buildGhostCar() {
    ghostCar = std::make_shared<GhostCarNode>("Ghost Car");
    ghostCar->load("models", PLAYER_BODY, PLAYER_TIRE, PLAYER_TIRES);
    ghostCar->enableDisplayList();
    root->addChild(ghostCar);
}

void DemoLevel::buildSun() {
    sun = std::make_shared<LightNode>(GL_LIGHT0, "Sunlight");
    const std::array<float, 3>& towards = description.sky.sun;
    sun->setLightPosition(towards[0], towards[1], towards[2], 0);
    const float white[4] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    root->getSkyElementsRoot()->addChild(sun);
}

void DemoLevel::buildSky() {
    auto sky = std::make_shared<MilkshapeNode>("Sky Dome");
    sky->useOwnTransform = true;
    sky->load("models", "sky.txt");
    sky->setScale(4, 4, 4);
    sky->setTranslation(0, -5.5f, 0);
    sky->alwaysVisible = true;
    sky->background = true;  // a closed dome behind everything
    sky->sampleKind = SampleCounter::SKY;
    const std::string& picture = description.sky.picture;
    if (!picture.empty() && picture != SKY_PICTURE)
        for (const auto& mesh : sky->getMeshes()) mesh->setTexture(picture.c_str());
    sky->enableDisplayList();
    root->getSkyElementsRoot()->addChild(sky);
}

// Linear fog in the level's colour, or none: the fog is GL state that
// outlives a level, so a level without fog switches it off.
void DemoLevel::buildFog() {
    const LevelDescription::Sky& sky = description.sky;
    if (sky.fogDistance <= 0.0f) {
        glDisable(GL_FOG);
        return;
    }
    const float colour[4] = {sky.fogColour[0], sky.fogColour[1], sky.fogColour[2], 1.0f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, colour);
    glFogf(GL_FOG_START, sky.fogStart);
    glFogf(GL_FOG_END, sky.fogDistance);
    glEnable(GL_FOG);
}

void DemoLevel::buildChalet() {
    auto chalet = std::make_shared<MilkshapeNode>("Chalet");
    chalet->load("models", "chalet.txt");
    // To the right of the car at the start, turned with it.
    const LevelDescription::Start& start = description.start;
    const double heading = start.heading * PI_OVER_180;
    const float x = start.position.x + static_cast<float>(CHALET_OFFSET * std::cos(heading));
    const float z = start.position.z + static_cast<float>(CHALET_OFFSET * std::sin(heading));
    chalet->setRotations(0, -45 - start.heading, 0);
    chalet->setTranslation(x, height(x, z), z);
    chalet->enableDisplayList();
    root->addChild(chalet);
}

void DemoLevel::buildLensFlare() {
    lensFlare = std::make_shared<LensFlare>(sun, 60.0f, 4.0f / 3.0f, "sunlight lensflare");
    lensFlare->load({"images/BigGlow.png", "images/Streaks.png", "images/Halo.png", "images/HardGlow.png"});
    root->getSkyElementsRoot()->addChild(lensFlare);
}

void DemoLevel::buildClouds() {
    // A ceiling of 800 x 800 units, 30 above the sky root, facing down.
    clouds = std::make_shared<TextureQuad>("Clouds");
    clouds->load("images/clouds.png", 800, 800, true);
    clouds->sampleKind = SampleCounter::CLOUDS;
    clouds->setTranslation(0, 30, 0);
    clouds->setRotations(180, 0, 0);
    root->getSkyElementsRoot()->addChild(clouds);
    animator->registerAnimation(std::make_shared<TextureMover>(clouds, 0.001f, 0.0005f));
}

// Added to the root last, so visited first of the screen pictures: the
// message boards, the arrow row and the other HUD pictures lie over them.
void DemoLevel::buildMinimap() {
    // Drawn one texel a pixel: no mipmaps needed, and sampling without them costs less.
    // Without a picture of its own the map shows the ground's colours.
    std::shared_ptr<Texture2D> ground =
        description.terrain.minimap.empty()
            ? terrain->colouredMap()
            : Texture2D::createFromFile(description.terrain.minimap, GL_CLAMP_TO_EDGE, GL_LINEAR, GL_LINEAR,
                                        GL_MODULATE, false);
    minimap = std::make_shared<Minimap>(ground, description.terrain.size);
    speedometer = std::make_shared<Speedometer>();
    minimap->visible = speedometer->visible = MinimapChoice::shown();
    root->addChild(minimap);
    root->addChild(speedometer);
}
