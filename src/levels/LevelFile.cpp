#include "levels/LevelFile.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>

#include <toml++/toml.h>

namespace {

namespace fs = std::filesystem;
using Described = LevelDescription;

// Width, height, bit depth and colour type from a PNG's header, if the file is one.
struct PngHeader {
    std::uint32_t width = 0, height = 0;
    int bitDepth = 0, colourType = 0;
};

std::optional<PngHeader> readPngHeader(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char bytes[26] = {};
    if (!in.read(reinterpret_cast<char*>(bytes), sizeof bytes)) return std::nullopt;
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!std::equal(signature, signature + 8, bytes) || std::string(bytes + 12, bytes + 16) != "IHDR")
        return std::nullopt;
    auto word = [&bytes](int at) {
        return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 | std::uint32_t{bytes[at + 2]} << 8 |
               std::uint32_t{bytes[at + 3]};
    };
    return PngHeader{word(16), word(20), bytes[24], bytes[25]};
}

std::string shown(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

// Reads one level file's tables into a description, noting every fault.
class Reader {
public:
    Reader(std::string path, std::vector<std::string>& errors)
        : path(std::move(path)), folder(fs::path(this->path).parent_path()), errors(errors) {}

    void read(const toml::table& root, Described& level) {
        allowKeys(root, "", {"level", "terrain", "sky", "start", "sign", "item", "pursuer", "checkpoint", "medals",
                             "music"});
        readLevel(root, level);
        readTerrain(root, level.terrain);
        readSky(root, level.sky);
        readStart(root, level.start);
        readSigns(root, level);
        readItems(root, level);
        readPursuers(root, level);
        readCheckpoints(root, level);
        readMedals(root, level);
        readMusic(root, level.music);
    }

private:
    void fault(const toml::node& node, const std::string& key, const std::string& what) {
        errors.push_back(path + ":" + std::to_string(node.source().begin.line) + ": " + key + ": " + what);
    }

    // Every key of a table must be one of the known ones.
    void allowKeys(const toml::table& table, const std::string& name, std::initializer_list<const char*> known) {
        for (const auto& [key, node] : table) {
            bool found = false;
            for (const char* k : known) found = found || key.str() == k;
            if (!found) fault(node, name.empty() ? std::string(key.str()) : name + "." + std::string(key.str()),
                              name.empty() ? "unknown table" : "unknown key");
        }
    }

    const toml::table* table(const toml::table& root, const char* name, bool required) {
        const toml::node* node = root.get(name);
        if (!node) {
            if (required) errors.push_back(path + ":1: " + name + ": the table [" + name + "] is missing");
            return nullptr;
        }
        if (const toml::table* t = node->as_table()) return t;
        fault(*node, name, std::string("must be a table [") + name + "]");
        return nullptr;
    }

    // The tables of an array of tables [[name]]; none when absent.
    std::vector<const toml::table*> tables(const toml::table& root, const char* name) {
        std::vector<const toml::table*> list;
        const toml::node* node = root.get(name);
        if (!node) return list;
        const toml::array* array = node->as_array();
        if (!array) {
            fault(*node, name, std::string("must be tables [[") + name + "]]");
            return list;
        }
        for (const toml::node& element : *array) {
            if (const toml::table* t = element.as_table()) list.push_back(t);
            else fault(element, name, std::string("must be tables [[") + name + "]]");
        }
        return list;
    }

    bool number(const toml::table& t, const std::string& name, const char* key, float& out, bool required,
                double min, double max) {
        const toml::node* node = t.get(key);
        const std::string full = name + "." + key;
        if (!node) {
            if (required) fault(t, full, "is missing");
            return false;
        }
        const std::optional<double> value = node->value<double>();
        if (!node->is_number() || !value) {
            fault(*node, full, "must be a number");
            return false;
        }
        if (!std::isfinite(*value) || *value < min || *value > max) {
            fault(*node, full, shown(*value) + " is not within " + shown(min) + " and " + shown(max));
            return false;
        }
        out = static_cast<float>(*value);
        return true;
    }

    bool whole(const toml::table& t, const std::string& name, const char* key, int& out, int min, int max) {
        const toml::node* node = t.get(key);
        if (!node) return false;
        const std::optional<std::int64_t> value = node->value_exact<std::int64_t>();
        if (!value) {
            fault(*node, name + "." + key, "must be a whole number");
            return false;
        }
        if (*value < min || *value > max) {
            fault(*node, name + "." + key, std::to_string(*value) + " is not within " + std::to_string(min) + " and " +
                                               std::to_string(max));
            return false;
        }
        out = static_cast<int>(*value);
        return true;
    }

    bool text(const toml::table& t, const std::string& name, const char* key, std::string& out, bool required) {
        const toml::node* node = t.get(key);
        if (!node) {
            if (required) fault(t, name + "." + key, "is missing");
            return false;
        }
        const std::optional<std::string> value = node->value_exact<std::string>();
        if (!value) {
            fault(*node, name + "." + key, "must be a text in quotes");
            return false;
        }
        out = *value;
        return true;
    }

    // A file the level names: resolved against the level's folder, and there.
    bool file(const toml::table& t, const std::string& name, const char* key, std::string& out, bool required) {
        std::string given;
        if (!text(t, name, key, given, required)) return false;
        const std::string resolved = resolve(given);
        std::error_code error;
        if (!fs::is_regular_file(resolved, error)) {
            fault(*t.get(key), name + "." + key, "no file " + resolved);
            return false;
        }
        out = resolved;
        return true;
    }

    std::string resolve(const std::string& given) const {
        return (folder / fs::path(given)).lexically_normal().string();
    }

    template <std::size_t N>
    bool numbers(const toml::table& t, const std::string& name, const char* key, std::array<float, N>& out,
                 bool required) {
        const toml::node* node = t.get(key);
        if (!node) {
            if (required) fault(t, name + "." + key, "is missing");
            return false;
        }
        const toml::array* array = node->as_array();
        std::array<float, N> values{};
        bool good = array && array->size() == N;
        for (std::size_t i = 0; good && i < N; ++i) {
            const std::optional<double> v = (*array)[i].value<double>();
            good = (*array)[i].is_number() && v && std::isfinite(*v);
            if (good) values[i] = static_cast<float>(*v);
        }
        if (!good) {
            fault(*node, name + "." + key, "must be " + std::to_string(N) + " numbers in brackets");
            return false;
        }
        out = values;
        return true;
    }

    // A position [x, z] that must lie on the terrain.
    bool place(const toml::table& t, const std::string& name, Described::Place& out) {
        std::array<float, 2> xz{};
        if (!numbers(t, name, "position", xz, true)) return false;
        const float limit = halfSize - LevelFile::EDGE_MARGIN;
        if (std::fabs(xz[0]) > limit || std::fabs(xz[1]) > limit) {
            fault(*t.get("position"), name + ".position",
                  "[" + shown(xz[0]) + ", " + shown(xz[1]) + "] lies off the terrain (x and z within " +
                      shown(-limit) + " and " + shown(limit) + ")");
            return false;
        }
        out = {xz[0], xz[1]};
        return true;
    }

    void readLevel(const toml::table& root, Described& level) {
        const toml::table* t = table(root, "level", true);
        if (!t) return;
        allowKeys(*t, "level", {"format", "name", "description", "author"});
        const toml::node* format = t->get("format");
        if (!format) fault(*t, "level.format", "is missing");
        else if (!format->value_exact<std::int64_t>()) fault(*format, "level.format", "must be a whole number");
        else if (*format->value_exact<std::int64_t>() != Described::FORMAT)
            fault(*format, "level.format", "format " + std::to_string(*format->value_exact<std::int64_t>()) +
                                               " is not the one this game reads (" + std::to_string(Described::FORMAT) + ")");
        text(*t, "level", "name", level.name, true);
        text(*t, "level", "description", level.description, false);
        text(*t, "level", "author", level.author, false);
        if (t->get("name") && level.name.empty()) fault(*t->get("name"), "level.name", "must not be empty");
    }

    void readTerrain(const toml::table& root, Described::Terrain& terrain) {
        const toml::table* t = table(root, "terrain", true);
        if (!t) return;
        allowKeys(*t, "terrain", {"heightmap", "size", "height", "base", "segments", "tiles", "tile_prefix", "detail",
                                  "minimap"});
        number(*t, "terrain", "size", terrain.size, false, 20.0, 100000.0);
        halfSize = terrain.size / 2.0f;
        number(*t, "terrain", "height", terrain.height, false, 0.0, 10000.0);
        number(*t, "terrain", "base", terrain.base, false, -10000.0, 10000.0);
        whole(*t, "terrain", "segments", terrain.segments, 1, 256);
        file(*t, "terrain", "detail", terrain.detail, false);
        file(*t, "terrain", "minimap", terrain.minimap, false);
        text(*t, "terrain", "tile_prefix", terrain.tilePrefix, false);
        if (file(*t, "terrain", "heightmap", terrain.heightmap, true)) checkHeightmap(*t, terrain);
        std::string tiles;
        if (text(*t, "terrain", "tiles", tiles, false)) checkTiles(*t, terrain, resolve(tiles));
    }

    // A greyscale PNG with at least a pixel per segment and two per side.
    void checkHeightmap(const toml::table& t, const Described::Terrain& terrain) {
        const toml::node& node = *t.get("heightmap");
        const std::optional<PngHeader> png = readPngHeader(terrain.heightmap);
        if (!png) return fault(node, "terrain.heightmap", terrain.heightmap + " is no PNG picture");
        if (png->colourType != 0 || (png->bitDepth != 8 && png->bitDepth != 16))
            return fault(node, "terrain.heightmap", terrain.heightmap + " is not greyscale of 8 or 16 bits");
        const std::uint32_t least = std::max(2, terrain.segments);
        if (png->width < least || png->height < least || png->width > 16384 || png->height > 16384)
            fault(node, "terrain.heightmap",
                  terrain.heightmap + " is " + std::to_string(png->width) + "x" + std::to_string(png->height) +
                      " pixels; it needs " + std::to_string(least) + " to 16384 per side");
    }

    void checkTiles(const toml::table& t, Described::Terrain& terrain, const std::string& folder) {
        for (int a = 0; a < terrain.segments; ++a)
            for (int b = 0; b < terrain.segments; ++b) {
                const std::string tile =
                    folder + "/" + terrain.tilePrefix + "_" + std::to_string(a) + "_" + std::to_string(b) + ".jpg";
                std::error_code error;
                if (!fs::is_regular_file(tile, error))
                    return fault(*t.get("tiles"), "terrain.tiles", "no tile " + tile);
            }
        terrain.tiles = folder;
    }

    void readSky(const toml::table& root, Described::Sky& sky) {
        const toml::table* t = table(root, "sky", false);
        if (!t) return;
        allowKeys(*t, "sky", {"sun", "picture", "fog_colour", "fog_distance", "fog_start"});
        if (numbers(*t, "sky", "sun", sky.sun, false) && sky.sun[0] == 0 && sky.sun[1] == 0 && sky.sun[2] == 0)
            fault(*t->get("sun"), "sky.sun", "must point somewhere, not be [0, 0, 0]");
        file(*t, "sky", "picture", sky.picture, false);
        if (numbers(*t, "sky", "fog_colour", sky.fogColour, false))
            for (float c : sky.fogColour)
                if (c < 0.0f || c > 1.0f) {
                    fault(*t->get("fog_colour"), "sky.fog_colour", "each part must be within 0 and 1");
                    break;
                }
        number(*t, "sky", "fog_distance", sky.fogDistance, false, 0.0, 100000.0);
        sky.fogStart = sky.fogDistance / 2.0f;
        number(*t, "sky", "fog_start", sky.fogStart, false, 0.0, sky.fogDistance);
    }

    void readStart(const toml::table& root, Described::Start& start) {
        const toml::table* t = table(root, "start", true);
        if (!t) return;
        allowKeys(*t, "start", {"position", "heading", "radius"});
        place(*t, "start", start.position);
        number(*t, "start", "heading", start.heading, false, -360.0, 360.0);
        number(*t, "start", "radius", start.radius, false, 5.0, halfSize);
    }

    void readSigns(const toml::table& root, Described& level) {
        const std::vector<const toml::table*> list = tables(root, "sign");
        if (list.empty() && !root.get("sign")) errors.push_back(path + ":1: sign: a level needs at least one [[sign]]");
        if (list.size() > LevelFile::MAX_SIGNS)
            fault(*list[LevelFile::MAX_SIGNS], "sign", "more than " + std::to_string(LevelFile::MAX_SIGNS) + " signs");
        for (const toml::table* t : list) {
            allowKeys(*t, "sign", {"position", "heading", "name", "plate"});
            Described::Sign sign;
            if (place(*t, "sign", sign.position)) checkClearOfStart(*t, sign.position, level.start);
            number(*t, "sign", "heading", sign.heading, false, -360.0, 360.0);
            const bool plate = file(*t, "sign", "plate", sign.plate, false);
            text(*t, "sign", "name", sign.name, !plate && !t->get("plate"));
            if (t->get("name") && sign.name.empty() && !plate) fault(*t->get("name"), "sign.name", "must not be empty");
            level.signs.push_back(sign);
        }
    }

    // The sign game and the race's end must not share a place.
    void checkClearOfStart(const toml::table& t, const Described::Place& p, const Described::Start& start) {
        const double d = std::hypot(p.x - start.position.x, p.z - start.position.z);
        if (d <= start.radius)
            fault(*t.get("position"), "sign.position",
                  "stands inside the start area (" + shown(d) + " units from the start, radius " +
                      shown(start.radius) + ")");
    }

    void readItems(const toml::table& root, Described& level) {
        const std::vector<const toml::table*> list = tables(root, "item");
        if (list.size() > LevelFile::MAX_ITEMS)
            fault(*list[LevelFile::MAX_ITEMS], "item", "more than " + std::to_string(LevelFile::MAX_ITEMS) + " items");
        for (const toml::table* t : list) {
            allowKeys(*t, "item", {"kind", "position"});
            Described::Item item;
            place(*t, "item", item.position);
            std::string kind;
            if (text(*t, "item", "kind", kind, true)) {
                if (auto k = Described::itemKind(kind)) item.kind = *k;
                else fault(*t->get("kind"), "item.kind", "\"" + kind + "\" is none of booze, tool, engine, vaccine, overkill");
            }
            level.items.push_back(item);
        }
    }

    void readPursuers(const toml::table& root, Described& level) {
        const std::vector<const toml::table*> list = tables(root, "pursuer");
        if (list.size() > LevelFile::MAX_PURSUERS)
            fault(*list[LevelFile::MAX_PURSUERS], "pursuer",
                  "more than " + std::to_string(LevelFile::MAX_PURSUERS) + " pursuers");
        for (const toml::table* t : list) {
            allowKeys(*t, "pursuer", {"kind", "position", "heading"});
            Described::Pursuer pursuer;
            place(*t, "pursuer", pursuer.position);
            number(*t, "pursuer", "heading", pursuer.heading, false, -360.0, 360.0);
            std::string kind;
            if (text(*t, "pursuer", "kind", kind, true)) {
                if (auto k = Described::pursuerKind(kind)) pursuer.kind = *k;
                else fault(*t->get("kind"), "pursuer.kind", "\"" + kind + "\" is neither suv nor monster");
            }
            level.pursuers.push_back(pursuer);
        }
    }

    void readCheckpoints(const toml::table& root, Described& level) {
        const std::vector<const toml::table*> list = tables(root, "checkpoint");
        if (list.size() > LevelFile::MAX_CHECKPOINTS)
            fault(*list[LevelFile::MAX_CHECKPOINTS], "checkpoint",
                  "more than " + std::to_string(LevelFile::MAX_CHECKPOINTS) + " checkpoints");
        for (const toml::table* t : list) {
            allowKeys(*t, "checkpoint", {"position"});
            Described::Place p;
            place(*t, "checkpoint", p);
            level.checkpoints.push_back(p);
        }
    }

    void readMedals(const toml::table& root, Described& level) {
        const toml::table* t = table(root, "medals", false);
        if (!t) return;
        allowKeys(*t, "medals", {"gold", "silver", "bronze"});
        float gold = 0, silver = 0, bronze = 0;
        const bool read = number(*t, "medals", "gold", gold, true, 1.0, 360000.0) &
                          number(*t, "medals", "silver", silver, true, 1.0, 360000.0) &
                          number(*t, "medals", "bronze", bronze, true, 1.0, 360000.0);
        if (!read) return;
        if (!(gold < silver && silver < bronze))
            return fault(*t, "medals", "gold must be faster than silver, and silver than bronze");
        level.medals = Described::Medals{gold, silver, bronze};
    }

    void readMusic(const toml::table& root, Described::Music& music) {
        const toml::table* t = table(root, "music", false);
        if (!t) return;
        allowKeys(*t, "music", {"background", "hunting", "intro", "winner", "loser"});
        const std::pair<const char*, std::string*> pieces[] = {{"background", &music.background},
                                                               {"hunting", &music.hunting},
                                                               {"intro", &music.intro},
                                                               {"winner", &music.winner},
                                                               {"loser", &music.loser}};
        for (const auto& [key, field] : pieces)
            if (file(*t, "music", key, *field, false) && !looksLikeMp3(*field))
                fault(*t->get(key), std::string("music.") + key, *field + " is no MP3 file");
    }

    // An ID3 tag or an MPEG audio frame's sync word at the start: the sound
    // system ends the game on a file it cannot play, so none gets that far.
    static bool looksLikeMp3(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        unsigned char b[3] = {};
        if (!in.read(reinterpret_cast<char*>(b), 3)) return false;
        return (b[0] == 'I' && b[1] == 'D' && b[2] == '3') || (b[0] == 0xFF && (b[1] & 0xE0) == 0xE0);
    }

    std::string path;
    fs::path folder;
    std::vector<std::string>& errors;
    float halfSize = 300.0f;
};

std::string idOf(const std::string& path) {
    const fs::path p(path);
    return p.extension() == ".toml" ? p.stem().string() : p.filename().string();
}

}  // namespace

std::optional<LevelDescription> LevelFile::read(const std::string& path, std::vector<std::string>& errors) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || fs::is_directory(path, error)) {
        errors.push_back(path + ": cannot read the level file");
        return std::nullopt;
    }
    if (size > MAX_BYTES) {
        errors.push_back(path + ": " + std::to_string(size) + " bytes are more than a level file may have (" +
                         std::to_string(MAX_BYTES) + ")");
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) {
        errors.push_back(path + ": cannot read the level file");
        return std::nullopt;
    }
    return parse(text.str(), path, errors);
}

std::optional<LevelDescription> LevelFile::parse(const std::string& text, const std::string& path,
                                                 std::vector<std::string>& errors) {
    toml::table root;
    try {
        root = toml::parse(std::string_view(text), std::string_view(path));
    } catch (const toml::parse_error& e) {
        errors.push_back(path + ":" + std::to_string(e.source().begin.line) + ": " + std::string(e.description()));
        return std::nullopt;
    }
    LevelDescription level;
    level.file = path;
    level.id = idOf(path);
    const std::size_t before = errors.size();
    Reader(path, errors).read(root, level);
    if (errors.size() != before) return std::nullopt;
    return level;
}
