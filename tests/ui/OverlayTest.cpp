#include <cmath>

#include "TestFont.h"
#include "ui/Overlay.h"

namespace
{

const float kBand[4] = {0.2f, 0.2f, 1.0f, 1.0f};
const float kFace[4] = {0.4f, 0.4f, 1.0f, 1.0f};

class Overlay : public GLTest
{
  protected:
    void SetUp() override
    {
        GLTest::SetUp();
        Begin2D();
    }
};

GLint CurrentStencilReference()
{
    GLint value = -1;
    glGetIntegerv(GL_STENCIL_REF, &value);
    return value;
}

} // namespace

TEST(OverlayGeometry, CornerShrinksOnSmallBoxes)
{
    EXPECT_EQ(EffectiveCorner(0, 0, 100, 100, 4), 4);
    EXPECT_EQ(EffectiveCorner(0, 0, 100, 6, 4), 3);
    EXPECT_EQ(EffectiveCorner(0, 0, 5, 100, 4), 2);
    EXPECT_EQ(EffectiveCorner(10, 10, 10, 50, 4), 0);
    // The width is applied first, then the height.
    EXPECT_EQ(EffectiveCorner(0, 0, 6, 2, 6), 1);
}

TEST(OverlayGeometry, PointerDirectionIsPushedAwayFromZero)
{
    float ax = 0.0f;
    float ay = 0.0f;
    PointerDirection(400, 300, ax, ay);
    EXPECT_FLOAT_EQ(ax, 0.2f);
    EXPECT_FLOAT_EQ(ay, 0.2f);
    PointerDirection(0, 0, ax, ay);
    EXPECT_FLOAT_EQ(ax, -1.2f);
    EXPECT_FLOAT_EQ(ay, -1.2f);
    PointerDirection(600, 150, ax, ay);
    EXPECT_FLOAT_EQ(ax, 0.7f);
    EXPECT_NEAR(ay, -0.7f, 1e-6);
}

