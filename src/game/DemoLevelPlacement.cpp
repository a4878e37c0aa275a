// The demo level's placements: the pursuers, the town signs, the start/finish
// area and the items, each with its event, HUD picture and reset setting.
#include <cstring>

#include "animation/Rotor.h"
#include "assets/Halo.h"
#include "assets/TownPlate.h"
#include "game/BoozeAction.h"
#include "game/DemoLevel.h"
#include "levels/LevelDescription.h"
#include "game/EngineAction.h"
#include "game/EventSphere.h"
#include "game/ToolAction.h"
#include "physics/PhysicVolume.h"

// What tells a normal pursuer from the hardcore one.
struct DemoLevel::HunterKind {
    const char* description;
    const char* bodyFile;
    const char* tireFile;
    SimpleCarNode::TireOffsets tires;  // front left, front right, rear left, rear right
    float sphereRadius;                // the car's event sphere (catching distance)
    float haloScale;
    double maxSpeedFactor;  // of the movement's maximum speed
    float viewRadius;       // of the view sphere, centred 3 units ahead
    bool redStar;           // the HUD star red instead of yellow
};

// An item model and what it looks like; the action says what it does.
struct DemoLevel::ItemKind {
    const char* description;
    const char* modelFile;
    float ambient[4];
    float diffuse[4];
    const char* sphereText;
    const char* overlayTexture;  // the HUD icon
};

namespace {
const DemoLevel::ItemKind BOOZE = {"Booze Item", "item_booze.txt", {0.3f, 0, 0, 1}, {0.7f, 0, 0, 1},
                                   "pickup item: Schnops", "models/item_booze.png"};
const DemoLevel::ItemKind TOOL = {"Tool Item", "item_tool.txt", {0, 0.3f, 0, 1}, {0, 0.7f, 0, 1},
                                  "pickup item: Werkzeug", "models/item_tool.png"};
const DemoLevel::ItemKind ENGINE = {"Engine Item", "item_engine.txt", {0, 0, 0.3f, 1}, {0, 0, 0.7f, 1},
                                    "pickup item: Motorupgrade", "models/item_engine.png"};
const DemoLevel::ItemKind ANTI_HUNTER = {"AntiHunter Item", "item_decease.txt", {0.2f, 0.2f, 0, 1},
                                         {0.8f, 0.8f, 0, 1}, "pickup item: Zeckenimpfung",
                                         "models/item_decease.png"};
const DemoLevel::ItemKind OVERKILL = {"Overkill Item", "item_overkill.txt", {0, 0, 0, 1}, {0, 0, 0, 1},
                                      "pickup item: Overkill", "models/item_overkill.png"};

const DemoLevel::HunterKind NORMAL_HUNTER = {
    "Verfolgerauto", "pajero_body.txt", "pajero_tire.txt",
    {Vector(-0.192, 0.1, -0.348), Vector(0.194, 0.1, -0.348), Vector(-0.192, 0.1, 0.294), Vector(0.194, 0.1, 0.294)},
    2.0f, 4.0f, 0.9, 25.0f, false};
const DemoLevel::HunterKind HARDCORE_HUNTER = {
    "HardcoreHunter", "monster_body.txt", "monster_tire.txt",
    {Vector(-0.788, 0.6, -1.12), Vector(0.828, 0.6, -1.12), Vector(-0.788, 0.6, 0.67), Vector(0.828, 0.6, 0.67)},
    3.0f, 8.0f, 1.1, 50.0f, true};
}  // namespace

void DemoLevel::placeHunters() {
    hunters.clear();
    for (const LevelDescription::Pursuer& pursuer : description.pursuers) {
        const bool monster = pursuer.kind == LevelDescription::PursuerKind::MONSTER;
        if (monster) placeHardcoreHunter(pursuer.position.x, pursuer.position.z, pursuer.heading);
        else placeHunter(pursuer.position.x, pursuer.position.z, pursuer.heading);
    }
}

