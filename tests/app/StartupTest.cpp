#include <GL/glu.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/FatalError.h"
#include "app/Startup.h"
#include "support/GLTest.h"

namespace
{

TEST(DirectionTable, RowsAreLongitudesAndEntriesLatitudesPolesIncluded)
{
    BuildDirectionTable();
    const struct
    {
        int row, entry;
        Vector expected;
    } rows[] = {
        {0, 0, {0.0f, -1.0f, 0.0f}},
        {0, 4, {0.0f, 0.0f, 1.0f}},
        {4, 4, {1.0f, 0.0f, 0.0f}},
        {8, 8, {0.0f, 1.0f, 0.0f}},
        {2, 6, {0.5f, 0.707107f, 0.5f}},
        {15, 4, {-0.382683f, 0.0f, 0.923880f}},
        {12, 3, {-0.923880f, -0.382683f, 0.0f}},
    };
    for (const auto& row : rows)
    {
        const Vector& v = gDirectionTable[kDirectionsPerRow * row.row + row.entry];
        EXPECT_NEAR(v.x, row.expected.x, 1e-5) << row.row << "," << row.entry;
        EXPECT_NEAR(v.y, row.expected.y, 1e-5) << row.row << "," << row.entry;
        EXPECT_NEAR(v.z, row.expected.z, 1e-5) << row.row << "," << row.entry;
    }
}

TEST(TimerTick, PostsOneUserEventWithCodeOneAndKeepsThePeriod)
{
    ASSERT_TRUE(OpenGameDisplay());
    SDL_Event event;
    while (SDL_PollEvent(&event))
    {
    }
    EXPECT_EQ(TimerTick(50, nullptr), 50u);
    ASSERT_EQ(SDL_PollEvent(&event), 1);
    EXPECT_EQ(event.type, SDL_USEREVENT);
    EXPECT_EQ(event.user.code, 1);
    EXPECT_TRUE(IsTickEvent(event));
    EXPECT_EQ(SDL_PollEvent(&event), 0);
    event.user.code = 2;
    EXPECT_FALSE(IsTickEvent(event));
}

using Startup = GLTest;

TEST_F(Startup, DisplayAndRenderStateAreWhatTheGameAssumes)
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

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_FOG);
    InitRenderState();
    for (GLenum on : {GL_DEPTH_TEST, GL_STENCIL_TEST, GL_CULL_FACE})
    {
        EXPECT_TRUE(glIsEnabled(on)) << on;
    }
    const struct
    {
        GLenum name;
        GLint value;
    } ints[] = {{GL_FOG_MODE, GL_LINEAR},
                {GL_STENCIL_FUNC, GL_ALWAYS},
                {GL_STENCIL_REF, 0},
                {GL_STENCIL_PASS_DEPTH_PASS, GL_KEEP},
                {GL_MATRIX_MODE, GL_MODELVIEW}};
    for (const auto& row : ints)
    {
        GLint value = -1;
        glGetIntegerv(row.name, &value);
        EXPECT_EQ(value, row.value) << row.name;
    }
    GLfloat fog[6];
    glGetFloatv(GL_FOG_START, fog);
    glGetFloatv(GL_FOG_END, fog + 1);
    glGetFloatv(GL_FOG_COLOR, fog + 2);
    EXPECT_EQ(std::vector<GLfloat>(fog, fog + 6), (std::vector<GLfloat>{10, 500, 0.5f, 0.5f, 1, 1}));
    // The perspective: 45 degrees, near 1 and far 500.
    GLdouble model[16], projection[16], wx, wy, wz;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    gluProject(0, 100 * std::tan(22.5 * kDegToRad), -100, model, projection, viewport, &wx, &wy, &wz);
    EXPECT_NEAR(wx, 400, 1e-3);
    EXPECT_NEAR(wy, 600, 1e-3);
    gluProject(0, 0, -500, model, projection, viewport, &wx, &wy, &wz);
    EXPECT_NEAR(wz, 1.0, 1e-5);
    gluProject(0, 0, -1, model, projection, viewport, &wx, &wy, &wz);
    EXPECT_NEAR(wz, 0.0, 1e-5);
}

// Death-test suites run before every other test, so the child that opens its
// own full-screen display does not wait for the parent's input grab.
TEST(StartupDeathTest, FatalErrorsWriteTheirLineAndExitWithZeroWithoutAConsole)
{
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            OpenGameDisplay();
            glEnable(GL_TEXTURE_2D + 12345);
            CheckGLError("Initialization :");
        },
        ::testing::ExitedWithCode(0), "^Initialization :invalid enumerant\n$");
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            FatalError("Texture file nothing.bmp not found");
        },
        ::testing::ExitedWithCode(0), "^Texture file nothing.bmp not found\n$");
}

} // namespace
