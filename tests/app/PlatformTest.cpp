#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "app/Platform.h"

namespace
{

TEST(MatchWildcard, QuestionMarkIsExactlyOneCharacter)
{
    EXPECT_TRUE(MatchWildcard("map?.ase", "map1.ase"));
    EXPECT_FALSE(MatchWildcard("map?.ase", "map.ase"));
    EXPECT_FALSE(MatchWildcard("map?.ase", "map12.ase"));
    EXPECT_FALSE(MatchWildcard("map?.ase", "map1.asex"));
}

TEST(MatchWildcard, StarIsAnyRunIncludingNone)
{
    EXPECT_TRUE(MatchWildcard("*.ase", ".ase"));
    EXPECT_TRUE(MatchWildcard("*.ase", "intro.ase"));
    EXPECT_TRUE(MatchWildcard("a*b*c", "abc"));
    EXPECT_TRUE(MatchWildcard("a*b*c", "axxbyybzc"));
    EXPECT_FALSE(MatchWildcard("a*b*c", "axxbyybzcd"));
    EXPECT_TRUE(MatchWildcard("*", ""));
    EXPECT_FALSE(MatchWildcard("?", ""));
    // A pathological pattern still finishes quickly.
    EXPECT_FALSE(MatchWildcard("*a*a*a*a*a*a*a*b", std::string(2000, 'a')));
}

class ListFilesTest : public ::testing::Test
{
protected:
    std::string dir;

    void SetUp() override
    {
        char name[] = "/tmp/korvane-list-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        for (const char* file : {"map2.ase", "map1.ase", "map10.ase", "mapx.backup.ase", "intro.ase"})
        {
            std::ofstream(dir + "/" + file) << "*3DSMAX_ASCIIEXPORT 200\n";
        }
        mkdir((dir + "/map3.ase").c_str(), 0755);
    }

    void TearDown() override { std::system(("rm -rf " + dir).c_str()); }
};

TEST_F(ListFilesTest, SortedNamesCutAtTheFirstDotWithoutDirectories)
{
    testing::internal::CaptureStderr();
    const std::vector<std::string> names = ListFiles(dir + "/map?.ase");
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "map1");
    EXPECT_EQ(names[1], "map2");
    EXPECT_EQ(err, "map1\nmap2\n");
}

TEST_F(ListFilesTest, StarMatchesLongerNames)
{
    testing::internal::CaptureStderr();
    const std::vector<std::string> names = ListFiles(dir + "/map*.ase");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(names, (std::vector<std::string>{"map1", "map10", "map2", "mapx"}));
}

TEST_F(ListFilesTest, OnlyADirectoryMatchingGivesAnEmptyList)
{
    testing::internal::CaptureStderr();
    EXPECT_TRUE(ListFiles(dir + "/map3*").empty());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

using ListFilesDeathTest = ListFilesTest;

TEST_F(ListFilesDeathTest, NothingMatchingIsFatal)
{
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            ListFiles(dir + "/level?.ase");
        },
        ::testing::ExitedWithCode(0), "Error finding files of type .*/level\\?\\.ase");
}

TEST(NativePath, BackslashesNameTheSameDirectories)
{
    EXPECT_EQ(NativePath("Textures\\beam.bmp"), "Textures/beam.bmp");
    EXPECT_EQ(NativePath("Models/Maps/map1.ase"), "Models/Maps/map1.ase");
}

TEST(WaitForConsoleKey, ReturnsAtOnceWithoutAConsole)
{
    // Under the test runner standard input is not a terminal.
    if (isatty(0))
    {
        GTEST_SKIP() << "standard input is a terminal";
    }
    WaitForConsoleKey();
    SUCCEED();
}

} // namespace
