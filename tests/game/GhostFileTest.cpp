#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "game/GhostFile.h"
#include "game/LevelRecords.h"
#include "game/GhostRecorder.h"
#include "math/Constants.h"
#include "support/SaveChecks.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t LEVEL = 0x5a4152564b31ull;

// A car at (x, y, z) turned by `degrees` about the vertical axis: its front
// (-Z) then points to (-sin, 0, -cos).
GhostPose carAt(float x, float y, float z, double degrees, float steer = 0.0f) {
    const float c = static_cast<float>(std::cos(degrees * PI_OVER_180));
    const float s = static_cast<float>(std::sin(degrees * PI_OVER_180));
    const float m[16] = {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, x, y, z, 1};
    return GhostPose::fromMatrix(m, steer);
}

// A race of `samples` samples at 30 a second, the car driving +X at 6 units
// a second and turning 3 degrees per sample.
Ghost someRace(int samples) {
    Ghost ghost;
    for (int i = 0; i < samples; ++i) ghost.samples.push_back(carAt(0.2f * i, 1.5f, -3.0f, 3.0 * i, 0.5f * i));
    ghost.finish = (samples - 1) / 30.0;
    ghost.splits = {0.2 * ghost.finish, 0.4 * ghost.finish, 0.6 * ghost.finish, 0.8 * ghost.finish};
    return ghost;
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class GhostFileTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = testing::TempDir() + "zarvik-ghost-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

}  // namespace

// Poses go into the file as floats and 16-bit quaternions and come back
// within that precision; times come back exactly. Between samples the pose
// is interpolated: half-way between 0 and 3 degrees stands at 1.5 degrees.
TEST_F(GhostFileTest, WritesReadsAndInterpolatesARace) {
    const Ghost race = someRace(31);  // one second
    const fs::path file = dir / "sub" / "ghost";  // the folder is made
    ASSERT_TRUE(GhostFile::save(file.string(), race, LEVEL));
    EXPECT_EQ(fs::file_size(file), 36u + 4u * 8u + 22u * 31u + 8u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "sub"), fs::directory_iterator()), 1) << "no temporary file left";

    const auto back = GhostFile::load(file.string(), LEVEL);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->sampleRate, 30);
    EXPECT_EQ(back->splits, race.splits);
    EXPECT_EQ(back->finish, race.finish);
    ASSERT_EQ(back->samples.size(), race.samples.size());
    for (std::size_t i = 0; i < race.samples.size(); ++i) {
        EXPECT_EQ(GhostPose::positionGap(back->samples[i], race.samples[i]), 0.0f) << i;
        EXPECT_LE(GhostPose::orientationGap(back->samples[i], race.samples[i]), GhostFile::ORIENTATION_STEP) << i;
        EXPECT_NEAR(back->samples[i].steer, race.samples[i].steer, GhostFile::STEER_STEP / 2) << i;
    }

    // Sample 10 at 1/3 s: 2 units along X, turned 30 degrees; half a
    // sample later 2.1 units and 31.5 degrees, steered 5.25 degrees.
    float m[16];
    back->poseAt(10.5 / 30.0).toMatrix(m);
    EXPECT_NEAR(m[12], 2.1f, 1e-5f);
    EXPECT_NEAR(m[13], 1.5f, 1e-6f);
    EXPECT_NEAR(m[14], -3.0f, 1e-6f);
    EXPECT_NEAR(m[0], std::cos(31.5 * PI_OVER_180), 1e-4);
    EXPECT_NEAR(m[8], std::sin(31.5 * PI_OVER_180), 1e-4);
    EXPECT_NEAR(back->poseAt(10.5 / 30.0).steer, 5.25f, 0.01f);
    // Before the start the first pose, after the finish the last.
    EXPECT_EQ(back->poseAt(-1.0).position[0], back->samples.front().position[0]);
    back->poseAt(99.0).toMatrix(m);
    EXPECT_NEAR(m[12], 6.0f, 1e-5f);
    EXPECT_NEAR(m[0], std::cos(90.0 * PI_OVER_180), 1e-4);

    // A quaternion and its negative are the same turn: going from 170 to
    // -170 degrees passes 180, not 0.
    const GhostPose across = GhostPose::blend(carAt(0, 0, 0, 170.0), carAt(0, 0, 0, -170.0), 0.5);
    across.toMatrix(m);
    EXPECT_NEAR(m[0], -1.0f, 1e-5f);
}

