// The start-up's pieces: the timer that drives the ticks, the render state
// every frame assumes, and fatal errors that say why and exit cleanly.

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include "app/FatalError.h"
#include "app/Startup.h"
#include "support/Events.h"
#include "support/GLTest.h"

namespace
{

TEST(TimerTick, PostsOneUserEventWithCodeOneAndKeepsThePeriod)
{
    ASSERT_TRUE(OpenGameDisplay());
    FlushEvents();
    SDL_Event event;
    EXPECT_EQ(TimerTick(50, nullptr), 50u);
    ASSERT_EQ(SDL_PollEvent(&event), 1);
    EXPECT_EQ(event.type, SDL_USEREVENT);
    EXPECT_EQ(event.user.code, 1);
    EXPECT_TRUE(IsTickEvent(event));
    EXPECT_EQ(SDL_PollEvent(&event), 0);
}

using Startup = GLTest;

TEST_F(Startup, RenderStateIsWhatTheGameAssumes)
{
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_CULL_FACE);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    InitRenderState();
    const struct
    {
        GLenum name;
        GLint value;
    } rows[] = {{GL_DEPTH_TEST, 1},       {GL_STENCIL_TEST, 1},
                {GL_CULL_FACE, 1},        {GL_FOG, 0},
                {GL_FOG_MODE, GL_LINEAR}, {GL_STENCIL_FUNC, GL_ALWAYS},
                {GL_STENCIL_REF, 0},      {GL_STENCIL_PASS_DEPTH_PASS, GL_KEEP}};
    for (const auto& row : rows)
    {
        GLint value = -1;
        glGetIntegerv(row.name, &value);
        EXPECT_EQ(value, row.value) << row.name;
    }
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
}

} // namespace
