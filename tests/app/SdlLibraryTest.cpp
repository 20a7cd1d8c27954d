// The programs run on the SDL 1.2 library that the build chose: the classic
// 1.2.15, or with KORVANE_SDL12_COMPAT the maintained one (1.2.50 and later),
// found through the programs' run path.
#include <SDL/SDL.h>
#include <gtest/gtest.h>

namespace
{

TEST(SdlLibrary, IsTheOneTheBuildChose)
{
    const SDL_version* linked = SDL_Linked_Version();
    ASSERT_NE(linked, nullptr);
    EXPECT_EQ(linked->major, 1);
    EXPECT_EQ(linked->minor, 2);
#if KORVANE_SDL12_COMPAT
    EXPECT_GE(linked->patch, 50) << "the classic library was loaded instead of the maintained one";
#else
    EXPECT_EQ(linked->patch, 15) << "another library than the classic SDL 1.2.15 was loaded";
#endif
}

} // namespace
