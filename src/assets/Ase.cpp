#include "assets/Ase.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <limits>

#include "app/FatalError.h"

namespace
{

// A scene nesting groups deeper than this is rejected; the reader recurses
// once per level, and no exported scene comes anywhere near it.
constexpr int kMaxGroupDepth = 100;

// "Skip the rest of the line" discards at most this many characters.
constexpr std::streamsize kMaxSkippedLine = 1000;

// 1 / 3.14159: radians to degrees together with the factor 180.
constexpr double kInversePi = 0.31831015504887655;

// An object name as written after "*NODE_NAME", split into its parts.
struct ObjectName
{
    std::string full;              // the name without its quotes
    std::string name;              // up to the first ':'
    std::vector<float> properties; // at most kMaxAseProperties
    bool malformed = false;        // a field reads as a value that is no finite float
};

// A field after a colon, read as atof reads it (text that is no number gives
// 0). A value that is no finite float ("nan", "inf", 1e999) is malformed, as
// it is for a coordinate: a NaN hull would never fall below zero.
bool ReadNameField(const std::string& field, float& value)
{
    value = float(std::atof(field.c_str()));
    return std::isfinite(value);
}

// Whether a scene holds any mesh or marker, in any group.
bool HoldsObjects(const AseGroup& group)
{
    if (!group.meshes.empty() || !group.nodes.empty())
    {
        return true;
    }
    for (const AseGroup* child : group.groups)
    {
        if (HoldsObjects(*child))
        {
            return true;
        }
    }
    return false;
}

ObjectName SplitObjectName(const std::string& token)
{
    ObjectName result;
    // The export writes names in double quotes: drop the first and last character.
    if (token.size() >= 2)
    {
        result.full = token.substr(1, token.size() - 2);
    }
    const size_t colon = result.full.find(':');
    result.name = result.full.substr(0, colon);
    if (colon == std::string::npos)
    {
        return result;
    }
    size_t start = colon + 1;
    while (result.properties.size() < size_t(kMaxAseProperties))
    {
        const size_t end = result.full.find(':', start);
        const std::string field =
            result.full.substr(start, end == std::string::npos ? std::string::npos : end - start);
        float value = 0.0f;
        result.malformed = !ReadNameField(field, value) || result.malformed;
        result.properties.push_back(value);
        if (end == std::string::npos)
        {
            break;
        }
        start = end + 1;
    }
    return result;
}

// The reader of one scene. Every loop stops as soon as a read fails, so a
// damaged file can neither hang it nor make it read past its lists; the first
// fault is kept in `error` and rejects the scene.
class AseReader
{
  public:
    AseReader(std::istream& in, const std::string& path, std::ostream& log) : in(in), path(path), log(log) {}

    AseGroup* ReadScene(const std::string& name);
    const std::string& Error() const { return error; }

  private:
    bool Ok() const { return error.empty(); }
    void Fail(const std::string& reason);
    void Note(const std::string& text) { log << path << ": " << text << "\n"; }

    bool ReadToken(std::string& token);
    bool ReadFloat(float& value);
    bool ReadUnsigned(uint32_t& value);
    bool ReadVector(Vector& value);
    void SkipLine() { in.ignore(kMaxSkippedLine, '\n'); }
    void ReportReadFailure();

    AseGroup* ReadGroup(int depth);
    AseMesh* ReadMesh();
    void ReadMeshBlock(AseMesh& mesh);
    void ReadVertexList(AseMesh& mesh);
    void ReadTexVertexList(AseMesh& mesh);
    void ReadFaceList(AseMesh& mesh);
    void ReadTexFaceList(AseMesh& mesh);
    void ReadNormals(AseMesh& mesh);
    void SkipNormalsBeforeFaces(const AseMesh& mesh);
    void CheckMesh(const AseMesh& mesh);
    AseNode* ReadNode();
    ObjectName SplitName(const std::string& token);
    void ReadNodeName(AseMesh& mesh);
    void ReadNodeName(AseNode& node);

