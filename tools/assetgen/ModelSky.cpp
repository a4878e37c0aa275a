// The sky dome: a sphere cap seen from inside, textured with the sky
// picture (u round the horizon, v from the lowest ring up to the zenith).
// The level draws it at scale 4, so a radius of 100 keeps it inside the
// far plane of 450 with room for the camera's distance from the car.
#include <cmath>

#include "Models.h"
#include "Sky.h"

namespace assetgen {

Model buildSky() {
    Model model;
    Material sky = Material::lamp("sky", 1, 1, 1);
    sky.diffuse[0] = sky.diffuse[1] = sky.diffuse[2] = 0;
    sky.colorMap = SKY_TEXTURE;
    int mat = model.addMaterial(sky);
    Mesh& dome = model.addMesh("dome", mat);

    const int segments = 48, rings = 24;
    const float R = SKY_RADIUS;
    for (int r = 0; r <= rings; ++r) {
        float v = static_cast<float>(r) / rings;
        float e = skyElevationOfV(v) * PI_F / 180;
        for (int s = 0; s <= segments; ++s) {
            float u = static_cast<float>(s) / segments;
            float a = 2 * PI_F * u;
            Vec3 p(R * std::cos(e) * std::sin(a), R * std::sin(e), R * std::cos(e) * std::cos(a));
            if (r == rings) p = Vec3(0, R, 0);  // the zenith, exactly
            dome.vertex(p, u, v);
        }
    }
    // Faces look inwards: their front side faces the centre.
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            int a = r * (segments + 1) + s, b = a + 1, c = a + segments + 2, d = a + segments + 1;
            Vec3 mid = (dome.vertices[a].p + dome.vertices[c].p) * 0.5f;
            dome.triangle(a, b, c, -mid);
            dome.triangle(a, c, d, -mid);
        }
    // Close the bottom with a disc in the colour of the lowest row.
    int centre = dome.vertex({0, R * std::sin(skyElevationOfV(0) * PI_F / 180), 0}, 0.5f, 0.002f);
    for (int s = 0; s < segments; ++s) dome.triangle(centre, s, s + 1, {0, 1, 0});
    // Normals point inwards, like the faces (the material glows anyway).
    dome.smooth(0, 89);
    return model;
}

}  // namespace assetgen
