#include "assets/Mesh.h"

#include <GL/gl.h>

#include <algorithm>

namespace
{

void SetEmptyBox(Vector* min, Vector* max)
{
    *min = Vector(kEmptyBoxExtent, kEmptyBoxExtent, kEmptyBoxExtent);
    *max = Vector(-kEmptyBoxExtent, -kEmptyBoxExtent, -kEmptyBoxExtent);
}

// Grows the box by another one, axis by axis.
void MergeBox(const Vector& otherMin, const Vector& otherMax, Vector* min, Vector* max)
{
    for (int axis = 0; axis < 3; axis++)
    {
        (*min)[axis] = std::min((*min)[axis], otherMin[axis]);
        (*max)[axis] = std::max((*max)[axis], otherMax[axis]);
    }
}

bool FaceVerticesInRange(const AseFace& face, size_t vertexCount)
{
    return face.vertex[0] < vertexCount && face.vertex[1] < vertexCount && face.vertex[2] < vertexCount;
}

} // namespace

void DrawMesh(const AseMesh* mesh)
{
    const bool textured = !mesh->texCoords.empty();
    const size_t vertexCount = mesh->vertices.size();
    const size_t normalCount = mesh->normals.size();
    const size_t texCoordCount = mesh->texCoords.size();
    glBegin(GL_TRIANGLES);
    for (const AseFace& face : mesh->faces)
    {
        // The reader rejects such faces; a mesh built by other code is still never read outside its lists.
        if (!FaceVerticesInRange(face, vertexCount))
        {
            continue;
        }
        for (int k = 0; k < 3; k++)
        {
            if (textured && face.texCoord[k] < texCoordCount)
            {
                const TexCoord& t = mesh->texCoords[face.texCoord[k]];
                glTexCoord2f(t.u, t.v);
            }
            if (face.normal[k] < normalCount)
            {
                const Vector& n = mesh->normals[face.normal[k]];
                glNormal3f(n.x, n.y, n.z);
            }
            const Vector& v = mesh->vertices[face.vertex[k]];
            glVertex3f(v.x, v.y, v.z);
        }
    }
    glEnd();
}

void MeshBounds(const AseMesh* mesh, Vector* min, Vector* max)
{
    SetEmptyBox(min, max);
    for (const Vector& v : mesh->vertices)
    {
        MergeBox(v, v, min, max);
    }
}

// Follows DrawMesh corner by corner.
static void FindLastCorner(const AseMesh* mesh, LastCorner* last)
{
    const bool textured = !mesh->texCoords.empty();
    for (const AseFace& face : mesh->faces)
    {
        if (!FaceVerticesInRange(face, mesh->vertices.size()))
        {
            continue;
        }
        for (int k = 0; k < 3; k++)
        {
            if (textured && face.texCoord[k] < mesh->texCoords.size())
            {
                last->hasTexCoord = true;
                last->texCoord = mesh->texCoords[face.texCoord[k]];
            }
            if (face.normal[k] < mesh->normals.size())
            {
                last->hasNormal = true;
                last->normal = mesh->normals[face.normal[k]];
            }
        }
    }
}

// Follows DrawGroup.
static void FindLastCorner(const AseGroup* group, LastCorner* last)
{
    for (const AseGroup* child : group->groups)
    {
        FindLastCorner(child, last);
    }
    for (const AseMesh* mesh : group->meshes)
    {
        FindLastCorner(mesh, last);
    }
}

LastCorner FindLastCorner(const AseGroup* group)
{
    LastCorner last;
    FindLastCorner(group, &last);
    return last;
}

void DrawGroup(const AseGroup* group)
{
    for (const AseGroup* child : group->groups)
    {
        DrawGroup(child);
    }
    for (const AseMesh* mesh : group->meshes)
    {
        DrawMesh(mesh);
    }
}

void GroupBounds(const AseGroup* group, Vector* min, Vector* max)
{
    SetEmptyBox(min, max);
    Vector partMin;
    Vector partMax;
    for (const AseGroup* child : group->groups)
    {
        GroupBounds(child, &partMin, &partMax);
        MergeBox(partMin, partMax, min, max);
    }
    for (const AseMesh* mesh : group->meshes)
    {
        MeshBounds(mesh, &partMin, &partMax);
        MergeBox(partMin, partMax, min, max);
    }
}

void DrawBoundingBox(const AseGroup* group, Vector* min, Vector* max)
{
    GroupBounds(group, min, max);
    const Vector& lo = *min;
    const Vector& hi = *max;
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glDisable(GL_CULL_FACE);
    // The four sides around the y axis; drawn as lines they outline all twelve edges.
    glBegin(GL_QUAD_STRIP);
    glVertex3f(lo.x, lo.y, lo.z);
    glVertex3f(lo.x, hi.y, lo.z);
    glVertex3f(hi.x, lo.y, lo.z);
    glVertex3f(hi.x, hi.y, lo.z);
    glVertex3f(hi.x, lo.y, hi.z);
    glVertex3f(hi.x, hi.y, hi.z);
    glVertex3f(lo.x, lo.y, hi.z);
    glVertex3f(lo.x, hi.y, hi.z);
    glVertex3f(lo.x, lo.y, lo.z);
    glVertex3f(lo.x, hi.y, lo.z);
    glEnd();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_CULL_FACE);
}
