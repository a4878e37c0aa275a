#include "assets/GroundColours.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

struct GroundColour {
    float r, g, b;
};

// Meadow low down, a drier alpine green higher up, rock and snow.
constexpr GroundColour MEADOW = {0.29f, 0.49f, 0.17f};
constexpr GroundColour MEADOW_LUSH = {0.36f, 0.56f, 0.20f};
constexpr GroundColour ALPINE = {0.45f, 0.52f, 0.25f};
constexpr GroundColour ROCK = {0.50f, 0.46f, 0.41f};
constexpr GroundColour ROCK_DARK = {0.37f, 0.34f, 0.31f};
constexpr GroundColour SNOW = {0.95f, 0.96f, 0.99f};

// Rise over run where rock begins and where it has taken over (about 24 and
// 40 degrees), and where snow no longer holds (about 50 to 60 degrees).
constexpr float ROCK_FROM = 0.45f, ROCK_FULL = 0.85f;
constexpr float SNOW_SLIDES_FROM = 1.2f, SNOW_SLIDES_FULL = 1.7f;
// The snow line, as a share of the terrain's height, and its width.
constexpr float SNOW_FROM = 0.72f, SNOW_FULL = 0.82f;

// Wavelengths of the two layers of noise in world units (not multiples of
// each other, so the table's repetition does not show).
constexpr double NOISE_COARSE = 23.0, NOISE_FINE = 6.1;
constexpr int NOISE_SIDE = 64;  // the noise table's side, a power of two

float smoothstep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

GroundColour mixColour(const GroundColour& a, const GroundColour& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// A table of values in -0.5..0.5 from a fixed seed: the same ground always
// gets the same colours.
const std::array<float, NOISE_SIDE * NOISE_SIDE>& noiseTable() {
    static const std::array<float, NOISE_SIDE * NOISE_SIDE> table = [] {
        std::array<float, NOISE_SIDE * NOISE_SIDE> values{};
        std::uint32_t state = 0x9E3779B9u;
        for (float& value : values) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            value = static_cast<float>(state >> 8) / static_cast<float>(1u << 24) - 0.5f;
        }
        return values;
    }();
    return table;
}

// Value noise at (u, v) table cells: bilinear between the table's values, wrapping.
float valueNoise(double u, double v) {
    const std::array<float, NOISE_SIDE * NOISE_SIDE>& table = noiseTable();
    const double fu = std::floor(u), fv = std::floor(v);
    const int x0 = static_cast<int>(static_cast<long long>(fu) & (NOISE_SIDE - 1));
    const int y0 = static_cast<int>(static_cast<long long>(fv) & (NOISE_SIDE - 1));
    const int x1 = (x0 + 1) & (NOISE_SIDE - 1), y1 = (y0 + 1) & (NOISE_SIDE - 1);
    const float tx = static_cast<float>(u - fu), ty = static_cast<float>(v - fv);
    const float top = table[y0 * NOISE_SIDE + x0] + (table[y0 * NOISE_SIDE + x1] - table[y0 * NOISE_SIDE + x0]) * tx;
    const float bottom = table[y1 * NOISE_SIDE + x0] + (table[y1 * NOISE_SIDE + x1] - table[y1 * NOISE_SIDE + x0]) * tx;
    return top + (bottom - top) * ty;
}

unsigned char toByte(float value) {
    return static_cast<unsigned char>(std::clamp(value, 0.0f, 1.0f) * 255.0f + 0.5f);
}

}  // namespace

GroundColours::GroundColours(const TerrainGrid& grid, const std::vector<Vector>& normals) { measure(grid, normals); }

GroundColours::GroundColours(const TerrainGrid& grid) { measure(grid, grid.vertexNormals(grid.faceNormals())); }

