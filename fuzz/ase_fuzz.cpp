// Feeds arbitrary bytes to the scene reader and reads every index of whatever
// it accepts, as drawing would. The sanitizers catch a read outside a list;
// the reader must also never hang.

#include <cstdint>
#include <sstream>

#include "assets/Ase.h"

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
        sum += node->properties[node->propertyCount > 0 ? node->propertyCount - 1 : 0];
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream log;
    std::string error;
    AseGroup* root = ParseAse(in, "fuzz", "Models/fuzz.ase", log, error);
    volatile float sink = root ? Walk(*root) : 0.0f;
    (void)sink;
    delete root;
    return 0;
}
