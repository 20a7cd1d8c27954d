// The saves folder and the autosaves: where they go, the three kept, and a
// write that leaves the previous save whole whatever happens.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "game/Game.h"
#include "math/Random.h"
#include "players/Player.h"
#include "save/SaveFiles.h"
#include "save/SnapshotCodec.h"
#include "ships/Ship.h"
#include "support/GLTest.h"
#include "support/ScopedEnvironment.h"

namespace
{

size_t FileCount(const std::string& folder)
{
    std::error_code error;
    return size_t(std::distance(std::filesystem::directory_iterator(folder, error), {}));
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

using SaveFilesTest = GLTest;

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
    for (const auto& row : rows)
    {
        const ScopedEnvironment xdg("XDG_DATA_HOME", row.xdg), home("HOME", row.home);
        EXPECT_EQ(SaveFolder(), row.folder)
            << (row.xdg ? row.xdg : "-") << " " << (row.home ? row.home : "-");
    }
    EXPECT_EQ(AutosavePaths("/s"), (std::vector<std::string>{"/s/autosave.korvane", "/s/autosave-1.korvane",
                                                             "/s/autosave-2.korvane"}));
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
    std::filesystem::remove_all(root);
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
    std::filesystem::remove_all(root);
}

TEST_F(SaveFilesTest, HandOversKeepTheNewestThreeAutosavesEscapeKeepsThemAndAWonGameLeavesNone)
{
    const std::string root = TempFolder();
    const ScopedEnvironment xdg("XDG_DATA_HOME", root);
    const std::string folder = root + "/korvane/saves";
    const std::vector<std::string> paths = AutosavePaths(folder);
    SeedRandom(1);
    Game game(2, "map1");
    game.SetState(1);
    for (uint32_t turn = 1; turn <= 5; turn++)
    {
        game.NextPlayer();
        AutosaveAtHandOver(game);
        // The newest first; nothing half written or temporary stays.
        for (uint32_t i = 0; i < turn && i < 3; i++)
            EXPECT_EQ(TurnsOf(paths[i]), turn - i);
        EXPECT_EQ(FileCount(folder), std::min<size_t>(turn, 3));
    }
    struct stat info;
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    // Escape: the game is over without a winner; the saves stay for Resume.
    game.SetState(2);
    game.NextPlayer();
    AutosaveAtHandOver(game);
    EXPECT_EQ(TurnsOf(paths[0]), 5u);
    EXPECT_EQ(FileCount(folder), 3u);
    // Won: nothing left to resume.
    for (Ship* ship : game.players[1]->fleet)
        delete ship;
    game.players[1]->fleet.clear();
    game.players[1]->selection.clear();
    ASSERT_EQ(game.WinnerIndex(), 0);
    AutosaveAtHandOver(game);
    EXPECT_EQ(FileCount(folder), 0u);
    std::filesystem::remove_all(root);
}
