#ifndef KORVANE_TOOLS_SHIPMODELS_H
#define KORVANE_TOOLS_SHIPMODELS_H

#include "AseWriter.h"
#include "Balance.h"
#include "MeshBuilder.h"
#include "SkinPainter.h"

#include <string>
#include <vector>

// One model of the game's catalogues: its geometry (already with normals and
// atlas), its marker nodes, and how its skin is painted.
struct ModelSpec
{
    std::string name; // file name without extension
    MeshBuilder mesh;
    std::vector<Marker> markers;
    SkinStyle style;
    int textureSize = 512;
};

// The four ship classes and the four part models, in catalogue order:
// battlefrigate, beamfrigateopen, escortcarrier2, smallfighter, gunturret,
// gunturret_base, gunturret_guns, beamturret.
std::vector<ModelSpec> BuildModels(const Balance& balance);

// The marker names, exactly as written into the files.
std::string HullMarker(const ClassStats& s);
std::string SpeedMarker(const ClassStats& s);
std::string SensorMarker(const ClassStats& s);
std::string GunMarker(int index, const GunStats& g, const char* type = "gunturret");
std::string BeamMarker(int index, const BeamStats& b);

#endif