// The recorder keeps one pose per 1/30 s of race time, interpolated between
// the frames round it, whatever the frame times: frames of 1/60 s give the
// frames' own poses, uneven frames the poses in between.
TEST_F(GhostFileTest, TheRecorderSamplesRaceTimeNotFrames) {
    GhostRecorder even;
    for (int frame = 0; frame <= 60; ++frame) even.frame(frame / 60.0, carAt(0.1f * frame, 0, 0, frame));
    ASSERT_EQ(even.recorded().samples.size(), 31u);
    for (int i = 0; i <= 30; ++i) EXPECT_NEAR(even.recorded().samples[i].position[0], 0.2f * i, 1e-5f) << i;

    GhostRecorder uneven;
    double t = 0.0;
    for (const double step : {0.0, 0.05, 0.013, 0.1, 0.021, 0.2}) {
        t += step;
        uneven.frame(t, carAt(static_cast<float>(6.0 * t), 0, 0, 0));  // 6 units a second
    }
    uneven.split(1, 0.2);
    uneven.split(3, 9.0);  // signs go down one after the other: there was no second
    uneven.split(2, 0.3);
    const Ghost race = uneven.finish(t);
    ASSERT_EQ(race.samples.size(), static_cast<std::size_t>(std::floor(t * 30.0)) + 1);
    for (std::size_t i = 0; i < race.samples.size(); ++i)
        EXPECT_NEAR(race.samples[i].position[0], 6.0 * i / 30.0, 1e-5) << i;
    EXPECT_EQ(race.splits, (std::vector<double>{0.2, 0.3}));
    EXPECT_EQ(race.finish, t);
}

