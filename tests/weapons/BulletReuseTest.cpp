// Spent bullets are kept and fired again: a reused bullet starts afresh.

#include <gtest/gtest.h>

#include "support/GLTest.h"
#include "weapons/BulletList.h"

TEST(BulletReuse, ABulletFiredAgainLivesItsFullHundredTicks)
{
    ASSERT_TRUE(OpenGameDisplay());
    BulletList list;
    list.AddBullet(Vector(0, 0, 0), Vector(0, 0, -5), Vector(1, 1, 0), 2.0f, nullptr);
    for (int tick = 0; tick < 101; ++tick)
    {
        list.Update();
    }
    ASSERT_EQ(list.Count(), 0);
    ASSERT_EQ(list.spare.size(), 1u);

    list.AddBullet(Vector(0, 0, 0), Vector(0, 0, -5), Vector(1, 1, 0), 2.0f, nullptr);
    EXPECT_TRUE(list.spare.empty());
    for (int tick = 0; tick < 100; ++tick)
    {
        list.Update();
    }
    EXPECT_EQ(list.Count(), 1);
    list.Update();
    EXPECT_EQ(list.Count(), 0);
}
