#include "combat/TurretCone.h"

#include <cmath>

const float kConeColours[4][3] = {
    {0.2f, 0.2f, 0.2f}, // Spent
    {1.0f, 0.0f, 0.0f}, // Idle, OutOfArc
    {1.0f, 0.5f, 0.0f}, // Aiming
    {1.0f, 1.0f, 0.0f}  // Firing
};

// The smallest shell of every cone.
static const float kFirstShellRadius = 4.0f;
// Opacity of the innermost shell and of the edge lines at the mount.
static const float kConeAlpha = 0.8f;
// Arcs this wide or wider either side get no edge lines.
static const float kEdgeLimit = 175.0f;

Vector ConePoint(float yawDegrees, float pitchDegrees, float radius)
{
    const double h = yawDegrees * kDegToRad;
    const double p = pitchDegrees * kDegToRad;
    return Vector(float(radius * std::sin(h) * std::cos(p)), float(radius * std::sin(p)),
                  float(-radius * std::cos(h) * std::cos(p)));
}

std::vector<float> ConeSteps(float from, float to, float step)
{
    std::vector<float> values;
    // A step that does not advance would never end the loop.
    if (!(step > 0.0f))
    {
        values.push_back(from);
        return values;
    }
    for (float v = from; v <= to; v += step)
    {
        values.push_back(v);
        // A step too small to change the value (a nearly empty arc read from a
        // model file) would loop forever; one line is all such an arc shows.
        if (v + step == v)
        {
            break;
        }
    }
    return values;
}

std::vector<float> ConeRadii(float maxRadius, float& edgeRadius)
{
    std::vector<float> radii;
    float r = kFirstShellRadius;
    for (; r <= maxRadius; r *= 2.0f)
    {
        radii.push_back(r);
    }
    edgeRadius = r;
    return radii;
}

bool ConeHasEdges(const FiringArc& arc)
{
    return arc.halfWidth < kEdgeLimit;
}

static void DrawShells(const ConeShape& shape, const float colour[3])
{
    const std::vector<float> yaws = ConeSteps(-shape.arc.halfWidth, shape.arc.halfWidth, shape.yawStep);
    const std::vector<float> pitches = ConeSteps(shape.arc.minPitch, shape.arc.maxPitch, shape.pitchStep);
    float edgeRadius = 0.0f;
    float alpha = kConeAlpha;
    for (float r : ConeRadii(shape.maxRadius, edgeRadius))
    {
        glColor4f(colour[0], colour[1], colour[2], alpha);
        for (float h : yaws)
        {
            glBegin(GL_LINE_STRIP);
            for (float p : pitches)
            {
                const Vector v = ConePoint(h, p, r);
                glVertex3f(v.x, v.y, v.z);
            }
            glEnd();
        }
        for (float p : pitches)
        {
            glBegin(GL_LINE_STRIP);
            for (float h : yaws)
            {
                const Vector v = ConePoint(h, p, r);
                glVertex3f(v.x, v.y, v.z);
            }
            glEnd();
        }
        alpha -= shape.alphaStep;
    }
}

static void DrawEdges(const ConeShape& shape, const float colour[3])
{
    float edgeRadius = 0.0f;
    ConeRadii(shape.maxRadius, edgeRadius);
    const float w = shape.arc.halfWidth;
    const Vector corners[4] = {
        ConePoint(w, shape.arc.maxPitch, edgeRadius), ConePoint(-w, shape.arc.maxPitch, edgeRadius),
        ConePoint(-w, shape.arc.minPitch, edgeRadius), ConePoint(w, shape.arc.minPitch, edgeRadius)};
    glBegin(GL_LINES);
    for (const Vector& c : corners)
    {
        glColor4f(colour[0], colour[1], colour[2], kConeAlpha);
        glVertex3f(0.0f, 0.0f, 0.0f);
        glColor4f(colour[0], colour[1], colour[2], 0.0f);
        glVertex3f(c.x, c.y, c.z);
    }
    glEnd();
}

GLuint CompileConeLists(const ConeShape& shape)
{
    const GLuint first = glGenLists(4);
    for (GLuint i = 0; i < 4; ++i)
    {
        glNewList(first + i, GL_COMPILE);
        glDisable(GL_CULL_FACE);
        glDepthMask(GL_FALSE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_LINE_SMOOTH);
        glShadeModel(GL_SMOOTH);
        DrawShells(shape, kConeColours[i]);
        if (ConeHasEdges(shape.arc))
        {
            DrawEdges(shape, kConeColours[i]);
        }
        glDisable(GL_BLEND);
        glDisable(GL_LINE_SMOOTH);
        glDepthMask(GL_TRUE);
        glEnable(GL_CULL_FACE);
        glEndList();
    }
    return first;
}

namespace
{

struct SharedConeLists
{
    ConeShape shape;
    GLuint first;
    int users;
};

// A handful of shapes at most: one per kind of turret on each ship class.
std::vector<SharedConeLists> gSharedConeLists;

bool SameShape(const ConeShape& a, const ConeShape& b)
{
    return a.arc.halfWidth == b.arc.halfWidth && a.arc.minPitch == b.arc.minPitch &&
           a.arc.maxPitch == b.arc.maxPitch && a.yawStep == b.yawStep && a.pitchStep == b.pitchStep &&
           a.maxRadius == b.maxRadius && a.alphaStep == b.alphaStep;
}

} // namespace

GLuint AcquireConeLists(const ConeShape& shape)
{
    for (SharedConeLists& shared : gSharedConeLists)
    {
        if (SameShape(shared.shape, shape))
        {
            shared.users++;
            return shared.first;
        }
    }
    const GLuint first = CompileConeLists(shape);
    gSharedConeLists.push_back({shape, first, 1});
    return first;
}

void ReleaseConeLists(GLuint first)
{
    for (size_t i = 0; i < gSharedConeLists.size(); i++)
    {
        if (gSharedConeLists[i].first == first && --gSharedConeLists[i].users == 0)
        {
            glDeleteLists(first, 4);
            gSharedConeLists.erase(gSharedConeLists.begin() + long(i));
            return;
        }
    }
}

int ConeListForState(TurretState state)
{
    switch (state)
    {
    case Spent:
        return 0;
    case Aiming:
        return 2;
    case Firing:
        return 3;
    case Idle:
    case OutOfArc:
    default:
        return 1;
    }
}

float ConeLineWidthForState(TurretState state)
{
    return state == Firing ? 3.0f : 1.5f;
}
