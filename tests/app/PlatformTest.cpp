// What the game asks of the system: file names matched against a pattern
// with ? and *, and the listing of the data files a pattern finds: sorted,
// cut at their first dot and written to standard error; finding none is fatal.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/Platform.h"

namespace
{

TEST(MatchWildcard, QuestionMarkIsOneCharacterAndStarAnyRun)
{
    const struct
    {
        const char* pattern;
        std::string name;
        bool matches;
    } rows[] = {
        {"map?.ase", "map1.ase", true},
        {"map?.ase", "map.ase", false},
        {"map?.ase", "map12.ase", false},
        {"map?.ase", "map1.asex", false},
        {"map?.ase", "Map1.ase", false},
        {"*.ase", ".ase", true},
        {"*.ase", "intro.ase", true},
        {"a*b*c", "axxbyybzc", true},
        {"a*b*c", "axxbyybzcd", false},
        {"*", "", true},
        {"?", "", false},
        {"*a*a*a*a*a*a*a*b", std::string(2000, 'a'), false},
    };
    for (const auto& row : rows)
    {
        EXPECT_EQ(MatchWildcard(row.pattern, row.name), row.matches) << row.pattern << " " << row.name;
    }
}

// A directory of map files, one of them a directory itself; removed at the end.
class ListFilesTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir + "map3.ase");
        for (const char* file : {"map2.ase", "map1.ase", "map10.ase", "mapx.backup.ase", "map1.old.ase"})
        {
            std::ofstream(dir + file) << "*3DSMAX_ASCIIEXPORT 200\n";
        }
    }

    void TearDown() override { std::filesystem::remove_all(dir); }

    const std::string dir = "/tmp/korvane-list-" + std::to_string(getpid()) + "/";
};

TEST_F(ListFilesTest, SortedPlainFilesCutAtTheirFirstDotAndWrittenToStandardError)
{
    const struct
    {
        const char* pattern;
        std::vector<std::string> names;
        const char* lines;
    } rows[] = {
        {"map?.ase", {"map1", "map2"}, "map1\nmap2\n"},
        {"map*.ase", {"map1", "map1", "map10", "map2", "mapx"}, "map1\nmap1\nmap10\nmap2\nmapx\n"},
        {"map3*", {}, ""},
    };
    for (const auto& row : rows)
    {
        testing::internal::CaptureStderr();
        EXPECT_EQ(ListFiles(dir + row.pattern), row.names) << row.pattern;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), row.lines) << row.pattern;
    }
}

using ListFilesDeathTest = ListFilesTest;

TEST_F(ListFilesDeathTest, NothingMatchingIsFatal)
{
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            ListFiles(dir + "level?.ase");
        },
        ::testing::ExitedWithCode(0), "Error finding files of type .*/level\\?\\.ase");
}

} // namespace
