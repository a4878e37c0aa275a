// Helpers for the asset kit tests: run the generator into a fresh folder,
// and read its files back with the libraries the game uses (DevIL for
// pictures, mpg123 for sounds) or a strict reader for the model text.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "assets/MilkshapeReader.h"

namespace kit {

namespace fs = std::filesystem;

// The generator built beside the tests (<build>/tools/assetgen/assetgen).
fs::path generatorPath();

// Runs the generator with the arguments; returns its exit status.
int runGenerator(const std::vector<std::string>& args);

// The kit as the build wrote it with this generator: the game folder
// (ZARVIK_GAME_DIR, else game/ under the build folder).
const fs::path& kitFolder();
// A second run of the generator, once per test program, into a private
// temporary folder; the same run draws the contact sheet. The determinism
// test compares it with the build's kit.
const fs::path& secondKitFolder();
const fs::path& contactSheet();

// Every file the kit writes into the data folders (models, images, terrain,
// audio, and the shipped levels' heightmaps) under a folder, by relative
// path, with a digest of its bytes. The game folder also holds the game
// itself and the level files, which are not part of the kit.
std::map<std::string, uint64_t> digests(const fs::path& folder);

// --- models ---------------------------------------------------------------
// Read with the game's own reader; bounds over every triangle corner.
bool readModel(const fs::path& file, MilkshapeReader::Model& model, std::string& error);
const MilkshapeReader::Mesh* findMesh(const MilkshapeReader::Model& model, const std::string& name);

struct Box {
    float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
    void add(const MilkshapeReader::Mesh& mesh);
    float size(int axis) const { return hi[axis] - lo[axis]; }
    float centre(int axis) const { return 0.5f * (hi[axis] + lo[axis]); }
};
Box bounds(const MilkshapeReader::Model& model);
Box bounds(const MilkshapeReader::Mesh& mesh);

// --- pictures -------------------------------------------------------------
struct Picture {
    int width = 0, height = 0, bytesPerPixel = 0;
    std::vector<uint8_t> rgba;  // row 0 = the picture's top row
    const uint8_t* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

// Loads with DevIL, started as the game starts it; false when DevIL cannot
// read the file. Rows are turned so that row 0 is the top whatever order
// DevIL keeps them in.
bool loadPicture(const fs::path& file, Picture& picture);

// A greyscale heightmap at 16 bits a pixel (an 8-bit one scaled up), row 0
// its bottom row, which the terrain loader lays at the north edge.
struct Heightmap {
    int width = 0, height = 0;
    std::vector<uint16_t> values;
    uint16_t at(int column, int row) const { return values[static_cast<size_t>(row) * width + column]; }
};
bool loadHeightmap(const fs::path& file, Heightmap& map);

// --- sounds ---------------------------------------------------------------
struct Sound {
    long rate = 0;
    int channels = 0;
    std::vector<float> samples;  // interleaved, -1 .. 1
    double seconds() const { return channels ? static_cast<double>(samples.size()) / channels / rate : 0; }
};

bool decodeMp3(const fs::path& file, Sound& sound);

}  // namespace kit