void DemoLevel::placeHunter(float x, float z, float heading) { placeHunterOfKind(NORMAL_HUNTER, x, z, heading); }

void DemoLevel::placeHardcoreHunter(float x, float z, float heading) {
    placeHunterOfKind(HARDCORE_HUNTER, x, z, heading);
}

// The car is not put in place here: the level's reset does it through the setting.
void DemoLevel::placeHunterOfKind(const HunterKind& kind, float x, float z, float heading) {
    auto car = std::make_shared<SimpleCarNode>(kind.description);
    makeCarBody(*car);
    car->load("models", kind.bodyFile, kind.tireFile, kind.tires);
    auto sphere = car->getEventSphere();
    sphere->radius = kind.sphereRadius;
    sphere->color[0] = 1.0f;
    car->enableDisplayList();
    root->addChild(car);

    auto halo = std::make_shared<Halo>("Hunter halo");
    halo->setScale(kind.haloScale, kind.haloScale, kind.haloScale);
    halo->glow(1.0f, 0.0f, 0.0f, 0.8f);
    car->addChild(halo);

    auto movement = std::make_shared<PhysicCarMovement>(car);
    movement->maxSpeed *= kind.maxSpeedFactor;
    animator->registerAnimation(movement);

    auto ai = std::make_shared<HunterAI>(movement, playerCar, "images/policestar.png");
    root->addChild(ai->setViewfield(eventManager, kind.viewRadius, -3.0f));
    placed.topSpeeds.push_back(ai->getNormalMaxSpeed());
    placed.sights.push_back(kind.viewRadius);
    animator->registerAnimation(ai);
    hunters.push_back(ai);

    auto catchAction = std::make_shared<CatchAction>(ai, carControl, catchState);
    catchAction->messageStack = messageStack;
    catchAction->loserBoard = loserBoard;
    catchAction->onCatch = [this] { endSignGames(); };
    eventManager->events.push_back(std::make_shared<Event>(playerCar, car, catchAction));

    auto star = ai->getOverlay()->getBillboard();
    if (kind.redStar) {
        auto material = star->getMaterial();
        for (auto* colour : {&material->ambient, &material->diffuse, &material->specular, &material->emission})
            *colour = Utilities<float>::createArray(1, 0, 0, 1);
    }
    hunterOverlays->items.push_back(ai->getOverlay());
    root->addChild(star);

    auto setting = std::make_shared<HunterSetting>();
    setting->catchAction = catchAction;
    setting->hunterAI = ai;
    setting->hunterCar = car;
    setting->movement = movement;
    setting->startX = x;
    setting->startZ = z;
    setting->heading = heading;
    settings.push_back(setting);
}

// The signs are placed after the pursuers: the list is read when a catch happens.
void DemoLevel::endSignGames() {
    for (const auto& game : signGames) game->endByCatch();
}

std::shared_ptr<MilkshapeNode> DemoLevel::placeRoadSign(float x, float z, float rotation) {
    // A solid obstacle: the default body of a geometry node, a box around the model.
    auto sign = std::make_shared<MilkshapeNode>("Ortstafel");
    sign->load("models", "sign.txt");
    sign->setTranslation(x, height(x, z), z);
    sign->setRotations(0, rotation, 0);
    auto sphere = sign->getEventSphere();
    sphere->radius = 2.0f;
    sphere->lines = {"Tafel demontieren"};
    sign->enableDisplayList();
    root->addChild(sign);

    auto halo = std::make_shared<Halo>("Ortstafel halo");
    halo->setScale(10, 10, 10);
    halo->glow(0.2f, 0.2f, 1.0f, 0.8f);
    sign->addChild(halo);

    // The sign game: driving into the sign starts it.
    auto state = std::make_shared<Sign>(sign);
    signStates->add(state);
    signStates->updateUnmountStates();
    auto unmount = std::make_shared<UnmountAction>(state);
    unmount->messageStack = messageStack;
    unmount->sequenceOverlay = sequenceOverlays;
    unmount->signFinishedBoard = signFinishedBoard;
    unmount->gotSignBoard = gotSignBoard;
    unmount->unmountErrorBoard = unmountErrorBoard;
    unmount->catchState = catchState;
    eventManager->events.push_back(std::make_shared<Event>(playerCar, sign, unmount));
    // Without checkpoints of its own the level's pursuers patrol from sign to sign.
    if (description.checkpoints.empty())
        for (const auto& hunter : hunters) root->addChild(hunter->addCheckpoint(eventManager, sign.get(), 5.0f));
    settings.push_back(std::make_shared<SignSetting>(state, unmount));
    signGames.push_back(unmount);
    signs.push_back(sign);
    return sign;
}

