// The town sign: a plate on two posts. The plate's front is the mesh
// "face" (the town name texture, towards +z) and its back and rim are
// "backside"; dismantling the sign hides both and leaves the posts.
#include "Models.h"
#include "Shapes.h"

namespace assetgen {

namespace {
const float PLATE_HALF_WIDTH = 1.0f;
const float PLATE_BOTTOM = 1.2f;
const float PLATE_TOP = 2.2f;
const float PLATE_HALF_DEPTH = 0.02f;
}  // namespace

Model buildSign() {
    Model model;
    // The plate glows a little: the player mostly sees it against the sun.
    int plateMat = model.addMaterial(Material::textured("town plate", SIGN_DEFAULT_PLATE, 0.75f));
    int backMat = model.addMaterial(Material::colour("aluminium", 0.62f, 0.64f, 0.66f, 0.6f, 0.3f));
    int postMat = model.addMaterial(Material::colour("galvanised steel", 0.55f, 0.57f, 0.58f, 0.7f, 0.3f));

    const float x0 = -PLATE_HALF_WIDTH, x1 = PLATE_HALF_WIDTH;
    const float y0 = PLATE_BOTTOM, y1 = PLATE_TOP;
    const float zf = PLATE_HALF_DEPTH, zb = -PLATE_HALF_DEPTH;

    // The picture's bottom edge is texture row v = 0.
    Mesh& face = model.addMesh("face", plateMat);
    shapes::quad(face, IDENTITY, {x0, y0, zf + 0.001f}, {x1, y0, zf + 0.001f}, {x1, y1, zf + 0.001f},
                 {x0, y1, zf + 0.001f}, {0, 0, 1}, {0, 0}, {1, 0}, {1, 1}, {0, 1});

    Mesh& back = model.addMesh("backside", backMat);
    shapes::quad(back, IDENTITY, {x1, y0, zb}, {x0, y0, zb}, {x0, y1, zb}, {x1, y1, zb}, {0, 0, -1});
    shapes::quad(back, IDENTITY, {x0, y1, zf}, {x1, y1, zf}, {x1, y1, zb}, {x0, y1, zb}, {0, 1, 0});
    shapes::quad(back, IDENTITY, {x0, y0, zb}, {x1, y0, zb}, {x1, y0, zf}, {x0, y0, zf}, {0, -1, 0});
    shapes::quad(back, IDENTITY, {x1, y0, zf}, {x1, y0, zb}, {x1, y1, zb}, {x1, y1, zf}, {1, 0, 0});
    shapes::quad(back, IDENTITY, {x0, y0, zb}, {x0, y0, zf}, {x0, y1, zf}, {x0, y1, zb}, {-1, 0, 0});

    Mesh& posts = model.addMesh("posts", postMat);
    for (float x : {-0.7f, 0.7f}) {
        shapes::lathe(posts, Affine::translate(x, 0, -0.075f),
                      {{0, -0.4f}, {0.05f, -0.4f}, {0.05f, 2.24f}, {0.035f, 2.28f}, {0, 2.28f}}, 16, 40);
        for (float y : {y0 + 0.15f, y1 - 0.15f})
            shapes::box(posts, IDENTITY, {x - 0.07f, y - 0.035f, zb - 0.03f}, {x + 0.07f, y + 0.035f, zb});
    }
    return model;
}

}  // namespace assetgen
