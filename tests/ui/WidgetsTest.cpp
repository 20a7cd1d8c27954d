// The overlay's pieces in one reviewed frame: boxes, buttons with their ids,
// every character of the font, the frame-rate meter and every pointer shape.
#include <GL/gl.h>

#include <cstdio>
#include <numeric>
#include <string>

#include "support/GLTest.h"
#include "support/ReferenceFrame.h"
#include "ui/Font.h"
#include "ui/Overlay.h"

namespace
{

const float kBand[4] = {0.2f, 0.2f, 1.0f, 1.0f};
const float kPlain[4] = {0.4f, 0.4f, 1.0f, 1.0f};
const float kHighlight[4] = {1.0f, 0.4f, 0.6f, 1.0f};
const float kPink[4] = {1.0f, 0.2f, 0.4f, 1.0f};

TEST(FontDeathTest, MissingImageEndsTheProgramNamingTheFile)
{
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            Font font;
            LoadFontFrom(font, "Textures/no-such-font.png");
        },
        ::testing::ExitedWithCode(0), "no-such-font\\.png");
}

using Widgets = GLTest;

TEST_F(Widgets, BoxesButtonsTextMeterAndPointers)
{
    Font font;
    LoadFont(font);
    Begin2D();

    // Boxes: filled and outlined, a big corner, a corner cut down to 3 on a
    // 6-pixel box, a box of zero width (a vertical line).
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    DrawBox(20, 400, 120, 500, 20, false);
    DrawBox(140, 400, 240, 500, 4, true);
    DrawBox(260, 400, 360, 406, 4, false);
    DrawBox(380, 400, 380, 500, 4, true);

    // Buttons, each writing its id: plain, highlighted, a label wider than
    // its button, no label; then a box drawn after a button writes its id too.
    DrawButton("Move", 20, 340, 90, 360, kBand, kPlain, font, 2);
    DrawButton("Launch fighters", 110, 340, 210, 360, kBand, kHighlight, font, 40);
    DrawButton("Squadrons", 230, 340, 250, 370, kBand, kPlain, font, 9);
    DrawButton("", 300, 330, 400, 370, kBand, kHighlight, font, 99);
    glColor4fv(kPlain);
    DrawBox(420, 340, 440, 360, 0, false);

    // Every character at two sizes.
    std::string all('~' - ' ' + 1, ' ');
    std::iota(all.begin(), all.end(), ' ');
    Begin2D();
    DrawText(font, all.substr(0, 48), 10, 200, 16, kPink);
    DrawText(font, all.substr(48), 10, 180, 16, kPink);
    DrawText(font, all, 10, 160, 12, kHighlight);

    DrawFrameRateMeter(50.0f, 30.0f);

    // Pointers: each shape in each quarter of the screen and at its centre;
    // the height mode (4) draws nothing. They change no stencil value.
    const int spots[5][2] = {{600, 480}, {560, 80}, {40, 80}, {40, 540}, {400, 300}};
    for (int mode = 1; mode <= 5; ++mode)
    {
        for (const auto& spot : spots)
        {
            DrawPointer(spot[0] + 40 * (mode - 1), spot[1], mode);
        }
    }
    DrawPointer(60, 355, 1); // over a button
    EXPECT_TRUE(MatchesReference("widgets"));
}

} // namespace
