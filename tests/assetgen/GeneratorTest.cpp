// The generator as a whole: it writes every file the game opens, the same
// bytes every time, small enough for a game. The files checked are the ones
// the build wrote into the game folder; one more run, with the contact
// sheet, shows that a second run writes the same bytes.
#include <gtest/gtest.h>

#include "AssetKit.h"

namespace {

using kit::fs::path;

const char* const EVERY_FILE[] = {
    "models/player_body.txt", "models/player_tire.txt", "models/pajero_body.txt", "models/pajero_tire.txt",
    "models/monster_body.txt", "models/monster_tire.txt", "models/sign.txt", "models/item_booze.txt",
    "models/item_tool.txt", "models/item_engine.txt", "models/item_decease.txt", "models/item_overkill.txt",
    "models/chalet.txt", "models/sky.txt",
    "images/loading.jpg", "images/objecthalo.png", "images/arrow.png", "images/policestar.png", "images/loser.png",
    "images/got_sign.png", "images/unmount_error.png", "images/sign_finished.png", "images/winner.png",
    "images/unfinished.png", "images/BigGlow.png", "images/Streaks.png", "images/Halo.png", "images/HardGlow.png",
    "images/clouds.png", "images/plate-font.ttf", "models/item_booze.png", "models/item_tool.png", "models/item_engine.png",
    "models/item_decease.png", "models/item_overkill.png", "models/tafel_text_humtschach.png",
    "models/tafel_text_ratschitschach.png", "models/tafel_text_smihel.png", "models/tafel_text_gotschuchn.png",
    "terrain/heightmap.png", "terrain/detail.png", "terrain/minimap.jpg",
    "levels/valley/heightmap.png", "levels/pass/heightmap.png",
    "audio/background.mp3", "audio/hunting.mp3", "audio/intro.mp3", "audio/winner.mp3", "audio/looser.mp3",
    "audio/pickup.mp3", "audio/overkill.mp3", "audio/error.mp3", "audio/cheer.mp3"};

TEST(Generator, WritesEveryFileTheGameOpens) {
    ASSERT_TRUE(kit::fs::exists(kit::generatorPath())) << "build the assetgen target first";
    ASSERT_TRUE(kit::fs::is_directory(kit::kitFolder() / "models")) << "build the assets target first";
    std::vector<std::string> names(std::begin(EVERY_FILE), std::end(EVERY_FILE));
    for (int a = 0; a < 8; ++a)
        for (int b = 0; b < 8; ++b) names.push_back("terrain/terrain_" + std::to_string(a) + "_" + std::to_string(b) + ".jpg");
    for (const std::string& name : names) {
        path file = kit::kitFolder() / name;
        EXPECT_TRUE(kit::fs::is_regular_file(file)) << name;
        if (kit::fs::is_regular_file(file)) {
            EXPECT_GT(kit::fs::file_size(file), 100u) << name;
        }
    }
}

TEST(Generator, WritesTheSameBytesOnEveryRun) {
    auto first = kit::digests(kit::kitFolder()), second = kit::digests(kit::secondKitFolder());
    ASSERT_GT(first.size(), 100u);
    EXPECT_EQ(first.size(), second.size());
    for (const auto& [name, digest] : first) {
        auto it = second.find(name);
        ASSERT_NE(it, second.end()) << name << " missing in the second run";
        EXPECT_EQ(digest, it->second) << name << " differs between two runs";
    }
}

TEST(Generator, WholeSetStaysUnderTwentyMegabytes) {
    uintmax_t total = 0;
    for (const auto& [name, digest] : kit::digests(kit::kitFolder())) total += kit::fs::file_size(kit::kitFolder() / name);
    EXPECT_GT(total, 1u * 1024 * 1024);
    EXPECT_LT(total, 20u * 1024 * 1024);
}

TEST(Generator, PreviewDrawsAContactSheet) {
    kit::Picture picture;
    ASSERT_TRUE(kit::loadPicture(kit::contactSheet(), picture));
    // Room for the pictures, the 1024-pixel terrain map and the models.
    EXPECT_GT(picture.width, 1024);
    EXPECT_GT(picture.height, 1500);
}

}  // namespace
