#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/DataFolder.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

// The places as "folder (what)", in order.
std::vector<std::string> named(const std::vector<DataFolder::Place>& places) {
    std::vector<std::string> names;
    for (const auto& place : places) names.push_back(place.folder + " (" + place.what + ")");
    return names;
}

}  // namespace

// --data alone, else $ZARVIK_DATA alone (a folder asked for by name is the
// only place tried), else beside the program and then the installed data
// folder, found from the program's folder in Debian's layout (the build's
// default): /opt/x/games/zarvik reads /opt/x/share/games/zarvik.
TEST(DataFolder, PlacesComeInTheirOrder) {
    const std::string program = "/opt/x/games/zarvik";
    const std::vector<std::string> ownPlaces = {"/opt/x/games (beside the program)",
                                                "/opt/x/share/games/zarvik (installed)"};
    EXPECT_EQ(named(DataFolder::places("", nullptr, program)), ownPlaces);
    EXPECT_EQ(named(DataFolder::places("", "", program)), ownPlaces) << "an empty variable is no variable";
    EXPECT_EQ(named(DataFolder::places("", "/srv/data", program)), std::vector<std::string>{"/srv/data ($ZARVIK_DATA)"});
    EXPECT_EQ(named(DataFolder::places("/d", "/srv/data", program)), std::vector<std::string>{"/d (--data)"});
    EXPECT_EQ(named(DataFolder::places("/d", nullptr, "")), std::vector<std::string>{"/d (--data)"});
    EXPECT_TRUE(DataFolder::places("", nullptr, "").empty()) << "no program path: nowhere to look";

    // Names given relative are taken from the working directory, tidied.
    const std::string here = fs::current_path().string();
    EXPECT_EQ(named(DataFolder::places("mine/../data", "/srv/data", program)),
              std::vector<std::string>{here + "/data (--data)"});
    EXPECT_EQ(named(DataFolder::places("", "./data/", program)), std::vector<std::string>{here + "/data/ ($ZARVIK_DATA)"});
}

// The first place that holds all four data folders wins; a place with
// three of them is no data. Without any, the message names every place
// tried, in order.
TEST(DataFolder, FindsTheFirstPlaceWithDataAndNamesEveryPlaceTried) {
    TempFolder root("data-places");
    ASSERT_FALSE(root.path().empty());
    auto at = [&](const std::string& name) { return (root / name).string(); };
    for (const std::string data : {"audio", "images", "models", "terrain"}) {
        fs::create_directories(at("first/" + data));
        fs::create_directories(at("second/" + data));
        if (data != "terrain") fs::create_directories(at("partial/" + data));
    }
    fs::create_directories(at("empty"));
    const DataFolder::Place empty{at("empty"), "--data"}, partial{at("partial"), "$ZARVIK_DATA"};
    const DataFolder::Place first{at("first"), "beside the program"}, second{at("second"), "installed"};

    std::string error = "untouched";
    EXPECT_EQ(DataFolder::find({empty, partial, first, second}, error), at("first"));
    EXPECT_EQ(DataFolder::find({second, first}, error), at("second"));
    EXPECT_EQ(error, "untouched");
    EXPECT_FALSE(DataFolder::find({empty, partial}, error));
    EXPECT_EQ(error, "no game data (the folders audio, images, models and terrain) in " + at("empty") + " (--data), " +
                         at("partial") + " ($ZARVIK_DATA)");
    EXPECT_FALSE(DataFolder::find({}, error));
    EXPECT_EQ(error,
              "no game data (the folders audio, images, models and terrain) in any place: the program's own path is "
              "unknown");

    // What the game does: the first place of the list for its arguments.
    const std::string program = "/opt/x/games/zarvik";
    EXPECT_EQ(DataFolder::find(DataFolder::places(at("second"), at("first").c_str(), program), error), at("second"));
    EXPECT_EQ(DataFolder::find(DataFolder::places("", at("first").c_str(), program), error), at("first"));
    EXPECT_FALSE(DataFolder::find(DataFolder::places("", at("partial").c_str(), at("first/zarvik")), error))
        << "a folder asked for by name is the only place tried";
    EXPECT_EQ(DataFolder::find(DataFolder::places("", nullptr, at("first/zarvik")), error), at("first"));
}
