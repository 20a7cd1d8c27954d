// The generated images: the pixel layouts the game's loaders take for granted,
// and contents that make sense (glows, font cells, the intro picture).

#include "DataSupport.h"
#include "support/GLTest.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{

struct SurfaceFree
{
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

Surface LoadPng(const std::string& path)
{
    return Surface(IMG_Load(path.c_str()));
}
Surface LoadBmp(const std::string& path)
{
    return Surface(SDL_LoadBMP(path.c_str()));
}

const unsigned char* Pixel(const SDL_Surface* s, int x, int y)
{
    return static_cast<const unsigned char*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
}

// The fraction of pixels of an RGBA image whose alpha exceeds `threshold`.
double AlphaCoverage(const SDL_Surface* s, int threshold)
{
    int count = 0;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            count += Pixel(s, x, y)[3] > threshold ? 1 : 0;
    return static_cast<double>(count) / (s->w * s->h);
}

const char* const kModels[] = {"battlefrigate", "beamfrigateopen", "escortcarrier2", "smallfighter",
                               "gunturret",     "gunturret_base",  "gunturret_guns", "beamturret"};

class TextureFiles : public ::testing::TestWithParam<std::string>
{
};

TEST_P(TextureFiles, ModelSkinsAre24BitBmpsLightEnoughToTint)
{
    for (const char* name : kModels)
    {
        SCOPED_TRACE(name);
        Surface skin = LoadBmp(GetParam() + "/Textures/" + name + ".bmp");
        ASSERT_TRUE(skin) << SDL_GetError();
        EXPECT_EQ(skin->format->BitsPerPixel, 24);
        EXPECT_EQ(skin->w & (skin->w - 1), 0) << "power-of-two width";
        EXPECT_EQ(skin->h & (skin->h - 1), 0) << "power-of-two height";
        double sum = 0;
        for (int y = 0; y < skin->h; ++y)
            for (int x = 0; x < skin->w; ++x)
            {
                const unsigned char* p = Pixel(skin.get(), x, y);
                sum += (p[0] + p[1] + p[2]) / 3.0;
            }
        // The owner's colour multiplies the skin: a dark skin hides it.
        EXPECT_GT(sum / (skin->w * skin->h), 140.0);
    }
}

TEST_P(TextureFiles, LightMapsAre32BitPngsThatGlowOnlyInPlaces)
{
    for (const char* name : kModels)
    {
        SCOPED_TRACE(name);
        Surface map = LoadPng(GetParam() + "/Textures/" + name + "_lmap.png");
        ASSERT_TRUE(map) << IMG_GetError();
        EXPECT_EQ(map->format->BitsPerPixel, 32);
        Surface skin = LoadBmp(GetParam() + "/Textures/" + name + ".bmp");
        ASSERT_TRUE(skin);
        EXPECT_EQ(map->w, skin->w);
        EXPECT_EQ(map->h, skin->h);
        const double glowing = AlphaCoverage(map.get(), 128);
        EXPECT_LT(glowing, 0.25) << "most of the hull is not lit";
    }
    // The ships with engines and windows have a visible share of glow.
    for (const char* name :
         {"battlefrigate", "beamfrigateopen", "escortcarrier2", "smallfighter", "beamturret"})
    {
        Surface map = LoadPng(GetParam() + "/Textures/" + name + "_lmap.png");
        ASSERT_TRUE(map);
        EXPECT_GT(AlphaCoverage(map.get(), 128), 0.001) << name;
    }
}

TEST_P(TextureFiles, PlayerLightsGlowInThePlayersColour)
{
    const int colours[4][3] = {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}, {1, 1, 0}};
    for (int i = 0; i < 4; ++i)
    {
        Surface light = LoadPng(GetParam() + "/Textures/light" + std::to_string(i) + ".png");
        ASSERT_TRUE(light) << i;
        EXPECT_EQ(light->format->BitsPerPixel, 32);
        // Opaque in the middle, clear at the corners.
        EXPECT_GT(Pixel(light.get(), light->w / 2, light->h / 2)[3], 200);
        EXPECT_EQ(Pixel(light.get(), 0, 0)[3], 0);
        // The halo, a quarter of the way out, has the player's hue.
        const unsigned char* halo = Pixel(light.get(), light->w / 2 + light->w / 6, light->h / 2);
        for (int c = 0; c < 3; ++c)
        {
            if (colours[i][c])
            {
                EXPECT_GT(halo[c], 200) << i << " " << c;
            }
            else
            {
                EXPECT_LT(halo[c], 120) << i << " " << c;
            }
        }
    }
}

