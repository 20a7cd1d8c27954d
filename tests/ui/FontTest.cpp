#include <cstdio>
#include <cstdlib>
#include <vector>

#include "TestFont.h"
#include "ui/Overlay.h"

namespace
{

Font WidthsOnly()
{
    Font font;
    FillGlyphWidths(font);
    return font;
}

const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

} // namespace

TEST(FontWidths, TableHoldsTheNarrowAndWideExceptions)
{
    const Font font = WidthsOnly();
    EXPECT_FLOAT_EQ(font.glyphWidths[int('a')], 0.68f);
    EXPECT_FLOAT_EQ(font.glyphWidths[int('Z')], 0.68f);
    EXPECT_FLOAT_EQ(font.glyphWidths[int('7')], 0.68f);
    EXPECT_FLOAT_EQ(font.glyphWidths[int(' ')], 0.46f);
    EXPECT_FLOAT_EQ(font.glyphWidths[int('-')], 0.46f);
    EXPECT_FLOAT_EQ(font.glyphWidths[int('t')], 0.46f);
    EXPECT_FLOAT_EQ(font.glyphWidths[int('l')], 0.3f);
    EXPECT_FLOAT_EQ(font.glyphWidths[int('y')], 0.5f);
    EXPECT_FLOAT_EQ(font.glyphWidths[int('M')], 1.0f);
    EXPECT_FLOAT_EQ(font.glyphWidths[int('w')], 1.0f);
    EXPECT_FLOAT_EQ(font.glyphWidths[int(':')], 1.0f);
    EXPECT_FLOAT_EQ(font.glyphWidths[int('.')], 1.0f);
    EXPECT_FLOAT_EQ(font.glyphWidths[0], 1.0f);
    EXPECT_FLOAT_EQ(font.glyphWidths[126], 1.0f);
}

TEST(FontWidths, WidthIsTruncatedAfterEveryCharacter)
{
    const Font font = WidthsOnly();
    EXPECT_EQ(TextWidth(font, "MT: ", 14), 43);
    EXPECT_EQ(TextWidth(font, "FT: ", 14), 38);
    EXPECT_EQ(TextWidth(font, "Squadrons: ", 14), 98);
    EXPECT_EQ(TextWidth(font, "a", 12), 8);
    EXPECT_EQ(TextWidth(font, "l", 12), 3);
    // Truncating only the total would give 7 (2 x 3.6).
    EXPECT_EQ(TextWidth(font, "ll", 12), 6);
    EXPECT_EQ(TextWidth(font, "", 14), 0);
    EXPECT_EQ(TextWidth(font, "anything", 0), 0);
}

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

class FontDraw : public GLTest
{
  protected:
    void SetUp() override
    {
        GLTest::SetUp();
        Begin2D();
    }
};

TEST_F(FontDraw, LoadFillsTheWidthTableAndMakesATexture)
{
    const Font font = SolidFont("A");
    EXPECT_NE(font.texture, 0u);
    EXPECT_EQ(TextWidth(font, "MT: ", 14), 43);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(FontDraw, EachCharacterIsASquareFromItsOwnCell)
{
    const Font font = SolidFont("A");
    DrawText(font, "A", 100, 100, 16, kWhite);
    DrawText(font, "Z", 200, 100, 16, kWhite);
    // "A" fills its square; "Z", whose cell is clear, leaves no colour.
    EXPECT_EQ(CountColour(101, 101, 14, 14, 255, 255, 255), 14 * 14);
    EXPECT_EQ(CountColour(190, 90, 40, 40, 0, 0, 0), 40 * 40);
    EXPECT_EQ(CountColour(90, 90, 40, 10, 0, 0, 0), 40 * 10);
}

TEST_F(FontDraw, GlyphsAreUprightWithTheImageTopAtTheTop)
{
    // Only the upper half of the cell of "A" is opaque.
    const std::string path =
        WriteFontImage("tophalf", [](int code, int, int row) { return code == 'A' && row < 8; });
    Font font;
    LoadFontFrom(font, path);
    DrawText(font, "A", 100, 100, 32, kWhite);
    EXPECT_EQ(CountColour(104, 120, 24, 8, 255, 255, 255), 24 * 8);
    EXPECT_EQ(CountColour(104, 102, 24, 8, 0, 0, 0), 24 * 8);
}

TEST_F(FontDraw, TheNextCharacterStartsAtTheTruncatedAdvance)
{
    const Font font = SolidFont("Al");
    // "l" advances 0.3 x 20 = 6: the "A" after it starts at 106 and ends at 126.
    DrawText(font, "lA", 100, 100, 20, kWhite);
    EXPECT_EQ(CountColour(101, 101, 24, 18, 255, 255, 255), 24 * 18);
    EXPECT_EQ(CountColour(127, 101, 10, 18, 0, 0, 0), 10 * 18);
}

TEST_F(FontDraw, TextIsTintedByItsColour)
{
    const Font font = SolidFont("X");
    const float pink[4] = {1.0f, 0.2f, 0.4f, 1.0f};
    DrawText(font, "X", 300, 300, 16, pink);
    const Rgb pixel = ReadPixel(308, 308);
    EXPECT_EQ(pixel.r, 255);
    EXPECT_NEAR(pixel.g, 51, 2);
    EXPECT_NEAR(pixel.b, 102, 2);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(FontDraw, AnEmptyTextDrawsNothing)
{
    const Font font = SolidFont(" ");
    DrawText(font, "", 0, 0, 600, kWhite);
    EXPECT_EQ(CountStencil(0, 0, 800, 600, 0), 800 * 600);
    EXPECT_EQ(CountColour(0, 0, 800, 600, 0, 0, 0), 800 * 600);
}

TEST_F(FontDraw, TheGameFontDrawsReadableText)
{
    Font font;
    LoadFont(font);
    const float pink[4] = {1.0f, 0.2f, 0.4f, 1.0f};
    DrawText(font, "Tigershark-class battle frigate", 20, 500, 16, pink);
    DrawText(font, "MT: 10.00 sec", 20, 450, 14, pink);
    DrawText(font, "Squadrons: 2 left", 20, 400, 12, pink);
    // Glyphs cover part of each square, not all of it and not nothing.
    const int lit =
        CountColour(20, 500, TextWidth(font, "Tigershark-class battle frigate", 16), 16, 255, 51, 102);
    EXPECT_GT(lit, 100);
    EXPECT_LT(lit, 16 * TextWidth(font, "Tigershark-class battle frigate", 16) / 2);
    DumpScreenIfAsked();
}
