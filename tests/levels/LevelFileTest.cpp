// The level reader on real files: the shipped levels, every kind of fault
// with its line, cut-off and oversized files, heightmaps of 8 and 16 bits.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "levels/LevelCatalog.h"
#include "levels/LevelFile.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using Level = LevelDescription;

std::string gameDir() {
    const char* dir = std::getenv("ZARVIK_GAME_DIR");
    return dir ? dir : "game";
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A greyscale (colourType 0) or RGB (2) PNG of the size and depth.
void writePng(const fs::path& path, int width, int height, int bitDepth, int colourType = PNG_COLOR_TYPE_GRAY) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, bitDepth, colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const int channels = colourType == PNG_COLOR_TYPE_RGB ? 3 : 1;
    std::vector<png_byte> row(static_cast<std::size_t>(width) * channels * (bitDepth / 8), 0x40);
    for (int y = 0; y < height; ++y) png_write_row(png, row.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

// A small valid level in a folder of its own, its heightmap beside it.
class LevelFolder {
public:
    LevelFolder() {
        writePng(folder / "ground.png", 65, 33, 16);
        writeText(folder / "plate.png", "");
    }
    static std::string text() {
        return "[level]\n"                                    // 1
               "format = 1\n"                                 // 2
               "name = \"Small\"\n"                           // 3
               "[terrain]\n"                                  // 4
               "heightmap = \"ground.png\"\n"                 // 5
               "size = 400\n"                                 // 6
               "height = 20.0\n"                              // 7
               "[start]\n"                                    // 8
               "position = [10, -10]\n"                       // 9
               "heading = 90\n"                               // 10
               "[[sign]]\n"                                   // 11
               "position = [120.5, 30]\n"                     // 12
               "name = \"Öd\"\n"                              // 13
               "[[item]]\n"                                   // 14
               "kind = \"vaccine\"\n"                         // 15
               "position = [0, 50]\n"                         // 16
               "[[pursuer]]\n"                                // 17
               "kind = \"monster\"\n"                         // 18
               "position = [-100, 100]\n"                     // 19
               "[[checkpoint]]\n"                             // 20
               "position = [50, 50]\n";                       // 21
    }
    // The level's text with line n (1-based) replaced, or added at the end when n is 0.
    static std::string with(int n, const std::string& line) {
        std::istringstream in(text());
        std::string out, l;
        for (int i = 1; std::getline(in, l); ++i) out += (i == n ? line : l) + "\n";
        return n == 0 ? out + line + "\n" : out;
    }
    std::vector<std::string> faults(const std::string& text) const {
        std::vector<std::string> errors;
        writeText(file(), text);
        EXPECT_FALSE(LevelFile::read(file(), errors)) << text;
        return errors;
    }
    std::string file() const { return (folder / "small.toml").string(); }
    TempFolder folder{"level"};
};

TEST(LevelFile, ReadsTheShippedLevelsWithTheirPathsResolvedAgainstTheirFolder) {
    const fs::path levels = fs::path(gameDir()) / "levels";
    ASSERT_TRUE(fs::is_directory(levels)) << levels;
    int read = 0;
    for (const auto& entry : fs::directory_iterator(levels)) {
        if (entry.path().extension() != ".toml") continue;
        std::vector<std::string> errors;
        EXPECT_TRUE(LevelFile::read(entry.path().string(), errors)) << entry.path() << ": " << ::testing::PrintToString(errors);
        ++read;
    }
    EXPECT_GE(read, 1);

    // From the data folder, as the game reads it: "../terrain" from levels/ is "terrain".
    const fs::path before = fs::current_path();
    fs::current_path(gameDir());
    std::vector<std::string> errors;
    const std::optional<Level> demo = LevelFile::read("levels/demo.toml", errors);
    fs::current_path(before);
    ASSERT_TRUE(demo) << ::testing::PrintToString(errors);
    EXPECT_EQ(demo->id, "demo");
    EXPECT_EQ(demo->terrain.heightmap, "terrain/heightmap.png");
    EXPECT_EQ(demo->terrain.tiles, "terrain");
    EXPECT_EQ(demo->sky.picture, "models/sky.jpg");
    ASSERT_EQ(demo->signs.size(), 4u);
    EXPECT_EQ(demo->signs[0].plate, "models/tafel_text_humtschach.png");
    // Seven pursuers and the monster truck last; 14 items in the order the level places them.
    ASSERT_EQ(demo->pursuers.size(), 8u);
    EXPECT_EQ(demo->pursuers[7].kind, Level::PursuerKind::MONSTER);
    EXPECT_EQ(demo->pursuers[6].kind, Level::PursuerKind::SUV);
    ASSERT_EQ(demo->items.size(), 14u);
    EXPECT_EQ(demo->items[9].kind, Level::ItemKind::VACCINE);
    EXPECT_EQ(demo->items[9].position.z, 25.0f);
    EXPECT_TRUE(demo->checkpoints.empty());
    ASSERT_TRUE(demo->medals);
    EXPECT_LT(demo->medals->gold, demo->medals->silver);
}

TEST(LevelFile, ReadsEveryKeyOfASmallLevelWithItsDefaults) {
    LevelFolder level;
    writeText(level.file(), LevelFolder::text());
    std::vector<std::string> errors;
    const std::optional<Level> small = LevelFile::read(level.file(), errors);
    ASSERT_TRUE(small) << ::testing::PrintToString(errors);
    EXPECT_EQ(small->name, "Small");
    EXPECT_EQ(small->terrain.heightmap, (level.folder / "ground.png").string());
    EXPECT_EQ(small->terrain.size, 400.0f);  // a whole number is a number
    EXPECT_EQ(small->terrain.base, -5.0f);   // defaults
    EXPECT_EQ(small->terrain.segments, 8);
    EXPECT_TRUE(small->terrain.tiles.empty());
    EXPECT_EQ(small->start.position.x, 10.0f);
    EXPECT_EQ(small->start.heading, 90.0f);
    EXPECT_EQ(small->start.radius, 30.0f);
    ASSERT_EQ(small->signs.size(), 1u);
    EXPECT_EQ(small->signs[0].position.x, 120.5f);
    EXPECT_EQ(small->signs[0].name, "Öd");
    EXPECT_EQ(small->pursuers.at(0).kind, Level::PursuerKind::MONSTER);
    EXPECT_EQ(small->checkpoints.size(), 1u);
    EXPECT_FALSE(small->medals);
    EXPECT_EQ(small->sky.fogDistance, 0.0f);
}

TEST(LevelFile, NamesTheFileTheLineAndTheKeyOfEveryFault) {
    LevelFolder level;
    const std::string at = level.file() + ":";
    struct Case {
        int line;
        std::string replacement, expected;
    };
    const Case cases[] = {
        {3, "nmae = \"Small\"", at + "3: level.nmae: unknown key"},
        {0, "[weather]\nrain = 1", at + "22: weather: unknown table"},
        {15, "kind = \"beer\"", at + "15: item.kind: \"beer\" is none of booze, tool, engine, vaccine, overkill"},
        {18, "kind = \"tank\"", at + "18: pursuer.kind: \"tank\" is neither suv nor monster"},
        {6, "size = \"big\"", at + "6: terrain.size: must be a number"},
        {9, "position = [10]", at + "9: start.position: must be 2 numbers in brackets"},
        {12, "position = [195, 0]", at + "12: sign.position: [195, 0] lies off the terrain (x and z within -190 and 190)"},
        {12, "position = [20, 10]", at + "12: sign.position: stands inside the start area (22.3607 units from the start, radius 30)"},
        {5, "heightmap = \"nowhere.png\"", at + "5: terrain.heightmap: no file " + (level.folder / "nowhere.png").string()},
        {5, "heightmap = \"plate.png\"", at + "5: terrain.heightmap: " + (level.folder / "plate.png").string() + " is no PNG picture"},
        {2, "format = 2", at + "2: level.format: format 2 is not the one this game reads (1)"},
        {13, "name = 5", at + "13: sign.name: must be a text in quotes"},
        {0, "[medals]\ngold = 90\nsilver = 80\nbronze = 100", at + "22: medals: gold must be faster than silver, and silver than bronze"},
        {10, "heading = 400", at + "10: start.heading: 400 is not within -360 and 360"},
        {7, "height = 20.0 20", at + "7: Error while parsing key-value pair: expected a comment or whitespace, saw '2'"},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> errors = level.faults(LevelFolder::with(c.line, c.replacement));
        ASSERT_FALSE(errors.empty()) << c.replacement;
        EXPECT_EQ(errors.front(), c.expected) << c.replacement;
    }
    // A missing table is named at the first line; every fault is listed, not only the first.
    std::string noStart = LevelFolder::text();
    noStart.replace(noStart.find("[start]"), 7, "[begin]");
    const std::vector<std::string> errors = level.faults(noStart);
    EXPECT_NE(std::find(errors.begin(), errors.end(), at + "8: begin: unknown table"), errors.end());
    EXPECT_NE(std::find(errors.begin(), errors.end(), at + "1: start: the table [start] is missing"), errors.end());
}

TEST(LevelFile, RefusesHeightmapsAndTilesItCannotBuild) {
    LevelFolder level;
    writePng(level.folder / "rgb.png", 64, 64, 8, PNG_COLOR_TYPE_RGB);
    writePng(level.folder / "tiny.png", 4, 64, 8);
    writePng(level.folder / "grey8.png", 200, 120, 8);
    const std::string at = level.file() + ":5: terrain.heightmap: ";
    EXPECT_EQ(level.faults(LevelFolder::with(5, "heightmap = \"rgb.png\"")).at(0),
              at + (level.folder / "rgb.png").string() + " is not greyscale of 8 or 16 bits");
    EXPECT_EQ(level.faults(LevelFolder::with(5, "heightmap = \"tiny.png\"")).at(0),
              at + (level.folder / "tiny.png").string() + " is 4x64 pixels; it needs 8 to 16384 per side");
    // 8 bits, not square: fine.
    std::vector<std::string> errors;
    writeText(level.file(), LevelFolder::with(5, "heightmap = \"grey8.png\""));
    EXPECT_TRUE(LevelFile::read(level.file(), errors)) << ::testing::PrintToString(errors);
    // Tiles named by the level must all be there: 2 x 2 of them here, one missing.
    fs::create_directory(level.folder / "tiles");
    for (const char* tile : {"t_0_0.jpg", "t_0_1.jpg", "t_1_0.jpg"}) writeText(level.folder / "tiles" / tile, "");
    const std::string tiled = LevelFolder::with(7, "height = 20.0\nsegments = 2\ntiles = \"tiles\"\ntile_prefix = \"t\"");
    EXPECT_EQ(level.faults(tiled).at(0),
              level.file() + ":9: terrain.tiles: no tile " + (level.folder / "tiles" / "t_1_1.jpg").string());
    writeText(level.folder / "tiles" / "t_1_1.jpg", "");
    writeText(level.file(), tiled);
    const std::optional<Level> read = LevelFile::read(level.file(), errors);
    ASSERT_TRUE(read) << ::testing::PrintToString(errors);
    EXPECT_EQ(read->terrain.tiles, (level.folder / "tiles").string());
}

TEST(LevelFile, SurvivesEveryCutOfAFileAndRefusesAHugeOneUnread) {
    LevelFolder level;
    const std::string text = LevelFolder::text();
    int accepted = 0;
    for (std::size_t cut = 0; cut < text.size(); ++cut) {
        std::vector<std::string> errors;
        writeText(level.file(), text.substr(0, cut));
        if (LevelFile::read(level.file(), errors)) ++accepted;
        else EXPECT_FALSE(errors.empty()) << cut;
    }
    // Only cuts inside the last table's position line or after it can still make a level.
    EXPECT_LT(accepted, 30);

    const fs::path huge = level.folder / "huge.toml";
    {
        std::ofstream out(huge, std::ios::binary);
        const std::string line = "# " + std::string(1021, 'x') + "\n";
        for (int i = 0; i < 20 * 1024; ++i) out << line;
    }
    std::vector<std::string> errors;
    EXPECT_FALSE(LevelFile::read(huge.string(), errors));
    EXPECT_EQ(errors, std::vector<std::string>{huge.string() + ": 20971520 bytes are more than a level file may have (1048576)"});
    errors.clear();
    EXPECT_FALSE(LevelFile::read((level.folder / "absent.toml").string(), errors));
    EXPECT_EQ(errors.size(), 1u);
}

}  // namespace

namespace {

// A data folder of levels, entered for the test's length.
class DataFolder {
public:
    DataFolder() : before(fs::current_path()) {
        fs::create_directories(folder / "levels");
        writePng(folder / "levels" / "ground.png", 17, 17, 8);
        for (const char* id : {"alps", "demo", "zoo"}) {
            std::string text = LevelFolder::text();
            text.replace(text.find("\"Small\""), 7, std::string("\"") + id + " town\"\ndescription = \"All about " + id + ".\"");
            writeText(folder / "levels" / (std::string(id) + ".toml"), text);
        }
        writeText(folder / "levels" / "broken.toml", "[level]\nformat = 1\n");
        writeText(folder / "levels" / "notes.txt", "not a level");
        fs::current_path(folder.path());
    }
    ~DataFolder() { fs::current_path(before); }
    TempFolder folder{"levels"};
    fs::path before;
};

}  // namespace

TEST(LevelCatalog, ListsTheLevelsFolderTheFirstLevelFirstAndGoesRoundThem) {
    DataFolder data;
    EXPECT_EQ(LevelCatalog::ids(), (std::vector<std::string>{"demo", "alps", "broken", "zoo"}));
    EXPECT_EQ(LevelCatalog::next("demo"), "alps");
    EXPECT_EQ(LevelCatalog::next("zoo"), "demo");
    EXPECT_EQ(LevelCatalog::next("elsewhere"), "demo");
    // A plain word is a name in the folder; a path or a .toml file is a file.
    EXPECT_EQ(LevelCatalog::fileOf("alps"), "levels/alps.toml");
    EXPECT_EQ(LevelCatalog::fileOf("/tmp/x.toml"), "/tmp/x.toml");
    EXPECT_EQ(LevelCatalog::fileOf("my.toml"), "my.toml");
    EXPECT_EQ(LevelCatalog::fileOf("sub/level"), "sub/level");
    std::vector<std::string> errors;
    const std::optional<LevelDescription> alps = LevelCatalog::read("alps", errors);
    ASSERT_TRUE(alps) << ::testing::PrintToString(errors);
    EXPECT_EQ(alps->id, "alps");
    EXPECT_EQ(alps->terrain.heightmap, "levels/ground.png");
    const std::string listing = LevelCatalog::listing();
    EXPECT_NE(listing.find("demo  demo town: All about demo.\nalps  alps town: All about alps.\n"), std::string::npos)
        << listing;
    EXPECT_NE(listing.find("broken  (cannot be played: levels/broken.toml:1: level.name: is missing)"), std::string::npos)
        << listing;
}

TEST(LevelMedals, AWonRaceEarnsTheMedalOfItsTimeToTheMillisecond) {
    const LevelDescription::Medals medals{100.0, 115.0, 135.0};
    EXPECT_EQ(medals.verdict(99.0), "Gold medal!");
    EXPECT_EQ(medals.verdict(100.0004), "Gold medal!");  // the watch shows 1:40.000
    EXPECT_EQ(medals.verdict(101.666), "Silver medal, 1.7 s from gold");
    EXPECT_EQ(medals.verdict(100.001), "Silver medal, 0.1 s from gold");  // never "0.0 s"
    EXPECT_EQ(medals.verdict(115.0), "Silver medal, 15.0 s from gold");
    EXPECT_EQ(medals.verdict(120.25), "Bronze medal, 5.3 s from silver");
    EXPECT_EQ(medals.verdict(140.0), "No medal, 5.0 s from bronze");
}
