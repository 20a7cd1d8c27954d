#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "assets/Ase.h"

namespace
{

// Reads a scene with one marker and one mesh whose names carry `field` as
// their first number. Null when the scene is rejected.
AseGroup* ParseNamesWith(const std::string& field, std::string& error)
{
    std::istringstream in("*HELPEROBJECT {\n *NODE_NAME \"speed:" + field +
                          "\"\n *NODE_TM {\n  *TM_POS 0 0 0\n }\n}\n"
                          "*GEOMOBJECT {\n *NODE_NAME \"nebula:" +
                          field + ":7\"\n}\n");
    std::ostringstream log;
    return ParseAse(in, "names", "Models/names.ase", log, error);
}

} // namespace

// The numbers after the colons of an object name are read like atof reads
// them (text that is no number counts as 0), but a value that is not a finite
// float rejects the scene as a malformed coordinate does: a NaN hull is never
// below zero and a NaN speed makes a ship vanish.
TEST(NameNumbers, NonFiniteValuesRejectTheSceneOthersReadAsAtofDoes)
{
    const struct
    {
        const char* field;
        bool rejected;
        float value;
    } rows[] = {
        {"nan", true, 0},       {"-nan", true, 0},  {"NAN(12)", true, 0}, {"inf", true, 0},
        {"-Infinity", true, 0}, {"1e999", true, 0}, {"1e39", true, 0},    {"-2.5", false, -2.5f},
        {"12abc", false, 12},   {"abc", false, 0},  {"", false, 0},       {"1e-999", false, 0},
    };
    for (const auto& row : rows)
    {
        std::string error;
        AseGroup* scene = ParseNamesWith(row.field, error);
        if (row.rejected)
        {
            EXPECT_EQ(scene, nullptr) << row.field;
            EXPECT_EQ(error, std::string("a malformed number in the name \"speed:") + row.field +
                                 "\" (*HELPEROBJECT)")
                << row.field;
            delete scene;
            continue;
        }
        ASSERT_NE(scene, nullptr) << row.field << ": " << error;
        ASSERT_EQ(scene->nodes.size(), 1u);
        ASSERT_EQ(scene->nodes[0]->propertyCount, 1);
        EXPECT_EQ(scene->nodes[0]->properties[0], row.value) << row.field;
        ASSERT_EQ(scene->meshes.size(), 1u);
        ASSERT_EQ(scene->meshes[0]->PropertyCount(), 2u);
        EXPECT_EQ(scene->meshes[0]->Property(0), row.value) << row.field;
        EXPECT_EQ(scene->meshes[0]->Property(1), 7.0f) << row.field;
        delete scene;
    }
}

// A mesh name alone is enough to reject a map whose region numbers are not finite.
TEST(NameNumbers, AMeshNameWithInfinityRejectsTheScene)
{
    std::istringstream in("*GEOMOBJECT {\n *NODE_NAME \"nebula:0.2:1:inf\"\n}\n");
    std::ostringstream log;
    std::string error;
    EXPECT_EQ(ParseAse(in, "Maps/bad", "Models/Maps/bad.ase", log, error), nullptr);
    EXPECT_EQ(error, "a malformed number in the name \"nebula:0.2:1:inf\" (*GEOMOBJECT)");
}
