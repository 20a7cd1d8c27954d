// The scene reader: what each kind of text becomes, the notes it writes, and
// the exact reasons it gives for rejecting a damaged file.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "assets/Ase.h"
#include "support/GLTest.h"

namespace
{

struct Parsed
{
    std::unique_ptr<AseGroup> root;
    std::string log;
    std::string error;
};

Parsed Parse(const std::string& text)
{
    std::istringstream in(text);
    std::ostringstream log;
    Parsed p;
    p.root.reset(ParseAse(in, "test", "Models/test.ase", log, p.error));
    p.log = log.str();
    return p;
}

// The tree as text: a group is its name and {its groups and meshes}; a mesh is
// name:properties/vertices/faces/texture vertices/normals; a marker follows as
// |name(type):properties=position@rotation about x,y,z.
std::string Shape(const AseGroup& group)
{
    std::ostringstream s;
    for (const AseGroup* child : group.groups)
        s << child->name << "{" << Shape(*child) << "} ";
    for (const AseMesh* m : group.meshes)
    {
        s << m->name;
        for (uint32_t i = 0; i < m->PropertyCount(); i++)
            s << ":" << m->Property(i);
        s << "/" << m->vertices.size() << "/" << m->faces.size() << "/" << m->texCoords.size() << "/"
          << m->normals.size() << " ";
    }
    for (const AseNode* n : group.nodes)
    {
        s << "|" << n->name << "(" << n->type << ")";
        for (int32_t i = 0; i < n->propertyCount; i++)
            s << ":" << n->properties[i];
        s << "=" << n->position.x << "," << n->position.y << "," << n->position.z << "@" << n->rotation.x
          << "," << n->rotation.y << "," << n->rotation.z << " ";
    }
    return s.str();
}

std::string Mesh(const std::string& name, const std::string& body = "")
{
    return "*GEOMOBJECT {\n*NODE_NAME \"" + name + "\"\n" + body + "}\n";
}

std::string Node(const std::string& name, const std::string& tm = "*TM_POS 1 2 3")
{
    return "*HELPEROBJECT {\n*NODE_NAME \"" + name + "\"\n*HELPER_CLASS \"Dummy\"\n*NODE_TM {\n" + tm +
           "\n}\n*BOUNDINGBOX_MIN -1 -1 -1\n}\n";
}

// Mesh m: three vertices, then `before` (a block ahead of the faces), one face
// with the given corners, then the given lists.
std::string Triangle(const std::string& lists, const std::string& corners = "A: 0 B: 1 C: 2",
                     const std::string& before = "")
{
    return Mesh("m", "*MESH {\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 0 0 0\n*MESH_VERTEX 1 1 0 0\n"
                     "*MESH_VERTEX 2 0 1 0\n}\n" +
                         before + "*MESH_FACE_LIST {\n*MESH_FACE 0: " + corners +
                         " AB: 1 BC: 1 CA: 1 *MESH_SMOOTHING 1 *MESH_MTLID 0\n}\n" + lists + "}\n");
}

const std::string kNormals = "*MESH_NORMALS {\n*MESH_FACENORMAL 0 0 0 1\n*MESH_VERTEXNORMAL 0 0.1 0.2 0.3\n"
                             "*MESH_VERTEXNORMAL 1 0.4 0.5 0.6\n*MESH_VERTEXNORMAL 2 0.7 0.8 0.9\n}\n";
const std::string kTexVerts =
    "*MESH_TVERTLIST {\n*MESH_TVERT 0 0 0 0\n*MESH_TVERT 1 1 0 0\n*MESH_TVERT 2 0 1 0\n}\n";

// The text as a UTF-16 editor saves it: a byte-order mark, then two bytes a character.
std::string Utf16(const std::string& text)
{
    std::string wide = "\xff\xfe";
    for (const char c : text)
    {
        wide += c;
        wide += '\0';
    }
    return wide;
}

const std::string kNoObjects =
    "the file holds no objects (no *GEOMOBJECT or *HELPEROBJECT); it is read as an "
    "empty scene";
const std::string kNormalsBeforeFaces = "mesh m: its normals come before its faces (*MESH_NORMALS before "
                                        "*MESH_FACE_LIST), so they belong to no face and are ignored\n"
                                        "Models/test.ase: mesh m has no normals; it is drawn without them";

// The lines of the log that note something about the file, leaving out the
// reader's account of what it read.
std::string Notes(const std::string& log)
{
    std::string notes;
    for (size_t at = 0, end; at < log.size(); at = end + 1)
    {
        end = std::min(log.find('\n', at), log.size());
        if (log.compare(at, 16, "Models/test.ase:") == 0)
            notes += log.substr(at, end - at) + "\n";
    }
    return notes;
}

} // namespace

