#include <gtest/gtest.h>

#include "input/KeyCommands.h"

namespace
{

TEST(OrderToggle, SameOrderTwiceCancels)
{
    OrderState order;
    EXPECT_TRUE(ToggleOrder(order, 3, 1)); // m
    EXPECT_EQ(order.mode, 3);
    EXPECT_EQ(order.type, 1);
    EXPECT_FALSE(ToggleOrder(order, 3, 1)); // m again
    EXPECT_EQ(order.mode, 1);
    EXPECT_EQ(order.type, 0);
}

TEST(OrderToggle, AnotherOrderReplacesTheOneBeingPlaced)
{
    OrderState order;
    ToggleOrder(order, 3, 1);              // placing a move point
    EXPECT_TRUE(ToggleOrder(order, 5, 3)); // t
    EXPECT_EQ(order.mode, 5);
    EXPECT_EQ(order.type, 3);
    EXPECT_TRUE(ToggleOrder(order, 3, 2)); // r: same mode as m, other type
    EXPECT_EQ(order.mode, 3);
    EXPECT_EQ(order.type, 2);
    EXPECT_TRUE(ToggleOrder(order, 5, 4)); // a
    EXPECT_TRUE(ToggleOrder(order, 5, 5)); // x
    EXPECT_FALSE(ToggleOrder(order, 5, 5));
    EXPECT_EQ(order.mode, 1);
}

TEST(CtrlModes, CtrlAddsToSelectionOrSetsTheHeight)
{
    EXPECT_EQ(ModeAfterCtrlPress(1), 2);
    EXPECT_EQ(ModeAfterCtrlPress(3), 4);
    EXPECT_EQ(ModeAfterCtrlPress(2), 2);
    EXPECT_EQ(ModeAfterCtrlPress(4), 4);
    EXPECT_EQ(ModeAfterCtrlPress(5), 5);
    EXPECT_EQ(ModeAfterCtrlRelease(2), 1);
    EXPECT_EQ(ModeAfterCtrlRelease(4), 3);
    EXPECT_EQ(ModeAfterCtrlRelease(1), 1);
    EXPECT_EQ(ModeAfterCtrlRelease(3), 3);
    EXPECT_EQ(ModeAfterCtrlRelease(5), 5);
}

} // namespace
