// The saves folder and the autosaves: where they go, the three kept, and a
// write that leaves the previous save whole whatever happens.

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

#include "game/Game.h"
#include "math/Random.h"
#include "players/Player.h"
#include "save/GameSnapshot.h"
#include "save/SaveFiles.h"
#include "save/SnapshotCodec.h"
#include "ships/Ship.h"
#include "support/GLTest.h"

namespace
{

std::set<std::string> Listing(const std::string& folder)
{
    std::set<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return names;
    while (const dirent* entry = readdir(dir))
    {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.insert(name);
    }
    closedir(dir);
    return names;
}

uint32_t TurnsOf(const std::string& path)
{
    std::vector<uint8_t> bytes;
    std::string error;
    Snapshot s;
    EXPECT_TRUE(ReadSaveFile(path, bytes, error)) << error;
    EXPECT_TRUE(DecodeSnapshot(bytes, s, error)) << error;
    return s.turnsEnded;
}

std::string TempFolder()
{
    char pattern[] = "/tmp/korvane-saves-XXXXXX";
    return mkdtemp(pattern);
}

void RemoveTree(const std::string& path)
{
    for (const std::string& name : Listing(path))
    {
        const std::string child = path + "/" + name;
        struct stat info;
        if (lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            RemoveTree(child);
        else
            unlink(child.c_str());
    }
    rmdir(path.c_str());
}

class SaveFilesTest : public GLTest
{
};

} // namespace

TEST(SaveFolder, XdgDataHomeWhenAbsoluteElseHomeElseNone)
{
    const struct
    {
        const char* xdg;
        const char* home;
        const char* folder;
    } rows[] = {
        {"/data", "/home/a", "/data/korvane/saves"},
        {nullptr, "/home/a", "/home/a/.local/share/korvane/saves"},
        {"", "/home/a", "/home/a/.local/share/korvane/saves"},
        {"relative/data", "/home/a", "/home/a/.local/share/korvane/saves"},
        {nullptr, nullptr, ""},
        {nullptr, "relative", ""},
    };
    const char* xdg = getenv("XDG_DATA_HOME");
    const std::string savedXdg = xdg ? xdg : "";
    const std::string savedHome = getenv("HOME") ? getenv("HOME") : "";
    for (const auto& row : rows)
    {
        row.xdg ? setenv("XDG_DATA_HOME", row.xdg, 1) : unsetenv("XDG_DATA_HOME");
        row.home ? setenv("HOME", row.home, 1) : unsetenv("HOME");
        EXPECT_EQ(SaveFolder(), row.folder)
            << (row.xdg ? row.xdg : "-") << " " << (row.home ? row.home : "-");
    }
    xdg ? setenv("XDG_DATA_HOME", savedXdg.c_str(), 1) : unsetenv("XDG_DATA_HOME");
    setenv("HOME", savedHome.c_str(), 1);
    EXPECT_EQ(AutosavePaths("/s"), (std::vector<std::string>{"/s/autosave.korvane", "/s/autosave-1.korvane",
                                                             "/s/autosave-2.korvane"}));
}

TEST_F(SaveFilesTest, TheNewestAutosaveAndTheTwoBeforeItAreKeptAndNothingElseIsLeft)
{
    const std::string root = TempFolder();
    const std::string folder = root + "/deep/korvane/saves";
    SeedRandom(1);
    Game game(2, "map1");
    const std::vector<std::string> paths = AutosavePaths(folder);
    for (uint32_t turn = 1; turn <= 5; turn++)
    {
        game.NextPlayer();
        std::string error;
        ASSERT_TRUE(WriteAutosave(game, folder, error)) << error;
        // The newest first; nothing half written or temporary stays.
        for (uint32_t i = 0; i < turn && i < 3; i++)
            EXPECT_EQ(TurnsOf(paths[i]), turn - i);
        EXPECT_EQ(Listing(folder).size(), std::min<size_t>(turn, 3));
    }
    struct stat info;
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    RemoveTree(root);
}

TEST_F(SaveFilesTest, AFailedWriteLeavesThePreviousSavesWhole)
{
    const std::string root = TempFolder();
    const std::string folder = root + "/saves";
    SeedRandom(1);
    Game game(2, "map1");
    std::string error;
    ASSERT_TRUE(WriteAutosave(game, folder, error)) << error;
    game.NextPlayer();
    ASSERT_TRUE(WriteAutosave(game, folder, error)) << error;
    // A folder where the temporary file would go: the new save cannot be
    // written, and the old ones stay as they were, in their places.
    const std::string blocker = AutosavePaths(folder)[0] + ".new.tmp";
    ASSERT_EQ(mkdir(blocker.c_str(), 0700), 0);
    game.NextPlayer();
    EXPECT_FALSE(WriteAutosave(game, folder, error));
    EXPECT_NE(error.find("cannot write " + blocker), std::string::npos) << error;
    EXPECT_EQ(TurnsOf(AutosavePaths(folder)[0]), 1u);
    EXPECT_EQ(TurnsOf(AutosavePaths(folder)[1]), 0u);
    rmdir(blocker.c_str());
    // A folder that cannot be made.
    const std::string file = root + "/file";
    ASSERT_EQ(WriteFileWhole(file, {1, 2, 3}, error), true) << error;
    EXPECT_FALSE(WriteAutosave(game, file + "/saves", error));
    EXPECT_EQ(error.substr(0, 24 + file.size()), "cannot make the folder " + file + "/");
    RemoveTree(root);
}

TEST(SaveFiles, ReadingRefusesWhatIsNoSaveFileWithoutReadingIt)
{
    const std::string root = TempFolder();
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(ReadSaveFile(root + "/none", bytes, error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_FALSE(ReadSaveFile(root, bytes, error));
    EXPECT_EQ(error, "it is not a file");
    // A sparse file larger than any save: refused by its size.
    const std::string big = root + "/big";
    ASSERT_TRUE(WriteFileWhole(big, {1}, error));
    ASSERT_EQ(truncate(big.c_str(), off_t(kMaxSaveFileSize) + 1), 0);
    EXPECT_FALSE(ReadSaveFile(big, bytes, error));
    EXPECT_EQ(error, "the file is too large to be a saved game (67108865 bytes)");
    RemoveTree(root);
}

TEST_F(SaveFilesTest, AHandOverSavesEscapeKeepsTheSavesAndAWonGameLeavesNone)
{
    const std::string root = TempFolder();
    const char* xdg = getenv("XDG_DATA_HOME");
    const std::string savedXdg = xdg ? xdg : "";
    setenv("XDG_DATA_HOME", root.c_str(), 1);
    const std::vector<std::string> paths = AutosavePaths(root + "/korvane/saves");
    SeedRandom(1);
    Game game(2, "map1");
    game.NextPlayer();
    game.SetState(1);
    AutosaveAtHandOver(game);
    game.NextPlayer();
    AutosaveAtHandOver(game);
    EXPECT_EQ(TurnsOf(paths[0]), 2u);
    EXPECT_EQ(TurnsOf(paths[1]), 1u);
    // Escape: the game is over without a winner; the saves stay for Resume.
    game.SetState(2);
    game.NextPlayer();
    AutosaveAtHandOver(game);
    EXPECT_EQ(TurnsOf(paths[0]), 2u);
    EXPECT_EQ(Listing(root + "/korvane/saves").size(), 2u);
    // Won: nothing left to resume.
    for (Ship* ship : game.players[1]->fleet)
        delete ship;
    game.players[1]->fleet.clear();
    game.players[1]->selection.clear();
    ASSERT_EQ(game.WinnerIndex(), 0);
    AutosaveAtHandOver(game);
    EXPECT_EQ(Listing(root + "/korvane/saves").size(), 0u);
    xdg ? setenv("XDG_DATA_HOME", savedXdg.c_str(), 1) : unsetenv("XDG_DATA_HOME");
    RemoveTree(root);
}
