// Feeds arbitrary bytes to the scene reader and reads every index of whatever
// it accepts, as drawing and bounding boxes would. The sanitizers catch a
// read outside a list; the reader must also never hang.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "assets/Ase.h"
#include "assets/Mesh.h"

namespace
{

float Walk(const AseGroup& group)
{
    float sum = 0.0f;
    for (const AseGroup* child : group.groups)
        sum += Walk(*child);
    for (const AseMesh* mesh : group.meshes)
        for (const AseFace& face : mesh->faces)
            for (int k = 0; k < 3; k++)
                sum += mesh->vertices.at(face.vertex[k]).x +
                       (mesh->texCoords.empty() ? 0.0f : mesh->texCoords.at(face.texCoord[k]).u);
    for (const AseNode* node : group.nodes)
        sum += node->properties[node->propertyCount > 0 ? node->propertyCount - 1 : 0] + node->rotation.x;
    Vector min, max;
    GroupBounds(&group, &min, &max);
    return sum + min.x + max.y;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream log;
    std::string error;
    if (AseGroup* root = ParseAse(in, "fuzz", "Models/fuzz.ase", log, error))
    {
        volatile float sink = Walk(*root);
        (void)sink;
        delete root;
    }
    return 0;
}
