// The set-up menu's "Resume": which save it offers, the line for one that
// cannot be read, the files left as they were, and the menu drawn with them.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "app/ResumeOffer.h"
#include "app/SetupMenu.h"
#include "game/Game.h"
#include "math/Random.h"
#include "save/GameSnapshot.h"
#include "save/SaveFiles.h"
#include "save/SnapshotCodec.h"
#include "support/GLTest.h"
#include "support/ReferenceFrame.h"

namespace
{

class ResumeOfferTest : public GLTest
{
  protected:
    void SetUp() override
    {
        GLTest::SetUp();
        // A fixed folder: the menu's frames show the path. Another test
        // program on this machine (a second build's run) waits for it.
        root = "/tmp/korvane-resume-menu";
        lock = open((root + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
        ASSERT_GE(lock, 0);
        ASSERT_EQ(flock(lock, LOCK_EX), 0);
        mkdir(root.c_str(), 0700);
        setenv("XDG_DATA_HOME", root.c_str(), 1);
        folder = root + "/korvane/saves";
        std::string error;
        ASSERT_TRUE(MakeFolders(folder, error)) << error;
        paths = AutosavePaths(folder);
    }
    void TearDown() override
    {
        for (const std::string& path : paths)
            unlink(path.c_str());
        rmdir(folder.c_str());
        rmdir((root + "/korvane").c_str());
        rmdir(root.c_str());
        if (lock >= 0)
            close(lock);
        GLTest::TearDown();
    }

    std::string root, folder;
    int lock = -1;
    std::vector<std::string> paths;
};

// The snapshot of a new game after `turns` changes of player.
Snapshot GameAfter(int players, const std::string& map, int turns)
{
    SeedRandom(1);
    Game game(players, map);
    for (int i = 0; i < turns; i++)
        game.NextPlayer();
    return CaptureSnapshot(game);
}

void Write(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
}

std::vector<uint8_t> Read(const std::string& path)
{
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(ReadSaveFile(path, bytes, error)) << error;
    return bytes;
}

} // namespace

TEST_F(ResumeOfferTest, TheNewestSaveThatReadsIsOfferedAndTheNewerOneThatDoesNotIsNamed)
{
    EXPECT_EQ(FindResumeOffer(folder).file, "");
    EXPECT_EQ(FindResumeOffer(folder).problem, "");
    EXPECT_EQ(FindResumeOffer("").file, "");

    const std::vector<uint8_t> good = EncodeSnapshot(GameAfter(3, "map2", 7));
    const std::vector<uint8_t> older = EncodeSnapshot(GameAfter(2, "map1", 2));
    Write(paths[1], good);
    Write(paths[2], older);
    ResumeOffer offer = FindResumeOffer(folder);
    EXPECT_EQ(offer.file, paths[1]); // (what it holds, and that no line shows: the menu's frames)

    struct Case
    {
        const char* what;
        std::vector<uint8_t> bytes;
        std::string problem;
    };
    std::vector<uint8_t> damaged = good;
    damaged[good.size() - 10] ^= 1;
    Snapshot elsewhere = GameAfter(2, "map1", 2);
    elsewhere.map = "map7";
    const std::vector<Case> cases = {
        {"damaged", damaged, "the file is damaged: its contents do not match their checksum"},
        {"map", EncodeSnapshot(elsewhere), "the map map7 is missing (Models/Maps/map7.ase)"},
        {"empty", {}, "the file is empty"},
    };
    for (const Case& c : cases)
    {
        Write(paths[0], c.bytes);
        offer = FindResumeOffer(folder);
        EXPECT_EQ(offer.file, paths[1]) << c.what;
        EXPECT_EQ(offer.problem, "Saved game cannot be read: " + paths[0] + ": " + c.problem) << c.what;
        EXPECT_EQ(offer.problem.substr(offer.problemSplit), c.problem) << c.what;
        // The file is left as it was.
        EXPECT_EQ(Read(paths[0]), c.bytes) << c.what;
    }
    // (With no save that reads, only the newest one's line: the menu's test.)
    // A folder in place of a file.
    unlink(paths[0].c_str());
    ASSERT_EQ(mkdir(paths[0].c_str(), 0700), 0);
    offer = FindResumeOffer(folder);
    EXPECT_EQ(offer.problem, "Saved game cannot be read: " + paths[0] + ": it is not a file");
    rmdir(paths[0].c_str());
}

TEST_F(ResumeOfferTest, TheMenuShowsResumeWithWhatItHoldsAndTheLineOfASaveThatCannotBeRead)
{
    // A fresh menu's frame; a click on the description under the button, then
    // on "Resume" (or, with only a line, on nothing).
    auto expectMenu = [](const char* reference, bool resumes, const std::string& file)
    {
        SeedRandom(1);
        SetupMenu menu;
        menu.Draw(300, 250);
        EXPECT_TRUE(MatchesReference(reference));
        EXPECT_FALSE(menu.Click(400, 40)) << reference;
        EXPECT_EQ(menu.Click(400, 68), resumes) << reference;
        EXPECT_EQ(menu.setup.resumeFile, file) << reference;
    };
    Write(paths[0], EncodeSnapshot(GameAfter(4, "map3", 9)));
    expectMenu("menu-resume", true, paths[0]);
    std::vector<uint8_t> cut = Read(paths[0]);
    Write(paths[1], cut);
    cut.resize(100);
    Write(paths[0], cut);
    expectMenu("menu-resume-problem", true, paths[1]);
    Write(paths[1], cut);
    expectMenu("menu-problem", false, "");
}
