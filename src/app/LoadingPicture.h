#pragma once
#include <memory>

#include "animation/Animation.h"
#include "assets/AlphaGlow.h"
#include "assets/Billboard.h"

class Animator;
class ScenegraphNode;

// The picture shown while the level builds: a screen billboard over the whole
// window (1.151 units high at one unit's distance fill a 60 degree view),
// hung under the given parent. Once the level runs it fades out: one falling
// glow at 0.4 glows per second takes its alpha from 0.99 to 0 in about five
// seconds. Faded out, it is never shown again, so it leaves the scene and its
// texture leaves the registry: the memory of the picture (a 1024 x 1024
// texture with mipmaps for the game's 1024 x 768 picture) is given back.
//
// Once the loading frame is shown, the picture can be kept as a copy the
// size of the window, one texel a pixel (see WindowCopy in the source), and
// the mipmapped picture given back before the level loads: filtering it at
// every pixel of the window cost some 2 ms a frame of the fade at 800 x 600,
// and the copy (1.9 MB there) takes a third of its memory.
class LoadingPicture : public Animation, public std::enable_shared_from_this<LoadingPicture> {
public:
    LoadingPicture(const std::shared_ptr<ScenegraphNode>& parent, const char* file);

    // Registers the fade and this picture (which must be held by a
    // shared_ptr) with the animator and starts the fade.
    void startFading(Animator& animator);
    // Releases the picture once the billboard has switched itself off.
    void animate(double elapsedTime) override;

    // Null once the picture is released.
    std::shared_ptr<Billboard> getBillboard() const { return billboard; }
    std::shared_ptr<AlphaGlow> getFade() const { return fadeOut; }
    // Right after the loading frame, in its window: makes the copy that the
    // frames draw from then on with F11's savings on, and gives the
    // billboard's picture back until the billboard must draw itself again.
    // False where no copy could be made: the billboard draws as before.
    bool keepWindowCopy();
    // The node hung under the parent (the billboard hangs under it); null once released.
    std::shared_ptr<ScenegraphNode> getNode() const;
    // The last frame drew the window-sized copy instead of the billboard.
    bool drewCopy() const;

private:
    class WindowCopy;
    void release();

    std::weak_ptr<ScenegraphNode> parent;
    std::shared_ptr<Billboard> billboard;
    std::shared_ptr<WindowCopy> copy;
    std::shared_ptr<AlphaGlow> fadeOut;
};