void GroundColours::measure(const TerrainGrid& grid, const std::vector<Vector>& normals) {
    width = grid.getWidth();
    height = grid.getHeight();
    stepX = grid.getStepX();
    stepZ = grid.getStepZ();
    const std::size_t count = static_cast<std::size_t>(width) * height;
    level.assign(count, 0.0f);
    steepness.assign(count, 0.0f);
    if (count == 0) return;
    double lowest = grid.point(0, 0).y, highest = lowest;
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c) {
            const double y = grid.point(r, c).y;
            level[static_cast<std::size_t>(r) * width + c] = static_cast<float>(y);
            lowest = std::min(lowest, y);
            highest = std::max(highest, y);
        }
    // A flat terrain is meadow all over.
    const double range = highest - lowest;
    for (float& value : level) value = range > 0 ? static_cast<float>((value - lowest) / range) : 0.0f;
    if (normals.size() != count) return;
    for (std::size_t v = 0; v < count; ++v) {
        // The normal's tilt: horizontal part over vertical part is the rise over run.
        const double up = std::fabs(normals[v].y);
        const double across = std::sqrt(std::max(0.0, 1.0 - up * up));
        steepness[v] = static_cast<float>(up > 1e-6 ? across / up : 1e6);
    }
}

int GroundColours::segmentSide(int quadsX, int quadsZ) {
    const int wanted = 8 * std::max(quadsX, quadsZ);
    int side = 64;
    while (side < wanted && side < 512) side *= 2;
    return side;
}

float GroundColours::sample(const std::vector<float>& values, double row, double column) const {
    row = std::clamp(row, 0.0, static_cast<double>(height - 1));
    column = std::clamp(column, 0.0, static_cast<double>(width - 1));
    const int r0 = std::min(static_cast<int>(row), std::max(height - 2, 0));
    const int c0 = std::min(static_cast<int>(column), std::max(width - 2, 0));
    const int r1 = std::min(r0 + 1, height - 1), c1 = std::min(c0 + 1, width - 1);
    const float fr = static_cast<float>(row - r0), fc = static_cast<float>(column - c0);
    const float* first = values.data() + static_cast<std::size_t>(r0) * width;
    const float* second = values.data() + static_cast<std::size_t>(r1) * width;
    const float near = first[c0] + (first[c1] - first[c0]) * fc;
    const float far = second[c0] + (second[c1] - second[c0]) * fc;
    return near + (far - near) * fr;
}

void GroundColours::colourAt(double row, double column, unsigned char* rgb) const {
    float colour[3];
    colourAt(row, column, colour);
    for (int k = 0; k < 3; ++k) rgb[k] = toByte(colour[k]);
}

void GroundColours::colourAt(double row, double column, float* rgb) const {
    if (level.empty()) {
        rgb[0] = MEADOW.r, rgb[1] = MEADOW.g, rgb[2] = MEADOW.b;
        return;
    }
    const float height01 = sample(level, row, column), steep = sample(steepness, row, column);
    const double x = column * stepX, z = row * stepZ;  // world units from the grid's corner
    const float coarse = valueNoise(x / NOISE_COARSE, z / NOISE_COARSE);
    const float fine = valueNoise(x / NOISE_FINE + 17.0, z / NOISE_FINE + 31.0);

    GroundColour grass = mixColour(MEADOW, MEADOW_LUSH, std::clamp(0.5f + 1.6f * coarse, 0.0f, 1.0f));
    grass = mixColour(grass, ALPINE, smoothstep(0.3f, 0.75f, height01 + 0.2f * coarse));
    const GroundColour rock = mixColour(ROCK, ROCK_DARK, std::clamp(0.5f + 1.8f * fine, 0.0f, 1.0f));
    const float rockShare = smoothstep(ROCK_FROM, ROCK_FULL, steep + 0.25f * coarse);
    const float snowShare = smoothstep(SNOW_FROM, SNOW_FULL, height01 + 0.08f * coarse + 0.04f * fine) *
                            (1.0f - smoothstep(SNOW_SLIDES_FROM, SNOW_SLIDES_FULL, steep));
    GroundColour colour = mixColour(mixColour(grass, rock, rockShare), SNOW, snowShare);
    // A little light and shade, less on the snow, which is all but white.
    const float shade = 1.0f + (0.10f * fine + 0.06f * coarse) * (1.0f - 0.7f * snowShare);
    rgb[0] = colour.r * shade;
    rgb[1] = colour.g * shade;
    rgb[2] = colour.b * shade;
}