TEST(AseReader, ScenesItAccepts)
{
    const struct
    {
        std::string text, shape, note;
    } rows[] = {
        // Nothing the reader knows, whatever it is, is noted as such.
        {"", "", kNoObjects},
        {"*3DSMAX_ASCIIEXPORT 200\n*SCENE {\n}\n*GROUP \"G\" {\n}\n", "\"G\"{} ", kNoObjects},
        {Utf16(Mesh("m") + Node("hull:500")), "", kNoObjects},
        {"*3DSMAX_ASCIIEXPORT 200\n*SCENE {\n*SCENE_FILENAME \"x\"\n}\n*MATERIAL_LIST {\n*MATERIAL 0 {\n"
         "*MATERIAL_NAME \"*GROUP\"\n*MAP_DIFFUSE {\n*BITMAP \"a.bmp\"\n}\n}\n}\n*LIGHTOBJECT {\n*NODE_NAME "
         "\"sun\"\n}\n" +
             Mesh("only"),
         "only/0/0/0/0 ", ""},
        {"*GROUP \"Ship\" {\n" + Mesh("a") + "*GROUP \"Wing\" {\n" + Mesh("b") + "}\n" + Mesh("c") + "}\n" +
             Mesh("d"),
         "\"Ship\"{\"Wing\"{b/0/0/0/0 } a/0/0/0/0 c/0/0/0/0 } d/0/0/0/0 ", ""},
        // Inside a group a marker is plain tokens: its *NODE_TM brace ends the group.
        {"*GROUP \"G\" {\n" + Mesh("first") + Node("gunturret01:1") + Mesh("after") + "}\n",
         "\"G\"{first/0/0/0/0 } after/0/0/0/0 ",
         "a *HELPEROBJECT inside group \"G\" is not read as a marker"},
        {Node("light01:2") + Mesh("m") + Node("sensor:300") + "}\n}\n{\n",
         "m/0/0/0/0 |light01(light):2=1,2,3@0,0,0 |sensor(sensor:):300=1,2,3@0,0,0 ", ""},
        {Triangle(kTexVerts + "*MESH_TFACELIST {\n*MESH_TFACE 7 2 0 1\n}\n" + kNormals), "m/3/1/3/3 ", ""},
        {Triangle(""), "m/3/1/0/0 ", "mesh m has no normals; it is drawn without them"},
        {Triangle("*MESH_NUMTVERTEX 1 *MESH_TVERTLIST {\n" + kNormals), "m/3/1/0/3 ", ""},
        // An untextured mesh never reads its texture indices, so they need not fit.
        {Triangle("*MESH_TFACELIST {\n*MESH_TFACE 0 7 8 9\n}\n" + kNormals), "m/3/1/0/3 ", ""},
        // A block other than the five lists ends the *MESH block at its own brace.
        {Triangle("*MESH_CVERTLIST {\n*MESH_VERTCOL 0 1 1 1\n}\n" + kTexVerts + kNormals), "m/3/1/0/0 ",
         "mesh m has no normals; it is drawn without them"},
        {Triangle(kTexVerts +
                  "*MESH_TFACELIST {\n*MESH_TFACE 0 0 1 2\n*MESH_TFACE 1 0 1 2\n*MESH_TFACE 2 0 1 2\n}\n" +
                  kNormals.substr(0, kNormals.size() - 2) +
                  "*MESH_FACENORMAL 1 0 0 1\n*MESH_VERTEXNORMAL 0 1 0 0\n*MESH_VERTEXNORMAL 1 1 0 0\n"
                  "*MESH_VERTEXNORMAL 2 1 0 0\n}\n"),
         "m/3/1/3/3 ",
         "mesh m: 2 texture faces beyond the last face are ignored\n"
         "Models/test.ase: mesh m: 1 face normals beyond the last face are ignored"},
        // Normals ahead of the faces they belong to, in the per-face layout and
        // in a per-vertex one, are passed over whatever they hold.
        {Triangle("", "A: 0 B: 1 C: 2", kNormals), "m/3/1/0/0 ", kNormalsBeforeFaces},
        {Triangle("", "A: 0 B: 1 C: 2",
                  "*MESH_NORMALS {\n*MESH_VERTEXNORMAL 0 0 0 1\n*MESH_VERTEXNORMAL 1 0 0 1\n"
                  "*MESH_VERTEXNORMAL 2 0 0 1\n}\n"),
         "m/3/1/0/0 ", kNormalsBeforeFaces},
        {Triangle("", "A: 0 B: 1 C: 2", "*MESH_NORMALS {\n}\n"), "m/3/1/0/0 ",
         "mesh m has no normals; it is drawn without them"},
        {Node("light01", "*TM_ROW0 1 0 0"), "|light01(light)=0,0,0@0,0,0 ",
         "marker light01 has no *TM_POS; it is placed at 0 0 0"},
        {Node("tilt", "*TM_ROTAXIS 0.6 0.8 0\n*TM_ROTANGLE 1.0\n*TM_POS 4 5 6"), "|tilt(tilt)=4,5,6@0,0,0 ",
         "marker tilt turns about an axis that is not a coordinate axis; it is not turned"},
        // A marker turns about the first axis component that is exactly 1 or -1.
        {Node("a", "*TM_ROTAXIS 0 0 -1\n*TM_ROTANGLE 1.5708\n*TM_POS 0 0 0"), "|a(a)=0,0,0@0,0,-90.0003 ",
         ""},
        {Node("b", "*TM_ROTAXIS 1 0 0\n*TM_ROTANGLE 0.5\n*TM_POS 0 0 0") +
             Node("c", "*TM_ROTAXIS 0 1 1\n*TM_ROTANGLE 0.5\n*TM_POS 0 0 0") +
             Node("d", "*TM_ROTAXIS 0 -1 0\n*TM_ROTANGLE 3.14159\n*TM_POS 0 0 0"),
         "|b(b)=0,0,0@28.6479,0,0 |c(c)=0,0,0@0,28.6479,0 |d(d)=0,0,0@0,-180,0 ", ""},
        // Names carry up to ten numbers after their first colon; a marker's type
        // runs to its first digit. A quoted name with a blank is cut at the blank.
        {Mesh("a::x:3:") + Mesh("r:1:2:3:4:5:6:7:8:9:10:11:12") + Mesh("Box 01"),
         "a:0:0:3:0/0/0/0/0 r:1:2:3:4:5:6:7:8:9:10/0/0/0/0 Bo/0/0/0/0 ", ""},
        {Node("gunturret01:45:90.5") + Node("hull:500") + Node("hull") +
             Node("light01:1:2:3:4:5:6:7:8:9:10:11:12"),
         "|gunturret01(gunturret):45:90.5=1,2,3@0,0,0 |hull(hull:):500=1,2,3@0,0,0 |hull(hull)=1,2,3@0,0,0 "
         "|light01(light):1:2:3:4:5:6:7:8:9:10=1,2,3@0,0,0 ",
         ""},
    };
    for (const auto& row : rows)
        for (const bool crlf : {false, true})
        {
            std::string text = row.text;
            for (size_t i = 0; crlf && (i = text.find('\n', i)) != std::string::npos; i += 2)
                text.insert(i, "\r");
            const Parsed p = Parse(text);
            ASSERT_TRUE(p.root) << p.error << "\n" << text;
            EXPECT_EQ(Shape(*p.root), row.shape) << text;
            EXPECT_EQ(Notes(p.log), row.note.empty() ? "" : "Models/test.ase: " + row.note + "\n") << text;
        }
}