// A known race of two samples and five signs has a known file: the
// checksum is 64-bit FNV-1a (the standard vectors: "" and "a") of the 120
// bytes before it, and a file with any one bit of it changed, wherever, is
// refused with the reason that belongs to the place of the change.
TEST_F(GhostFileTest, AKnownGhostHasAKnownChecksumAndEveryChangedBitIsRefused) {
    EXPECT_EQ(GhostFile::hash("", 0), 0xcbf29ce484222325ull);
    EXPECT_EQ(GhostFile::hash("a", 1), 0xaf63dc4c8601ec8cull);
    EXPECT_EQ(GhostFile::hash("foobar", 6), 0x85944171f73967e8ull);
    EXPECT_EQ(GhostFile::hash("bar", 3, GhostFile::hash("foo", 3)), GhostFile::hash("foobar", 6)) << "continued";

    Ghost known;
    known.splits = {0.25, 0.5, 1.0, 1.5, 1.75};
    known.finish = 2.0;
    known.samples.resize(2);
    known.samples[0].position[0] = 1.0f;
    known.samples[0].position[1] = 2.0f;
    known.samples[0].position[2] = 3.0f;
    known.samples[1].position[0] = 1.5f;
    known.samples[1].position[1] = 2.0f;
    known.samples[1].position[2] = 2.0f;
    const float turned[4] = {0.0f, 0.6f, 0.0f, 0.8f};  // 0.6 x 32767 = 19660.2, 0.8 x 32767 = 26213.6
    std::copy(turned, turned + 4, known.samples[1].orientation);
    known.samples[1].steer = -5.5f;  // -550 hundredths
    const std::string good = GhostFile::encode(known, LEVEL);
    ASSERT_EQ(good.size(), 36u + 5 * 8u + 2 * 22u + 8u);
    // The header: version 2, the level, 30 samples a second, the finish 2.0
    // (0x4000000000000000), 2 samples, 5 splits, the first split 0.25
    // (0x3fd0000000000000); then the second sample: x 1.5 (0x3fc00000), y 2,
    // z 2, the quaternion 0, 19660 (0x4ccc), 0, 26214 (0x6666), the steering
    // -550 (0xfdda).
    EXPECT_EQ(good.substr(0, 44), std::string("ZGST\x02\0\0\0\x31\x4b\x56\x52\x41\x5a\0\0\x1e\0\0\0"
                                              "\0\0\0\0\0\0\0\x40\x02\0\0\0\x05\0\0\0\0\0\0\0\0\0\xd0\x3f",
                                              44));
    EXPECT_EQ(good.substr(98, 22), std::string("\0\0\xc0\x3f\0\0\0\x40\0\0\0\x40\0\0\xcc\x4c\0\0\x66\x66\xda\xfd", 22));
    std::uint64_t checksum = 0;
    for (int i = 7; i >= 0; --i) checksum = (checksum << 8) | static_cast<unsigned char>(good[120 + i]);
    EXPECT_EQ(checksum, GhostFile::hash(good.data(), 120));

    std::string why;
    const auto back = GhostFile::decode(good, LEVEL, why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(back->splits, known.splits);
    EXPECT_EQ(back->finish, 2.0);
    EXPECT_EQ(back->samples[1].position[0], 1.5f);
    EXPECT_NEAR(back->samples[1].orientation[1], 0.6f, GhostFile::ORIENTATION_STEP);
    EXPECT_NEAR(back->samples[1].steer, -5.5f, 1e-5f);

    // Offsets 0-3 the magic word, 4-7 the version, 28-35 the sample and split
    // counts; every other byte (the level's fingerprint too) is guarded by
    // the checksum.
    int accepted = 0;
    for (std::size_t at = 0; at < good.size(); ++at)
        for (int bit = 0; bit < 8; ++bit) {
            std::string changed = good;
            changed[at] = static_cast<char>(changed[at] ^ (1 << bit));
            why.clear();
            if (GhostFile::decode(changed, LEVEL, why)) {
                ++accepted;
                ADD_FAILURE() << "byte " << at << ", bit " << bit << " changed and accepted";
                continue;
            }
            if (at < 4) EXPECT_EQ(why, "not a ghost file") << at;
            else if (at < 8) EXPECT_EQ(why.rfind("format version ", 0), 0u) << at << ": " << why;
            else if (at >= 28 && at < 36)
                EXPECT_TRUE(why.rfind("not a ghost file (", 0) == 0 || why.rfind("truncated (", 0) == 0) << at << ": " << why;
            else EXPECT_EQ(why, "wrong checksum") << at;
        }
    EXPECT_EQ(accepted, 0);

    // The same race as the game wrote it when every level had four signs:
    // version 1, the four splits before the finish, the samples from 64.
    std::string old = good.substr(0, 20);
    old[4] = 1;
    old += good.substr(36, 32) + good.substr(20, 8) + good.substr(28, 4) + good.substr(76, 44);
    ASSERT_EQ(old.size(), 108u);
    for (int i = 0; i < 8; ++i) old.push_back(static_cast<char>((GhostFile::hash(old.data(), 108) >> (8 * i)) & 0xff));
    const auto older = GhostFile::decode(old, LEVEL, why);
    ASSERT_TRUE(older) << why;
    EXPECT_EQ(older->splits, (std::vector<double>{0.25, 0.5, 1.0, 1.5}));
    EXPECT_EQ(older->finish, 2.0);
    EXPECT_EQ(older->samples[1].position[0], 1.5f);
    EXPECT_NEAR(older->samples[1].steer, -5.5f, 1e-5f);
    old.pop_back();
    EXPECT_FALSE(GhostFile::decode(old, LEVEL, why));
    EXPECT_EQ(why, "truncated (115 of 116 bytes)");
}

// A ghost replaces the file by rename: a link to the old file keeps the old
// race. A write cut off on the way (the file size limit, as a full disk
// would) leaves the old ghost whole and readable, and no stray file.
TEST_F(GhostFileTest, ASaveReplacesTheGhostWholeOrNotAtAll) {
    const std::string file = (dir / "ghost").string();
    const Ghost first = someRace(31), second = someRace(20), third = someRace(40);
    ASSERT_TRUE(GhostFile::save(file, first, LEVEL));
    EXPECT_TRUE(SaveChecks::replacesTheFile(file, [&] { return GhostFile::save(file, second, LEVEL); }));
    EXPECT_TRUE(readFile(file) == GhostFile::encode(second, LEVEL)) << "the second race";
    // 36 + 4 x 8 + 22 x 40 + 8 = 956 bytes to write; the write stops at 100.
    std::string note;
    EXPECT_TRUE(SaveChecks::aCutOffSaveLeavesTheOldFile(
        file, 100, [&] { return GhostFile::save(file, third, LEVEL); }, &note));
    EXPECT_EQ(note, "\n GhostFile: WARNING! cannot write the ghost " + file);
    EXPECT_TRUE(readFile(file) == GhostFile::encode(second, LEVEL)) << "still the second race";
    testing::internal::CaptureStdout();
    const auto kept = GhostFile::load(file, LEVEL);
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->samples.size(), 20u);
}