TEST_F(Overlay, PixelsMapOneToOneAndWriteStencilOne)
{
    glColor4f(1, 1, 1, 1);
    DrawBox(100, 200, 300, 250, 0, false);
    EXPECT_EQ(CountStencil(100, 200, 200, 50, 1), 200 * 50);
    EXPECT_EQ(ReadStencil(99, 225), 0u);
    EXPECT_EQ(ReadStencil(300, 225), 0u);
    EXPECT_EQ(ReadStencil(200, 199), 0u);
    EXPECT_EQ(ReadStencil(200, 250), 0u);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(Overlay, BoxCornersAreCutDiagonally)
{
    glColor4f(1, 1, 1, 1);
    DrawBox(100, 100, 200, 200, 20, false);
    // Each corner triangle of 20 x 20 stays empty; just inside the cut is filled.
    for (int cx : {100, 190})
    {
        for (int cy : {100, 190})
        {
            const int x = cx == 100 ? 102 : 197;
            const int y = cy == 100 ? 102 : 197;
            EXPECT_EQ(ReadStencil(x, y), 0u) << x << "," << y;
        }
    }
    EXPECT_EQ(ReadStencil(112, 112), 1u);
    EXPECT_EQ(ReadStencil(187, 187), 1u);
    EXPECT_EQ(ReadStencil(150, 100), 1u);
    EXPECT_EQ(ReadStencil(100, 150), 1u);
}

TEST_F(Overlay, OutlineLeavesTheInsideEmpty)
{
    glColor4f(1, 1, 1, 1);
    DrawBox(100, 100, 200, 200, 4, true);
    EXPECT_EQ(ReadStencil(150, 150), 0u);
    EXPECT_EQ(ReadStencil(150, 100), 1u);
    EXPECT_EQ(ReadStencil(100, 150), 1u);
    EXPECT_EQ(ReadStencil(150, 199), 1u);
}

TEST_F(Overlay, ZeroWidthBoxIsAVerticalLine)
{
    glColor4f(1, 1, 1, 1);
    DrawBox(300, 100, 300, 200, 4, false);
    EXPECT_EQ(CountStencil(290, 90, 20, 120, 1), 0);
    DrawBox(300, 100, 300, 200, 4, true);
    EXPECT_GT(CountStencil(299, 110, 2, 80, 1), 80);
    EXPECT_EQ(CountStencil(303, 90, 10, 120, 1), 0);
}

TEST_F(Overlay, ShallowBoxUsesTheSmallerCorner)
{
    glColor4f(1, 1, 1, 1);
    // Corner 4 on a 6-pixel-high box becomes 3: the box stays convex and its
    // left edge from y 103 fills the pixel just right of it.
    DrawBox(100, 100, 200, 106, 4, false);
    EXPECT_EQ(ReadStencil(101, 103), 1u);
    EXPECT_EQ(ReadStencil(100, 100), 0u);
    EXPECT_EQ(CountStencil(110, 100, 80, 6, 1), 80 * 6);
}

TEST_F(Overlay, ButtonWritesItsIdOverItsRectangleAndLeavesItInForce)
{
    const Font font = SolidFont("");
    DrawButton("Move", 100, 50, 170, 70, kBand, kFace, font, 2);
    // Every pixel of the rectangle apart from the cut corners holds the id.
    EXPECT_EQ(CountStencil(102, 52, 66, 16, 2), 66 * 16);
    EXPECT_EQ(CountStencil(104, 50, 62, 20, 2), 62 * 20);
    EXPECT_EQ(CountStencil(90, 40, 90, 40, 1), 0);
    EXPECT_EQ(ReadStencil(97, 60), 0u);
    EXPECT_EQ(ReadStencil(173, 60), 0u);
    EXPECT_EQ(CurrentStencilReference(), 2);
    // What comes next writes the button's id as well.
    DrawBox(300, 300, 320, 320, 0, false);
    EXPECT_EQ(ReadStencil(310, 310), 2u);
}

TEST_F(Overlay, ButtonShowsBandFaceAndCentredLabel)
{
    const Font font = SolidFont("W");
    DrawButton("W", 100, 100, 200, 140, kBand, kFace, font, 7);
    // Band, face, and the label colour in a 12-pixel square centred on the button.
    const Rgb band = ReadPixel(101, 120);
    EXPECT_NEAR(band.r, 51, 2);
    EXPECT_NEAR(band.b, 255, 2);
    const Rgb face = ReadPixel(110, 130);
    EXPECT_NEAR(face.r, 102, 2);
    EXPECT_NEAR(face.b, 255, 2);
    EXPECT_EQ(CountColour(145, 104, 10, 10, 255, 51, 102), 100);
    EXPECT_EQ(CountColour(130, 104, 12, 10, 255, 51, 102), 0);
    EXPECT_EQ(CountColour(158, 104, 12, 10, 255, 51, 102), 0);
}

TEST_F(Overlay, LabelWiderThanItsButtonStartsLeftOfIt)
{
    const Font font = SolidFont("M");
    // Four "M" are 48 pixels wide on a 20-pixel button: drawn from 86 to 134.
    DrawButton("MMMM", 100, 100, 120, 130, kBand, kFace, font, 9);
    // Inside the first and the last glyph, away from their filtered edges.
    EXPECT_EQ(CountColour(88, 105, 8, 8, 255, 51, 102), 8 * 8);
    EXPECT_EQ(CountColour(124, 105, 8, 8, 255, 51, 102), 8 * 8);
    EXPECT_EQ(CountColour(136, 105, 8, 8, 255, 51, 102), 0);
    EXPECT_EQ(ReadStencil(90, 108), 9u);
}

TEST_F(Overlay, FrameRateMeterShowsRampMarkerAndBar)
{
    DrawFrameRateMeter(50.0f, 30.0f);
    // The bar covers the ramp up to 60; beyond it the ramp's grey steps show.
    EXPECT_EQ(CountColour(10, 580, 50, 10, 0, 0, 204), 50 * 10);
    EXPECT_EQ(CountColour(70, 580, 10, 10, 60, 60, 60), 10 * 10);
    EXPECT_EQ(CountColour(100, 580, 10, 10, 90, 90, 90), 10 * 10);
    // The green marker from 39 to 41 shows above and below the bar.
    EXPECT_EQ(CountColour(39, 590, 2, 2, 0, 204, 0), 4);
    EXPECT_EQ(CountColour(39, 578, 2, 2, 0, 204, 0), 4);
    EXPECT_EQ(CountStencil(10, 580, 100, 10, 1), 100 * 10);
    EXPECT_EQ(ReadStencil(9, 585), 0u);
}

TEST_F(Overlay, FrameRateBarEndsWithTheRampAtOneHundred)
{
    DrawFrameRateMeter(100.0f, 100.0f);
    EXPECT_EQ(CountColour(10, 580, 100, 10, 0, 0, 204), 100 * 10);
    EXPECT_EQ(ReadStencil(111, 585), 0u);
}

namespace
{

// White pixels in the 80 by 80 square around the pointer.
int WhiteAround(int mx, int my)
{
    return CountColour(mx - 40, my - 40, 80, 80, 255, 255, 255);
}

} // namespace

TEST_F(Overlay, PointerLeavesTheStencilAlone)
{
    for (int mode = 1; mode <= 5; ++mode)
    {
        DrawPointer(600, 450, mode);
    }
    EXPECT_EQ(CountStencil(0, 0, 800, 600, 0), 800 * 600);
}

TEST_F(Overlay, SelectArrowPointsAtTheScreenCentre)
{
    DrawPointer(600, 450, 1);
    // Corners (610.5, 467.5) and (617.5, 460.5): the arrow lies up and right of the tip.
    EXPECT_EQ(ReadPixel(609, 459).r, 255);
    EXPECT_EQ(ReadPixel(591, 441).r, 0);
    EXPECT_GT(WhiteAround(600, 450), 40);
}

TEST_F(Overlay, PointerAtTheCentreIsSmallAndPointsDownLeft)
{
    DrawPointer(400, 300, 1);
    const int white = WhiteAround(400, 300);
    EXPECT_GT(white, 0);
    EXPECT_LT(white, 30);
    EXPECT_EQ(CountColour(380, 280, 20, 20, 255, 255, 255), 0);
}

TEST_F(Overlay, PointerShapesFollowTheOrderMode)
{
    DrawPointer(600, 450, 1);
    const int arrow = WhiteAround(600, 450);
    glClear(GL_COLOR_BUFFER_BIT);

    DrawPointer(600, 450, 2);
    // The plus sign is centred at (589.5, 460.5), beside the arrow.
    EXPECT_GT(CountColour(585, 456, 10, 10, 255, 255, 255), 8);
    EXPECT_GT(WhiteAround(600, 450), arrow + 8);
    glClear(GL_COLOR_BUFFER_BIT);

    DrawPointer(600, 450, 3);
    EXPECT_GT(WhiteAround(600, 450), arrow + 8);
    EXPECT_EQ(CountColour(585, 456, 10, 10, 255, 255, 255), 0);
    glClear(GL_COLOR_BUFFER_BIT);

    DrawPointer(600, 450, 4);
    EXPECT_EQ(CountColour(0, 0, 800, 600, 0, 0, 0), 800 * 600);

    DrawPointer(600, 450, 5);
    EXPECT_EQ(WhiteAround(600, 450), 0);
    for (int sx : {1, -1})
    {
        for (int sy : {1, -1})
        {
            const Rgb red = ReadPixel(600 + sx * 12, 450 + sy * 12);
            EXPECT_EQ(red.r, 255) << sx << "," << sy;
            EXPECT_NEAR(red.g, 51, 2);
        }
    }
}
