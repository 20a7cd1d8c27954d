// Feeds arbitrary bytes to the scene reader and walks whatever it returns the
// way the game does: drawing order, bounding boxes and every index a face holds.
// The sanitizers catch any read outside a list; the reader must also never hang.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "assets/Ase.h"
#include "assets/Mesh.h"

namespace
{

// Touches everything a consumer may read, so that a bad index shows up as an
// out-of-bounds access under AddressSanitizer.
float Walk(const AseGroup* group)
{
    float sum = 0.0f;
    for (const AseGroup* child : group->groups)
    {
        sum += Walk(child);
    }
    for (const AseMesh* mesh : group->meshes)
    {
        const bool textured = !mesh->texCoords.empty();
        for (const AseFace& face : mesh->faces)
        {
            for (int k = 0; k < 3; k++)
            {
                sum += mesh->vertices.at(face.vertex[k]).x;
                if (textured)
                {
                    sum += mesh->texCoords.at(face.texCoord[k]).u;
                }
                if (face.normal[k] < mesh->normals.size())
                {
                    sum += mesh->normals[face.normal[k]].y;
                }
            }
        }
        for (uint32_t i = 0; i <= mesh->PropertyCount(); i++)
        {
            sum += mesh->Property(i);
        }
    }
    for (const AseNode* node : group->nodes)
    {
        for (int32_t i = 0; i < node->propertyCount; i++)
        {
            sum += node->properties[i];
        }
        sum += node->position.z + node->rotation.x + float(node->type.size() + node->name.size());
    }
    Vector min;
    Vector max;
    GroupBounds(group, &min, &max);
    return sum + min.x + max.y;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream log;
    std::string error;
    AseGroup* root = ParseAse(in, "fuzz", "Models/fuzz.ase", log, error);
    if (root)
    {
        volatile float sink = Walk(root);
        (void)sink;
        delete root;
    }
    return 0;
}