// Every fault is refused with its reason, and a refused file is left as it is.
TEST_F(GhostFileTest, BadFilesAreRefusedWithTheirReason) {
    const Ghost race = someRace(5);
    const std::string good = GhostFile::encode(race, LEVEL);
    std::string why;
    ASSERT_TRUE(GhostFile::decode(good, LEVEL, why));

    for (std::size_t size = 0; size < good.size(); ++size) {
        EXPECT_FALSE(GhostFile::decode(good.substr(0, size), LEVEL, why)) << size;
        EXPECT_NE(why.find("truncated"), std::string::npos) << size << ": " << why;
    }
    std::string longer = good + "x";
    EXPECT_FALSE(GhostFile::decode(longer, LEVEL, why));
    EXPECT_NE(why.find("not a ghost file"), std::string::npos) << why;

    std::string otherMagic = good;
    otherMagic[0] = 'P';
    EXPECT_FALSE(GhostFile::decode(otherMagic, LEVEL, why));
    EXPECT_NE(why.find("not a ghost file"), std::string::npos) << why;

    std::string version3 = good;
    version3[4] = 3;
    EXPECT_FALSE(GhostFile::decode(version3, LEVEL, why));
    EXPECT_EQ(why, "format version 3, this game reads versions 1 and 2");

    std::string manySplits = good;  // 65 splits: more signs than a level has
    manySplits[32] = 65;
    EXPECT_FALSE(GhostFile::decode(manySplits, LEVEL, why));
    EXPECT_NE(why.find("not a ghost file"), std::string::npos) << why;

    for (const std::size_t at : {std::size_t{16}, std::size_t{24}, std::size_t{70}, good.size() - 1}) {
        std::string flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x10);
        EXPECT_FALSE(GhostFile::decode(flipped, LEVEL, why)) << at;
        EXPECT_EQ(why, "wrong checksum") << at;
    }

    EXPECT_FALSE(GhostFile::decode(good, LEVEL + 1, why));
    EXPECT_EQ(why, "driven on another level");

    Ghost noSamples = race;
    noSamples.samples.clear();
    EXPECT_FALSE(GhostFile::decode(GhostFile::encode(noSamples, LEVEL), LEVEL, why));
    EXPECT_NE(why.find("no race in it"), std::string::npos) << why;

    // Through files: missing, a folder, the level's fault; one line each.
    const fs::path file = dir / "ghost";
    testing::internal::CaptureStdout();
    EXPECT_FALSE(GhostFile::load(file.string(), LEVEL));
    fs::create_directory(file);
    EXPECT_FALSE(GhostFile::load(file.string(), LEVEL));
    EXPECT_FALSE(GhostFile::save(file.string(), race, LEVEL)) << "a folder where the file should be";
    fs::remove(file);
    ASSERT_TRUE(GhostFile::save(file.string(), race, LEVEL));
    EXPECT_FALSE(GhostFile::load(file.string(), LEVEL + 1));
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("\n GhostFile: no ghost " + file.string() + " (No such file or directory)"), std::string::npos)
        << console;
    EXPECT_NE(console.find("\n GhostFile: ignoring the ghost " + file.string() + ": truncated (0 bytes)"),
              std::string::npos) << console;
    EXPECT_NE(console.find("\n GhostFile: WARNING! cannot write the ghost " + file.string()), std::string::npos);
    EXPECT_NE(console.find(": driven on another level"), std::string::npos) << console;
    EXPECT_EQ(std::count(console.begin(), console.end(), '\n'), 4) << console;
    EXPECT_EQ(readFile(file), good) << "a refused file stays as it was";
}

