#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "math/Random.h"
#include "support/GLTest.h"
#include "weapons/AlphaTexture.h"
#include "weapons/BeamList.h"
#include "weapons/BulletList.h"

namespace
{

// Writes a 24-bit bitmap whose pixel (x, y) has first byte value(x, y) and
// other bytes 7 and 9, and returns its path. The masks are the bitmap file's
// own (blue in the first byte), so the bytes are saved as they stand.
template <typename F> std::string WriteBitmap(const std::string& name, int width, int height, F value)
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0xff0000, 0xff00, 0xff, 0);
    auto* pixels = static_cast<unsigned char*>(s->pixels);
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            unsigned char* p = pixels + y * s->pitch + 3 * x;
            p[0] = value(x, y);
            p[1] = 7;
            p[2] = 9;
        }
    }
    const std::string path = WriteTempFile(name, "");
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
    return path;
}

TEST(BaseNameTest, EitherSeparator)
{
    EXPECT_EQ(BaseName("Textures\\beam.bmp"), "beam.bmp");
    EXPECT_EQ(BaseName("a/b/bullet.bmp"), "bullet.bmp");
    EXPECT_EQ(BaseName("plain.bmp"), "plain.bmp");
}

TEST(JitterColourTest, EachComponentDrawsItsOwnFractionInOrder)
{
    SeedRandom(77);
    const double r1 = RandomFraction();
    const double r2 = RandomFraction();
    const double r3 = RandomFraction();
    const double r4 = RandomFraction();
    SeedRandom(77);
    float rgba[4];
    JitterColour(Vector(1.0f, 0.5f, 0.0f), rgba);
    EXPECT_FLOAT_EQ(rgba[3], float(0.7 - 0.3 * r1));
    EXPECT_FLOAT_EQ(rgba[2], float(0.0 + 0.2 * r2 - 0.1));
    EXPECT_FLOAT_EQ(rgba[1], float(0.5 + 0.2 * r3 - 0.1));
    EXPECT_FLOAT_EQ(rgba[0], float(1.0 + 0.2 * r4 - 0.1));
}

TEST(JitterColourTest, StaysWithinItsRange)
{
    SeedRandom(5);
    for (int i = 0; i < 1000; ++i)
    {
        float rgba[4];
        JitterColour(Vector(0.5f, 0.5f, 0.5f), rgba);
        ASSERT_GE(rgba[3], 0.4f - 1e-6f);
        ASSERT_LE(rgba[3], 0.7f + 1e-6f);
        for (int c = 0; c < 3; ++c)
        {
            ASSERT_GE(rgba[c], 0.4f - 1e-6f);
            ASSERT_LE(rgba[c], 0.6f + 1e-6f);
        }
    }
}

class AlphaTextureTest : public GLTest
{
};

TEST_F(AlphaTextureTest, UploadsAlphaTexelsWithTheWrapAndFilter)
{
    const std::string path =
        WriteBitmap("grad.bmp", 4, 2, [](int x, int y) { return (unsigned char)(x * 60 + y); });
    const GLuint texture = LoadAlphaTexture(path, kBulletTexture);
    ASSERT_NE(texture, 0u);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0, height = 0, format = 0, wrap = 0, filter = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(width, 4);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(format, GL_ALPHA8);
    EXPECT_EQ(wrap, GL_CLAMP);
    EXPECT_EQ(filter, GL_NEAREST);

    unsigned char texels[8] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, texels);
    // SDL gives the rows top first; the first byte of each pixel, rows unpadded.
    const unsigned char expected[8] = {0, 60, 120, 180, 1, 61, 121, 181};
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ(texels[i], expected[i]) << i;
    }
    glDeleteTextures(1, &texture);
    std::remove(path.c_str());
}

TEST_F(AlphaTextureTest, OddWidthBitmapIsReadAsRowsOfThreeTimesItsWidth)
{
    const std::string path =
        WriteBitmap("odd.bmp", 3, 3, [](int x, int y) { return (unsigned char)(10 * y + x); });
    const GLuint texture = LoadAlphaTexture(path, kBeamTexture);
    glBindTexture(GL_TEXTURE_2D, texture);
    unsigned char texels[9] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, texels);
    // Rows of 9 bytes padded to 12 (zeros): texel 3 is row 0's padding.
    const unsigned char expected[9] = {0, 1, 2, 0, 10, 11, 12, 0, 20};
    for (int i = 0; i < 9; ++i)
    {
        EXPECT_EQ(texels[i], expected[i]) << i;
    }
    glDeleteTextures(1, &texture);
    std::remove(path.c_str());
}

TEST_F(AlphaTextureTest, GameBitmapsLoadFromTheDataDirectory)
{
    // The working directory is the generated data.
    BeamList beams;
    BulletList bullets;
    GLint format = 0;
    glBindTexture(GL_TEXTURE_2D, beams.texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_ALPHA8);
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, bullets.texture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP);
    EXPECT_TRUE(glIsList(beams.list));
    EXPECT_TRUE(glIsList(bullets.list));
}

TEST(AlphaTextureDeathTest, MissingBeamBitmapIsFatal)
{
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            BeamList beams("/nonexistent\\beam.bmp");
        },
        ::testing::ExitedWithCode(0), "Texture file beam.bmp not found");
}

TEST(AlphaTextureDeathTest, MissingBulletBitmapIsFatal)
{
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            BulletList bullets("/nonexistent/Textures\\bullet.bmp");
        },
        ::testing::ExitedWithCode(0), "Texture file bullet.bmp not found");
}

TEST(AlphaTextureDeathTest, BrokenBitmapIsFatalWithAMessage)
{
    const std::string path = WriteTempFile("broken.bmp", "BM this is not a bitmap");
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            LoadAlphaTexture(path, kBeamTexture);
        },
        ::testing::ExitedWithCode(0), "Texture file .*broken.bmp is not a readable bitmap");
}

} // namespace
