#include "AssetKit.h"

#include "assets/Texture2D.h"

#include <IL/il.h>
#include <mpg123.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace kit {

fs::path generatorPath() { return fs::current_path() / "tools" / "assetgen" / "assetgen"; }

int runGenerator(const std::vector<std::string>& args) {
    std::string command = "'" + generatorPath().string() + "'";
    for (const std::string& a : args) command += " '" + a + "'";
    command += " > /dev/null";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

namespace {

// The second run into a private temporary folder, removed at exit.
struct SecondKit {
    fs::path root, folder, sheet;
    int status = -1;
    SecondKit() {
        root = fs::temp_directory_path() / ("zarvik_assetkit_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root);
        folder = root / "kit";
        sheet = root / "sheet.png";
        status = runGenerator({"--preview", sheet.string(), folder.string()});
    }
    ~SecondKit() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

const SecondKit& secondKit() {
    static const SecondKit k;
    return k;
}

}  // namespace

const fs::path& kitFolder() {
    static const fs::path folder = [] {
        const char* dir = std::getenv("ZARVIK_GAME_DIR");
        return fs::path(dir ? dir : "game");
    }();
    return folder;
}

const fs::path& secondKitFolder() { return secondKit().folder; }
const fs::path& contactSheet() { return secondKit().sheet; }

std::map<std::string, uint64_t> digests(const fs::path& folder) {
    std::map<std::string, uint64_t> out;
    for (const char* data : {"models", "images", "terrain", "audio", "levels"}) {
        if (!fs::is_directory(folder / data)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(folder / data)) {
            // The level files beside the shipped levels' heightmaps are copied by the build.
            if (!entry.is_regular_file() || entry.path().extension() == ".toml") continue;
            std::ifstream in(entry.path(), std::ios::binary);
            uint64_t h = 1469598103934665603ull;  // FNV-1a
            char c;
            while (in.get(c)) {
                h ^= static_cast<uint8_t>(c);
                h *= 1099511628211ull;
            }
            out[fs::relative(entry.path(), folder).generic_string()] = h;
        }
    }
    return out;
}

// --- models ---------------------------------------------------------------

bool readModel(const fs::path& file, MilkshapeReader::Model& model, std::string& error) {
    std::string text;
    if (!MilkshapeReader::readFile(file.string(), text)) {
        error = "cannot read " + file.string();
        return false;
    }
    MilkshapeReader reader;
    if (!reader.parse(text, model)) {
        error = file.filename().string() + ": " + reader.error();
        return false;
    }
    // The parts the reader skips must still be there, as the modeller writes them.
    if (text.rfind("// MilkShape 3D ASCII\n", 0) != 0 || text.find("\nFrames: ") == std::string::npos ||
        text.find("\nBones: 0\n") == std::string::npos) {
        error = file.filename().string() + ": header or bones section missing";
        return false;
    }
    return true;
}

const MilkshapeReader::Mesh* findMesh(const MilkshapeReader::Model& model, const std::string& name) {
    for (const MilkshapeReader::Mesh& m : model.meshes)
        if (m.name == name) return &m;
    return nullptr;
}

void Box::add(const MilkshapeReader::Mesh& mesh) {
    for (size_t i = 0; i + 2 < mesh.triangleVertices.size(); i += 3)
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], mesh.triangleVertices[i + k]);
            hi[k] = std::max(hi[k], mesh.triangleVertices[i + k]);
        }
}

Box bounds(const MilkshapeReader::Model& model) {
    Box b;
    for (const MilkshapeReader::Mesh& m : model.meshes) b.add(m);
    return b;
}

Box bounds(const MilkshapeReader::Mesh& mesh) {
    Box b;
    b.add(mesh);
    return b;
}

// --- pictures -------------------------------------------------------------

namespace {

// DevIL starts with the first texture, with the game's settings.
void startDevIL() { static const Texture2D first(false); }

}  // namespace

