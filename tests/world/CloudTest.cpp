// Puff trees, their random angles and spin, and the level-of-detail choice.

#include <gtest/gtest.h>

#include "math/Random.h"
#include "world/Cloud.h"

TEST(PuffNodeTest, DepthTwoMakesARootWithFiveLeaves)
{
    PuffNode root(2);
    ASSERT_TRUE(root.HasChildren());
    for (PuffNode* child : root.children)
    {
        ASSERT_NE(child, nullptr);
        EXPECT_FALSE(child->HasChildren());
        for (PuffNode* grandchild : child->children)
        {
            EXPECT_EQ(grandchild, nullptr);
        }
    }
    PuffNode leaf(1);
    EXPECT_FALSE(leaf.HasChildren());
    PuffNode deep(3);
    EXPECT_TRUE(deep.children[2]->HasChildren());
    EXPECT_FALSE(deep.children[2]->children[4]->HasChildren());
}

TEST(PuffNodeTest, ANewCloudHasItsDefaults)
{
    Cloud cloud;
    EXPECT_EQ(cloud.position, Vector(0, 0, 0));
    EXPECT_EQ(cloud.velocity, Vector(0, 0, 0));
    EXPECT_EQ(cloud.size, 1.0f);
    EXPECT_EQ(cloud.alpha, 1.0f);
    ASSERT_NE(cloud.puffs, nullptr);
    EXPECT_TRUE(cloud.puffs->HasChildren());
}

// The fraction that the next Random() gives, scaled.
static float Draw(double factor)
{
    return float(factor * RandomFraction());
}

TEST(RandomizePuffsTest, DrawsTheCentreChildFirstThenEachPositionWithItsSubtree)
{
    SeedRandom(77);
    PuffNode root(2);
    RandomizePuffs(&root);

    SeedRandom(77);
    auto expectLeaf = [](const PuffNode* node)
    {
        for (int i = 0; i < 4; ++i)
        {
            for (int axis = 0; axis < 3; ++axis)
            {
                ASSERT_EQ(node->angles[i][axis], Draw(360.0));
            }
            for (int axis = 0; axis < 3; ++axis)
            {
                ASSERT_EQ(node->spin[i][axis], Draw(12.0));
            }
        }
    };
    expectLeaf(root.children[4]);
    for (int i = 0; i < 4; ++i)
    {
        for (int axis = 0; axis < 3; ++axis)
        {
            ASSERT_EQ(root.angles[i][axis], Draw(360.0));
        }
        for (int axis = 0; axis < 3; ++axis)
        {
            ASSERT_EQ(root.spin[i][axis], Draw(12.0));
        }
        expectLeaf(root.children[i]);
    }
    // 6 nodes x 4 positions x 6 numbers, and nothing more.
    const int next = Random();
    SeedRandom(77);
    for (int i = 0; i < 144; ++i)
    {
        Random();
    }
    EXPECT_EQ(Random(), next);
    RandomizePuffs(nullptr);
}

TEST(SpinPuffsTest, AdvancesByATenthOfTheSpinAndWraps)
{
    PuffNode root(2);
    for (PuffNode* node : {&root, root.children[0], root.children[4]})
    {
        for (int i = 0; i < 4; ++i)
        {
            node->angles[i] = Vector(359.5f, 0.2f, 100.0f);
            node->spin[i] = Vector(12.0f, -3.0f, 0.0f);
        }
    }
    SpinPuffs(&root, 1);
    // 359.5 + 1.2 = 360.7 wraps to 0.7; 0.2 - 0.3 = -0.1 wraps to 359.9.
    EXPECT_NEAR(root.angles[0].x, 0.7f, 1e-4);
    EXPECT_NEAR(root.angles[0].y, 359.9f, 1e-4);
    EXPECT_EQ(root.angles[0].z, 100.0f);
    // Depth 1 reaches the children too: every node of the tree turns.
    EXPECT_NEAR(root.children[0]->angles[3].x, 0.7f, 1e-4);
    EXPECT_NEAR(root.children[4]->angles[1].y, 359.9f, 1e-4);

    SpinPuffs(&root, 0);
    EXPECT_NEAR(root.angles[0].x, 1.9f, 1e-4);
    // Depth 0 turns the root only.
    EXPECT_NEAR(root.children[0]->angles[3].x, 0.7f, 1e-4);
    SpinPuffs(nullptr, 2);
}

TEST(ChooseDetailTest, ThreeLevelsByDistanceWithBlendCappedAtOne)
{
    int lod = -1;
    float blend = -1;
    ChooseDetail(399.0, 19.0, lod, blend);
    EXPECT_EQ(lod, 2);
    EXPECT_FLOAT_EQ(blend, 0.1f);
    ChooseDetail(100.0, 5.0, lod, blend);
    EXPECT_EQ(lod, 2);
    EXPECT_EQ(blend, 1.0f);
    ChooseDetail(400.0, 20.0, lod, blend);
    EXPECT_EQ(lod, 1);
    EXPECT_EQ(blend, 1.0f);
    ChooseDetail(1599.0, 39.0, lod, blend);
    EXPECT_EQ(lod, 1);
    EXPECT_FLOAT_EQ(blend, 0.1f);
    ChooseDetail(1600.0, 40.0, lod, blend);
    EXPECT_EQ(lod, 0);
    EXPECT_EQ(blend, 1.0f);
}
