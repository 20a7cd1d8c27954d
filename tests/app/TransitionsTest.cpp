#include <gtest/gtest.h>

#include <vector>

#include "app/Transitions.h"

namespace
{

TEST(Transitions, OpeningStripWidensEverFaster)
{
    const std::vector<int> expected = {399, 397, 395, 392, 389, 385, 380, 374, 367, 359, 349,
                                       337, 323, 306, 286, 262, 233, 198, 156, 106, 46};
    EXPECT_EQ(OpenTransitionColumns(), expected);
    // The next step would go below 0: the last frame is not the full screen.
    EXPECT_LT(NextOpenColumn(46), 0);
}

TEST(Transitions, ClosingStripNarrowsEverSlower)
{
    const std::vector<int> expected = {0,   81,  145, 197, 238, 271, 297, 318, 335, 349, 360,
                                       369, 376, 381, 385, 389, 392, 394, 396, 397, 398, 399};
    EXPECT_EQ(CloseTransitionColumns(), expected);
    EXPECT_GT(NextCloseColumn(399), 399);
}

} // namespace