// A sign's rotation about the vertical turns its plate from the south
// (+z) towards its heading: 180 - heading degrees.
void DemoLevel::placeSignWithPlate(const LevelDescription::Sign& place) {
    auto sign = placeRoadSign(place.position.x, place.position.z, 180.0f - place.heading);
    auto face = sign->getMesh("face");
    if (!face) return;
    // A picture of the plate, or the town's name written on one.
    if (place.plate.empty()) face->setTexture(TownPlate(place.name).texture());
    else face->setTexture(place.plate.c_str());
    sign->refreshDisplayList();
}

void DemoLevel::defineStartArea(float x, float z, float radius) {
    auto area = std::make_shared<EventSphere>("Start-/Zielbereich");
    auto sphere = area->getEventSphere();
    sphere->radius = radius;
    sphere->lines = {"Zeit starten/stoppen"};
    sphere->color[0] = 0.7f;
    sphere->color[1] = 0.7f;
    sphere->color[2] = 0.0f;
    area->setTranslation(x, height(x, z), z);
    root->addChild(area);

    auto halo = std::make_shared<Halo>("Start-/Zielb halo");
    halo->setScale(2 * radius, 2 * radius, 2 * radius);
    halo->glow(1.0f, 1.0f, 0.0f, 0.7f);
    area->addChild(halo);

    timerAction = std::make_shared<TimerRegionAction>(signStates, stopWatch, hunters);
    timerAction->messageStack = messageStack;
    timerAction->onWin = [this](double seconds) { recordRace(seconds); };
    startEvent = std::make_shared<Event>(playerCar, area, timerAction);
    eventManager->events.push_back(startEvent);
    root->addChild(timerAction->getWinnerBoard());
    root->addChild(timerAction->getUnfinishedBoard());
}

void DemoLevel::placeItems() {
    using Kind = LevelDescription::ItemKind;
    for (const LevelDescription::Item& item : description.items) {
        const float x = item.position.x, z = item.position.z;
        switch (item.kind) {
        case Kind::BOOZE: placeBoozeItem(x, z); break;
        case Kind::TOOL: placeToolItem(x, z); break;
        case Kind::ENGINE: placeEngineItem(x, z); break;
        case Kind::VACCINE: placeAntiHunterItem(x, z); break;
        case Kind::OVERKILL: placeOverkillItem(x, z); break;
        }
    }
}

// The places the pursuers patrol between, where the level gives them.
void DemoLevel::placeCheckpoints() {
    for (const LevelDescription::Place& p : description.checkpoints) {
        const Vector at(p.x, height(p.x, p.z), p.z);
        for (const auto& hunter : hunters) root->addChild(hunter->addCheckpoint(eventManager, at, 5.0f, "Checkpoint"));
    }
}

void DemoLevel::placeBoozeItem(float x, float z) {
    auto item = placeItemModel(BOOZE, x, z);
    registerItem(item, std::make_shared<BoozeAction>(item, carMovement, BOOZE.overlayTexture));
}

void DemoLevel::placeToolItem(float x, float z) {
    auto item = placeItemModel(TOOL, x, z);
    registerItem(item, std::make_shared<ToolAction>(item, TOOL.overlayTexture));
}

