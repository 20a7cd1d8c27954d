#include "assets/Model.h"

#include <SDL/SDL.h>

#include <cmath>
#include <vector>

#include "app/FatalError.h"
#include "assets/Mesh.h"
#include "assets/Texture.h"

namespace
{

// Scenes outlive their models: ships keep reading marker data taken from them,
// and nothing of a model is released before the program ends.
// The list is never destroyed, so the scenes stay reachable to the end.
std::vector<AseGroup*>& KeptScenes()
{
    static std::vector<AseGroup*>* scenes = new std::vector<AseGroup*>();
    return *scenes;
}

// File axes (z up) to game axes (y up): 90 degrees about +X after 180 about +Y.
void TurnToGameAxes()
{
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
}

} // namespace

Vector FileToGameAxes(const Vector& filePoint)
{
    return Vector(-filePoint.x, filePoint.z, filePoint.y);
}

Model::Model(std::string fileName_, std::string displayName_)
    : fileName(std::move(fileName_)), displayName(std::move(displayName_))
{
    scene = ReadAse(fileName);
    if (!scene)
    {
        FatalError("Model file " + fileName + " not found");
    }
    KeptScenes().push_back(scene);

    const std::string label = "Texture setup for: " + fileName;
    SDL_Surface* skin = LoadBmpSurface("Textures\\" + fileName + ".bmp");
    if (!skin)
    {
        FatalError("Texture file " + fileName + ".bmp not found");
    }
    texture = UploadSurfaceTexture(skin, kSkinTexture, label);

    SDL_Surface* lightMap = LoadImageSurface("Textures\\" + fileName + "_lmap.png");
    if (!lightMap)
    {
        FatalError("Texture file " + fileName + "_lmap.png not found: " + SDL_GetError());
    }
    lightMapTexture = UploadSurfaceTexture(lightMap, kLightMapTexture, label);

    boxList = glGenLists(1);
    glNewList(boxList, GL_COMPILE);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    TurnToGameAxes();
    DrawBoundingBox(scene, &min, &max);
    glPopMatrix();
    glEndList();

    // The texture matrix mirrors t, so a texture coordinate counts up from the
    // image's bottom row; it applies to whatever texture the caller binds.
    modelList = glGenLists(1);
    glNewList(modelList, GL_COMPILE);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    TurnToGameAxes();
    DrawGroup(scene);
    glPopMatrix();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glEndList();

    centre = FileToGameAxes((min + max) * 0.5f);
    const Vector extent = max - min;
    radius = 0.5f * std::sqrt(extent.x * extent.x + extent.y * extent.y + extent.z * extent.z);
    lastCorner = FindLastCorner(scene);
}
