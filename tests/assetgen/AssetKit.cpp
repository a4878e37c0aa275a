#include "AssetKit.h"

#include <IL/il.h>
#include <mpg123.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

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

// Two generator runs into a private temporary folder, removed at exit.
struct Kits {
    fs::path root, first, second;
    Kits() {
        root = fs::temp_directory_path() / ("zarvik_assetkit_" + std::to_string(getpid()));
        fs::remove_all(root);
        first = root / "one";
        second = root / "two";
        std::thread other([this] { runGenerator({second.string()}); });
        runGenerator({first.string()});
        other.join();
    }
    ~Kits() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

const Kits& kits() {
    static const Kits k;
    return k;
}

}  // namespace

const fs::path& kitFolder() { return kits().first; }
const fs::path& secondKitFolder() { return kits().second; }

std::map<std::string, uint64_t> digests(const fs::path& folder) {
    std::map<std::string, uint64_t> out;
    if (!fs::exists(folder)) return out;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        uint64_t h = 1469598103934665603ull;  // FNV-1a
        char c;
        while (in.get(c)) {
            h ^= static_cast<uint8_t>(c);
            h *= 1099511628211ull;
        }
        out[fs::relative(entry.path(), folder).generic_string()] = h;
    }
    return out;
}

// --- models ---------------------------------------------------------------

const MsMesh* MsModel::mesh(const std::string& name) const {
    for (const MsMesh& m : meshes)
        if (m.name == name) return &m;
    return nullptr;
}

