#ifndef KORVANE_WORLD_CLOUD_H
#define KORVANE_WORLD_CLOUD_H

#include <GL/gl.h>

#include "math/Vector.h"

// A cloud is a small cluster of camera-facing translucent puffs. Its puffs
// form a fixed two-level tree: a root with four sub-puffs circling the centre
// and one at the centre, each of which again has five. The tree gives the
// three levels of detail of a cloud: one quad far away, five nearer, twenty-five
// close up. Nebula regions and explosions both use these records.

// One node of a cloud's puff tree.
class PuffNode
{
  public:
    // Depth 2 or more builds five children of depth - 1; less than 2 builds none.
    explicit PuffNode(int depth);
    ~PuffNode();

    PuffNode(const PuffNode&) = delete;
    PuffNode& operator=(const PuffNode&) = delete;

    bool HasChildren() const { return children[0] != nullptr; }

    Vector angles[4];      // degrees 0..360 about x, y, z placing each of the four outer sub-puffs
    Vector spin[4];        // 0..12: each angle advances by a tenth of its spin per step
    PuffNode* children[5]; // the four circling sub-puffs and the centre one (4); all or none
};

// Random angles (0..360) and spins (0..12) for a whole tree: the centre child
// first, then for each outer position its angles, its spin and its subtree.
// Nothing for a null node.
void RandomizePuffs(PuffNode* node);

// RandomizePuffs for a cloud's tree, noting in puffSeed the generator's state
// it starts from: seeding the generator with it draws the same tree again.
class Cloud;
void RandomizeCloudPuffs(Cloud& cloud);

// Advances every angle of the tree by a tenth of its spin, wrapping into 0..360.
// Children are visited only while depth > 0. Nothing for a null node.
void SpinPuffs(PuffNode* node, int depth);

// Draws a puff tree around the current origin: depth 1 draws five quads of edge
// `size`; depth 2 draws twenty-five quads of edge size / 2 with weight `blend`
// and the five quads of edge `size` with weight 1 - blend. rgba is the colour
// whose alpha the weights scale. Nothing for a null node or depth 0.
void DrawPuffs(GLuint puffList, float size, const PuffNode* node, int depth, float blend,
               const float rgba[4]);

// One drifting cloud of a nebula region or an explosion.
class Cloud
{
  public:
    // Position and velocity (0, 0, 0), size 1, alpha 1, a puff tree of depth 2.
    Cloud();
    ~Cloud();

    Cloud(const Cloud&) = delete;
    Cloud& operator=(const Cloud&) = delete;

    Vector position;      // world coordinates
    Vector velocity;      // added to position every tick
    float size = 1.0f;    // edge length of the cloud's largest puff
    float alpha = 1.0f;   // opacity factor 0..1
    bool visible = false; // set by the region's update
    int lod = 0;          // level of detail 0, 1 or 2, chosen by the region's update
    float blend = 1.0f;   // cross-fade weight of the finer level, 0..1
    PuffNode* puffs;      // root of the puff tree, owned
    // The generator's state its puffs were drawn from (RandomizeCloudPuffs).
    unsigned puffSeed = 0;
};

// The level of detail and blend weight of a cloud at squared distance d2 from
// the camera and distance `along` in front of it: lod 2 within 20, lod 1 within
// 40, otherwise lod 0 with blend 1. Shared by nebula clouds and explosions.
void ChooseDetail(double d2, double along, int& lodOut, float& blendOut);

// Every puff of a cloud at any level of detail lies within this distance of
// its centre: half the diagonal of its largest quad, sqrt(2) / 2 x size,
// rounded up.
inline double CloudExtent(float size)
{
    return 0.75 * (size < 0.0f ? -size : size);
}

// Draws one cloud's puffs at the current matrix with the three levels of detail
// and cross-fading: lod 0 is one quad of edge `size`; lod 1 fades five quads in
// over it; lod 2 fades twenty-five quads in over the five. rgba's alpha is the
// cloud's full opacity.
void DrawCloudPuffs(GLuint puffList, float size, const PuffNode* puffs, int lod, float blend,
                    const float rgba[4]);

#endif
