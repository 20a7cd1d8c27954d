#include <png.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>
#include <vector>

#include "app/IntroScreen.h"
#include "support/GLTest.h"

namespace
{

namespace fs = std::filesystem;

// The four colours of the test pictures, one per pixel of a 2 by 2 image,
// rows top first.
const unsigned char kColours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {200, 100, 50}};
const unsigned char kGreys[4] = {0, 85, 170, 255};

// Writes a 2 by 2 PNG: an 8-bit palette image of kColours, or an 8-bit
// greyscale image of kGreys.
void WritePng(const fs::path& path, bool palette)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, 2, 2, 8, palette ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color entries[4];
    for (int i = 0; i < 4; ++i)
    {
        entries[i] = png_color{kColours[i][0], kColours[i][1], kColours[i][2]};
    }
    if (palette)
    {
        png_set_PLTE(png, info, entries, 4);
    }
    png_write_info(png, info);
    const unsigned char rows[2][2] = {{0, 1}, {2, 3}};
    for (int y = 0; y < 2; ++y)
    {
        unsigned char row[2];
        for (int x = 0; x < 2; ++x)
        {
            row[x] = palette ? rows[y][x] : kGreys[rows[y][x]];
        }
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

// Loads the intro background from a data directory whose picture is the given PNG
// and returns the texture's texels, 2 by 2 RGB.
std::vector<unsigned char> BackgroundTexels(bool palette)
{
    const fs::path dir = fs::temp_directory_path() / ("korvane-background-" + std::to_string(getpid()));
    fs::create_directories(dir / "Textures");
    WritePng(dir / "Textures" / "intro_background.png", palette);
    const fs::path previous = fs::current_path();
    fs::current_path(dir);
    const GLuint texture = LoadIntroBackground();
    fs::current_path(previous);
    fs::remove_all(dir);

    std::vector<unsigned char> texels(12);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glDeleteTextures(1, &texture);
    return texels;
}

class IntroBackgroundLayout : public GLTest
{
};

// A background that is a valid PNG in a layout other than 24-bit RGB is
// converted before the upload: the texture holds the picture's own colours.
TEST_F(IntroBackgroundLayout, PaletteAndGreyscalePicturesAreConverted)
{
    const std::vector<unsigned char> paletted = BackgroundTexels(true);
    const std::vector<unsigned char> grey = BackgroundTexels(false);
    for (int i = 0; i < 4; ++i)
    {
        for (int c = 0; c < 3; ++c)
        {
            EXPECT_EQ(paletted[3 * i + c], kColours[i][c]) << "palette pixel " << i << " channel " << c;
            EXPECT_EQ(grey[3 * i + c], kGreys[i]) << "grey pixel " << i << " channel " << c;
        }
    }
}

} // namespace
