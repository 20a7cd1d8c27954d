#include "support/GLTest.h"

#include <GL/glu.h>
#include <SDL/SDL.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "app/DisplayMode.h"
#include "app/Startup.h"

// FatalError ends the process with status 0 before Google Test has written its
// results, which CTest would count as a pass. This turns an exit in the middle
// of a test into a failure (the children of death tests excepted: their exit
// is the point). The test registry is made first, so that it outlives the
// handler. Every test program links this file through GLTest.
static const int gFatalExitFails =
    (::testing::UnitTest::GetInstance(),
     std::atexit(
         []
         {
             const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
             if (test != nullptr && !::testing::internal::InDeathTestChild())
             {
                 std::printf("\nThe program ended during %s.%s\n", test->test_suite_name(), test->name());
                 std::fflush(stdout);
                 std::_Exit(1);
             }
         }));

// KORVANE_TEST_DISPLAY=window opens the display in a window instead of full
// screen, so that the same tests show that the frames drawn in a window are
// the reference frames.
//
// The maintained SDL 1.2 draws a full-screen OpenGL display into a framebuffer
// object of its own, which it scales onto the screen at every swap; Mesa draws
// lines into a framebuffer object a little differently from lines drawn into
// a window (docs/install.md has the measurements). The test display is
// exactly 800x600 and needs no scaling, so the tests have that library draw
// straight into the window, as the classic library does.
static bool OpenDisplayAsAsked()
{
    setenv("SDL12COMPAT_OPENGL_SCALING", "0", 0);
    const char* asked = std::getenv("KORVANE_TEST_DISPLAY");
    const bool window = asked != nullptr && std::string(asked) == "window";
    SetStartDisplayMode(window ? DisplayMode::Window : DisplayMode::FullScreen);
    OpenDisplay();
    if (SDL_GetVideoSurface() == nullptr)
    {
        return false;
    }
    if (CurrentDisplayMode() != StartDisplayMode())
    {
        std::fprintf(stderr, "the display did not open %s\n", window ? "in a window" : "full screen");
        return false;
    }
    return true;
}

bool OpenGameDisplay()
{
    static const bool ok = OpenDisplayAsAsked();
    return ok;
}

// In a death-test suite the parent process only starts the child that runs the
// statement; it must not open a display of its own, or the child's full-screen
// window would wait for the parent's input grab for ever.
static bool IsDeathTestParent()
{
    const std::string suite = ::testing::UnitTest::GetInstance()->current_test_suite()->name();
    const std::string suffix = "DeathTest";
    const bool deathSuite = suite.size() >= suffix.size() &&
                            suite.compare(suite.size() - suffix.size(), suffix.size(), suffix) == 0;
    return deathSuite && GTEST_FLAG_GET(internal_run_death_test).empty();
}

void GLTest::SetUp()
{
    if (IsDeathTestParent())
    {
        return;
    }
    ASSERT_TRUE(OpenGameDisplay()) << "no display: run the test under tests/with-xvfb.sh";
    // Back to the state InitRenderState leaves, whatever the last test did.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glViewport(0, 0, 800, 600);
    gluPerspective(45.0, 4.0 / 3.0, 1.0, 500.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glStencilFunc(GL_ALWAYS, 0, 255);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glEnable(GL_STENCIL_TEST);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glDisable(GL_FOG);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDepthMask(GL_TRUE);
    glColor4f(1, 1, 1, 1);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    while (glGetError() != GL_NO_ERROR)
    {
    }
}

void GLTest::TearDown()
{
    glFinish();
}

std::string DataDir()
{
    return KORVANE_DATA_DIR;
}

std::string SourceDir()
{
    return KORVANE_SOURCE_DIR;
}

std::string WriteTempFile(const std::string& name, const std::string& contents)
{
    static int counter = 0;
    const std::string path =
        "/tmp/korvane-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" + name;
    std::ofstream out(path, std::ios::binary);
    out << contents;
    return path;
}
