// Starting with no display, or with one that has no OpenGL: a line that
// says what is missing and a clean exit, never a crash.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "app/Startup.h"

// Without a usable display the start-up ends through the fatal-error exit
// (status 0) saying what is missing, where SDL crashed after a failed start
// (no X server) and a driver without OpenGL crashed at the first texture.
TEST(NoDisplayDeathTest, StartUpSaysWhatIsMissing)
{
    const struct
    {
        const char* driver;
        const char* message;
    } rows[] = {
        {"x11", "^No display: SDL cannot start its video \\(.+\\)\n$"},
        {"dummy",
         "^No OpenGL display: the dummy video driver cannot open an 800x600 OpenGL window \\(.+\\)\n$"}};
    for (const auto& row : rows)
    {
        EXPECT_EXIT(
            {
                std::freopen("/dev/null", "r", stdin);
                setenv("SDL_VIDEODRIVER", row.driver, 1);
                unsetenv("DISPLAY");
                InitVideo();
                std::exit(4);
            },
            ::testing::ExitedWithCode(0), row.message)
            << row.driver;
    }
}
