#include "game/MinimapFeed.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "game/DemoLevel.h"
#include "physics/PhysicVolume.h"
#include "physics/newton.h"

namespace {

// An item's marker colour: its material's diffuse colour at full strength
// (the black overkill item stays black).
void itemColour(const GeometryNode& item, float rgb[3]) {
    const float* diffuse = item.getMaterial()->diffuse.get();
    const float strongest = std::max({diffuse[0], diffuse[1], diffuse[2]});
    for (int c = 0; c < 3; ++c) rgb[c] = strongest > 0 ? diffuse[c] / strongest : 0.0f;
}

Minimap::Marker at(Minimap::Kind kind, const Vector& position) {
    Minimap::Marker marker;
    marker.kind = kind;
    marker.x = static_cast<float>(position.x);
    marker.z = static_cast<float>(position.z);
    return marker;
}

Vector placeOf(const GeometryNode& node) { return Vector(node.getXpos(), node.getYpos(), node.getZpos()); }

}  // namespace

MinimapFeed::MinimapFeed(const DemoLevel& l, std::shared_ptr<Minimap> map, std::shared_ptr<Speedometer> meter)
    : level(l),
      minimap(std::move(map)),
      speedometer(std::move(meter)),
      normalTopSpeed(l.getCarMovement() ? l.getCarMovement()->maxSpeed : 0.0) {}

void MinimapFeed::animate(double) {
    if (minimap) feedMinimap();
    if (speedometer) feedSpeedometer();
}

double MinimapFeed::groundSpeed(const GeometryNode& car) {
    const auto volume = car.getPhysicVolume();
    if (!volume || !volume->hasLiveBody()) return 0.0;
    float velocity[3];
    NewtonBodyGetVelocity(volume->body, velocity);
    return std::hypot(velocity[0], velocity[2]);
}

void MinimapFeed::feedMinimap() const {
    std::vector<Minimap::Marker> markers;
    if (auto start = level.getStartEvent(); start && start->getWith()) {
        Minimap::Marker area = at(Minimap::START_AREA, placeOf(*start->getWith()));
        area.radius = start->getWith()->getEventSphere()->radius;
        markers.push_back(area);
    }
    for (const auto& sign : level.getSignStates()->getSigns())
        if (sign->node)
            markers.push_back(at(sign->dismounted ? Minimap::SIGN_DISMANTLED : Minimap::SIGN, placeOf(*sign->node)));
    for (const auto& item : level.getItems()) {
        if (!item->isItemPresent() || !item->getItem()) continue;
        Minimap::Marker marker = at(Minimap::ITEM, placeOf(*item->getItem()));
        itemColour(*item->getItem(), marker.colour);
        markers.push_back(marker);
    }
    const auto car = level.getPlayerCar();
    const Vector carPlace = car ? HunterAI::positionOf(*car) : Vector();
    for (const auto& hunter : level.getHunters()) {
        const auto pursuer = hunter->getCar();
        if (!pursuer) continue;
        const Vector place = HunterAI::positionOf(*pursuer);
        const bool hunting = hunter->getState() == HunterAI::HUNTING;
        if (hunting || std::hypot(place.x - carPlace.x, place.z - carPlace.z) <= PURSUER_RANGE)
            markers.push_back(at(hunting ? Minimap::PURSUER_HUNTING : Minimap::PURSUER, place));
    }
    if (car) {
        Minimap::Marker marker = at(Minimap::CAR, carPlace);
        // The body's -Z axis is the car's front.
        const float* pose = car->getPhysicVolume()->matrix->data();
        marker.frontX = -pose[8];
        marker.frontZ = -pose[10];
        markers.push_back(marker);
    }
    minimap->setMarkers(std::move(markers));
}

void MinimapFeed::feedSpeedometer() const {
    const auto car = level.getPlayerCar();
    const auto movement = level.getCarMovement();
    const double top = movement ? movement->maxSpeed : 0.0;
    speedometer->show(car ? groundSpeed(*car) : 0.0, top, top > normalTopSpeed);
}
