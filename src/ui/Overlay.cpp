#include "ui/Overlay.h"

#include <GL/gl.h>

#include <cmath>

#include "game/Game.h"

void Begin2D()
{
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_FOG);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Pixel (x, y) lands on ((x - 400) / 400, (y - 300) / 300).
    glScalef(0.0025f, 0.0033333334f, 1.0f);
    glTranslatef(-400.0f, -300.0f, 0.0f);
    glStencilFunc(GL_ALWAYS, 1, 255);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glEnable(GL_LINE_SMOOTH);
    glLineWidth(1.5f);
}

int EffectiveCorner(int x0, int y0, int x1, int y1, int b)
{
    if (2 * b > x1 - x0)
    {
        b = (x1 - x0) / 2;
    }
    if (2 * b > y1 - y0)
    {
        b = (y1 - y0) / 2;
    }
    return b;
}

void DrawBox(int x0, int y0, int x1, int y1, int b, bool outlineOnly)
{
    b = EffectiveCorner(x0, y0, x1, y1, b);
    glBegin(outlineOnly ? GL_LINE_LOOP : GL_POLYGON);
    glVertex2i(x0 + b, y0);
    glVertex2i(x0, y0 + b);
    glVertex2i(x0, y1 - b);
    glVertex2i(x0 + b, y1);
    glVertex2i(x1 - b, y1);
    glVertex2i(x1, y1 - b);
    glVertex2i(x1, y0 + b);
    glVertex2i(x1 - b, y0);
    glEnd();
}

const float kLabelColour[4] = {1.0f, 0.2f, 0.4f, 1.0f};

void DrawBandedText(const Font& font, const std::string& text, int bandTop, int size, const float* colour)
{
    static const float kBandColour[4] = {0.0f, 0.0f, 0.4f, 1.0f};
    Begin2D();
    glColor4fv(kBandColour);
    DrawBox(100, 298, 700, bandTop, 4, false);
    DrawText(font, text, 400 - TextWidth(font, text, size) / 2, 300, size, colour);
}

void DrawButton(const std::string& label, int x0, int y0, int x1, int y1, const float* bandColour,
                const float* faceColour, const Font& font, unsigned id)
{
    // Left in force on purpose: what is drawn next writes the same id.
    glStencilFunc(GL_ALWAYS, GLint(id), 255);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);

    const float dark[4] = {faceColour[0] - 0.2f, faceColour[1] - 0.2f, faceColour[2] - 0.2f, faceColour[3]};
    glColor4fv(bandColour);
    DrawBox(x0, y0, x1, y1, 4, false);
    glColor4fv(dark);
    DrawBox(x0, y0, x1, y1, 4, true);
    glColor4fv(faceColour);
    DrawBox(x0 + 3, y0 + 3, x1 - 3, y1 - 3, 2, false);
    glColor4fv(dark);
    DrawBox(x0 + 3, y0 + 3, x1 - 3, y1 - 3, 2, true);

    // Short bevel lines joining the cut corners of the band and the face.
    glBegin(GL_LINES);
    glVertex2i(x0 + 4, y0);
    glVertex2i(x0 + 5, y0 + 3);
    glVertex2i(x0, y0 + 4);
    glVertex2i(x0 + 3, y0 + 5);
    glVertex2i(x0, y1 - 4);
    glVertex2i(x0 + 3, y1 - 5);
    glVertex2i(x0 + 4, y1);
    glVertex2i(x0 + 5, y1 - 3);
    glVertex2i(x1 - 4, y0);
    glVertex2i(x1 - 5, y0 + 3);
    glVertex2i(x1, y0 + 4);
    glVertex2i(x1 - 3, y0 + 5);
    glVertex2i(x1, y1 - 4);
    glVertex2i(x1 - 3, y1 - 5);
    glVertex2i(x1 - 4, y1);
    glVertex2i(x1 - 5, y1 - 3);
    glEnd();

    const int w = TextWidth(font, label, 12);
    DrawText(font, label, x0 + (x1 - x0 - w) / 2, y0 + 3, 12, kLabelColour);
}

