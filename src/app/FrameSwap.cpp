#include "app/FrameSwap.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

namespace
{

// One point far outside the view volume, whatever the matrices were.
void DrawPointOutside()
{
    glBegin(GL_POINTS);
    glVertex3f(4.0f, 4.0f, 0.0f);
    glEnd();
}

} // namespace

void SettleRasterState()
{
    GLint matrixMode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    const bool culling = glIsEnabled(GL_CULL_FACE) == GL_TRUE;
    if (culling)
    {
        glDisable(GL_CULL_FACE);
    }
    else
    {
        glEnable(GL_CULL_FACE);
    }
    DrawPointOutside();
    if (culling)
    {
        glEnable(GL_CULL_FACE);
    }
    else
    {
        glDisable(GL_CULL_FACE);
    }
    DrawPointOutside();

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GLenum(matrixMode));
}

void SwapFrame()
{
    SettleRasterState();
    SDL_GL_SwapBuffers();
}
