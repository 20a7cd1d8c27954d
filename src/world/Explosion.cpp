#include "world/Explosion.h"

#include "math/Random.h"
#include "world/NebulaRegion.h"

// A random velocity of up to 5 x scale per tick on each axis, drawn x, y, z.
static Vector RandomBurstVelocity(float scale)
{
    Vector v;
    for (int axis = 0; axis < 3; ++axis)
    {
        v[axis] = float((100.0 * RandomFraction() - 50.0) * scale * 0.1);
    }
    return v;
}

// From 20 to 40 times the scale.
static float RandomBurstSize(float scale)
{
    return float((RandomFraction() + 1.0) * 20.0 * scale);
}

Explosion::Explosion(int count_, float scale_, const Vector& centre_, const Vector& colour_,
                     bool hiddenInSensorView)
    : centre(centre_), colour(colour_), count(float(count_)), scale(scale_),
      shownInSensorView(!hiddenInSensorView)
{
    for (int i = 0; i < count_; ++i)
    {
        // The initial burst lies around the centre, within 5 x scale.
        Cloud* cloud = new Cloud;
        Vector position;
        for (int axis = 0; axis < 3; ++axis)
        {
            position[axis] = float(centre[axis] + (10.0 * RandomFraction() - 5.0) * scale);
        }
        cloud->position = position;
        cloud->velocity = RandomBurstVelocity(scale);
        cloud->size = RandomBurstSize(scale);
        RandomizeCloudPuffs(*cloud);
        clouds.push_back(cloud);
    }
}

Explosion::~Explosion()
{
    for (Cloud* cloud : clouds)
    {
        delete cloud;
    }
    clouds.clear();
}

void Explosion::Spawn(const Vector& position)
{
    Cloud* cloud = new Cloud;
    cloud->position = position;
    cloud->velocity = RandomBurstVelocity(scale);
    cloud->size = RandomBurstSize(scale);
    RandomizeCloudPuffs(*cloud);
    clouds.push_back(cloud);
}

bool Explosion::Update()
{
    // Every cloud drifts, swells and fades; a faded one goes at once (after 15 updates).
    for (size_t i = 0; i < clouds.size();)
    {
        Cloud* cloud = clouds[i];
        cloud->position += cloud->velocity;
        cloud->size = float(cloud->size * 1.1);
        cloud->alpha = float(cloud->alpha * 0.85);
        if (cloud->alpha < 0.1)
        {
            delete cloud;
            clouds.erase(clouds.begin() + i);
        }
        else
        {
            ++i;
        }
    }

    age += 1.0f;
    if (age < kExplosionSpawnAge)
    {
        // Fewer new clouds as the explosion ages: count / (1 + age / 10), rounded up.
        const double n = count / (age * 0.1 + 1.0);
        for (int spawned = 0; spawned < n; ++spawned)
        {
            // Offsets of 0 to 5 from the centre on each axis, neither centred nor scaled.
            Vector position;
            for (int axis = 0; axis < 3; ++axis)
            {
                position[axis] = float(centre[axis] + 5.0 * RandomFraction());
            }
            Spawn(position);
        }
    }
    return !clouds.empty();
}

void Explosion::Draw(const Vector& cameraPos, float yaw, const Vector& viewDir, GLuint puffList,
                     bool sensorView, const ViewVolume& view) const
{
    if (sensorView && !shownInSensorView)
    {
        return;
    }
    const Vector relCentre = centre - cameraPos;
    const double alongCentre = Dot(viewDir, relCentre);
    if (alongCentre < -1.0)
    {
        return;
    }
    // The sensor view shows explosions at any distance.
    if (!sensorView && (alongCentre > 1000.0 || Dot(relCentre, relCentre) > kCloudReachSquared))
    {
        return;
    }
    for (const Cloud* cloud : clouds)
    {
        const Vector rel = cloud->position - cameraPos;
        const double along = Dot(viewDir, rel);
        const double d2 = Dot(rel, rel);
        if (along < 1.0)
        {
            continue;
        }
        if (!sensorView && (along > 500.0 || d2 > kCloudReachSquared))
        {
            continue;
        }
        if (view.SphereOutside(cloud->position, CloudExtent(cloud->size)))
        {
            continue;
        }
        int lod;
        float blend;
        ChooseDetail(d2, along, lod, blend);
        const double fade = sensorView ? 0.5 : 1.0 - (along - 10.0) * 0.0020408162;
        const float rgba[4] = {colour.x, colour.y, colour.z, float(fade * cloud->alpha)};

        glPushMatrix();
        glTranslatef(cloud->position.x, cloud->position.y, cloud->position.z);
        glRotatef(yaw, 0.0f, 1.0f, 0.0f);
        glRotatef(-45.0f, 1.0f, 0.0f, 0.0f);
        glColor4f(rgba[0], rgba[1], rgba[2], rgba[3]);
        DrawCloudPuffs(puffList, cloud->size, cloud->puffs, lod, blend, rgba);
        glPopMatrix();
    }
}