static void FillRect(float x0, float y0, float x1, float y1)
{
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
}

void DrawFrameRateMeter(float fps, float fpsSmoothed)
{
    glStencilFunc(GL_ALWAYS, 1, 255);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    for (int i = 0; i < 10; ++i)
    {
        const GLubyte grey = GLubyte(10 * i);
        glColor4ub(grey, grey, grey, 255);
        FillRect(float(10 + 10 * i), 580.0f, float(20 + 10 * i), 590.0f);
    }
    glColor4f(0.0f, 0.8f, 0.0f, 1.0f);
    FillRect(fpsSmoothed + 9.0f, 578.0f, fpsSmoothed + 11.0f, 592.0f);
    glColor4f(0.0f, 0.0f, 0.8f, 1.0f);
    FillRect(10.0f, 580.0f, fps + 10.0f, 590.0f);
}

void PointerDirection(int mx, int my, float& ax, float& ay)
{
    ax = float(mx - 400) * 0.0025f;
    ay = float(my - 300) * 0.0033333334f;
    ax += ax < 0.0f ? -0.2f : 0.2f;
    ay += ay < 0.0f ? -0.2f : 0.2f;
}

// The arrow of modes 1 to 3: tip at the pointer, pointing at the screen centre.
static void DrawArrow(float mx, float my, float ax, float ay)
{
    glBegin(GL_TRIANGLES);
    glVertex2f(mx, my);
    glVertex2f(mx + 20 * ax - 5 * ay, my + 20 * ay + 5 * ax);
    glVertex2f(mx + 20 * ax + 5 * ay, my + 20 * ay - 5 * ax);
    glEnd();
}

// Four red corner triangles around the pointer, the target sight of mode 5.
static void DrawTargetSight(float mx, float my, float length)
{
    glColor4f(1.0f, 0.2f, 0.2f, 1.0f);
    glBegin(GL_TRIANGLES);
    for (float sx : {1.0f, -1.0f})
    {
        for (float sy : {1.0f, -1.0f})
        {
            glVertex2f(mx, my);
            glVertex2f(mx + sx * 20 * length, my + sy * 15 * length);
            glVertex2f(mx + sx * 15 * length, my + sy * 20 * length);
        }
    }
    glEnd();
}

void DrawPointer(int mouseX, int mouseY, int orderMode)
{
    glStencilFunc(GL_ALWAYS, 1, 255);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    float ax = 0.0f;
    float ay = 0.0f;
    PointerDirection(mouseX, mouseY, ax, ay);
    const float length = std::sqrt(ax * ax + ay * ay);
    const float mx = float(mouseX);
    const float my = float(mouseY);

    if (orderMode == 1 || orderMode == 2 || orderMode == 3)
    {
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        DrawArrow(mx, my, ax, ay);
    }
    if (orderMode == 2)
    {
        // A plus sign beside the arrow: add to the selection.
        const float cx = mx - 15 * ax;
        const float cy = my + 15 * ay;
        glBegin(GL_LINES);
        glVertex2f(cx, cy - 5 * length);
        glVertex2f(cx, cy + 5 * length);
        glVertex2f(cx - 5 * length, cy);
        glVertex2f(cx + 5 * length, cy);
        glEnd();
    }
    else if (orderMode == 3)
    {
        // Two bars across the arrow's axis beyond its base: place a point.
        glBegin(GL_LINES);
        for (float d : {22.0f, 24.0f})
        {
            glVertex2f(mx + d * ax - 5 * ay, my + d * ay + 5 * ax);
            glVertex2f(mx + d * ax + 5 * ay, my + d * ay - 5 * ax);
        }
        glEnd();
    }
    else if (orderMode == 5)
    {
        DrawTargetSight(mx, my, length);
    }
}

void DrawFrameRateMeter(const Game& game)
{
    DrawFrameRateMeter(game.fps, game.fpsSmoothed);
}

void DrawPointer(const Game& game)
{
    DrawPointer(game.mouseX, game.mouseY, game.orderMode);
}
