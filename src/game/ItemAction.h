#pragma once
#include <memory>

#include "animation/Animation.h"
#include "game/Action.h"
#include "overlay/Overlay3D.h"
#include "scenegraph/GeometryNode.h"

// A pickup lying in the world. Driving through it sinks the item 100 units
// out of reach, shows its icon on the HUD and starts a timed influence on the
// game; the kinds of item say what the influence does. The item counts its
// own time as an animation: the influence ends influenceDuration seconds
// after the pickup (the icon fading out until then), and the item rises again
// respawnTime seconds after the pickup. respawnTime is never shorter than
// influenceDuration, so an item never returns while its own influence runs.
//
// The level puts the overlay into its item list, the overlay's billboard
// under the root, and registers the action with the animator.
class ItemAction : public Action, public Animation {
public:
    // overlayTex: picture of the HUD icon (a missing file leaves it empty).
    ItemAction(std::shared_ptr<GeometryNode> item, const char* overlayTex);

    // Pickup. A taken item lies out of reach, so it is ignored until it is back.
    void enter() override;

    virtual void startInfluence() {}  // once, at the pickup
    virtual void influence() {}       // every frame while the influence runs
    virtual void endInfluence() {}    // once, when the influence time is over
    // Level reset: ends a running influence and brings a taken item back at
    // once. An item that was never taken stays as it is.
    virtual void abortInfluence();

    // elapsedTime in seconds since the previous frame.
    void animate(double elapsedTime) override;

    std::shared_ptr<Overlay3D> getOverlay() const { return overlay; }
    std::shared_ptr<GeometryNode> getItem() const { return item; }
    bool isInfluenceActive() const { return influenceActive; }
    bool isItemPresent() const { return itemPresent; }
    double getInfluenceDuration() const { return influenceDuration; }  // seconds
    double getRespawnTime() const { return respawnTime; }              // seconds
    double getElapsed() const { return elapsed; }                      // seconds since the pickup
    // How long the influence lasts and when the item returns (seconds after
    // the pickup); the return never comes before the influence ends.
    void setTimes(double influence, double respawn);

    // How far a taken item sinks below its place.
    static constexpr float SINK_DEPTH = 100.0f;

protected:
    // The HUD icon: a screen-space billboard, hidden, almost transparent.
    void createOverlay(const char* texName);

    bool influenceActive = false;
    bool itemPresent = true;
    double elapsed = 0.0;  // seconds since the last pickup
    std::shared_ptr<Overlay3D> overlay;
    std::shared_ptr<GeometryNode> item;
    double respawnTime = 15.0;        // seconds after the pickup
    double influenceDuration = 10.0;  // seconds after the pickup

private:
    void sink();
    void rise();
    float placeY = 0.0f;  // the item's height before it sank
    void fadeIcon();
};
