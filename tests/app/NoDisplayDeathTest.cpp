#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "app/Startup.h"

// Without a display the start-up ends through the fatal-error exit (status 0)
// with a message that says what is missing, instead of a crash inside SDL or
// OpenGL. The child of each death test opens nothing before InitVideo.

TEST(NoDisplayDeathTest, WithoutAnXServerTheMessageNamesTheDisplay)
{
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            setenv("SDL_VIDEODRIVER", "x11", 1);
            unsetenv("DISPLAY");
            InitVideo();
            std::exit(4);
        },
        ::testing::ExitedWithCode(0), "^No display: SDL cannot start its video \\(.+\\)\n$");
}

TEST(NoDisplayDeathTest, AVideoDriverWithoutOpenGLEndsBeforeAnyDrawing)
{
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            InitVideo();
            std::exit(4);
        },
        ::testing::ExitedWithCode(0),
        "^No OpenGL display: the dummy video driver cannot open an 800x600 OpenGL window \\(.+\\)\n$");
}