void DemoLevel::placeEngineItem(float x, float z) {
    auto item = placeItemModel(ENGINE, x, z);
    registerItem(item, std::make_shared<EngineAction>(item, carMovement, ENGINE.overlayTexture));
}

// Blinds the pursuers placed so far (the level places them all first).
std::shared_ptr<AntiHunterAction> DemoLevel::placeAntiHunterItem(float x, float z) {
    auto item = placeItemModel(ANTI_HUNTER, x, z);
    auto action = std::make_shared<AntiHunterAction>(item, ANTI_HUNTER.overlayTexture);
    for (const auto& hunter : hunters) action->addHunter(hunter->getViewfield());
    registerItem(item, action);
    return action;
}

// Sets the pursuers placed so far hunting.
std::shared_ptr<OverkillAction> DemoLevel::placeOverkillItem(float x, float z) {
    auto item = placeItemModel(OVERKILL, x, z);
    auto action = std::make_shared<OverkillAction>(item, OVERKILL.overlayTexture);
    for (const auto& hunter : hunters) action->addHunter(hunter);
    registerItem(item, action);
    return action;
}

// A small shiny model floating half a unit above the ground, without a body
// (the car drives through it), in its halo.
std::shared_ptr<GeometryNode> DemoLevel::placeItemModel(const ItemKind& kind, float x, float z) {
    auto item = std::make_shared<MilkshapeNode>(kind.description);
    item->load("models", kind.modelFile);
    item->useOwnTransform = true;
    item->setScale(0.4f, 0.4f, 0.4f);
    item->setTranslation(x, height(x, z) + 0.5f, z);
    auto material = item->getMaterial();
    material->ambient = Utilities<float>::createArray(kind.ambient[0], kind.ambient[1], kind.ambient[2], kind.ambient[3]);
    material->diffuse = Utilities<float>::createArray(kind.diffuse[0], kind.diffuse[1], kind.diffuse[2], kind.diffuse[3]);
    material->specular = Material::fullSpecular;
    material->shininess = Material::highShininess;
    auto sphere = item->getEventSphere();
    sphere->radius = 1.0f;
    sphere->lines = {kind.sphereText};
    item->enableDisplayList();
    root->addChild(item);

    auto halo = std::make_shared<Halo>("item halo");
    halo->setScale(1.3f, 1.3f, 1.3f);
    item->addChild(halo);
    return item;
}

// The pickup event, the item's own clock, its HUD icon, its turning and its reset.
void DemoLevel::registerItem(const std::shared_ptr<GeometryNode>& item, const std::shared_ptr<ItemAction>& action) {
    placed.itemTimes.emplace_back(action->getInfluenceDuration(), action->getRespawnTime());
    eventManager->events.push_back(std::make_shared<Event>(playerCar, item, action));
    animator->registerAnimation(action);
    itemOverlays->items.push_back(action->getOverlay());
    root->addChild(action->getOverlay()->getBillboard());
    auto rotor = std::make_shared<Rotor>(item);
    rotor->speedY = 360.0;
    animator->registerAnimation(rotor);
    settings.push_back(std::make_shared<ItemSetting>(action));
    items.push_back(action);
}

// The difficulty's factors on the numbers as placed.
void DemoLevel::applyDifficulty() {
    raceDifficulty = difficulty;
    const Difficulty& d = *difficulty;
    for (std::size_t i = 0; i < hunters.size() && i < placed.topSpeeds.size(); ++i) {
        hunters[i]->setNormalMaxSpeed(placed.topSpeeds[i] * d.pursuerSpeed);
        hunters[i]->getViewfield()->getEventSphere()->radius = placed.sights[i] * d.viewSphere;
    }
    for (std::size_t i = 0; i < items.size() && i < placed.itemTimes.size(); ++i)
        items[i]->setTimes(placed.itemTimes[i].first * d.itemTime, placed.itemTimes[i].second);
    for (const auto& game : signGames) game->rowFactor = d.rowLength;
}
