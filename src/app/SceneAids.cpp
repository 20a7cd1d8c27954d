#include "app/SceneAids.h"

#include <GL/gl.h>
#include <cmath>
#include <cstdlib>

#include "game/Game.h"
#include "players/Player.h"

namespace
{

constexpr float kAxisExtent = 10000.0f;
constexpr int kRulerStep = 100;

void EnableSmoothLines()
{
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void DisableSmoothLines()
{
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_BLEND);
}

void Line(const Vector& a, const Vector& b)
{
    glVertex3f(a.x, a.y, a.z);
    glVertex3f(b.x, b.y, b.z);
}

} // namespace

float RulerTickHalfLength(int v)
{
    return v % 1000 == 0 ? 50.0f : 25.0f;
}

float GridAlpha(int i, int j)
{
    const float alpha = float((200.0 - std::sqrt(double(i * i + j * j))) * 0.005);
    return alpha > 0.0f ? alpha : 0.0f;
}

void DrawSensorAxes()
{
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_FOG);
    EnableSmoothLines();
    glColor4f(1.0f, 1.0f, 0.8f, 1.0f);
    glLineWidth(1.5f);
    glBegin(GL_LINES);
    Line(Vector(-kAxisExtent, 0, 0), Vector(kAxisExtent, 0, 0));
    Line(Vector(0, 0, -kAxisExtent), Vector(0, 0, kAxisExtent));
    Line(Vector(0, -kAxisExtent, 0), Vector(0, kAxisExtent, 0));
    for (int v = -10000; v <= 10000; v += kRulerStep)
    {
        const float l = RulerTickHalfLength(v);
        const float p = float(v);
        Line(Vector(p, 0, -l), Vector(p, 0, l));
        Line(Vector(-l, 0, p), Vector(l, 0, p));
        Line(Vector(-l, p, 0), Vector(l, p, 0));
    }
    glEnd();
    DisableSmoothLines();
}

void DrawOrderGrid(Game& game)
{
    Player& player = *game.GetCurrentPlayer();
    const Vector centre = player.GetSelectionCentre();
    const Vector point = game.GetOrderPoint();

    glPushMatrix();
    glTranslatef(centre.x, centre.y, centre.z);
    glLineWidth(1.5f);
    EnableSmoothLines();

    glBegin(GL_LINES);
    for (int i = -200; i <= 180; i += 20)
    {
        for (int j = -200; j <= 180; j += 20)
        {
            glColor4f(0.0f, 1.0f, 0.0f, GridAlpha(i, j));
            glVertex3f(float(i), 0.0f, float(j));
            glVertex3f(float(i), 0.0f, float(j + 20));
            glVertex3f(float(j), 0.0f, float(i));
            glVertex3f(float(j + 20), 0.0f, float(i));
        }
    }
    glEnd();

    // The inner cross-hatch shows through the ships.
    glDisable(GL_DEPTH_TEST);
    glBegin(GL_LINES);
    for (int k = -100; k <= 80; k += 20)
    {
        glColor4f(0.0f, 1.0f, 0.0f, (100 - std::abs(k)) * 0.005f);
        glVertex3f(float(k), 0.0f, -100.0f);
        glVertex3f(float(k), 0.0f, 100.0f);
        glVertex3f(-100.0f, 0.0f, float(k));
        glVertex3f(100.0f, 0.0f, float(k));
    }
    glEnd();
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();

    const Vector foot(point.x, centre.y, point.z);
    glColor4f(0.5f, 1.0f, 0.5f, 0.3f);
    glLineWidth(1.0f);
    glBegin(GL_LINES);
    Line(centre, foot);
    Line(foot, point);
    glEnd();
    glLineWidth(2.0f);
    glBegin(GL_LINES);
    Line(centre, point);
    glEnd();

    for (Player* each : game.GetPlayers())
    {
        each->DrawSelectionAids(centre.y, point);
    }
    DisableSmoothLines();
}
