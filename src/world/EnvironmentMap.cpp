// Building the nebula regions of a map file.

#include <algorithm>
#include <iostream>

#include "app/FatalError.h"
#include "assets/Ase.h"
#include "assets/Mesh.h"
#include "math/Random.h"
#include "world/Environment.h"

namespace
{

// Region property `index` of a map mesh, or its default when the mesh's name
// carries no more than `index` numbers.
float MapProperty(const AseMesh* mesh, unsigned index, float defaultValue)
{
    return mesh->PropertyCount() > index ? mesh->Property(index) : defaultValue;
}

} // namespace

void Environment::SetUpMap(std::string mapName, unsigned int seed)
{
    const std::string path = "Models/Maps/" + mapName + ".ase";
    AseGroup* scene = ReadAse("Maps/" + mapName);
    if (scene == nullptr)
    {
        // The reader has written "File not found: " and the path. A game on a
        // map that is not there would be played in an empty space that the
        // players did not choose: stop with a clear message instead.
        FatalError("Map file " + path + " not found");
    }

    // Only the top-level meshes are regions; meshes inside groups and marker
    // nodes are ignored.
    bool allClouds = true;
    const size_t count = std::min(scene->meshes.size(), kMaxMapRegions);
    for (size_t i = 0; i < count; ++i)
    {
        const AseMesh* mesh = scene->meshes[i];
        std::cerr << "Setting up map region " << i << std::endl;
        Vector fileMin, fileMax;
        MeshBounds(mesh, &fileMin, &fileMax);
        // The file's z axis is the game's up axis: exchange y and z.
        const Vector min(fileMin.x, fileMin.z, fileMin.y);
        const Vector max(fileMax.x, fileMax.z, fileMax.y);
        const float densityParameter = MapProperty(mesh, 0, 0.2f);
        const float speedFactor = MapProperty(mesh, 1, 0.5f);
        const Vector colour(MapProperty(mesh, 2, 0.0f), MapProperty(mesh, 3, 0.0f),
                            MapProperty(mesh, 4, 0.5f));
        allClouds = AddRegion(min, max, densityParameter, speedFactor, colour) && allClouds;
    }
    if (scene->meshes.size() > kMaxMapRegions)
    {
        std::cerr << path << ": the map has more than " << kMaxMapRegions << " regions; only the first "
                  << kMaxMapRegions << " are made" << std::endl;
    }
    if (!allClouds)
    {
        std::cerr << path << ": the map asks for more than " << kMaxMapClouds << " clouds; only the first "
                  << kMaxMapClouds << " are made" << std::endl;
    }
    delete scene;

    // The clouds above came from the generator's earlier state; the seed fixes
    // only what follows.
    SeedRandom(seed);
}
