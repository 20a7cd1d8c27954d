#ifndef KORVANE_ASSETS_ASE_H
#define KORVANE_ASSETS_ASE_H

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "math/Vector.h"

// The scene reader for the game's models and maps: a small subset of the ASE
// text export. A scene is a tree of groups holding meshes; marker objects
// ("*HELPEROBJECT") are collected at the root. Every value is kept exactly as
// the file gives it, in the file's own axes (z up); the consumers turn it into
// game axes.
//
// Objects carry the game's data in their names: "gunturret01:45:90" is the
// object gunturret01 with the properties 45 and 90 (at most ten are kept).

// Most numbers a name can carry after its first ':'.
constexpr int kMaxAseProperties = 10;

// A texture coordinate; the file's third component is dropped.
struct TexCoord
{
    float u = 0.0f;
    float v = 0.0f;
};

// One triangle: for each corner, in file order, its index into the mesh's
// vertices, normals and texture coordinates.
struct AseFace
{
    uint32_t vertex[3] = {0, 0, 0};
    uint32_t normal[3] = {0, 0, 0};   // 0, 0, 0 when the file gives no normals for the face
    uint32_t texCoord[3] = {0, 0, 0}; // 0, 0, 0 when the file gives no texture face
};

// One "*GEOMOBJECT".
struct AseMesh
{
    std::vector<AseFace> faces;
    std::vector<Vector> vertices;
    std::vector<Vector> normals;     // one per face corner: three per face when the file has normals
    std::vector<TexCoord> texCoords; // empty for an untextured mesh
    std::string name = "<UNNAMED>";  // until a "*NODE_NAME" is read
    uint32_t propertyCount = 0;      // at most kMaxAseProperties
    float properties[kMaxAseProperties] = {};

    uint32_t PropertyCount() const { return propertyCount; }
    // Property i, or 0.0 when i is not below the count (or past the array).
    float Property(uint32_t i) const
    {
        return i < propertyCount && i < uint32_t(kMaxAseProperties) ? properties[i] : 0.0f;
    }
    // Appends one property; beyond kMaxAseProperties it is ignored.
    void AddProperty(float value);
};

// One "*HELPEROBJECT": a marker that places a part, a light or a ship value.
struct AseNode
{
    Vector position;           // "*TM_POS"; (0, 0, 0) when the file gives none
    Vector rotation;           // degrees about the file's x, y and z; at most one is non-zero
    std::string name;          // the object name up to its first ':'
    std::string type;          // the object name up to its first decimal digit (all of it without a digit)
    int32_t propertyCount = 0; // at most kMaxAseProperties
    float properties[kMaxAseProperties] = {};
};

// The whole file (the root) or one "*GROUP" block. Owns everything below it.
struct AseGroup
{
    std::vector<AseGroup*> groups; // nested groups, in file order
    std::vector<AseMesh*> meshes;  // in file order
    std::vector<AseNode*> nodes;   // marker objects; only the root ever holds any
    std::string
        name; // the root: the name given to ReadAse; a group: the token after "*GROUP", quotes included

    AseGroup() = default;
    explicit AseGroup(const std::string& name_) : name(name_) {}
    ~AseGroup();
    AseGroup(const AseGroup&) = delete;
    AseGroup& operator=(const AseGroup&) = delete;
};

// Reads "Models/" + name + ".ase" (a model name such as "battlefrigate", or
// "Maps/" + a map name) and returns the root, owned by the caller. Writes
// name + " " + path to standard error first, and the name and properties of
// every object as it is read. Returns null after writing "File not found: " +
// path when the file cannot be opened. A file that is damaged beyond use (it
// ends inside an open block, a number cannot be read, a face uses an index
// outside its lists, groups nest too deep) ends the program through
// FatalError with a message naming the file and the fault.
AseGroup* ReadAse(std::string name);

// The reader itself, on an open stream: `name` becomes the root's name and
// `path` names the file in messages. Object lines and notes about ignored
// entries go to `log`. Returns the root, or null with `error` set to the
// reason when the scene is rejected.
AseGroup* ParseAse(std::istream& in, const std::string& name, const std::string& path, std::ostream& log,
                   std::string& error);

#endif
