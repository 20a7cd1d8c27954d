// What SwapFrame does before the swap: it leaves every OpenGL state as it was
// and draws nothing, and a copy of the back buffer (glBlitFramebuffer, as the
// maintained SDL 1.2 makes at every swap of its scaled full screen) after a
// frame that drew smooth lines under culling no longer leaves the next
// frame's clockwise boxes culled.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL/SDL.h>

#include <vector>

#include "app/FrameSwap.h"
#include "support/GLTest.h"
#include "ui/Overlay.h"

namespace
{

using FrameSwap = GLTest;

// The whole back buffer: colours (GL_RGBA, 4 bytes a pixel) or stencil values.
std::vector<unsigned char> ReadBuffer(GLenum format, size_t bytes)
{
    std::vector<unsigned char> values(800 * 600 * bytes);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, format, GL_UNSIGNED_BYTE, values.data());
    return values;
}

std::vector<GLfloat> Matrix(GLenum which)
{
    std::vector<GLfloat> values(16);
    glGetFloatv(which, values.data());
    return values;
}

// The red of the middle of a 2D box drawn at (300, 300)-(500, 400).
unsigned char RedOfBox()
{
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    DrawBox(300, 300, 500, 400, 4, false);
    unsigned char pixel[4] = {};
    glReadPixels(400, 350, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return pixel[0];
}

TEST_F(FrameSwap, SettlingChangesNoStateAndDrawsNothing)
{
    for (bool culling : {true, false})
    {
        // A frame with something in colour and stencil, and matrices of its own.
        Begin2D();
        glStencilFunc(GL_ALWAYS, 7, 255);
        glColor4f(0.2f, 0.6f, 0.9f, 1.0f);
        DrawBox(0, 0, 800, 600, 0, false);
        // Whatever might still be drawn would differ from the frame.
        glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
        glStencilFunc(GL_ALWAYS, 9, 255);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-3.0, 5.0, -2.0, 7.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(1.0f, 2.0f, 3.0f);
        glMatrixMode(GL_PROJECTION); // left current on purpose
        (culling ? glEnable : glDisable)(GL_CULL_FACE);
        const std::vector<unsigned char> colours = ReadBuffer(GL_RGBA, 4);
        const std::vector<unsigned char> stencil = ReadBuffer(GL_STENCIL_INDEX, 1);
        const std::vector<GLfloat> projection = Matrix(GL_PROJECTION_MATRIX);
        const std::vector<GLfloat> modelview = Matrix(GL_MODELVIEW_MATRIX);

        SettleRasterState();

        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_PROJECTION);
        EXPECT_EQ(glIsEnabled(GL_CULL_FACE), culling ? GL_TRUE : GL_FALSE);
        EXPECT_EQ(Matrix(GL_PROJECTION_MATRIX), projection);
        EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX), modelview);
        GLint depth = 0;
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 1);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 1);
        EXPECT_TRUE(ReadBuffer(GL_RGBA, 4) == colours) << "culling " << culling;
        EXPECT_TRUE(ReadBuffer(GL_STENCIL_INDEX, 1) == stencil) << "culling " << culling;
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

TEST_F(FrameSwap, BoxesAfterACopyFollowingSmoothLinesUnderCulling)
{
    // A frame that ends as a watched turn's does: smooth lines of the scene
    // drawn with culling on, then the 2D line's band with culling off.
    Begin2D();
    glEnable(GL_CULL_FACE);
    glColor4f(0.0f, 1.0f, 0.0f, 1.0f);
    glBegin(GL_LINES);
    glVertex2i(100, 100);
    glVertex2i(200, 150);
    glEnd();
    glDisable(GL_CULL_FACE);
    EXPECT_EQ(RedOfBox(), 255) << "the box before the copy";
    SettleRasterState();
    // The back buffer's bottom-left corner copied beside itself within the
    // back buffer, filtered as the scaled full screen's copy at its swap is
    // (an unfiltered copy of the same size takes another path in Mesa, one
    // that keeps the state).
    const auto blit = reinterpret_cast<PFNGLBLITFRAMEBUFFERPROC>(SDL_GL_GetProcAddress("glBlitFramebuffer"));
    ASSERT_NE(blit, nullptr);
    blit(0, 0, 16, 16, 32, 0, 48, 16, GL_COLOR_BUFFER_BIT, GL_LINEAR);

    // The next screen draws only in 2D, culling still off: its boxes show.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    Begin2D();
    EXPECT_EQ(RedOfBox(), 255) << "the box after the copy";
}

} // namespace
