#include "world/NebulaRegion.h"

#include <cmath>
#include <iostream>

#include "math/Random.h"

NebulaRegion::NebulaRegion() {}

NebulaRegion::~NebulaRegion()
{
    std::cerr << "  Deleting clouds" << std::endl;
    for (Cloud* cloud : clouds)
    {
        delete cloud;
    }
    clouds.clear();
}

bool NebulaRegion::Build(const Vector& min_, const Vector& max_, float densityParameter, float speedFactor,
                         const Vector& colour_, size_t maxClouds)
{
    const bool complete = BuildClouds(min_, max_, densityParameter, speedFactor, colour_, maxClouds);
    CompileBoxList(densityParameter);
    return complete;
}

// A random offset of up to 50 from a grid coordinate.
static float Jitter(float gridCoordinate)
{
    return float(gridCoordinate + (10.0 * RandomFraction() - 5.0) * 10.0);
}

bool NebulaRegion::BuildClouds(const Vector& min_, const Vector& max_, float densityParameter_,
                               float speedFactor, const Vector& colour_, size_t maxClouds)
{
    max = max_;
    min = min_;
    colour = colour_;
    densityParameter = densityParameter_;
    // The product is taken in double precision and stored as a float: for a
    // parameter of 0.2 this gives a step of exactly 50, where a product of
    // floats would give 49.999996 and an extra row of clouds on every axis.
    density = float(densityParameter * 0.1);
    const float step = 1.0f / density;
    const float baseSize = float(2.0 * std::sqrt(double(densityParameter)) / density);

    // The grid loops run on floats exactly as written. A step that is not a
    // positive number, or too small to move a loop variable, would never end
    // the loop: such a region gets no clouds (or stops at the cloud limit).
    if (!(step > 0.0f))
    {
        return true;
    }
    for (float y = min.y; y < max.y; y += step)
    {
        for (float z = min.z; z < max.z; z += step)
        {
            for (float x = min.x; x < max.x; x += step)
            {
                if (clouds.size() >= maxClouds)
                {
                    return false;
                }
                if (x + step == x || y + step == y || z + step == z)
                {
                    return true;
                }
                Cloud* cloud = new Cloud;
                const float px = Jitter(x);
                const float py = Jitter(y);
                const float pz = Jitter(z);
                cloud->position = Vector(px, py, pz);
                const float vx = float((40.0 * RandomFraction() - 20.0) * speedFactor * 0.1);
                const float vy = float((40.0 * RandomFraction() - 20.0) * speedFactor * 0.1);
                const float vz = float((40.0 * RandomFraction() - 20.0) * speedFactor * 0.1);
                cloud->velocity = Vector(vx, vy, vz);
                cloud->size = float((0.4 * RandomFraction() - 0.2 + 1.0) * baseSize);
                RandomizeCloudPuffs(*cloud);
                clouds.push_back(cloud);
            }
        }
    }
    return true;
}

void NebulaRegion::CompileBoxList(float densityParameter)
{
    boxList = glGenLists(1);
    glNewList(boxList, GL_COMPILE);
    // The alpha of the box is the density parameter itself: denser nebulae
    // show as more opaque boxes in the sensor view.
    glColor4f(colour.x, colour.y, colour.z, densityParameter);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_CULL_FACE);
    glBegin(GL_QUAD_STRIP);
    glVertex3f(min.x, min.y, min.z);
    glVertex3f(min.x, max.y, min.z);
    glVertex3f(max.x, min.y, min.z);
    glVertex3f(max.x, max.y, min.z);
    glVertex3f(max.x, min.y, max.z);
    glVertex3f(max.x, max.y, max.z);
    glVertex3f(min.x, min.y, max.z);
    glVertex3f(min.x, max.y, max.z);
    glVertex3f(min.x, min.y, min.z);
    glVertex3f(min.x, max.y, min.z);
    glEnd();
    glBegin(GL_QUADS);
    glVertex3f(min.x, min.y, min.z);
    glVertex3f(max.x, min.y, min.z);
    glVertex3f(max.x, min.y, max.z);
    glVertex3f(min.x, min.y, max.z);
    glVertex3f(min.x, max.y, min.z);
    glVertex3f(max.x, max.y, min.z);
    glVertex3f(max.x, max.y, max.z);
    glVertex3f(min.x, max.y, max.z);
    glEnd();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_CULL_FACE);
    glEndList();
}

// True when the camera lies within reach of the box on every axis.
static bool CameraWithinReach(const Vector& cameraPos, const Vector& min, const Vector& max)
{
    for (int axis = 0; axis < 3; ++axis)
    {
        const double c = cameraPos[axis];
        if (c < min[axis] - kCloudReach || c > max[axis] + kCloudReach)
        {
            return false;
        }
    }
    return true;
}

void NebulaRegion::Update(const Vector& cameraPos, const Vector& viewDir)
{
    active = CameraWithinReach(cameraPos, min, max);
    if (!active)
    {
        return;
    }
    const Vector span = max - min;
    for (Cloud* cloud : clouds)
    {
        Vector& p = cloud->position;
        p += cloud->velocity;
        // Drifting out through one face brings the cloud back through the opposite one.
        for (int axis = 0; axis < 3; ++axis)
        {
            if (p[axis] > max[axis])
            {
                p[axis] -= span[axis];
            }
            else if (p[axis] < min[axis])
            {
                p[axis] += span[axis];
            }
        }

        const Vector rel = p - cameraPos;
        const double along = Dot(viewDir, rel);
        const double d2 = Dot(rel, rel);
        cloud->visible = false;
        if (along < 1.0 || along > 500.0 || d2 > kCloudReachSquared)
        {
            continue;
        }
        cloud->visible = true;
        ChooseDetail(d2, along, cloud->lod, cloud->blend);

        // Fade out towards the far limit and near the faces of the box.
        double fade = 1.0 - (along - 10.0) * 0.0020408162;
        for (int axis = 0; axis < 3; ++axis)
        {
            const double margin = span[axis] * 0.05;
            const double toMax = double(max[axis]) - p[axis];
            const double toMin = double(p[axis]) - min[axis];
            if (toMax < margin)
            {
                fade *= toMax / margin;
            }
            else if (toMin < margin)
            {
                fade *= toMin / margin;
            }
        }
        cloud->alpha = float(fade);

        if (cloud->lod > 0)
        {
            SpinPuffs(cloud->puffs, cloud->lod);
        }
    }
}

void NebulaRegion::Draw(float yaw, GLuint puffList, bool sensorView, const ViewVolume& view) const
{
    if (sensorView)
    {
        glCallList(boxList);
        return;
    }
    if (!active)
    {
        return;
    }
    for (const Cloud* cloud : clouds)
    {
        if (!cloud->visible || view.SphereOutside(cloud->position, CloudExtent(cloud->size)))
        {
            continue;
        }
        glPushMatrix();
        glTranslatef(cloud->position.x, cloud->position.y, cloud->position.z);
        // Face a camera that turns by yaw and looks down at 45 degrees.
        glRotatef(yaw, 0.0f, 1.0f, 0.0f);
        glRotatef(-45.0f, 1.0f, 0.0f, 0.0f);
        const float rgba[4] = {colour.x, colour.y, colour.z, cloud->alpha};
        glColor4f(rgba[0], rgba[1], rgba[2], rgba[3]);
        DrawCloudPuffs(puffList, cloud->size, cloud->puffs, cloud->lod, cloud->blend, rgba);
        glPopMatrix();
    }
}