TEST(AseReader, DamagedScenesAreRejectedWithTheirFault)
{
    std::string deep;
    for (int i = 0; i < 100000; i++)
        deep += "*GROUP g {\n";
    const struct
    {
        std::string text, error;
    } rows[] = {
        {Mesh("m").substr(0, 24), "the file ends inside an open block (*GEOMOBJECT)"},
        {"*GROUP \"G\" {\n", "the file ends inside an open block (*GROUP)"},
        {"*HELPEROBJECT {\n*NODE_TM {\n*TM_POS 1 2", "the file ends inside an open block (*NODE_TM)"},
        {Triangle(kNormals).substr(0, 170), "the file ends inside an open block (*MESH_FACE_LIST)"},
        {"*GEOMOBJECT {\n*MESH {\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 1.0 abc 3\n}\n}\n}\n",
         "a malformed number at byte 61 (*MESH_VERTEX_LIST)"},
        {Triangle("", "A: 0 B: x C: 2"), "a malformed number at byte 162 (*MESH_FACE_LIST)"},
        {Node("n", "*TM_ROTANGLE nan"), "a malformed number at byte 77 (*NODE_TM)"},
        {Node("n", "*TM_POS 1 1e999 0"), "a malformed number at byte 79 (*NODE_TM)"},
        {Triangle(kNormals, "A: 0 B: 3 C: 2"), "face 0 of mesh m uses vertex 3 but the mesh has 3 vertices"},
        {Triangle(kNormals, "A: 0 B: -1 C: 2"),
         "face 0 of mesh m uses vertex 4294967295 but the mesh has 3 vertices"},
        {Triangle("*MESH_TVERTLIST {\n*MESH_TVERT 0 0 0 0\n}\n*MESH_TFACELIST {\n*MESH_TFACE 0 0 0 1\n}\n"),
         "face 0 of mesh m uses texture vertex 1 but the mesh has 1 texture vertices"},
        {deep, "groups nest deeper than 100 levels"},
    };
    for (const auto& row : rows)
    {
        const Parsed p = Parse(row.text);
        EXPECT_FALSE(p.root) << row.text.substr(0, 200);
        EXPECT_EQ(p.error, row.error) << row.text.substr(0, 200);
    }
}

