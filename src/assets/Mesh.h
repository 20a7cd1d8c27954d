#ifndef KORVANE_ASSETS_MESH_H
#define KORVANE_ASSETS_MESH_H

#include "assets/Ase.h"
#include "math/Vector.h"

// Geometry of the scenes the reader builds: immediate-mode triangles for
// display lists, and axis-aligned bounding boxes. Everything is in the file's
// own axes; callers put the turn to game axes around these calls. None of
// them manages display lists: they are called between glNewList and glEndList.

// The empty box is (kEmptyBoxExtent, ...) to (-kEmptyBoxExtent, ...): every
// real point lowers its min and raises its max.
constexpr float kEmptyBoxExtent = 1e15f;

// Emits the mesh's faces as one GL_TRIANGLES block (also for a mesh without
// faces). Per corner: the texture coordinate when the mesh has any, the normal
// when the mesh has any, then the vertex. A face whose vertex index lies
// outside the vertex list is skipped; a normal or texture index outside its
// list is left out for that corner.
void DrawMesh(const AseMesh* mesh);

// The texture coordinate and normal that drawing a tree leaves current: those
// of the last corner DrawGroup emits with one.
struct LastCorner
{
    bool hasTexCoord = false; // no textured corner was emitted
    TexCoord texCoord;
    bool hasNormal = false; // no corner with a normal was emitted
    Vector normal;
};

// What DrawGroup(group) leaves current, corner by corner as DrawMesh emits them.
LastCorner FindLastCorner(const AseGroup* group);

// The box of the mesh's vertices, the empty box for a mesh without any.
void MeshBounds(const AseMesh* mesh, Vector* min, Vector* max);

// Emits every mesh of the tree: first the nested groups, recursively and in
// order, then the group's own meshes. Marker nodes are not drawn.
void DrawGroup(const AseGroup* group);

// The box of every mesh of the tree; the empty box when it has none.
void GroupBounds(const AseGroup* group, Vector* min, Vector* max);

// Computes GroupBounds into min and max and draws the box's twelve edges as
// one GL_QUAD_STRIP in line mode (culling off meanwhile; afterwards polygon
// mode GL_FILL and culling on). Sets no colour.
void DrawBoundingBox(const AseGroup* group, Vector* min, Vector* max);

#endif