void MsModel::bounds(const MsMesh& m, Vec& lo, Vec& hi) {
    for (int i : m.vertexIndex) {
        const Vec& p = m.positions[i];
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
}

void MsModel::bounds(Vec& lo, Vec& hi) const {
    lo = {1e9f, 1e9f, 1e9f};
    hi = {-1e9f, -1e9f, -1e9f};
    for (const MsMesh& m : meshes) bounds(m, lo, hi);
}

namespace {

class LineReader {
public:
    explicit LineReader(const fs::path& file) : in(file) {}
    bool next(std::string& line) {
        if (!std::getline(in, line)) return false;
        ++number;
        return true;
    }
    int number = 0;

private:
    std::ifstream in;
};

bool quoted(const std::string& line, std::string& text, std::string& rest) {
    size_t a = line.find('"');
    size_t b = a == std::string::npos ? a : line.find('"', a + 1);
    if (b == std::string::npos) return false;
    text = line.substr(a + 1, b - a - 1);
    rest = line.substr(b + 1);
    return true;
}

}  // namespace

bool readModel(const fs::path& file, MsModel& model, std::string& error) {
    LineReader r(file);
    std::string line;
    auto fail = [&](const std::string& why) {
        error = file.filename().string() + " line " + std::to_string(r.number) + ": " + why;
        return false;
    };
    auto count = [&](int& n, const char* what) {
        if (!r.next(line) || std::sscanf(line.c_str(), "%d", &n) != 1 || n < 0) return fail(std::string("no ") + what + " count");
        return true;
    };
    if (!r.next(line) || line != "// MilkShape 3D ASCII") return fail("not the MilkShape ASCII header");
    int meshCount = -1;
    while (r.next(line))
        if (std::sscanf(line.c_str(), "Meshes: %d", &meshCount) == 1) break;
    if (meshCount < 0) return fail("no mesh count");
    for (int m = 0; m < meshCount; ++m) {
        MsMesh mesh;
        std::string rest;
        int flags;
        if (!r.next(line) || !quoted(line, mesh.name, rest) || std::sscanf(rest.c_str(), " %d %d", &flags, &mesh.material) != 2)
            return fail("bad mesh line");
        int n;
        if (!count(n, "vertex")) return false;
        for (int i = 0; i < n; ++i) {
            Vec p;
            float u, v;
            int bone;
            if (!r.next(line) || std::sscanf(line.c_str(), "%d %f %f %f %f %f %d", &flags, &p.x, &p.y, &p.z, &u, &v, &bone) != 7)
                return fail("bad vertex line");
            mesh.positions.push_back(p);
            mesh.u.push_back(u);
            mesh.v.push_back(v);
        }
        if (!count(n, "normal")) return false;
        for (int i = 0; i < n; ++i) {
            Vec p;
            if (!r.next(line) || std::sscanf(line.c_str(), "%f %f %f", &p.x, &p.y, &p.z) != 3) return fail("bad normal line");
            mesh.normals.push_back(p);
        }
        if (!count(n, "triangle")) return false;
        for (int i = 0; i < n; ++i) {
            int v[3], nn[3], group;
            if (!r.next(line) ||
                std::sscanf(line.c_str(), "%d %d %d %d %d %d %d %d", &flags, &v[0], &v[1], &v[2], &nn[0], &nn[1], &nn[2], &group) != 8)
                return fail("bad triangle line");
            for (int k = 0; k < 3; ++k) {
                if (v[k] < 0 || v[k] >= static_cast<int>(mesh.positions.size())) return fail("vertex index out of range");
                if (nn[k] < 0 || nn[k] >= static_cast<int>(mesh.normals.size())) return fail("normal index out of range");
                mesh.vertexIndex.push_back(v[k]);
                mesh.normalIndex.push_back(nn[k]);
            }
        }
        model.meshes.push_back(std::move(mesh));
    }
    int materialCount = -1;
    while (r.next(line))
        if (std::sscanf(line.c_str(), "Materials: %d", &materialCount) == 1) break;
    if (materialCount < 0) return fail("no material count");
    for (int m = 0; m < materialCount; ++m) {
        MsMaterial mat;
        std::string rest, alpha;
        float colour[4], shininess;
        if (!r.next(line) || !quoted(line, mat.name, rest)) return fail("bad material name");
        for (int k = 0; k < 4; ++k) {
            if (!r.next(line) || std::sscanf(line.c_str(), "%f %f %f %f", &colour[0], &colour[1], &colour[2], &colour[3]) != 4)
                return fail("bad material colour");
            if (k == 1) std::memcpy(mat.diffuse, colour, sizeof colour);
        }
        if (!r.next(line) || std::sscanf(line.c_str(), "%f", &shininess) != 1) return fail("bad shininess");
        if (!r.next(line) || std::sscanf(line.c_str(), "%f", &mat.transparency) != 1) return fail("bad transparency");
        if (!r.next(line) || !quoted(line, mat.colourMap, rest)) return fail("bad colour map");
        if (!r.next(line) || !quoted(line, alpha, rest)) return fail("bad alpha map");
        model.materials.push_back(mat);
    }
    for (const MsMesh& mesh : model.meshes)
        if (mesh.material < -1 || mesh.material >= materialCount) return fail("mesh " + mesh.name + " has no such material");
    bool bones = false;
    while (r.next(line))
        if (line == "Bones: 0") bones = true;
    if (!bones) return fail("no \"Bones: 0\" section");
    return true;
}

// --- pictures -------------------------------------------------------------

namespace {

void startDevIL() {
    static bool started = false;
    if (!started) {
        ilInit();
        started = true;
    }
}

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

bool loadLuminance(const fs::path& file, int& width, int& height, std::vector<uint8_t>& pixels) {
    startDevIL();
    ILuint image;
    ilGenImages(1, &image);
    ilBindImage(image);
    bool ok = ilLoadImage(file.string().c_str());
    if (ok) {
        width = ilGetInteger(IL_IMAGE_WIDTH);
        height = ilGetInteger(IL_IMAGE_HEIGHT);
        pixels.resize(static_cast<size_t>(width) * height);
        ilCopyPixels(0, 0, 0, width, height, 1, IL_LUMINANCE, IL_UNSIGNED_BYTE, pixels.data());
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
