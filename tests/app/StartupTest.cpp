#include <GL/glu.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include "support/GLTest.h"
#include "app/FatalError.h"
#include "app/Startup.h"

namespace
{

TEST(DirectionTable, HoldsSixteenRowsOfNineUnitVectors)
{
    BuildDirectionTable();
    for (int i = 0; i < kDirectionRows; i++)
    {
        const Vector& south = gDirectionTable[9 * i];
        const Vector& equator = gDirectionTable[9 * i + 4];
        const Vector& north = gDirectionTable[9 * i + 8];
        EXPECT_NEAR(south.x, 0, 1e-5);
        EXPECT_NEAR(south.y, -1, 1e-6);
        EXPECT_NEAR(south.z, 0, 1e-5);
        EXPECT_NEAR(north.y, 1, 1e-6);
        EXPECT_NEAR(equator.y, 0, 1e-6) << "row " << i;
        for (int j = 0; j < kDirectionsPerRow; j++)
        {
            EXPECT_NEAR(Length(gDirectionTable[9 * i + j]), 1.0, 1e-5);
        }
    }
    // Row 0 is longitude 0 (towards +Z), row 4 longitude 90 (towards +X).
    EXPECT_NEAR(gDirectionTable[4].z, 1, 1e-6);
    EXPECT_NEAR(gDirectionTable[9 * 4 + 4].x, 1, 1e-5);
    // The last row is longitude 337.5: the loop stops before 360.
    EXPECT_NEAR(gDirectionTable[9 * 15 + 4].x, -0.38268, 1e-4);
}

TEST(Tick, OnlyUserEventsWithCodeOneAreTicks)
{
    SDL_Event event;
    event.type = SDL_USEREVENT;
    event.user.code = 1;
    EXPECT_TRUE(IsTickEvent(event));
    event.user.code = 2;
    EXPECT_FALSE(IsTickEvent(event));
    event.type = SDL_KEYDOWN;
    event.user.code = 1;
    EXPECT_FALSE(IsTickEvent(event));
}

class StartupGL : public GLTest
{
};

TEST_F(StartupGL, DisplayHasTheGamesFormat)
{
    const SDL_Surface* screen = SDL_GetVideoSurface();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->w, 800);
    EXPECT_EQ(screen->h, 600);
    int stencil = 0, doubleBuffer = 0;
    SDL_GL_GetAttribute(SDL_GL_STENCIL_SIZE, &stencil);
    SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffer);
    EXPECT_EQ(stencil, 8);
    EXPECT_EQ(doubleBuffer, 1);
}

TEST_F(StartupGL, RenderStateIsWhatTheGameAssumes)
{
    InitRenderState();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_STENCIL_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_FOG)) << "fog is configured but off";
    GLint fogMode = 0, stencilFunc = 0, stencilPass = 0, matrixMode = 0;
    glGetIntegerv(GL_FOG_MODE, &fogMode);
    glGetIntegerv(GL_STENCIL_FUNC, &stencilFunc);
    glGetIntegerv(GL_STENCIL_PASS_DEPTH_PASS, &stencilPass);
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(fogMode, GL_LINEAR);
    EXPECT_EQ(stencilFunc, GL_ALWAYS);
    EXPECT_EQ(stencilPass, GL_KEEP);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);
    GLfloat fogEnd = 0;
    glGetFloatv(GL_FOG_END, &fogEnd);
    EXPECT_FLOAT_EQ(fogEnd, 500.0f);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
    // The perspective: a point at depth 500 is on the far plane.
    GLdouble model[16], projection[16], wx, wy, wz;
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    gluProject(0, 0, -500, model, projection, viewport, &wx, &wy, &wz);
    EXPECT_NEAR(wz, 1.0, 1e-5);
    EXPECT_NEAR(wx, 400, 1e-3);
}

TEST_F(StartupGL, NeutralStencilStateWritesNothing)
{
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, -5);
    glVertex3f(1, -1, -5);
    glVertex3f(1, 1, -5);
    glVertex3f(-1, 1, -5);
    glEnd();
    EXPECT_EQ(ReadStencil(400, 300), 0u);
    EXPECT_EQ(ReadPixel(400, 300).r, 255);
    glStencilFunc(GL_ALWAYS, 7, 255);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, -4);
    glVertex3f(1, -1, -4);
    glVertex3f(1, 1, -4);
    glVertex3f(-1, 1, -4);
    glEnd();
    EXPECT_EQ(ReadStencil(400, 300), 7u);
    EXPECT_EQ(ReadStencil(10, 10), 0u);
}

TEST_F(StartupGL, CheckGLErrorReturnsWhenNothingIsPending)
{
    CheckGLError("Nothing :");
    SUCCEED();
}

// Death-test suites run before every other test, so the child that opens its
// own full-screen display does not wait for the parent's input grab.
TEST(CheckGLErrorDeathTest, ReportsLabelAndGluTextAndExitsWithZero)
{
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            OpenGameDisplay();
            glEnable(GL_TEXTURE_2D + 12345);
            CheckGLError("Initialization :");
        },
        ::testing::ExitedWithCode(0), "^Initialization :invalid enumerant\n$");
}

TEST(FatalErrorDeathTest, ExitsAtOnceWithoutAConsole)
{
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            FatalError("Texture file nothing.bmp not found");
        },
        ::testing::ExitedWithCode(0), "^Texture file nothing.bmp not found\n$");
}

TEST(TimerTick, PostsOneTickAndKeepsThePeriod)
{
    ASSERT_TRUE(OpenGameDisplay());
    SDL_Event event;
    while (SDL_PollEvent(&event))
    {
    }
    EXPECT_EQ(TimerTick(50, nullptr), 50u);
    int ticks = 0;
    while (SDL_PollEvent(&event))
    {
        ticks += IsTickEvent(event) ? 1 : 0;
    }
    EXPECT_EQ(ticks, 1);
}

TEST(TimerTick, ARealTimerDeliversTicks)
{
    ASSERT_TRUE(OpenGameDisplay());
    SDL_TimerID timer = SDL_AddTimer(kTickInterval, TimerTick, nullptr);
    ASSERT_NE(timer, nullptr);
    int ticks = 0;
    const Uint32 start = SDL_GetTicks();
    while (ticks < 3 && SDL_GetTicks() - start < 5000)
    {
        SDL_Event event;
        if (SDL_WaitEvent(&event) && IsTickEvent(event))
        {
            ticks++;
        }
    }
    SDL_RemoveTimer(timer);
    EXPECT_EQ(ticks, 3);
}

} // namespace