    std::istream& in;
    const std::string& path;
    std::ostream& log;
    std::string error;
    const char* context = "the scene"; // the block being read, for messages
};

void AseReader::Fail(const std::string& reason)
{
    if (Ok())
    {
        error = reason;
    }
}

// A read inside a block failed: the file ended, a number could not be read, or
// the stream itself failed.
void AseReader::ReportReadFailure()
{
    if (in.bad())
    {
        Fail("the file cannot be read");
    }
    else if (in.eof())
    {
        Fail(std::string("the file ends inside an open block (") + context + ")");
    }
    else
    {
        in.clear();
        const std::streamoff offset = in.tellg();
        in.setstate(std::ios::failbit);
        Fail(std::string("a malformed number at byte ") + std::to_string(offset) + " (" + context + ")");
    }
}

bool AseReader::ReadToken(std::string& token)
{
    if (Ok() && in >> token)
    {
        return true;
    }
    ReportReadFailure();
    return false;
}

bool AseReader::ReadFloat(float& value)
{
    if (Ok() && in >> value)
    {
        return true;
    }
    ReportReadFailure();
    return false;
}

bool AseReader::ReadUnsigned(uint32_t& value)
{
    unsigned int read = 0;
    if (Ok() && in >> read)
    {
        value = read;
        return true;
    }
    ReportReadFailure();
    return false;
}

bool AseReader::ReadVector(Vector& value)
{
    return ReadFloat(value.x) && ReadFloat(value.y) && ReadFloat(value.z);
}

AseGroup* AseReader::ReadScene(const std::string& name)
{
    AseGroup* root = new AseGroup(name);
    std::string token;
    while (Ok())
    {
        in >> std::ws;
        if (in.eof() || !(in >> token))
        {
            if (in.bad() || (in.fail() && !in.eof()))
            {
                Fail("the file cannot be read");
            }
            break;
        }
        if (token == "*GROUP")
        {
            root->groups.push_back(ReadGroup(1));
        }
        else if (token == "*GEOMOBJECT")
        {
            root->meshes.push_back(ReadMesh());
        }
        else if (token == "*HELPEROBJECT")
        {
            root->nodes.push_back(ReadNode());
        }
    }
    if (Ok() && !HoldsObjects(*root))
    {
        // Such as a file of another format, or this one saved as UTF-16: not
        // damaged as far as the reader can tell, but not what was meant.
        Note("the file holds no objects (no *GEOMOBJECT or *HELPEROBJECT); it is read as an empty scene");
    }
    return root;
}

AseGroup* AseReader::ReadGroup(int depth)
{
    AseGroup* group = new AseGroup();
    if (depth > kMaxGroupDepth)
    {
        Fail("groups nest deeper than " + std::to_string(kMaxGroupDepth) + " levels");
        return group;
    }
    context = "*GROUP";
    if (!ReadToken(group->name))
    {
        return group;
    }
    std::string token;
    while (ReadToken(token))
    {
        if (token == "*GROUP")
        {
            group->groups.push_back(ReadGroup(depth + 1));
            context = "*GROUP";
        }
        else if (token == "*GEOMOBJECT")
        {
            group->meshes.push_back(ReadMesh());
            context = "*GROUP";
        }
        else if (token == "}")
        {
            break;
        }
        else if (token == "*HELPEROBJECT")
        {
            // Markers belong at the top level; inside a group the marker's
            // tokens are read as plain tokens and its first '}' ends the group.
            Note("a *HELPEROBJECT inside group " + group->name + " is not read as a marker");
        }
    }
    return group;
}

AseMesh* AseReader::ReadMesh()
{
    AseMesh* mesh = new AseMesh();
    context = "*GEOMOBJECT";
    std::string token;
    while (ReadToken(token))
    {
        if (token == "*NODE_NAME")
        {
            ReadNodeName(*mesh);
        }
        else if (token == "*NODE_TM")
        {
            // The export writes mesh vertices in scene coordinates already.
            while (ReadToken(token) && token != "}")
            {
            }
        }
        else if (token == "*MESH")
        {
            ReadMeshBlock(*mesh);
            context = "*GEOMOBJECT";
        }
        else if (token == "}")
        {
            break;
        }
    }
    if (Ok())
    {
        CheckMesh(*mesh);
    }
    return mesh;
}

// Splits an object name; a number in it that is no finite float rejects the scene.
ObjectName AseReader::SplitName(const std::string& token)
{
    ObjectName parsed = SplitObjectName(token);
    if (parsed.malformed)
    {
        Fail("a malformed number in the name \"" + parsed.full + "\" (" + context + ")");
    }
    return parsed;
}

void AseReader::ReadNodeName(AseMesh& mesh)
{
    std::string token;
    if (!ReadToken(token))
    {
        return;
    }
    const ObjectName parsed = SplitName(token);
    mesh.name = parsed.name;
    for (float value : parsed.properties)
    {
        mesh.AddProperty(value);
    }
    log << "  Mesh name " << mesh.name << "\n";
    log << "  Mesh property count " << mesh.propertyCount << "\n";
    for (uint32_t i = 0; i < mesh.propertyCount; i++)
    {
        log << "   Property " << i << ": " << mesh.properties[i] << "\n";
    }
}

void AseReader::ReadMeshBlock(AseMesh& mesh)
{
    context = "*MESH";
    bool faceListRead = !mesh.faces.empty();
    std::string token;
    while (ReadToken(token) && token != "}")
    {
        if (token == "*MESH_VERTEX_LIST")
        {
            ReadVertexList(mesh);
        }
        else if (token == "*MESH_TVERTLIST")
        {
            ReadTexVertexList(mesh);
        }
        else if (token == "*MESH_FACE_LIST")
        {
            ReadFaceList(mesh);
            faceListRead = true;
        }
        else if (token == "*MESH_TFACELIST")
        {
            ReadTexFaceList(mesh);
        }
        else if (token == "*MESH_NUMTVERTEX")
        {
            SkipLine();
        }
        else if (token == "*MESH_NORMALS" && faceListRead)
        {
            ReadNormals(mesh);
        }
        else if (token == "*MESH_NORMALS")
        {
            SkipNormalsBeforeFaces(mesh);
        }
        context = "*MESH";
    }
}

void AseReader::ReadVertexList(AseMesh& mesh)
{
    context = "*MESH_VERTEX_LIST";
    std::string token;
    if (!ReadToken(token) || !ReadToken(token))
    {
        return;
    }
    while (token != "}")
    {
        Vector vertex;
        if (!ReadToken(token) || !ReadVector(vertex))
        {
            return;
        }
        mesh.vertices.push_back(vertex);
        if (!ReadToken(token))
        {
            return;
        }
    }
}

void AseReader::ReadTexVertexList(AseMesh& mesh)
{
    context = "*MESH_TVERTLIST";
    std::string token;
    if (!ReadToken(token) || !ReadToken(token))
    {
        return;
    }
    while (token != "}")
    {
        Vector uvw;
        if (!ReadToken(token) || !ReadVector(uvw))
        {
            return;
        }
        mesh.texCoords.push_back(TexCoord{uvw.x, uvw.y});
        if (!ReadToken(token))
        {
            return;
        }
    }
}

void AseReader::ReadFaceList(AseMesh& mesh)
{
    context = "*MESH_FACE_LIST";
    std::string token;
    if (!ReadToken(token) || !ReadToken(token))
    {
        return;
    }
    while (token != "}")
    {
        AseFace face;
        if (!ReadToken(token)) // the face number, "0:"
        {
            return;
        }
        for (int k = 0; k < 3; k++)
        {
            if (!ReadToken(token) || !ReadUnsigned(face.vertex[k])) // "A:" and the index
            {
                return;
            }
        }
        SkipLine(); // edge flags, smoothing group, material id
        mesh.faces.push_back(face);
        if (!ReadToken(token))
        {
            return;
        }
    }
}

void AseReader::ReadTexFaceList(AseMesh& mesh)
{
    context = "*MESH_TFACELIST";
    std::string token;
    if (!ReadToken(token) || !ReadToken(token))
    {
        return;
    }
    // Entries are matched to faces by their order, not by the written index.
    size_t i = 0;
    size_t ignored = 0;
    while (token != "}")
    {
        uint32_t corners[3];
        if (!ReadToken(token) || !ReadUnsigned(corners[0]) || !ReadUnsigned(corners[1]) ||
            !ReadUnsigned(corners[2]))
        {
            return;
        }
        if (i < mesh.faces.size())
        {
            std::copy(corners, corners + 3, mesh.faces[i].texCoord);
        }
        else
        {
            ignored++;
        }
        i++;
        if (!ReadToken(token))
        {
            return;
        }
    }
    if (ignored > 0)
    {
        Note("mesh " + mesh.name + ": " + std::to_string(ignored) +
             " texture faces beyond the last face are ignored");
    }
}

void AseReader::ReadNormals(AseMesh& mesh)
{
    context = "*MESH_NORMALS";
    std::string token;
    if (!ReadToken(token) || !ReadToken(token))
    {
        return;
    }
    size_t i = 0;
    size_t ignored = 0;
    while (token != "}")
    {
        SkipLine(); // the face normal itself is not used
        Vector corners[3];
        for (Vector& normal : corners)
        {
            if (!ReadToken(token) || !ReadToken(token) || !ReadVector(normal))
            {
                return;
            }
        }
        if (i < mesh.faces.size())
        {
            for (int k = 0; k < 3; k++)
            {
                mesh.faces[i].normal[k] = uint32_t(mesh.normals.size());
                mesh.normals.push_back(corners[k]);
            }
        }
        else
        {
            ignored++;
        }
        i++;
        if (!ReadToken(token))
        {
            return;
        }
    }
    if (ignored > 0)
    {
        Note("mesh " + mesh.name + ": " + std::to_string(ignored) +
             " face normals beyond the last face are ignored");
    }
}

// Normals are matched to the faces read before them, in order: a block of
// them ahead of the face list belongs to no face. Its entries are passed over
// as plain tokens (whatever their layout) up to its closing brace.
void AseReader::SkipNormalsBeforeFaces(const AseMesh& mesh)
{
    context = "*MESH_NORMALS";
    std::string token;
    if (!ReadToken(token))
    {
        return;
    }
    bool empty = true;
    while (ReadToken(token) && token != "}")
    {
        empty = false;
    }
    if (Ok() && !empty)
    {
        Note("mesh " + mesh.name + ": its normals come before its faces (*MESH_NORMALS before " +
             "*MESH_FACE_LIST), so they belong to no face and are ignored");
    }
}

// A complete mesh must be drawable without reading outside its lists: a face
// that names a missing vertex or texture coordinate rejects the scene. Missing
// normals only cost the lighting, so they are noted and the mesh is kept.
void AseReader::CheckMesh(const AseMesh& mesh)
{
    const bool textured = !mesh.texCoords.empty();
    for (size_t f = 0; f < mesh.faces.size(); f++)
    {
        const AseFace& face = mesh.faces[f];
        for (int k = 0; k < 3; k++)
        {
            if (face.vertex[k] >= mesh.vertices.size())
            {
                Fail("face " + std::to_string(f) + " of mesh " + mesh.name + " uses vertex " +
                     std::to_string(face.vertex[k]) + " but the mesh has " +
                     std::to_string(mesh.vertices.size()) + " vertices");
                return;
            }
            if (textured && face.texCoord[k] >= mesh.texCoords.size())
            {
                Fail("face " + std::to_string(f) + " of mesh " + mesh.name + " uses texture vertex " +
                     std::to_string(face.texCoord[k]) + " but the mesh has " +
                     std::to_string(mesh.texCoords.size()) + " texture vertices");
                return;
            }
        }
    }
    const size_t facesWithNormals = mesh.normals.size() / 3;
    if (mesh.normals.empty() && !mesh.faces.empty())
    {
        Note("mesh " + mesh.name + " has no normals; it is drawn without them");
    }
    else if (facesWithNormals < mesh.faces.size())
    {
        Note("mesh " + mesh.name + ": " + std::to_string(mesh.faces.size() - facesWithNormals) +
             " faces have no normals; they use the first normal");
    }
}

AseNode* AseReader::ReadNode()
{
    AseNode* node = new AseNode();
    context = "*HELPEROBJECT";
    float angle = 0.0f;
    Vector axis;
    bool hasPosition = false;
    std::string token;
    while (ReadToken(token) && token != "}")
    {
        if (token == "*NODE_NAME")
        {
            ReadNodeName(*node);
        }
        else if (token == "*NODE_TM")
        {
            context = "*NODE_TM";
            while (ReadToken(token) && token != "}")
            {
                if (token == "*TM_ROTAXIS")
                {
                    ReadVector(axis);
                }
                else if (token == "*TM_ROTANGLE")
                {
                    ReadFloat(angle);
                }
                else if (token == "*TM_POS")
                {
                    hasPosition = ReadVector(node->position);
                }
            }
            context = "*HELPEROBJECT";
        }
    }
    if (!Ok())
    {
        return node;
    }
    if (!hasPosition)
    {
        Note("marker " + node->name + " has no *TM_POS; it is placed at 0 0 0");
    }
    if (angle != 0.0f)
    {
        // Only a rotation about one coordinate axis is represented.
        bool found = false;
        for (int i = 0; i < 3 && !found; i++)
        {
            if (std::fabs(axis[i]) == 1.0f)
            {
                node->rotation[i] = float(double(angle) * 180.0 * double(axis[i]) * kInversePi);
                found = true;
            }
        }
        if (!found)
        {
            Note("marker " + node->name +
                 " turns about an axis that is not a coordinate axis; it is not turned");
        }
    }
    return node;
}

void AseReader::ReadNodeName(AseNode& node)
{
    std::string token;
    if (!ReadToken(token))
    {
        return;
    }
    const ObjectName parsed = SplitName(token);
    node.name = parsed.name;
    node.type = parsed.full.substr(0, parsed.full.find_first_of("0123456789"));
    node.propertyCount = int32_t(parsed.properties.size());
    std::copy(parsed.properties.begin(), parsed.properties.end(), node.properties);
    log << "  Subobject type " << node.type << " name " << node.name << "\n";
    log << "  Subobject property count " << node.propertyCount << "\n";
    for (int32_t i = 0; i < node.propertyCount; i++)
    {
        log << "   Property " << i << ": " << node.properties[i] << "\n";
    }
}

} // namespace

void AseMesh::AddProperty(float value)
{
    if (propertyCount < uint32_t(kMaxAseProperties))
    {
        properties[propertyCount++] = value;
    }
}

AseGroup::~AseGroup()
{
    for (AseGroup* group : groups)
    {
        delete group;
    }
    for (AseMesh* mesh : meshes)
    {
        delete mesh;
    }
    for (AseNode* node : nodes)
    {
        delete node;
    }
}

AseGroup* ParseAse(std::istream& in, const std::string& name, const std::string& path, std::ostream& log,
                   std::string& error)
{
    AseReader reader(in, path, log);
    AseGroup* root = reader.ReadScene(name);
    error = reader.Error();
    if (!error.empty())
    {
        delete root;
        return nullptr;
    }
    return root;
}

AseGroup* ReadAse(std::string name)
{
    const std::string path = "Models/" + name + ".ase";
    std::ifstream in(path);
    std::cerr << name << " " << path << "\n";
    if (!in)
    {
        std::cerr << "File not found: " << path << "\n";
        return nullptr;
    }
    std::string error;
    AseGroup* root = ParseAse(in, name, path, std::cerr, error);
    if (!root)
    {
        FatalError("Model file " + path + " is damaged: " + error);
    }
    return root;
}