bool loadPicture(const fs::path& file, Picture& picture) {
    startDevIL();
    ILuint image;
    ilGenImages(1, &image);
    ilBindImage(image);
    bool ok = ilLoadImage(file.string().c_str());
    if (ok) {
        picture.width = ilGetInteger(IL_IMAGE_WIDTH);
        picture.height = ilGetInteger(IL_IMAGE_HEIGHT);
        picture.bytesPerPixel = ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL);
        picture.rgba.resize(static_cast<size_t>(picture.width) * picture.height * 4);
        ilCopyPixels(0, 0, 0, picture.width, picture.height, 1, IL_RGBA, IL_UNSIGNED_BYTE, picture.rgba.data());
        // DevIL's copy follows the image's own origin; make row 0 the top.
        if (ilGetInteger(IL_IMAGE_ORIGIN) == IL_ORIGIN_LOWER_LEFT) {
            const size_t row = static_cast<size_t>(picture.width) * 4;
            for (int y = 0; y < picture.height / 2; ++y)
                std::swap_ranges(picture.rgba.begin() + y * row, picture.rgba.begin() + (y + 1) * row,
                                 picture.rgba.begin() + (picture.height - 1 - y) * row);
        }
    }
    while (ilGetError() != IL_NO_ERROR) {
    }
    ilDeleteImages(1, &image);
    return ok;
}

bool loadHeightmap(const fs::path& file, Heightmap& map) {
    startDevIL();
    ILuint image;
    ilGenImages(1, &image);
    ilBindImage(image);
    bool ok = ilLoadImage(file.string().c_str());
    if (ok) {
        map.width = ilGetInteger(IL_IMAGE_WIDTH);
        map.height = ilGetInteger(IL_IMAGE_HEIGHT);
        map.values.resize(static_cast<size_t>(map.width) * map.height);
        ilCopyPixels(0, 0, 0, map.width, map.height, 1, IL_LUMINANCE, IL_UNSIGNED_SHORT, map.values.data());
        if (ilGetInteger(IL_IMAGE_ORIGIN) == IL_ORIGIN_UPPER_LEFT)
            for (int y = 0; y < map.height / 2; ++y)
                std::swap_ranges(map.values.begin() + y * map.width, map.values.begin() + (y + 1) * map.width,
                                 map.values.begin() + (map.height - 1 - y) * map.width);
    }
    while (ilGetError() != IL_NO_ERROR) {
    }
    ilDeleteImages(1, &image);
    return ok;
}

// --- sounds ---------------------------------------------------------------

bool decodeMp3(const fs::path& file, Sound& sound) {
    static bool started = (mpg123_init() == MPG123_OK);
    if (!started) return false;
    int err = 0;
    mpg123_handle* h = mpg123_new(nullptr, &err);
    if (!h) return false;
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_FORCE_FLOAT, 0.0);
    bool ok = mpg123_open(h, file.string().c_str()) == MPG123_OK;
    int encoding = 0;
    if (ok) ok = mpg123_getformat(h, &sound.rate, &sound.channels, &encoding) == MPG123_OK;
    if (ok) {
        mpg123_format_none(h);
        ok = mpg123_format(h, sound.rate, sound.channels, MPG123_ENC_FLOAT_32) == MPG123_OK;
    }
    std::vector<unsigned char> buffer(1 << 16);
    while (ok) {
        size_t done = 0;
        int r = mpg123_read(h, buffer.data(), buffer.size(), &done);
        const float* f = reinterpret_cast<const float*>(buffer.data());
        sound.samples.insert(sound.samples.end(), f, f + done / sizeof(float));
        if (r == MPG123_DONE) break;
        if (r == MPG123_NEW_FORMAT) continue;
        if (r != MPG123_OK) ok = false;
    }
    mpg123_close(h);
    mpg123_delete(h);
    return ok && !sound.samples.empty();
}

}  // namespace kit
