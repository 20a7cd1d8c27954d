#include "world/Environment.h"

#include <cmath>
#include <iostream>

#include "assets/Texture.h"

void ComputePuffTexels(unsigned char texels[kPuffTextureSize * kPuffTextureSize])
{
    for (int j = 0; j < kPuffTextureSize; ++j)
    {
        for (int i = 0; i < kPuffTextureSize; ++i)
        {
            const double d = std::sqrt(double((i - 16) * (i - 16) + (j - 16) * (j - 16))) * 0.0625;
            int value = 0;
            if (d < 1.0)
            {
                value = int((std::cos(d * 3.14159) + 1.0) * 0.5 * 100.0);
            }
            texels[j * kPuffTextureSize + i] = static_cast<unsigned char>(value);
        }
    }
}

Environment::Environment() : graphics(true)
{
    unsigned char texels[kPuffTextureSize * kPuffTextureSize];
    ComputePuffTexels(texels);

    // Computed in memory: no file, and so no error check after the upload.
    puffTexture = UploadTexture(kPuffTexture, kPuffTextureSize, kPuffTextureSize, texels);

    // The unit puff quad in the z = 0 plane, centred on the origin.
    puffList = glGenLists(1);
    glNewList(puffList, GL_COMPILE);
    glBegin(GL_QUADS);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(0.5f, -0.5f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(0.5f, 0.5f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-0.5f, 0.5f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-0.5f, -0.5f, 0.0f);
    glEnd();
    glEndList();
}

Environment::Environment(Headless) : graphics(false) {}

Environment::~Environment()
{
    std::cerr << "Removing nebula regions" << std::endl;
    for (NebulaRegion* region : regions)
    {
        delete region;
    }
    std::cerr << "Removing explosions" << std::endl;
    for (Explosion* explosion : explosions)
    {
        delete explosion;
    }
    regions.clear();
    explosions.clear();
}

bool Environment::AddRegion(const Vector& min, const Vector& max, float densityParameter, float speedFactor,
                            const Vector& colour)
{
    NebulaRegion* region = new NebulaRegion;
    const bool complete =
        graphics ? region->Build(min, max, densityParameter, speedFactor, colour, cloudsLeft)
                 : region->BuildClouds(min, max, densityParameter, speedFactor, colour, cloudsLeft);
    cloudsLeft -= region->clouds.size();
    regions.push_back(region);
    return complete;
}

void Environment::AddExplosion(int count, float scale, const Vector* centre, const Vector* colour,
                               bool hiddenInSensorView)
{
    explosions.push_back(new Explosion(count, scale, *centre, *colour, hiddenInSensorView));
}

void Environment::Update(const Vector& cameraPos, const Vector& viewDir)
{
    for (NebulaRegion* region : regions)
    {
        region->Update(cameraPos, viewDir);
    }
    for (size_t i = 0; i < explosions.size();)
    {
        if (explosions[i]->Update())
        {
            ++i;
        }
        else
        {
            delete explosions[i];
            explosions.erase(explosions.begin() + i);
        }
    }
}

void Environment::Draw(const Vector& cameraPos, float yaw, const Vector& viewDir, bool sensorView) const
{
    if (!graphics)
    {
        return;
    }
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_FOG);
    // Clouds write no depth; the depth test stays as the caller set it.
    glDepthMask(GL_FALSE);
    if (!sensorView)
    {
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glBindTexture(GL_TEXTURE_2D, puffTexture);
    }
    else
    {
        // Flat, untextured boxes and puffs; no texture is bound.
        glDisable(GL_TEXTURE_2D);
    }
    // Clouds wholly outside the camera's view are left out.
    const ViewVolume view = ViewVolume::Current();
    for (const NebulaRegion* region : regions)
    {
        region->Draw(yaw, puffList, sensorView, view);
    }
    for (const Explosion* explosion : explosions)
    {
        explosion->Draw(cameraPos, yaw, viewDir, puffList, sensorView, view);
    }
    glEnable(GL_FOG);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDepthMask(GL_TRUE);
}

float Environment::DensityAt(const Vector& point) const
{
    return DensityAt(point, regions.size());
}

float Environment::DensityAt(const Vector& point, size_t regionCount) const
{
    float sum = 0.0f;
    for (size_t i = 0; i < regionCount && i < regions.size(); i++)
    {
        sum += regions[i]->DensityAt(point);
    }
    return sum;
}
