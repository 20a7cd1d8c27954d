#include "ui/OrderPath.h"

#include <cmath>

// The seconds one axis needs, infinite when it must turn but cannot.
static float AxisTurnTime(float current, float wanted, float rate)
{
    const float d = std::fabs(AngleDifference(current, wanted));
    if (!(d > 1.0f))
    {
        return 0.0f;
    }
    return rate > 0.0f ? d / (rate * 20.0f) : INFINITY;
}

float TurnTime(const PathShip& ship, const Orientation& wanted)
{
    float turnTime = 0.0f;
    for (int k = 0; k < 3; ++k)
    {
        turnTime = std::fmax(turnTime, AxisTurnTime(ship.orientation[k], wanted[k], ship.turnRate[k]));
    }
    return turnTime;
}

// The tick after f on a flight path: the next one, or for a flight too long
// for a vertex per tick the one a stride on, never passing the last.
static double NextFlightTick(double f, double stride, double last)
{
    if (stride <= 1.0)
    {
        return f + 1.0;
    }
    return f < last && f + stride > last ? last : f + stride;
}

static Vector NoseDirection(const Orientation& a)
{
    const double pitch = a.x * kDegToRad;
    const double yaw = a.y * kDegToRad;
    return Vector(float(-std::sin(yaw) * std::cos(pitch)), float(std::sin(pitch)),
                  float(-std::cos(yaw) * std::cos(pitch)));
}

OrderPath PredictOrderPath(const PathShip& ship, const Vector& destination, const Orientation& wanted,
                           bool rotateOnly)
{
    OrderPath path;
    float axisTime[3];
    float delta[3];
    for (int k = 0; k < 3; ++k)
    {
        delta[k] = AngleDifference(ship.orientation[k], wanted[k]);
        axisTime[k] = AxisTurnTime(ship.orientation[k], wanted[k], ship.turnRate[k]);
    }
    const float turnTime = TurnTime(ship, wanted);
    const float timeTicks = ship.moveTimeLeft * 20.0f;

    // The nose: one vertex per tick while the turn lasts, each axis running
    // at its rate until it reaches its wanted angle.
    bool dark = false;
    for (int f = 0; float(f) <= turnTime * 20.0f && f <= kMaxPathTicks; ++f)
    {
        Orientation a;
        for (int k = 0; k < 3; ++k)
        {
            if (axisTime[k] * 20.0f <= float(f))
            {
                a[k] = wanted[k];
            }
            else
            {
                const float turned = float(f) * ship.turnRate[k];
                a[k] = delta[k] <= 0.0f ? ship.orientation[k] - turned : ship.orientation[k] + turned;
            }
        }
        path.nose.push_back({ship.position + NoseDirection(a) * 10.0f, dark});
        dark = dark || timeTicks <= float(f);
    }
    if (rotateOnly)
    {
        return path;
    }

    Vector step = destination - ship.position;
    const float ticks = float(Length(step) / (ship.speed * 20.0f) * 20.0);
    if (turnTime <= ship.moveTimeLeft && ship.speed > 0.0f && std::isfinite(ticks))
    {
        Normalize(step);
        step *= ship.speed;
        // Vertices at f = 0, 1, ... while f < ticks: the last tick is ceil(ticks) - 1.
        const double last = std::ceil(double(ticks)) - 1.0;
        const double stride = std::ceil((last + 1.0) / kMaxFlightVertices);
        for (double f = 0.0; f <= last; f = NextFlightTick(f, stride, last))
        {
            path.flight.push_back({ship.position + step * float(f), dark});
            dark = dark || timeTicks <= turnTime * 20.0f + float(f);
        }
    }
    else
    {
        // The turn alone uses up the time, the ship cannot fly at all, or it
        // flies so slowly that its ticks cannot be counted.
        path.unreachable = true;
        path.from = ship.position;
        path.to = destination;
    }
    return path;
}
