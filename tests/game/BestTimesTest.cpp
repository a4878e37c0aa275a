#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/BestTimes.h"
#include "support/SaveChecks.h"

namespace fs = std::filesystem;

namespace {

class BestTimesTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = testing::TempDir() + "zarvik-records-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    static std::string read(const fs::path& file) {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void write(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }
    static size_t filesIn(const fs::path& folder) {
        size_t n = 0;
        for (auto it = fs::directory_iterator(folder); it != fs::directory_iterator(); ++it) ++n;
        return n;
    }
    // Runs f and returns what it printed on the console.
    template <typename F>
    static std::string console(F f) {
        testing::internal::CaptureStdout();
        f();
        std::fflush(stdout);
        return testing::internal::GetCapturedStdout();
    }

    fs::path dir;
};

}  // namespace

TEST_F(BestTimesTest, OnlyAFasterRaceReplacesTheRecordWholeAndItLastsToTheNextGame) {
    const fs::path file = dir / "zarvik" / "records";  // the folders do not exist yet
    BestTimes times(file.string());
    EXPECT_NE(console([&] { times.load(); }).find("no record file"), std::string::npos);
    EXPECT_FALSE(times.best());

    EXPECT_TRUE(times.offer(130.5));
    EXPECT_EQ(read(file), "best 130.5\n");
    EXPECT_EQ(filesIn(file.parent_path()), 1u) << "the temporary file is renamed, none is left";
    EXPECT_FALSE(times.offer(140.0)) << "slower";
    EXPECT_FALSE(times.offer(130.5)) << "equal";
    for (double notARace : {0.0, -5.0, double(NAN), double(INFINITY)}) EXPECT_FALSE(times.offer(notARace));
    EXPECT_EQ(read(file), "best 130.5\n");
    EXPECT_TRUE(times.offer(95.2501));
    EXPECT_EQ(read(file), "best 95.2501\n");
    EXPECT_EQ(filesIn(file.parent_path()), 1u);

    BestTimes nextGame(file.string());
    EXPECT_EQ(console([&] { nextGame.load(); }), "");
    ASSERT_TRUE(nextGame.best());
    EXPECT_EQ(*nextGame.best(), 95.2501) << "exactly the time of the last game";
    EXPECT_FALSE(nextGame.offer(100.0));
    EXPECT_TRUE(nextGame.offer(94.0));
    EXPECT_EQ(read(file), "best 94\n");
}

// A new record replaces the file by rename: a link to the old file keeps
// the old record. A write cut off on the way (the file size limit, as a full
// disk would) leaves the old record whole, with a note, and no stray file.
TEST_F(BestTimesTest, ANewRecordReplacesTheFileWholeOrNotAtAll) {
    const fs::path file = dir / "records";
    BestTimes times(file.string());
    console([&] { times.load(); });
    ASSERT_TRUE(times.offer(130.5));
    ASSERT_EQ(read(file), "best 130.5\n");
    EXPECT_TRUE(SaveChecks::replacesTheFile(file.string(), [&] { return times.offer(120.25); }));
    EXPECT_EQ(read(file), "best 120.25\n");
    // "best 99.125\n" is 12 bytes: the write stops after "best". The record
    // counts in memory; the failed write is noted on the console.
    std::string note;
    EXPECT_TRUE(SaveChecks::aCutOffSaveLeavesTheOldFile(
        file.string(), 4, [&] { return !times.offer(99.125) || times.best() != 99.125; }, &note));
    EXPECT_NE(note.find("BestTimes: WARNING! cannot write " + file.string()), std::string::npos) << note;
    EXPECT_EQ(read(file), "best 120.25\n");
}

TEST_F(BestTimesTest, CorruptFilesAreIgnoredAndUnwritableFoldersOnlyNoted) {
    const fs::path file = dir / "records";
    for (const std::string& corrupt : std::vector<std::string>{"", "best", "best abc", "best 12.5 13", "worst 12.5", "best -3",
                                      "best nan", "best inf", "best 0", std::string(300, '7'),
                                      std::string("best \0 12", 9), "best 1e999"}) {
        SCOPED_TRACE(corrupt);
        write(file, corrupt);
        BestTimes times(file.string());
        const std::string note = console([&] { times.load(); });
        EXPECT_NE(note.find("corrupt record file"), std::string::npos);
        EXPECT_EQ(std::count(note.begin(), note.end(), '\n'), 1) << "one line";
        EXPECT_FALSE(times.best());
    }
    write(file, "  best   7.25 \n");  // blanks around the words are fine
    BestTimes spaced(file.string());
    spaced.load();
    ASSERT_TRUE(spaced.best());
    EXPECT_DOUBLE_EQ(*spaced.best(), 7.25);

    // A folder that is a file can never be written: the record is kept in
    // memory, a note goes to the console.
    write(dir / "plain", "a file");
    BestTimes blocked((dir / "plain" / "zarvik" / "records").string());
    blocked.load();
    bool record = false;
    EXPECT_NE(console([&] { record = blocked.offer(60.0); }).find("cannot write"), std::string::npos);
    EXPECT_TRUE(record);
    EXPECT_DOUBLE_EQ(*blocked.best(), 60.0);

    // A read-only folder (the superuser writes anyway, so only for others).
    const fs::path locked = dir / "locked";
    fs::create_directory(locked);
    write(locked / "records", "best 50.000\n");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    BestTimes readOnly((locked / "records").string());
    readOnly.load();
    EXPECT_DOUBLE_EQ(*readOnly.best(), 50.0) << "a read-only record still counts";
    if (geteuid() != 0) {
        EXPECT_NE(console([&] { EXPECT_TRUE(readOnly.offer(40.0)); }).find("cannot write"), std::string::npos);
        EXPECT_EQ(read(locked / "records"), "best 50.000\n");
        EXPECT_EQ(filesIn(locked), 1u);
    }
    fs::permissions(locked, fs::perms::owner_all);
}
