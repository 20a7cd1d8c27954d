#ifndef KORVANE_TESTS_DATA_DATASUPPORT_H
#define KORVANE_TESTS_DATA_DATASUPPORT_H

#include <array>
#include <string>
#include <vector>

// Helpers for checking the generated data tree independently of the game's
// loaders: a strict scan of the generated ASE scenes (the generator's output
// must be well formed, which the game's tolerant reader would not notice),
// and geometry in game axes.

struct P3
{
    float x = 0, y = 0, z = 0;
};

struct ScannedMesh
{
    std::string fullName; // with its ":" properties
    std::vector<P3> vertices;
    std::vector<std::array<unsigned, 3>> faces;
    std::vector<std::array<float, 2>> tverts;
    std::vector<std::array<unsigned, 3>> tfaces;
    std::vector<std::array<P3, 3>> normals; // three per face, in face order
    unsigned declaredVertices = 0, declaredFaces = 0;
};

struct ScannedMarker
{
    std::string fullName;
    std::string type; // up to the first digit
    std::vector<float> properties;
    P3 position; // file axes
    P3 axis;
    float angle = 0; // radians
};

struct ScannedScene
{
    bool ok = false;
    std::string error;
    std::vector<ScannedMesh> meshes;
    std::vector<ScannedMarker> markers;
};

ScannedScene ScanAse(const std::string& path);

// Splits "name:1:2" into its properties, as the game does.
std::vector<float> NameProperties(const std::string& fullName);

// File points of models in game axes: meshes are drawn at (-x, z, y),
// markers are read as (x, z, y).
P3 MeshPointInGame(const P3& file);
P3 MarkerPointInGame(const P3& file);

// Distance from a point to a triangle.
float PointTriangleDistance(const P3& p, const P3& a, const P3& b, const P3& c);

bool FileExists(const std::string& path);
std::vector<unsigned char> ReadFileBytes(const std::string& path);

// The generated test data set, a sibling of the game's data directory.
std::string TestDataDir();

#endif