TEST_P(TextureFiles, BeamAndBulletBitmapsSuitTheAlphaUpload)
{
    // The alpha upload reads rows as exactly 3 x width bytes: that matches
    // the surface only when the rows need no padding.
    for (const char* name : {"beam", "bullet"})
    {
        Surface s = LoadBmp(GetParam() + "/Textures/" + name + ".bmp");
        ASSERT_TRUE(s) << name;
        EXPECT_EQ(s->format->BitsPerPixel, 24);
        EXPECT_EQ((s->w * 3) % 4, 0) << name;
        EXPECT_EQ(s->pitch, s->w * 3) << name;
    }
    Surface beam = LoadBmp(GetParam() + "/Textures/beam.bmp");
    // Across the beam (s): bright core, clear edges.
    const int mid = beam->h / 2;
    EXPECT_GT(Pixel(beam.get(), beam->w / 2, mid)[0], 220);
    EXPECT_LT(Pixel(beam.get(), 0, mid)[0], 20);
    EXPECT_LT(Pixel(beam.get(), beam->w - 1, mid)[0], 20);
    Surface bullet = LoadBmp(GetParam() + "/Textures/bullet.bmp");
    // The head (t near 0, the image's first row) is brighter than the tail.
    const int cx = bullet->w / 2;
    EXPECT_GT(Pixel(bullet.get(), cx, bullet->h / 8)[0], Pixel(bullet.get(), cx, bullet->h - 2)[0] + 80);
}

TEST_P(TextureFiles, IntroBackgroundHoldsAnEightHundredBySixHundredPicture)
{
    Surface s = LoadPng(GetParam() + "/Textures/intro_background.png");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->format->BitsPerPixel, 24);
    ASSERT_EQ(s->w, 1024);
    ASSERT_EQ(s->h, 1024);
    long inside = 0, outside = 0;
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1024; ++x)
        {
            const unsigned char* p = Pixel(s.get(), x, y);
            const int v = p[0] + p[1] + p[2];
            (x < 800 && y < 600 ? inside : outside) += v;
        }
    EXPECT_GT(inside / (800.0 * 600.0), 20.0) << "a picture, not a black screen";
    EXPECT_EQ(outside, 0) << "nothing outside the shown part";
}

TEST_P(TextureFiles, FontHasEveryPrintableCharacterInsideItsCell)
{
    Surface s = LoadPng(GetParam() + "/Textures/font2.png");
    ASSERT_TRUE(s);
    ASSERT_EQ(s->format->BitsPerPixel, 32);
    const double cellW = s->w * 11.0 / 256.0, cellH = s->h / 8.0;
    auto ink = [&](int code, int* left, int* right)
    {
        const int x0 = static_cast<int>((code % 16) * cellW), y0 = static_cast<int>((code / 16) * cellH);
        int count = 0;
        *left = 1 << 20;
        *right = -1;
        for (int y = y0; y < y0 + static_cast<int>(cellH); ++y)
            for (int x = x0; x < x0 + static_cast<int>(cellW); ++x)
                if (Pixel(s.get(), x, y)[3] > 96)
                {
                    ++count;
                    *left = std::min(*left, x - x0);
                    *right = std::max(*right, x - x0);
                }
        return count;
    };
    int left, right;
    for (int code = 33; code < 127; ++code)
        EXPECT_GT(ink(code, &left, &right), 0) << "character " << code;
    EXPECT_EQ(ink(' ', &left, &right), 0);
    // Nothing beyond the sixteen columns, and the colour is white.
    for (int y = 0; y < s->h; ++y)
        for (int x = static_cast<int>(16 * cellW); x < s->w; ++x)
            ASSERT_EQ(Pixel(s.get(), x, y)[3], 0);
    const unsigned char* m = Pixel(s.get(), static_cast<int>(('M' % 16) * cellW + cellW / 2),
                                   static_cast<int>(('M' / 16) * cellH + cellH / 2));
    EXPECT_EQ(m[0], 255);
    // Glyphs stay within the advance the game gives them, so text neither
    // crowds nor gapes: "l" is narrow, "M" wide, letters start at the left.
    for (const char* text : {"Tigershark", "MT", "sec", "abcdefghijklmnopqrstuvwxyz"})
        for (const char* c = text; *c; ++c)
        {
            const float advance = (*c == 'l')                                             ? 0.3f
                                  : (std::string("fijrt-").find(*c) != std::string::npos) ? 0.46f
                                  : (*c == 'v' || *c == 'y')                              ? 0.5f
                                  : (*c == 'M' || *c == 'W' || *c == 'm' || *c == 'w')    ? 1.0f
                                                                                          : 0.68f;
            ink(*c, &left, &right);
            EXPECT_LE(right, advance * cellW + 1.5) << *c;
            EXPECT_LE(left, 0.3 * cellW) << *c;
        }
    int mLeft, mRight, lLeft, lRight;
    ink('M', &mLeft, &mRight);
    ink('l', &lLeft, &lRight);
    EXPECT_GT(mRight - mLeft, 3 * (lRight - lLeft));
}

INSTANTIATE_TEST_SUITE_P(BothDataSets, TextureFiles, ::testing::Values(DataDir(), TestDataDir()));

} // namespace
