// The generator itself: the same bytes on every run, and a clear failure
// when it cannot write.

#include "DataSupport.h"
#include "support/GLTest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <string>
#include <vector>

namespace
{

std::string Generator()
{
    return DataDir() + "/../tools/korvane_datagen";
}

std::vector<std::string> FilesUnder(const std::string& root, const std::string& relative = "")
{
    std::vector<std::string> files;
    DIR* dir = opendir((root + "/" + relative).c_str());
    if (!dir)
        return files;
    while (dirent* entry = readdir(dir))
    {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string path = relative.empty() ? name : relative + "/" + name;
        if (FileExists(root + "/" + path))
            files.push_back(path);
        else
            for (const std::string& f : FilesUnder(root, path))
                files.push_back(f);
    }
    closedir(dir);
    return files;
}

TEST(Generator, RunsDeterministicallyAndReproducesTheBuiltData)
{
    for (const bool test : {false, true})
    {
        char pattern[] = "/tmp/korvane_datagen_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        const std::string out = pattern;
        const std::string command = Generator() + " " + out + (test ? " --test" : "") + " 2>/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        const std::string built = test ? TestDataDir() : DataDir();
        const std::vector<std::string> files = FilesUnder(out);
        EXPECT_EQ(files.size(), 37u);
        for (const std::string& f : files)
        {
            EXPECT_TRUE(ReadFileBytes(out + "/" + f) == ReadFileBytes(built + "/" + f)) << f;
            std::remove((out + "/" + f).c_str());
        }
        std::system(("rm -rf " + out).c_str());
    }
}

TEST(Generator, FailsWithAMessageWhenItCannotWrite)
{
    EXPECT_NE(std::system((Generator() + " /proc/korvane-cannot-write 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((Generator() + " 2>/dev/null").c_str()), 0);
    char pattern[] = "/tmp/korvane_datagen_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string out = pattern;
    EXPECT_NE(std::system((Generator() + " " + out + " --font /nonexistent.ttf 2>/dev/null").c_str()), 0);
    std::system(("rm -rf " + out).c_str());
}

} // namespace
