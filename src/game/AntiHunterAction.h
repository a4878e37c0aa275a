#pragma once
#include <map>
#include <memory>
#include <vector>

#include "game/ItemAction.h"

// Invisibility to the pursuers: while the influence runs, the view spheres of
// the pursuers it knows have radius 0 and so never see the player; at the end
// their true radius comes back.
//
// Several anti-hunter items may blind the same view sphere at once. A view
// sphere counts the influences that blind it and keeps the true radius saved
// by the first of them; it sees again only when the last one has ended.
class AntiHunterAction : public ItemAction {
public:
    // A pursuer's view-field node and its saved event-sphere radius.
    class EventSphereStorage {
    public:
        std::shared_ptr<GeometryNode> node;
        float radius = 0.0f;
        bool blinding = false;  // this action holds the sphere blind now
    };

    AntiHunterAction(std::shared_ptr<GeometryNode> item, const char* overlayTex);
    // Gives back the sight of the spheres this action still holds blind.
    ~AntiHunterAction() override;

    void startInfluence() override;
    void endInfluence() override;

    // hunter: a pursuer's view-field node. One added while the influence runs
    // is not blinded until the next pickup.
    void addHunter(std::shared_ptr<GeometryNode> hunter);
    // Forgets every pursuer; those it holds blind see again.
    void clearHunterList();

    const std::vector<std::shared_ptr<EventSphereStorage>>& getStorages() const { return storages; }
    // How many anti-hunter influences hold this node's view sphere blind now.
    static int blindCount(const std::shared_ptr<GeometryNode>& node);

private:
    struct Blindness {
        int count = 0;
        float trueRadius = 0.0f;
    };
    using BlindnessMap = std::map<std::weak_ptr<GeometryNode>, Blindness, std::owner_less<>>;
    static BlindnessMap& blinded();

    static void blind(EventSphereStorage& storage);
    static void release(EventSphereStorage& storage);

    std::vector<std::shared_ptr<EventSphereStorage>> storages;
};
