#ifndef KORVANE_TOOLS_ASEWRITER_H
#define KORVANE_TOOLS_ASEWRITER_H

#include "Geometry.h"
#include "MeshBuilder.h"

#include <string>
#include <vector>

// A marker node ("*HELPEROBJECT") placed in game axes. The game reads a
// marker's position (p, q, r) as (p, r, q): unlike mesh vertices, whose x the
// model display list mirrors, the marker's x is taken as it stands. The writer
// takes care of both, so a marker placed at game point G sits at G on the
// drawn hull.
struct Marker
{
    std::string name; // type, a digit, then ":"-separated properties
    Vec3 position;    // game axes
    int axis = -1;    // rotation in game terms: -1 none, 0 pitch, 1 yaw, 2 roll
    float degrees = 0.0f;
};

// How game axes become the file's z-up axes.
enum class FileAxes
{
    Model, // drawn through the model list: file (x, y, z) shows at (-x, z, y)
    Map    // read by the map region: file (x, y, z) is the box corner (x, z, y)
};

struct SceneMesh
{
    std::string name;
    const MeshBuilder* mesh;
};

// Writes an ASE scene in the subset the game reads: one "*GEOMOBJECT" per mesh
// with vertices, faces, texture vertices and faces and vertex normals, then one
// "*HELPEROBJECT" per marker at the top level. Returns false when the file
// cannot be written.
bool WriteAse(const std::string& path, const std::string& sceneName, const std::vector<SceneMesh>& meshes,
              const std::vector<Marker>& markers, FileAxes axes);

// The rotation angle written for a marker, radians with pi taken as 3.14159
// so that the game's reader gives back the degrees exactly.
float MarkerRadians(float degrees);

#endif