namespace {

// The user data folder as the game before level files left it: one record, one ghost.
struct OldUserFolder {
    OldUserFolder() {
        std::ofstream(folder / "records") << "best 130.5\n";
        EXPECT_TRUE(GhostFile::save((folder / "ghost").string(), someRace(40), OLD_PRINT));
    }
    static constexpr std::uint64_t OLD_PRINT = 0x1234, NEW_PRINT = 0xabcdef0123456789ull;
    TempFolder folder{"records-old"};
};

}  // namespace

// Each level keeps its records in a folder of its id and fingerprint; the
// first level takes over the old record and ghost once (the ghost keyed
// anew), leaves the old files where they were, and never overwrites records
// of its own.
TEST(LevelRecords, KeepsEachLevelApartAndTakesOverTheOldRecordsOnce) {
    OldUserFolder old;
    const std::string user = old.folder.path();
    LevelRecords demo(user, "demo", OldUserFolder::NEW_PRINT);
    EXPECT_EQ(demo.recordsPath(), user + "/levels/demo-abcdef0123456789/records");
    EXPECT_EQ(demo.ghostPath(), user + "/levels/demo-abcdef0123456789/ghost");
    EXPECT_EQ(LevelRecords(user, "demo", 1).folder(), user + "/levels/demo-0000000000000001");
    EXPECT_EQ(LevelRecords(user, "demo", 1, Difficulty::HARD).folder(), user + "/levels/demo-0000000000000001-hard")
        << "each difficulty keeps its own records";
    EXPECT_EQ(LevelRecords("", "demo", 1).recordsPath(), "") << "no user folder: nothing is kept";

    testing::internal::CaptureStdout();
    demo.adoptOldRecords(user, OldUserFolder::OLD_PRINT);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(readFile(demo.recordsPath()), "best 130.5\n");
    testing::internal::CaptureStdout();
    const auto ghost = GhostFile::load(demo.ghostPath(), OldUserFolder::NEW_PRINT);
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(ghost) << "the old ghost, keyed by the level's fingerprint";
    EXPECT_EQ(ghost->samples.size(), 40u);
    EXPECT_TRUE(fs::exists(old.folder / "records"));
    EXPECT_TRUE(fs::exists(old.folder / "ghost"));

    // A record of the level's own stays; a ghost of another level is not taken.
    std::ofstream(demo.recordsPath()) << "best 150\n";
    demo.adoptOldRecords(user, OldUserFolder::OLD_PRINT);
    EXPECT_EQ(readFile(demo.recordsPath()), "best 150\n");
    LevelRecords edited(user, "demo", 7);
    testing::internal::CaptureStdout();
    edited.adoptOldRecords(user, 0x999);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(readFile(edited.recordsPath()), "best 130.5\n");
    EXPECT_FALSE(fs::exists(edited.ghostPath())) << console;
}
