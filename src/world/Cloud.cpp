#include "world/Cloud.h"

#include "math/Random.h"

PuffNode::PuffNode(int depth)
{
    for (int i = 0; i < 5; ++i)
    {
        children[i] = depth >= 2 ? new PuffNode(depth - 1) : nullptr;
    }
}

PuffNode::~PuffNode()
{
    for (PuffNode* child : children)
    {
        delete child;
    }
}

void RandomizePuffs(PuffNode* node)
{
    if (node == nullptr)
    {
        return;
    }
    // The order of the draws is part of the behaviour: the same generator state
    // must give the same clouds.
    if (node->HasChildren())
    {
        RandomizePuffs(node->children[4]);
    }
    for (int i = 0; i < 4; ++i)
    {
        for (int axis = 0; axis < 3; ++axis)
        {
            node->angles[i][axis] = float(360.0 * RandomFraction());
        }
        for (int axis = 0; axis < 3; ++axis)
        {
            node->spin[i][axis] = float(12.0 * RandomFraction());
        }
        if (node->HasChildren())
        {
            RandomizePuffs(node->children[i]);
        }
    }
}

void RandomizeCloudPuffs(Cloud& cloud)
{
    cloud.puffSeed = RandomState();
    RandomizePuffs(cloud.puffs);
}

void SpinPuffs(PuffNode* node, int depth)
{
    if (node == nullptr)
    {
        return;
    }
    const bool descend = node->HasChildren() && depth > 0;
    if (descend)
    {
        SpinPuffs(node->children[4], depth - 1);
    }
    for (int i = 0; i < 4; ++i)
    {
        for (int axis = 0; axis < 3; ++axis)
        {
            float& angle = node->angles[i][axis];
            angle = float(angle + node->spin[i][axis] * 0.1);
            if (angle > 360.0f)
            {
                angle -= 360.0f;
            }
            else if (angle < 0.0f)
            {
                angle += 360.0f;
            }
        }
        if (descend)
        {
            SpinPuffs(node->children[i], depth - 1);
        }
    }
}

// One puff quad of edge `size` at the current origin.
static void DrawQuad(GLuint puffList, float size)
{
    glPushMatrix();
    glScalef(size, size, 1.0f);
    glCallList(puffList);
    glPopMatrix();
}

void DrawPuffs(GLuint puffList, float size, const PuffNode* node, int depth, float blend, const float rgba[4])
{
    if (node == nullptr || depth == 0)
    {
        return;
    }
    for (int i = 0; i < 5; ++i)
    {
        glPushMatrix();
        if (i < 4)
        {
            // Out to the sub-puff's place on its circling orbit, then turned
            // back so that its quad keeps facing the camera.
            const Vector& a = node->angles[i];
            glRotatef(a.x, 1.0f, 0.0f, 0.0f);
            glRotatef(a.y, 0.0f, 1.0f, 0.0f);
            glRotatef(a.z, 0.0f, 0.0f, 1.0f);
            glTranslatef(size * 0.5f, 0.0f, 0.0f);
            glRotatef(-a.z, 0.0f, 0.0f, 1.0f);
            glRotatef(-a.y, 0.0f, 1.0f, 0.0f);
            glRotatef(-a.x, 1.0f, 0.0f, 0.0f);
        }
        if (depth < 2)
        {
            glColor4f(rgba[0], rgba[1], rgba[2], blend * rgba[3]);
            glScalef(size, size, 1.0f);
            glCallList(puffList);
        }
        else
        {
            DrawPuffs(puffList, size * 0.5f, node->children[i], depth - 1, blend, rgba);
            if (depth == 2 && blend != 1.0f)
            {
                glColor4f(rgba[0], rgba[1], rgba[2], (1.0f - blend) * rgba[3]);
                glScalef(size, size, 1.0f);
                glCallList(puffList);
            }
        }
        glPopMatrix();
    }
}

Cloud::Cloud() : puffs(new PuffNode(2)) {}

Cloud::~Cloud()
{
    delete puffs;
}

void ChooseDetail(double d2, double along, int& lodOut, float& blendOut)
{
    double blend;
    if (d2 < 400.0)
    {
        lodOut = 2;
        blend = (20.0 - along) * 0.1;
    }
    else if (d2 < 1600.0)
    {
        lodOut = 1;
        blend = (40.0 - along) * 0.1;
    }
    else
    {
        lodOut = 0;
        blend = 1.0;
    }
    blendOut = blend > 1.0 ? 1.0f : float(blend);
}

void DrawCloudPuffs(GLuint puffList, float size, const PuffNode* puffs, int lod, float blend,
                    const float rgba[4])
{
    if (lod > 0)
    {
        DrawPuffs(puffList, size * 0.5f, puffs, lod, blend, rgba);
    }
    if (lod == 0)
    {
        glColor4f(rgba[0], rgba[1], rgba[2], rgba[3]);
        DrawQuad(puffList, size);
    }
    else if (lod == 1 && blend != 1.0f)
    {
        // The single far quad fading out under the five nearer ones.
        glColor4f(rgba[0], rgba[1], rgba[2], (1.0f - blend) * rgba[3]);
        DrawQuad(puffList, size);
    }
}
