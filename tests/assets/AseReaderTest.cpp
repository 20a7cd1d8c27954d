// The scene reader: tokens, the three object kinds, names and their numbers,
// markers and their rotation, and every damaged file it must survive.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "AssetFiles.h"
#include "assets/Ase.h"
#include "support/GLTest.h"

namespace
{

std::string MeshNamed(const std::string& quotedName)
{
    return "*GEOMOBJECT {\n\t*NODE_NAME " + quotedName + "\n}\n";
}

std::string NodeNamed(const std::string& quotedName, const std::string& tm = "*TM_POS 1 2 3")
{
    return "*HELPEROBJECT {\n\t*NODE_NAME " + quotedName + "\n\t*HELPER_CLASS \"Dummy\"\n\t*NODE_TM {\n\t\t" +
           tm + "\n\t}\n\t*BOUNDINGBOX_MIN -1 -1 -1\n}\n";
}

// A mesh with three vertices and one face, then whatever extra lists follow.
std::string OneFaceMesh(const std::string& extraLists, const std::string& faceCorners = "A: 0 B: 1 C: 2")
{
    return "*GEOMOBJECT {\n*NODE_NAME \"m\"\n*MESH {\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 0 0 0\n"
           "*MESH_VERTEX 1 1 0 0\n*MESH_VERTEX 2 0 1 0\n}\n*MESH_FACE_LIST {\n*MESH_FACE 0: " +
           faceCorners + " AB: 1 BC: 1 CA: 1 *MESH_SMOOTHING 1 *MESH_MTLID 0\n}\n" + extraLists + "}\n}\n";
}

const char* const kNormalsOneFace = "*MESH_NORMALS {\n*MESH_FACENORMAL 0 0 0 1\n*MESH_VERTEXNORMAL 0 0 0 1\n"
                                    "*MESH_VERTEXNORMAL 1 0 0 1\n*MESH_VERTEXNORMAL 2 0 0 1\n}\n";

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

// ---------------------------------------------------------------- names and properties

TEST(AseNames, NameWithNumbersSplitsIntoNameAndProperties)
{
    Parsed p;
    ParseText(MeshNamed("\"a:1:2\""), p);
    ASSERT_NE(p.root, nullptr) << p.error;
    ASSERT_EQ(p.root->meshes.size(), 1u);
    const AseMesh* mesh = p.root->meshes[0];
    EXPECT_EQ(mesh->name, "a");
    EXPECT_EQ(mesh->PropertyCount(), 2u);
    EXPECT_FLOAT_EQ(mesh->Property(0), 1.0f);
    EXPECT_FLOAT_EQ(mesh->Property(1), 2.0f);
    EXPECT_FLOAT_EQ(mesh->Property(2), 0.0f) << "beyond the count a property reads 0";
    EXPECT_FLOAT_EQ(mesh->Property(1000), 0.0f);
}

TEST(AseNames, TwelveFieldsKeepTheFirstTen)
{
    Parsed p;
    ParseText(MeshNamed("\"r:1:2:3:4:5:6:7:8:9:10:11:12\"") +
                  NodeNamed("\"light01:1:2:3:4:5:6:7:8:9:10:11:12\""),
              p);
    ASSERT_NE(p.root, nullptr) << p.error;
    const AseMesh* mesh = p.root->meshes[0];
    EXPECT_EQ(mesh->name, "r");
    EXPECT_EQ(mesh->PropertyCount(), 10u);
    for (uint32_t i = 0; i < 10; i++)
    {
        EXPECT_FLOAT_EQ(mesh->Property(i), float(i + 1));
    }
    EXPECT_FLOAT_EQ(mesh->Property(10), 0.0f);
    const AseNode* node = p.root->nodes[0];
    EXPECT_EQ(node->propertyCount, 10);
    EXPECT_FLOAT_EQ(node->properties[9], 10.0f);
}

TEST(AseNames, NameWithoutColonHasNoProperties)
{
    Parsed p;
    ParseText(MeshNamed("\"hullbody\"") + NodeNamed("\"hull\""), p);
    ASSERT_NE(p.root, nullptr) << p.error;
    EXPECT_EQ(p.root->meshes[0]->name, "hullbody");
    EXPECT_EQ(p.root->meshes[0]->PropertyCount(), 0u);
    EXPECT_EQ(p.root->nodes[0]->name, "hull");
    EXPECT_EQ(p.root->nodes[0]->type, "hull");
    EXPECT_EQ(p.root->nodes[0]->propertyCount, 0);
}

TEST(AseNames, NodeTypeStopsAtTheFirstDigitOrTakesTheWholeName)
{
    Parsed p;
    ParseText(NodeNamed("\"gunturret01:45:90\"") + NodeNamed("\"hull:500\"") + NodeNamed("\"speed:2.5:30\""),
              p);
    ASSERT_NE(p.root, nullptr) << p.error;
    ASSERT_EQ(p.root->nodes.size(), 3u);

    const AseNode* turret = p.root->nodes[0];
    EXPECT_EQ(turret->name, "gunturret01");
    EXPECT_EQ(turret->type, "gunturret");
    ASSERT_EQ(turret->propertyCount, 2);
    EXPECT_FLOAT_EQ(turret->properties[0], 45.0f);
    EXPECT_FLOAT_EQ(turret->properties[1], 90.0f);

    const AseNode* hull = p.root->nodes[1];
    EXPECT_EQ(hull->name, "hull");
    EXPECT_EQ(hull->type, "hull:") << "the type runs to the first digit, colon included";
    ASSERT_EQ(hull->propertyCount, 1);
    EXPECT_FLOAT_EQ(hull->properties[0], 500.0f);

    EXPECT_EQ(p.root->nodes[2]->type, "speed:");
    EXPECT_FLOAT_EQ(p.root->nodes[2]->properties[0], 2.5f);
}

TEST(AseNames, EmptyAndNonNumericFieldsReadAsZero)
{
    Parsed p;
    ParseText(MeshNamed("\"a::x:3:\""), p);
    ASSERT_NE(p.root, nullptr) << p.error;
    const AseMesh* mesh = p.root->meshes[0];
    ASSERT_EQ(mesh->PropertyCount(), 4u);
    EXPECT_FLOAT_EQ(mesh->Property(0), 0.0f);
    EXPECT_FLOAT_EQ(mesh->Property(1), 0.0f);
    EXPECT_FLOAT_EQ(mesh->Property(2), 3.0f);
    EXPECT_FLOAT_EQ(mesh->Property(3), 0.0f);
}

TEST(AseNames, QuotedNameWithABlankIsCutAtTheBlank)
{
    // The token is the quote and Box: dropping its first and last characters leaves "Bo".
    Parsed p;
    ParseText("*GEOMOBJECT {\n*NODE_NAME \"Box 01\"\n}\n", p);
    ASSERT_NE(p.root, nullptr) << p.error;
    EXPECT_EQ(p.root->meshes[0]->name, "Bo");
}

TEST(AseNames, NamesTooShortToHoldQuotesAreEmpty)
{
    Parsed p;
    ParseText(
        "*GEOMOBJECT {\n*NODE_NAME x\n}\n*HELPEROBJECT {\n*NODE_NAME \" \n*NODE_TM {\n*TM_POS 0 0 0\n}\n}\n",
        p);
    ASSERT_NE(p.root, nullptr) << p.error;
    EXPECT_EQ(p.root->meshes[0]->name, "");
    EXPECT_EQ(p.root->nodes[0]->name, "");
    EXPECT_EQ(p.root->nodes[0]->type, "");
}

TEST(AseNames, ObjectLinesAreWrittenWordForWord)
{
    Parsed p;
    ParseText(MeshNamed("\"region01:0.3:1.5\"") + NodeNamed("\"gunturret01:45:90.5\""), p);
    ASSERT_NE(p.root, nullptr) << p.error;
    EXPECT_EQ(p.log, "  Mesh name region01\n"
                     "  Mesh property count 2\n"
                     "   Property 0: 0.3\n"
                     "   Property 1: 1.5\n"
                     "  Subobject type gunturret name gunturret01\n"
                     "  Subobject property count 2\n"
                     "   Property 0: 45\n"
                     "   Property 1: 90.5\n");
}

// ---------------------------------------------------------------- scene structure

TEST(AseScene, FileWithoutObjectsGivesEmptyRoot)
{
    for (const char* text : {"", "   \n\t ", "*3DSMAX_ASCIIEXPORT 200\n*COMMENT \"x\"\n"})
    {
        Parsed p;
        ParseText(text, p);
        ASSERT_NE(p.root, nullptr) << p.error;
        EXPECT_EQ(p.root->name, "test");
        EXPECT_TRUE(p.root->groups.empty());
        EXPECT_TRUE(p.root->meshes.empty());
        EXPECT_TRUE(p.root->nodes.empty());
        EXPECT_EQ(p.log, "");
    }
}

TEST(AseScene, SceneSettingsAndMaterialsLeaveNoTrace)
{
    const std::string scene =
        "*3DSMAX_ASCIIEXPORT 200\n*SCENE {\n\t*SCENE_FILENAME \"x\"\n\t*SCENE_BACKGROUND_STATIC 0 0 0\n}\n"
        "*MATERIAL_LIST {\n\t*MATERIAL_COUNT 1\n\t*MATERIAL 0 {\n\t\t*MATERIAL_NAME \"*GROUPish\"\n"
        "\t\t*MAP_DIFFUSE {\n\t\t\t*BITMAP \"a.bmp\"\n\t\t}\n\t}\n}\n*LIGHTOBJECT {\n\t*NODE_NAME "
        "\"sun\"\n}\n" +
        MeshNamed("\"only\"");
    Parsed p;
    ParseText(scene, p);
    ASSERT_NE(p.root, nullptr) << p.error;
    ASSERT_EQ(p.root->meshes.size(), 1u);
    EXPECT_EQ(p.root->meshes[0]->name, "only");
    EXPECT_TRUE(p.root->groups.empty());
    EXPECT_TRUE(p.root->nodes.empty());
}

TEST(AseScene, GroupsNestInFileOrderAndKeepTheirQuotes)
{
    Parsed p;
    ParseText("*GROUP \"Ship\" {\n*GEOMOBJECT {\n*NODE_NAME \"a\"\n}\n*GROUP \"Wing\" {\n*GEOMOBJECT {\n"
              "*NODE_NAME \"b\"\n}\n}\n*GEOMOBJECT {\n*NODE_NAME \"c\"\n}\n}\n" +
                  MeshNamed("\"d\""),
              p);
    ASSERT_NE(p.root, nullptr) << p.error;
    ASSERT_EQ(p.root->groups.size(), 1u);
    const AseGroup* ship = p.root->groups[0];
    EXPECT_EQ(ship->name, "\"Ship\"");
    EXPECT_EQ(ship->name.size(), 6u);
    ASSERT_EQ(ship->meshes.size(), 2u);
    EXPECT_EQ(ship->meshes[0]->name, "a");
    EXPECT_EQ(ship->meshes[1]->name, "c");
    ASSERT_EQ(ship->groups.size(), 1u);
    EXPECT_EQ(ship->groups[0]->name, "\"Wing\"");
    ASSERT_EQ(ship->groups[0]->meshes.size(), 1u);
    EXPECT_EQ(ship->groups[0]->meshes[0]->name, "b");
    ASSERT_EQ(p.root->meshes.size(), 1u);
    EXPECT_EQ(p.root->meshes[0]->name, "d");
}

TEST(AseScene, MarkerInsideGroupEndsTheGroupAtItsTransformBrace)
{
    // Inside a group a marker is plain tokens: the '}' of its *NODE_TM ends the
    // group, so the mesh after it lands at the top level and no node is made.
    Parsed p;
    ParseText("*GROUP \"G\" {\n" + MeshNamed("\"first\"") + NodeNamed("\"gunturret01:1\"") +
                  MeshNamed("\"after\"") + "}\n",
              p);
    ASSERT_NE(p.root, nullptr) << p.error;
    ASSERT_EQ(p.root->groups.size(), 1u);
    ASSERT_EQ(p.root->groups[0]->meshes.size(), 1u);
    EXPECT_EQ(p.root->groups[0]->meshes[0]->name, "first");
    EXPECT_TRUE(p.root->nodes.empty());
    EXPECT_TRUE(p.root->groups[0]->nodes.empty());
    ASSERT_EQ(p.root->meshes.size(), 1u);
    EXPECT_EQ(p.root->meshes[0]->name, "after");
    EXPECT_NE(p.log.find("Models/test.ase: a *HELPEROBJECT inside group \"G\" is not read as a marker"),
              std::string::npos)
        << p.log;
}

TEST(AseScene, MarkersAtTopLevelGoToTheRoot)
{
    Parsed p;
    ParseText(NodeNamed("\"light01:2\"") + MeshNamed("\"m\"") + NodeNamed("\"sensor:300\""), p);
    ASSERT_NE(p.root, nullptr) << p.error;
    ASSERT_EQ(p.root->nodes.size(), 2u);
    EXPECT_EQ(p.root->nodes[0]->name, "light01");
    EXPECT_EQ(p.root->nodes[1]->name, "sensor");
    EXPECT_EQ(p.root->nodes[0]->position, Vector(1, 2, 3));
    EXPECT_EQ(p.root->meshes.size(), 1u);
}

TEST(AseScene, UnknownBlockInsideMeshEndsTheMeshBlock)
{
    // The colour-vertex list's '}' closes the *MESH block; the vertex list after
    // it is then outside the block and no longer read.
    Parsed p;
    ParseText(
        "*GEOMOBJECT {\n*NODE_NAME \"m\"\n*MESH {\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 1 2 3\n}\n"
        "*MESH_CVERTLIST {\n*MESH_VERTCOL 0 1 1 1\n}\n*MESH_TVERTLIST {\n*MESH_TVERT 0 0.5 0.5 0\n}\n}\n}\n",
        p);
    ASSERT_NE(p.root, nullptr) << p.error;
    ASSERT_EQ(p.root->meshes.size(), 1u);
    EXPECT_EQ(p.root->meshes[0]->vertices.size(), 1u);
    EXPECT_TRUE(p.root->meshes[0]->texCoords.empty());
}

TEST(AseScene, MeshTransformIsSkipped)
{
    Parsed p;
    ParseText("*GEOMOBJECT {\n*NODE_NAME \"m\"\n*NODE_TM {\n*NODE_NAME \"other\"\n*TM_POS 5 5 5\n}\n}\n", p);
    ASSERT_NE(p.root, nullptr) << p.error;
    EXPECT_EQ(p.root->meshes[0]->name, "m");
}

// ---------------------------------------------------------------- mesh contents

TEST(AseMeshData, VerticesFacesAndTextureVerticesAsWritten)
{
    Parsed p;
    ParseText(TriangleScene({-10, 0, 0.5f, 10, 0, 0, 0, 20, -3}, {0, 1, 2, 2, 1, 0}, {0, 0, 1, 0, 0.5f, 1}),
              p);
    ASSERT_NE(p.root, nullptr) << p.error;
    const AseMesh* mesh = p.root->meshes[0];
    ASSERT_EQ(mesh->vertices.size(), 3u);
    EXPECT_EQ(mesh->vertices[0], Vector(-10, 0, 0.5f));
    EXPECT_EQ(mesh->vertices[2], Vector(0, 20, -3));
    ASSERT_EQ(mesh->faces.size(), 2u);
    EXPECT_EQ(mesh->faces[1].vertex[0], 2u);
    EXPECT_EQ(mesh->faces[1].vertex[2], 0u);
    ASSERT_EQ(mesh->texCoords.size(), 3u);
    EXPECT_FLOAT_EQ(mesh->texCoords[2].u, 0.5f);
    EXPECT_FLOAT_EQ(mesh->texCoords[2].v, 1.0f);
    EXPECT_EQ(mesh->normals.size(), 6u) << "three normals per face";
}

TEST(AseMeshData, TextureFacesAndNormalsMatchFacesByOrderNotByWrittenIndex)
{
    const std::string lists =
        "*MESH_TVERTLIST {\n*MESH_TVERT 0 0 0 0\n*MESH_TVERT 1 1 0 0\n*MESH_TVERT 2 0 1 0\n}\n"
        "*MESH_TFACELIST {\n*MESH_TFACE 7 2 0 1\n}\n"
        "*MESH_NORMALS {\n*MESH_FACENORMAL 9 0 0 1\n*MESH_VERTEXNORMAL 5 0.1 0.2 0.3\n"
        "*MESH_VERTEXNORMAL 5 0.4 0.5 0.6\n*MESH_VERTEXNORMAL 5 0.7 0.8 0.9\n}\n";
    Parsed p;
    ParseText(OneFaceMesh(lists), p);
    ASSERT_NE(p.root, nullptr) << p.error;
    const AseMesh* mesh = p.root->meshes[0];
    ASSERT_EQ(mesh->faces.size(), 1u);
    const AseFace& face = mesh->faces[0];
    EXPECT_EQ(face.texCoord[0], 2u);
    EXPECT_EQ(face.texCoord[1], 0u);
    EXPECT_EQ(face.texCoord[2], 1u);
    ASSERT_EQ(mesh->normals.size(), 3u);
    EXPECT_EQ(face.normal[0], 0u);
    EXPECT_EQ(face.normal[1], 1u);
    EXPECT_EQ(face.normal[2], 2u);
    EXPECT_EQ(mesh->normals[1], Vector(0.4f, 0.5f, 0.6f));
}

TEST(AseMeshData, SecondFaceNormalsAreIndexedAfterTheFirst)
{
    Parsed p;
    ParseText(TriangleScene({0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2, 0, 2, 1}, {}), p);
    ASSERT_NE(p.root, nullptr) << p.error;
    const AseFace& second = p.root->meshes[0]->faces[1];
    EXPECT_EQ(second.normal[0], 3u);
    EXPECT_EQ(second.normal[1], 4u);
    EXPECT_EQ(second.normal[2], 5u);
}

TEST(AseMeshData, MeshWithoutTextureListHasNoTextureCoordinates)
{
    Parsed p;
    ParseText(OneFaceMesh(kNormalsOneFace), p);
    ASSERT_NE(p.root, nullptr) << p.error;
    const AseMesh* mesh = p.root->meshes[0];
    EXPECT_TRUE(mesh->texCoords.empty());
    for (uint32_t index : mesh->faces[0].texCoord)
    {
        EXPECT_EQ(index, 0u);
    }
    EXPECT_EQ(p.log.find("Models/test.ase:"), std::string::npos) << "a sound mesh gets no note: " << p.log;
}

TEST(AseMeshData, NumberOfTextureVerticesLineIsSkipped)
{
    // The rest of the line after *MESH_NUMTVERTEX is dropped, even a keyword on it.
    Parsed p;
    ParseText(OneFaceMesh(std::string("*MESH_NUMTVERTEX 1 *MESH_TVERTLIST {\n") + kNormalsOneFace), p);
    ASSERT_NE(p.root, nullptr) << p.error;
    EXPECT_TRUE(p.root->meshes[0]->texCoords.empty());
    EXPECT_EQ(p.root->meshes[0]->normals.size(), 3u);
}

// ---------------------------------------------------------------- marker rotation and position

TEST(AseMarkers, RotationAboutNegativeZ)
{
    Parsed p;
    ParseText(NodeNamed("\"gunturret01\"", "*TM_POS 1 2 3\n*TM_ROTAXIS 0.0 0.0 -1.0\n*TM_ROTANGLE 1.5708"),
              p);
    ASSERT_NE(p.root, nullptr) << p.error;
    const AseNode* node = p.root->nodes[0];
    EXPECT_EQ(node->rotation.x, 0.0f);
    EXPECT_EQ(node->rotation.y, 0.0f);
    EXPECT_FLOAT_EQ(node->rotation.z, float(double(1.5708f) * 180.0 * -1.0 * 0.31831015504887655));
    EXPECT_NEAR(node->rotation.z, -90.0003, 0.00005);
    EXPECT_EQ(node->position, Vector(1, 2, 3));
}

TEST(AseMarkers, FirstUnitComponentTakesTheAngle)
{
    Parsed p;
    ParseText(NodeNamed("\"a\"", "*TM_ROTAXIS 1 0 0\n*TM_ROTANGLE 0.5\n*TM_POS 0 0 0") +
                  NodeNamed("\"b\"", "*TM_ROTAXIS 0 -1 0\n*TM_ROTANGLE 3.14159\n*TM_POS 0 0 0") +
                  NodeNamed("\"c\"", "*TM_ROTAXIS 0 0 1\n*TM_ROTANGLE 0\n*TM_POS 0 0 0"),
              p);
    ASSERT_NE(p.root, nullptr) << p.error;
    EXPECT_NEAR(p.root->nodes[0]->rotation.x, 28.6479, 0.001);
    EXPECT_EQ(p.root->nodes[0]->rotation.y, 0.0f);
    EXPECT_NEAR(p.root->nodes[1]->rotation.y, -180.0, 0.001);
    EXPECT_EQ(p.root->nodes[2]->rotation, Vector(0, 0, 0)) << "a zero angle gives no rotation";
}

TEST(AseMarkers, RotationAboutAnotherAxisIsNotRepresented)
{
    Parsed p;
    ParseText(NodeNamed("\"tilt\"", "*TM_ROTAXIS 0.6 0.8 0\n*TM_ROTANGLE 1.0\n*TM_POS 4 5 6"), p);
    ASSERT_NE(p.root, nullptr) << p.error;
    EXPECT_EQ(p.root->nodes[0]->rotation, Vector(0, 0, 0));
    EXPECT_EQ(p.root->nodes[0]->position, Vector(4, 5, 6));
    EXPECT_NE(p.log.find("Models/test.ase: marker tilt turns about an axis that is not a coordinate axis"),
              std::string::npos)
        << p.log;
}

TEST(AseMarkers, MarkerWithoutPositionStandsAtTheOrigin)
{
    Parsed p;
    ParseText(NodeNamed("\"light01\"", "*TM_ROW0 1 0 0") + NodeNamed("\"bare\"", ""), p);
    ASSERT_NE(p.root, nullptr) << p.error;
    ASSERT_EQ(p.root->nodes.size(), 2u);
    EXPECT_EQ(p.root->nodes[0]->position, Vector(0, 0, 0));
    EXPECT_EQ(p.root->nodes[0]->rotation, Vector(0, 0, 0));
    EXPECT_NE(p.log.find("Models/test.ase: marker light01 has no *TM_POS; it is placed at 0 0 0"),
              std::string::npos)
        << p.log;
}

TEST(AseMarkers, TransformBraceDoesNotEndTheMarker)
{
    // The bounding-box entries after *NODE_TM still belong to the marker; the
    // mesh after the marker's own '}' is read as a mesh.
    Parsed p;
    ParseText(NodeNamed("\"a:1\"") + MeshNamed("\"m\""), p);
    ASSERT_NE(p.root, nullptr) << p.error;
    EXPECT_EQ(p.root->nodes.size(), 1u);
    ASSERT_EQ(p.root->meshes.size(), 1u);
    EXPECT_EQ(p.root->meshes[0]->name, "m");
}

// ---------------------------------------------------------------- damaged files

TEST(AseDamaged, FileEndingInsideABlockIsRejected)
{
    for (const std::string& text :
         {std::string("*GEOMOBJECT {\n*NODE_NAME \"m\"\n"), std::string("*GROUP \"G\" {\n"),
          std::string("*GROUP"), std::string("*HELPEROBJECT {\n*NODE_TM {\n*TM_POS 1 2"),
          OneFaceMesh("").substr(0, 80), std::string("*GEOMOBJECT {\n*NODE_NAME")})
    {
        Parsed p;
        ParseText(text, p);
        EXPECT_EQ(p.root, nullptr) << text;
        EXPECT_EQ(p.error.find("the file ends inside an open block"), 0u) << p.error;
    }
}

TEST(AseDamaged, EveryTruncationOfASoundFileEndsCleanly)
{
    // Cut a scene with every kind of block at every byte: the reader must stop
    // each time, and a cut inside an object must reject the scene.
    const std::string whole = ReadFile(SourceDir() + "/fuzz/seeds/skeleton.ase");
    ASSERT_GT(whole.size(), 1000u);
    Parsed full;
    ParseText(whole, full);
    ASSERT_NE(full.root, nullptr) << full.error;
    // From the end of an object keyword up to the object's closing brace a cut
    // leaves a block open.
    const size_t meshStart = whole.find("*GEOMOBJECT") + 11;
    const size_t meshEnd = whole.find("\n}\n*HELPEROBJECT") + 1;
    const size_t markerStart = whole.rfind("*HELPEROBJECT") + 13;
    const size_t markerEnd = whole.rfind('}');
    int rejected = 0;
    for (size_t length = 0; length < whole.size(); length++)
    {
        Parsed p;
        ParseText(whole.substr(0, length), p);
        if ((length >= meshStart && length <= meshEnd) || (length >= markerStart && length <= markerEnd))
        {
            EXPECT_EQ(p.root, nullptr) << "cut at " << length;
        }
        rejected += p.root == nullptr ? 1 : 0;
    }
    EXPECT_GT(rejected, 1000);
}

TEST(AseDamaged, MalformedNumberIsRejectedWithItsPlace)
{
    const std::string text =
        "*GEOMOBJECT {\n*MESH {\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 1.0 abc 3\n}\n}\n}\n";
    Parsed p;
    ParseText(text, p);
    EXPECT_EQ(p.root, nullptr);
    EXPECT_EQ(p.error,
              "a malformed number at byte " + std::to_string(text.find("abc")) + " (*MESH_VERTEX_LIST)");

    for (const std::string& bad : {OneFaceMesh("", "A: 0 B: x C: 2"), NodeNamed("\"n\"", "*TM_ROTANGLE nan"),
                                   NodeNamed("\"n\"", "*TM_POS 1 1e999 0"),
                                   OneFaceMesh("*MESH_TFACELIST {\n*MESH_TFACE 0 0 - 1\n}\n")})
    {
        Parsed q;
        ParseText(bad, q);
        EXPECT_EQ(q.root, nullptr) << bad;
        EXPECT_EQ(q.error.find("a malformed number at byte "), 0u) << q.error;
    }
}

TEST(AseDamaged, ExtraTextureFacesAndNormalsAreIgnored)
{
    const std::string lists =
        "*MESH_TVERTLIST {\n*MESH_TVERT 0 0 0 0\n*MESH_TVERT 1 1 0 0\n*MESH_TVERT 2 0 1 0\n}\n"
        "*MESH_TFACELIST {\n*MESH_TFACE 0 0 1 2\n*MESH_TFACE 1 2 1 0\n*MESH_TFACE 2 2 1 0\n}\n"
        "*MESH_NORMALS {\n*MESH_FACENORMAL 0 0 0 1\n*MESH_VERTEXNORMAL 0 0 0 1\n*MESH_VERTEXNORMAL 1 0 0 1\n"
        "*MESH_VERTEXNORMAL 2 0 0 1\n*MESH_FACENORMAL 1 0 0 1\n*MESH_VERTEXNORMAL 0 1 0 0\n"
        "*MESH_VERTEXNORMAL 1 1 0 0\n*MESH_VERTEXNORMAL 2 1 0 0\n}\n";
    Parsed p;
    ParseText(OneFaceMesh(lists), p);
    ASSERT_NE(p.root, nullptr) << p.error;
    const AseMesh* mesh = p.root->meshes[0];
    ASSERT_EQ(mesh->faces.size(), 1u);
    EXPECT_EQ(mesh->faces[0].texCoord[2], 2u) << "the first entry still goes to face 0";
    EXPECT_EQ(mesh->normals.size(), 3u) << "normals of the missing face are not kept";
    EXPECT_NE(p.log.find("Models/test.ase: mesh m: 2 texture faces beyond the last face are ignored"),
              std::string::npos)
        << p.log;
    EXPECT_NE(p.log.find("Models/test.ase: mesh m: 1 face normals beyond the last face are ignored"),
              std::string::npos)
        << p.log;
}

TEST(AseDamaged, FaceIndexOutsideItsListIsRejected)
{
    Parsed vertex;
    ParseText(OneFaceMesh(kNormalsOneFace, "A: 0 B: 3 C: 2"), vertex);
    EXPECT_EQ(vertex.root, nullptr);
    EXPECT_EQ(vertex.error, "face 0 of mesh m uses vertex 3 but the mesh has 3 vertices");

    Parsed negative;
    ParseText(OneFaceMesh(kNormalsOneFace, "A: 0 B: -1 C: 2"), negative);
    EXPECT_EQ(negative.root, nullptr) << "a negative index wraps to a huge one and is caught";

    Parsed texture;
    ParseText(
        OneFaceMesh("*MESH_TVERTLIST {\n*MESH_TVERT 0 0 0 0\n}\n*MESH_TFACELIST {\n*MESH_TFACE 0 0 0 1\n}\n" +
                    std::string(kNormalsOneFace)),
        texture);
    EXPECT_EQ(texture.root, nullptr);
    EXPECT_EQ(texture.error, "face 0 of mesh m uses texture vertex 1 but the mesh has 1 texture vertices");
}

TEST(AseDamaged, TextureFacesWithoutTextureVerticesAreHarmless)
{
    // An untextured mesh never reads its texture indices, so they need not fit.
    Parsed p;
    ParseText(OneFaceMesh("*MESH_TFACELIST {\n*MESH_TFACE 0 7 8 9\n}\n" + std::string(kNormalsOneFace)), p);
    ASSERT_NE(p.root, nullptr) << p.error;
    EXPECT_EQ(p.root->meshes[0]->faces[0].texCoord[0], 7u);
}

TEST(AseDamaged, MeshWithFacesButNoNormalsIsKeptWithANote)
{
    Parsed p;
    ParseText(OneFaceMesh(""), p);
    ASSERT_NE(p.root, nullptr) << p.error;
    EXPECT_TRUE(p.root->meshes[0]->normals.empty());
    EXPECT_EQ(p.root->meshes[0]->faces[0].normal[0], 0u);
    EXPECT_NE(p.log.find("Models/test.ase: mesh m has no normals; it is drawn without them"),
              std::string::npos)
        << p.log;
}

TEST(AseDamaged, NormalsBeforeFacesAreIgnored)
{
    // The export writes faces first; normals met before any face have no face to go to.
    Parsed p;
    ParseText("*GEOMOBJECT {\n*NODE_NAME \"m\"\n*MESH {\n" + std::string(kNormalsOneFace) +
                  "*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 0 0 0\n}\n*MESH_FACE_LIST {\n"
                  "*MESH_FACE 0: A: 0 B: 0 C: 0\n}\n}\n}\n",
              p);
    ASSERT_NE(p.root, nullptr) << p.error;
    EXPECT_TRUE(p.root->meshes[0]->normals.empty());
}

TEST(AseDamaged, DeeplyNestedGroupsAreRejectedNotOverflowed)
{
    std::string text;
    for (int i = 0; i < 100000; i++)
    {
        text += "*GROUP g {\n";
    }
    Parsed p;
    ParseText(text, p);
    EXPECT_EQ(p.root, nullptr);
    EXPECT_EQ(p.error, "groups nest deeper than 100 levels");

    std::string fine;
    for (int i = 0; i < 100; i++)
    {
        fine = "*GROUP g {\n" + fine + "}\n";
    }
    Parsed q;
    ParseText(fine, q);
    ASSERT_NE(q.root, nullptr) << q.error;
}

TEST(AseDamaged, UnbalancedBracesAtTopLevelAreIgnored)
{
    Parsed p;
    ParseText("}\n}\n{\n" + MeshNamed("\"m\"") + "}\n", p);
    ASSERT_NE(p.root, nullptr) << p.error;
    EXPECT_EQ(p.root->meshes.size(), 1u);
}

TEST(AseDamaged, BinaryGarbageEndsCleanly)
{
    std::string garbage;
    for (int i = 0; i < 5000; i++)
    {
        garbage.push_back(char((i * 7919) % 256));
    }
    Parsed p;
    ParseText(garbage, p);
    if (p.root)
    {
        EXPECT_TRUE(p.root->meshes.empty());
    }
    Parsed q;
    ParseText("*GEOMOBJECT {\n" + garbage, q);
    EXPECT_EQ(q.root, nullptr);
}

TEST(AseDamaged, FuzzSeedsAreSoundScenes)
{
    // The fuzzer's hand-written seeds: each is a sound scene the reader accepts.
    int seeds = 0;
    for (const char* name : {"skeleton.ase", "groups.ase", "map.ase"})
    {
        Parsed p;
        ParseText(ReadFile(SourceDir() + "/fuzz/seeds/" + name), p);
        EXPECT_NE(p.root, nullptr) << name << ": " << p.error;
        seeds++;
    }
    EXPECT_EQ(seeds, 3);
}

TEST(AseDamaged, WindowsLineEndingsReadLikeUnixOnes)
{
    std::string text = OneFaceMesh(kNormalsOneFace);
    std::string crlf;
    for (char c : text)
    {
        if (c == '\n')
        {
            crlf += '\r';
        }
        crlf += c;
    }
    Parsed p;
    ParseText(crlf, p);
    ASSERT_NE(p.root, nullptr) << p.error;
    EXPECT_EQ(p.root->meshes[0]->faces.size(), 1u);
    EXPECT_EQ(p.root->meshes[0]->normals.size(), 3u);
}
