#include <gtest/gtest.h>

#include "ui/CommandPanel.h"

// A hull bar is ceil(hull / hullMax x L) pixels. Whenever that product is a
// whole number the bar is exactly that long: 300 of 1000 fills 15 of 50
// pixels, not 16. The rows are hull values of the game's own classes (hull
// maxima 1000, 760, 700, 520, 400) at the fractions 0.3, 0.54, 0.6 and 0.79.
TEST(HullBar, WholeNumberFractionsAreNotRoundedUp)
{
    const struct
    {
        float hull, hullMax;
        int length, pixels;
    } rows[] = {
        {300, 1000, 50, 15}, {540, 1000, 50, 27}, {600, 1000, 50, 30}, {156, 520, 50, 15},
        {378, 700, 50, 27},  {216, 400, 50, 27},  {300, 760, 38, 15},  {600, 760, 38, 30},
        {301, 1000, 50, 16}, {601, 760, 38, 31},
    };
    for (const auto& row : rows)
    {
        EXPECT_EQ(HullBarLength(row.hull, row.hullMax, row.length), row.pixels)
            << row.hull << " of " << row.hullMax << " on " << row.length;
    }
}
