#include "input/OrderPoint.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>

#include "game/Game.h"
#include "players/Player.h"

namespace
{

// The window point (x, y, depth) in world coordinates, through the player's
// last camera set-up.
Vector UnProject(const Player& player, int x, int y, double depth)
{
    const GLint viewport[4] = {0, 0, 800, 600};
    GLdouble wx = 0.0, wy = 0.0, wz = 0.0;
    gluUnProject(x, y, depth, player.modelview, player.projection, viewport, &wx, &wy, &wz);
    return Vector(float(wx), float(wy), float(wz));
}

} // namespace

bool PointOnHorizontalPlane(const Vector& eye, const Vector& nearPoint, float height, Vector& result)
{
    const double rise = double(nearPoint.y) - double(eye.y);
    if (std::fabs(rise) < 1e-9)
    {
        return false;
    }
    // A ray that rises from an eye above the plane (the top of the view at
    // the widest zoom) meets it behind the eye, at a negative t: the point
    // goes there, mirrored, as the line through eye and pointer gives it.
    const double t = (double(height) - double(eye.y)) / rise;
    if (!std::isfinite(t))
    {
        return false;
    }
    result =
        Vector(float(eye.x + t * (nearPoint.x - eye.x)), height, float(eye.z + t * (nearPoint.z - eye.z)));
    return true;
}

bool PointOnVerticalPlane(const Vector& eye, const Vector& farPoint, const Vector& point,
                          const Vector& centre, Vector& result)
{
    const Vector ray = farPoint - eye;
    Vector facing(centre.x - point.x, 0.0f, centre.z - point.z);
    Normalize(facing);
    const Vector toPoint(point.x - eye.x, centre.y - eye.y, point.z - eye.z);
    const double q = Dot(facing, ray);
    if (q >= -0.000000001 && q < 0.000000001)
    {
        return false;
    }
    const double t = Dot(facing, toPoint) / q;
    result = Vector(point.x, float(eye.y + t * ray.y), point.z);
    return true;
}

void PlaceOrderPoint(Game& game)
{
    const Player& player = *game.GetCurrentPlayer();
    int mx = 0, my = 0;
    game.GetMouse(mx, my);
    const Vector nearPoint = UnProject(player, mx, my, 0.0);
    Vector point = game.GetOrderPoint();
    if (PointOnHorizontalPlane(player.GetEyePosition(), nearPoint, point.y, point))
    {
        game.SetOrderPoint(point.x, point.y, point.z);
    }
}

void RaiseOrderPoint(Game& game)
{
    const Player& player = *game.GetCurrentPlayer();
    int mx = 0, my = 0;
    game.GetMouse(mx, my);
    const Vector farPoint = UnProject(player, mx, my, 1.0);
    Vector point = game.GetOrderPoint();
    if (PointOnVerticalPlane(player.GetEyePosition(), farPoint, point, player.GetSelectionCentre(), point))
    {
        game.SetOrderPoint(point.x, point.y, point.z);
    }
}
