#ifndef KORVANE_TOOLS_MAPS_H
#define KORVANE_TOOLS_MAPS_H

#include "Geometry.h"
#include "Image.h"

#include <string>
#include <vector>

// A nebula region of a map, in game axes: the box the clouds fill, the
// density parameter (cloud spacing 10 / density, and how much it hides), the
// drift speed factor and the colour.
struct Nebula
{
    Vec3 min;
    Vec3 max;
    float density;
    float drift;
    Colour colour;
};

struct MapSpec
{
    std::string name; // file name under Models/Maps without extension
    std::string title;
    std::vector<Nebula> nebulae;
};

// intro and map1 to map4; the test set has the same names with light, far
// away clouds that neither hide anything nor slow the drawing down.
std::vector<MapSpec> BuildMaps(bool testSet);

// The number of clouds the game's region builder makes for a nebula: it steps
// through the box 10 / density apart on every axis.
int CloudCount(const Nebula& n);

bool WriteMap(const std::string& path, const MapSpec& map);

#endif
