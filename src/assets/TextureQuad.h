#pragma once
#include <memory>
#include <string>

#include "assets/Texture2D.h"
#include "math/Utilities.h"
#include "scenegraph/GeometryNode.h"

// A flat rectangle with one picture, lying in the node's x-z plane and facing
// +y, centred on the node's origin. Semi-transparent (drawn in the blended
// pass), never occlusion-tested and placed by its own transform.
//
// Texture coordinates follow the pictures as the texture loader stores them
// (lower-left origin: v = 0 is the bottom row of the picture): u runs with x
// and v with z. A billboard turns the quad so that +x points right and +z up
// on screen, and there the picture reads upright and unmirrored.
class TextureQuad : public GeometryNode {
public:
    explicit TextureQuad(const char* nodeDescription);

    // Loads the picture (repeating, mipmapped minification) and sets up a
    // white material with alpha 0.7. A picture that cannot be loaded leaves
    // an empty texture and a message; the rectangle is drawn anyway.
    virtual void load(const char* texfile, float sizex, float sizez, bool autoMipMap);
    // The same quad, but the picture is read the first time the quad is
    // drawn: a picture shown only now and then (a message) takes no memory
    // before it is first needed. Only whether its file opens is checked now:
    // a missing picture gets load()'s messages at once, and the quad draws
    // the empty texture.
    void loadWhenDrawn(const char* texfile, float sizex, float sizez, bool autoMipMap);
    // False while a picture waits for the first draw.
    bool isPictureLoaded() const { return pendingPicture.empty(); }
    // The file read at the first draw; empty when none waits.
    const std::string& pictureToRead() const { return pendingPicture; }
    // Gives the picture's texture back (to the registry, which deletes it
    // when nobody else draws with it) until the quad is drawn again: then
    // the picture is read from its file once more, as after loadWhenDrawn.
    // A quad whose picture did not load, or has not yet, stays as it is.
    void unloadUntilDrawn();

    void finalize() override {}
    void print() override {}
    void executeDisplayList() override;

    std::shared_ptr<Texture2D> getTexture() const { return texture; }
    // Four corners of x, y, z; four normals; four (u, v) pairs, in drawing order.
    const FloatArray& getVertices() const { return vertices; }
    const FloatArray& getTexCoords() const { return texCoords; }

    // Gives a material white colours of its own, no shine, and this alpha.
    static void makeWhite(Material& material, float alpha);

private:
    void setCorners(float sizex, float sizez);
    void loadPicture(const char* texfile, bool autoMipMap);
    void loadPendingPicture();

    std::shared_ptr<Texture2D> texture;
    std::string pendingPicture;  // the picture to read at the first draw, if any
    bool pendingMipMap = true;
    FloatArray vertices;
    FloatArray normals;
    FloatArray texCoords;
};
