#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "assets/Ase.h"

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
            std::istringstream in(kind + " {\n *NODE_NAME \"" + name + "\"\n}\n");
            std::ostringstream log;
            std::string error;
            AseGroup* scene = ParseAse(in, "names", "Models/names.ase", log, error);
            if (row.rejected)
            {
                EXPECT_EQ(error, "a malformed number in the name \"" + name + "\" (" + kind + ")");
                EXPECT_EQ(scene, nullptr);
                continue;
            }
            ASSERT_NE(scene, nullptr) << name << ": " << error;
            const float value =
                scene->nodes.empty() ? scene->meshes.at(0)->Property(0) : scene->nodes[0]->properties[0];
            EXPECT_EQ(value, row.value) << kind << " " << name;
            delete scene;
        }
    }
}