std::vector<unsigned char> GroundColours::segmentTexels(const TerrainGrid& grid, int i, int j, int n,
                                                        int side) const {
    const int quadsX = grid.segmentQuadsX(j, n), quadsZ = grid.segmentQuadsZ(i, n);
    const int firstRow = i * (grid.getHeight() / n), firstColumn = j * (grid.getWidth() / n);
    // The colours proper at SAMPLES_PER_CELL points a cell each way, on a
    // lattice that meets the grid's vertices (neighbouring segments share
    // their border's samples) ...
    const int across = quadsX * SAMPLES_PER_CELL + 1, down = quadsZ * SAMPLES_PER_CELL + 1;
    std::vector<float> lattice(static_cast<std::size_t>(across) * down * 3);
    for (int y = 0; y < down; ++y)
        for (int x = 0; x < across; ++x)
            colourAt(firstRow + static_cast<double>(y) / SAMPLES_PER_CELL,
                     firstColumn + static_cast<double>(x) / SAMPLES_PER_CELL,
                     lattice.data() + 3 * (static_cast<std::size_t>(y) * across + x));
    // ... and every texel bilinear between them, at its centre's place: the
    // blends are smooth at that spacing, and the detail texture brings the grain.
    std::vector<int> left(static_cast<std::size_t>(side));
    std::vector<float> rightShare(static_cast<std::size_t>(side));
    for (int x = 0; x < side; ++x) {
        const double u = (x + 0.5) / side * (across - 1);
        left[x] = std::min(static_cast<int>(u), across - 2);
        rightShare[x] = static_cast<float>(u - left[x]);
    }
    std::vector<unsigned char> texels(static_cast<std::size_t>(side) * side * 3);
    for (int y = 0; y < side; ++y) {
        const double v = (y + 0.5) / side * (down - 1);
        const int near = std::min(static_cast<int>(v), down - 2);
        const float farShare = static_cast<float>(v - near);
        const float* nearRow = lattice.data() + static_cast<std::size_t>(near) * across * 3;
        const float* farRow = nearRow + static_cast<std::size_t>(across) * 3;
        unsigned char* out = texels.data() + static_cast<std::size_t>(y) * side * 3;
        for (int x = 0; x < side; ++x) {
            const float* a = nearRow + 3 * left[x];
            const float* b = farRow + 3 * left[x];
            const float t = rightShare[x];
            for (int k = 0; k < 3; ++k) {
                const float nearValue = a[k] + (a[k + 3] - a[k]) * t, farValue = b[k] + (b[k + 3] - b[k]) * t;
                out[3 * x + k] = toByte(nearValue + (farValue - nearValue) * farShare);
            }
        }
    }
    return texels;
}

std::shared_ptr<Texture2D> GroundColours::segmentTexture(const TerrainGrid& grid, int i, int j, int n) const {
    const int side = segmentSide(grid.segmentQuadsX(j, n), grid.segmentQuadsZ(i, n));
    const std::string name = "ground colours of segment " + std::to_string(j) + ":" + std::to_string(i);
    // Mirrored at the edges like the tiles: the edge texels are filtered with themselves.
    return Texture2D::createFromTexels(name, segmentTexels(grid, i, j, n, side), side, side, 3, GL_MIRRORED_REPEAT,
                                       GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, true, true);
}

std::vector<unsigned char> GroundColours::mapTexels(int side) const {
    std::vector<unsigned char> texels(static_cast<std::size_t>(std::max(side, 0)) * std::max(side, 0) * 3);
    // The picture spans the terrain's extent, width x height steps from its
    // -x, -z corner (the last vertex lies a step short of the far edges);
    // its first row is the +z edge.
    for (int y = 0; y < side; ++y) {
        const double row = height * (1.0 - (y + 0.5) / side);
        unsigned char* out = texels.data() + static_cast<std::size_t>(y) * side * 3;
        for (int x = 0; x < side; ++x) colourAt(row, width * (x + 0.5) / side, out + 3 * x);
    }
    return texels;
}

std::shared_ptr<Texture2D> GroundColours::mapTexture(int side) const {
    return Texture2D::createFromTexels("ground colours seen from above", mapTexels(side), side, side, 3,
                                       GL_CLAMP_TO_EDGE, GL_LINEAR, GL_LINEAR, false);
}
