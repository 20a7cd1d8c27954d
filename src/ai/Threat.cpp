#include "ai/Threat.h"

#include <algorithm>
#include <cmath>

const ClassProfile& ProfileOf(const ClassBook& book, int classIndex)
{
    const std::vector<ClassProfile>& classes = book.Classes();
    if (classIndex >= 0 && size_t(classIndex) < classes.size())
    {
        return classes[size_t(classIndex)];
    }
    return book.Find(std::string());
}

Vector Heading(const Orientation& orientation)
{
    Vector forward;
    RotateByAngles(Vector(0.0f, 0.0f, -1.0f), forward, orientation);
    return forward;
}

float YawToFace(const Vector& from, const Orientation& orientation, const Vector& point)
{
    const Vector forward = Heading(orientation);
    const Vector to = point - from;
    if (std::fabs(to.x) + std::fabs(to.z) < 1e-3f)
    {
        return 0.0f;
    }
    const double a = std::atan2(double(forward.x), double(forward.z));
    const double b = std::atan2(double(to.x), double(to.z));
    double d = std::fabs(b - a) * kRadToDeg;
    if (d > 180.0)
    {
        d = 360.0 - d;
    }
    return float(d);
}

float TravelTowards(const ClassProfile& profile, const Vector& from, const Orientation& orientation,
                    const Vector& point, float moveSeconds)
{
    const float turning =
        profile.yawRate > 0.0f ? YawToFace(from, orientation, point) / profile.yawRate : 0.0f;
    return profile.speed * std::max(0.0f, moveSeconds - turning);
}

float ThreatFrom(const Contact& contact, const ClassProfile& profile, const Vector& point)
{
    const float distance = float(Length(point - contact.position));
    if (distance > WeaponReach(contact.role) + profile.speed * kTurnMoveSeconds)
    {
        return 0.0f;
    }
    const float travel = TravelTowards(profile, contact.position, contact.orientation, point);
    const float range = std::max(PreferredRange(contact.role), distance - travel);
    if (range > WeaponReach(contact.role))
    {
        return 0.0f;
    }
    return ShipTurnDamageAt(profile, range);
}

float ThreatAt(const Knowledge& knowledge, const ClassBook& book, const Vector& point, float ghostWeight,
               int32_t onlyOwner)
{
    float threat = 0.0f;
    for (const Contact& contact : knowledge.contacts)
    {
        if (onlyOwner >= 0 && contact.owner != onlyOwner)
        {
            continue;
        }
        const float harm = ThreatFrom(contact, ProfileOf(book, contact.classIndex), point);
        threat += contact.visible ? harm : harm * ghostWeight;
    }
    return threat;
}

float StrikeThreatAt(const Knowledge& knowledge, const ClassBook& book, const Vector& point, float slack)
{
    float threat = 0.0f;
    for (const Contact& contact : knowledge.contacts)
    {
        if (contact.role == ShipRole::Fighter)
        {
            continue;
        }
        const ClassProfile& profile = ProfileOf(book, contact.classIndex);
        const float distance = float(Length(point - contact.position));
        const float range = PreferredRange(contact.role) + slack;
        if (distance - range > profile.speed * kTurnMoveSeconds)
        {
            continue;
        }
        if (distance - range <= TravelTowards(profile, contact.position, contact.orientation, point))
        {
            const float harm = ShipTurnDamageAt(profile, PreferredRange(contact.role));
            threat += contact.visible ? harm : 0.5f * harm;
        }
    }
    return threat;
}
