#include "support/ReferenceFrame.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <vector>

#include "support/GLTest.h"

namespace
{

const int kWidth = 800;
const int kHeight = 600;

// An image in PNG row order: the first row is the top of the screen.
struct Image
{
    int width = 0;
    int height = 0;
    int channels = 0; // 3 for colour, 1 for stencil
    std::vector<unsigned char> pixels;

    unsigned char* Row(int y) { return pixels.data() + size_t(y) * width * channels; }
    unsigned char* At(int x, int y) { return pixels.data() + (size_t(y) * width + x) * channels; }
    const unsigned char* At(int x, int y) const { return pixels.data() + (size_t(y) * width + x) * channels; }
};

std::string ReferenceDir()
{
    return SourceDir() + "/tests/reference/";
}

std::string OutputDir()
{
#ifdef KORVANE_BINARY_DIR
    const std::string dir = std::string(KORVANE_BINARY_DIR) + "/test-output/";
#else
    const std::string dir = "test-output/";
#endif
    mkdir(dir.c_str(), 0755);
    return dir;
}

bool WritePng(const std::string& path, const Image& image)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
    {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, image.width, image.height, 8,
                 image.channels == 3 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y)
    {
        png_write_row(png, image.pixels.data() + size_t(y) * image.width * image.channels);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return true;
}

// Reads an 8-bit RGB or grey PNG as written by WritePng; false when the file
// is missing or of another kind.
bool ReadPng(const std::string& path, int channels, Image& image)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
    {
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    const int colourType = png_get_color_type(png, info);
    const bool kindMatches =
        png_get_bit_depth(png, info) == 8 &&
        (channels == 3 ? colourType == PNG_COLOR_TYPE_RGB : colourType == PNG_COLOR_TYPE_GRAY);
    if (!kindMatches)
    {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        return false;
    }
    image.width = int(png_get_image_width(png, info));
    image.height = int(png_get_image_height(png, info));
    image.channels = channels;
    image.pixels.assign(size_t(image.width) * image.height * channels, 0);
    for (int y = 0; y < image.height; ++y)
    {
        png_read_row(png, image.Row(y), nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return true;
}

// Reads the back buffer, turning OpenGL's bottom-up rows into PNG's
// top-down order.
void ReadFrame(Image& colour, Image& stencil)
{
    std::vector<unsigned char> rgb(size_t(kWidth) * kHeight * 3);
    std::vector<GLubyte> values(size_t(kWidth) * kHeight);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glReadPixels(0, 0, kWidth, kHeight, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, values.data());
    colour = Image{kWidth, kHeight, 3, std::vector<unsigned char>(rgb.size())};
    stencil = Image{kWidth, kHeight, 1, std::vector<unsigned char>(values.size())};
    for (int y = 0; y < kHeight; ++y)
    {
        const int from = kHeight - 1 - y;
        std::copy_n(rgb.data() + size_t(from) * kWidth * 3, kWidth * 3, colour.Row(y));
        std::copy_n(values.data() + size_t(from) * kWidth, kWidth, stencil.Row(y));
    }
}

struct Mismatch
{
    int colourPixels = 0;
    int stencilPixels = 0;
    int left = kWidth, right = -1, top = kHeight, bottom = -1; // bounding box, PNG rows
    std::ostringstream firstFew;
    int listed = 0;
};

// Marks each differing pixel in `diff`: the expected frame dimmed to a
// quarter, red where the colour differs, blue where the stencil differs,
// magenta where both do.
void Compare(const Image& expected, const Image& actual, const Image& expectedStencil,
             const Image& actualStencil, Image& diff, Mismatch& m)
{
    diff = Image{kWidth, kHeight, 3, std::vector<unsigned char>(size_t(kWidth) * kHeight * 3)};
    for (int y = 0; y < kHeight; ++y)
    {
        for (int x = 0; x < kWidth; ++x)
        {
            const unsigned char* e = expected.At(x, y);
            const unsigned char* a = actual.At(x, y);
            int worst = 0;
            for (int c = 0; c < 3; ++c)
            {
                worst = std::max(worst, std::abs(int(e[c]) - int(a[c])));
            }
            const bool colourDiffers = worst > kColourTolerance;
            const bool stencilDiffers = *expectedStencil.At(x, y) != *actualStencil.At(x, y);
            unsigned char* d = diff.At(x, y);
            for (int c = 0; c < 3; ++c)
            {
                d[c] = e[c] / 4;
            }
            if (!colourDiffers && !stencilDiffers)
            {
                continue;
            }
            d[0] = colourDiffers ? 255 : 0;
            d[1] = 0;
            d[2] = stencilDiffers ? 255 : 0;
            m.colourPixels += colourDiffers ? 1 : 0;
            m.stencilPixels += stencilDiffers ? 1 : 0;
            m.left = std::min(m.left, x);
            m.right = std::max(m.right, x);
            m.top = std::min(m.top, y);
            m.bottom = std::max(m.bottom, y);
            if (m.listed < 5)
            {
                // Reported in the game's own screen coordinates (origin at the bottom left).
                m.firstFew << "\n  (" << x << ", " << kHeight - 1 - y << "): colour " << int(e[0]) << ","
                           << int(e[1]) << "," << int(e[2]) << " -> " << int(a[0]) << "," << int(a[1]) << ","
                           << int(a[2]) << ", stencil " << int(*expectedStencil.At(x, y)) << " -> "
                           << int(*actualStencil.At(x, y));
                ++m.listed;
            }
        }
    }
}

} // namespace

::testing::AssertionResult MatchesReference(const std::string& name)
{
    Image colour, stencil;
    ReadFrame(colour, stencil);
    const std::string colourPath = ReferenceDir() + name + ".png";
    const std::string stencilPath = ReferenceDir() + name + ".stencil.png";

    const char* update = std::getenv("KORVANE_UPDATE_REFERENCES");
    if (update != nullptr && std::string(update) == "1")
    {
        if (!WritePng(colourPath, colour) || !WritePng(stencilPath, stencil))
        {
            return ::testing::AssertionFailure() << "could not write the reference " << colourPath;
        }
        return ::testing::AssertionSuccess();
    }

    const std::string actualPath = OutputDir() + name + ".actual.png";
    const std::string actualStencilPath = OutputDir() + name + ".actual.stencil.png";
    Image expected, expectedStencil;
    if (!ReadPng(colourPath, 3, expected) || !ReadPng(stencilPath, 1, expectedStencil) ||
        expected.width != kWidth || expected.height != kHeight || expectedStencil.width != kWidth ||
        expectedStencil.height != kHeight)
    {
        WritePng(actualPath, colour);
        WritePng(actualStencilPath, stencil);
        return ::testing::AssertionFailure()
               << "no usable 800x600 reference " << colourPath << " (and .stencil.png); the frame drawn is "
               << actualPath << "; run scripts/update-references.sh to make it the reference";
    }

    Image diff;
    Mismatch m;
    Compare(expected, colour, expectedStencil, stencil, diff, m);
    if (m.colourPixels == 0 && m.stencilPixels == 0)
    {
        return ::testing::AssertionSuccess();
    }
    const std::string diffPath = OutputDir() + name + ".diff.png";
    WritePng(actualPath, colour);
    WritePng(actualStencilPath, stencil);
    WritePng(diffPath, diff);
    return ::testing::AssertionFailure()
           << "frame '" << name << "' differs from its reference: " << m.colourPixels
           << " pixels of colour (more than " << kColourTolerance << " in a channel), " << m.stencilPixels
           << " of stencil, within x " << m.left << ".." << m.right << ", y " << kHeight - 1 - m.bottom
           << ".." << kHeight - 1 - m.top << m.firstFew.str() << "\n  actual: " << actualPath
           << "\n  stencil: " << actualStencilPath << "\n  difference: " << diffPath
           << "\n  reference: " << colourPath;
}
