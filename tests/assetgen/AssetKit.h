// Helpers for the asset kit tests: run the generator into a fresh folder,
// and read its files back with the libraries the game uses (DevIL for
// pictures, mpg123 for sounds) or a strict reader for the model text.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace kit {

namespace fs = std::filesystem;

// The generator built beside the tests (<build>/tools/assetgen/assetgen).
fs::path generatorPath();

// Runs the generator with the arguments; returns its exit status.
int runGenerator(const std::vector<std::string>& args);

// A folder written by the generator once per test program (two runs
// happen at once so that the determinism test can compare them).
const fs::path& kitFolder();
const fs::path& secondKitFolder();

// Every file under a folder, by relative path, with a digest of its bytes.
std::map<std::string, uint64_t> digests(const fs::path& folder);

// --- models ---------------------------------------------------------------
struct Vec {
    float x = 0, y = 0, z = 0;
};

struct MsMesh {
    std::string name;
    int material = -1;
    std::vector<Vec> positions;
    std::vector<float> u, v;
    std::vector<Vec> normals;
    std::vector<int> vertexIndex, normalIndex;  // 3 per triangle
};

struct MsMaterial {
    std::string name, colourMap;
    float diffuse[4] = {0, 0, 0, 0};
    float transparency = 1;
};

struct MsModel {
    std::vector<MsMesh> meshes;
    std::vector<MsMaterial> materials;
    const MsMesh* mesh(const std::string& name) const;
    void bounds(Vec& lo, Vec& hi) const;                              // over all triangle corners
    static void bounds(const MsMesh& m, Vec& lo, Vec& hi);
};

// Reads a MilkShape 3D ASCII file strictly (every count line, no blank lines
// inside meshes or materials, indices in range); on failure returns false
// with the reason in `error`.
bool readModel(const fs::path& file, MsModel& model, std::string& error);

// --- pictures -------------------------------------------------------------
struct Picture {
    int width = 0, height = 0, bytesPerPixel = 0;
    std::vector<uint8_t> rgba;  // row 0 = the picture's top row
    const uint8_t* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

// Loads with DevIL as the game does; false when DevIL cannot read it.
bool loadPicture(const fs::path& file, Picture& picture);
// The heightmap as the terrain loader reads it: luminance, with DevIL's
// default origin (row 0 first).
bool loadLuminance(const fs::path& file, int& width, int& height, std::vector<uint8_t>& pixels);

// --- sounds ---------------------------------------------------------------
struct Sound {
    long rate = 0;
    int channels = 0;
    std::vector<float> samples;  // interleaved, -1 .. 1
    double seconds() const { return channels ? static_cast<double>(samples.size()) / channels / rate : 0; }
};

bool decodeMp3(const fs::path& file, Sound& sound);

}  // namespace kit