TEST(AseReader, EveryCutOfASoundSceneEndsAndACutInsideAnObjectRejectsIt)
{
    std::stringstream seed;
    seed << std::ifstream(SourceDir() + "/fuzz/seeds/skeleton.ase").rdbuf();
    const std::string whole = seed.str();
    ASSERT_TRUE(Parse(whole).root);
    // From the end of an object keyword to its closing brace a cut leaves a block open.
    std::vector<std::pair<size_t, size_t>> objects;
    for (const std::string key : {"\n*GEOMOBJECT", "\n*HELPEROBJECT"})
        for (size_t at = whole.find(key); at != std::string::npos; at = whole.find(key, at + 1))
            objects.emplace_back(at + key.size(), whole.find("\n}", at) + 1);
    ASSERT_EQ(objects.size(), 3u);
    for (size_t length = 0; length < whole.size(); length++)
    {
        bool inside = false;
        for (const auto& object : objects)
            inside = inside || (length >= object.first && length <= object.second);
        EXPECT_EQ(Parse(whole.substr(0, length)).root == nullptr, inside) << "cut at " << length;
    }
}

// The numbers after the colons of object names read as atof reads them (text
// that is no number counts as 0), but a value that is no finite float rejects
// the scene as a malformed coordinate does: a NaN hull never falls below zero.
TEST(NameNumbers, NonFiniteValuesRejectTheSceneOthersReadAsAtofDoes)
{
    const struct
    {
        const char* field;
        bool rejected;
        float value;
    } rows[] = {{"nan", true, 0},       {"-nan", true, 0},  {"NAN(12)", true, 0}, {"inf", true, 0},
                {"-Infinity", true, 0}, {"1e999", true, 0}, {"1e39", true, 0},    {"-2.5", false, -2.5f},
                {"12abc", false, 12},   {"abc", false, 0},  {"", false, 0},       {"1e-999", false, 0}};
    for (const auto& row : rows)
    {
        for (const std::string kind : {"*HELPEROBJECT", "*GEOMOBJECT"})
        {
            const std::string name = std::string("x:") + row.field + ":7";
            const Parsed p = Parse(kind + " {\n *NODE_NAME \"" + name + "\"\n}\n");
            if (row.rejected)
            {
                EXPECT_EQ(p.error, "a malformed number in the name \"" + name + "\" (" + kind + ")");
                EXPECT_FALSE(p.root);
                continue;
            }
            ASSERT_TRUE(p.root) << name << ": " << p.error;
            const AseGroup& scene = *p.root;
            EXPECT_EQ(scene.nodes.empty() ? scene.meshes.at(0)->Property(0) : scene.nodes[0]->properties[0],
                      row.value)
                << kind << " " << name;
        }
    }
}
