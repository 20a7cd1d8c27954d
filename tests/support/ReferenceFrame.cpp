#include "support/ReferenceFrame.h"

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <vector>

#include "support/GLTest.h"

namespace
{

const int kWidth = 800;
const int kHeight = 600;

// An image in OpenGL's row order: the first row is the bottom of the screen.
// PNG files keep the top row first; libpng turns the rows over on the way.
struct Image
{
    int width = 0;
    int height = 0;
    int channels = 0; // 3 for colour, 1 for stencil
    std::vector<unsigned char> pixels;

    unsigned char* At(int x, int y) { return pixels.data() + (size_t(y) * width + x) * channels; }
    const unsigned char* At(int x, int y) const { return pixels.data() + (size_t(y) * width + x) * channels; }
};

std::string ReferenceDir()
{
    return SourceDir() + "/tests/reference/";
}

std::string OutputDir()
{
    const std::string dir = KORVANE_BINARY_DIR "/test-output/";
    mkdir(dir.c_str(), 0755);
    return dir;
}

png_uint_32 PngFormat(int channels)
{
    return channels == 3 ? PNG_FORMAT_RGB : PNG_FORMAT_GRAY;
}

// A negative row stride makes libpng read and write the rows bottom-up.
png_int_32 BottomUpStride(const Image& image)
{
    return -png_int_32(image.width * image.channels);
}

bool WritePng(const std::string& path, const Image& image)
{
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(image.width);
    png.height = png_uint_32(image.height);
    png.format = PngFormat(image.channels);
    return png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), BottomUpStride(image),
                                   nullptr) != 0;
}

// Reads an 8-bit RGB or grey PNG as written by WritePng; false when the file
// is missing or of another kind.
bool ReadPng(const std::string& path, int channels, Image& image)
{
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
    {
        return false;
    }
    if (png.format != PngFormat(channels))
    {
        png_image_free(&png);
        return false;
    }
    image = Image{int(png.width), int(png.height), channels, std::vector<unsigned char>(PNG_IMAGE_SIZE(png))};
    return png_image_finish_read(&png, nullptr, image.pixels.data(), BottomUpStride(image), nullptr) != 0;
}

// Reads the back buffer's colour and stencil.
void ReadFrame(Image& colour, Image& stencil)
{
    colour = Image{kWidth, kHeight, 3, std::vector<unsigned char>(size_t(kWidth) * kHeight * 3)};
    stencil = Image{kWidth, kHeight, 1, std::vector<unsigned char>(size_t(kWidth) * kHeight)};
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, colour.pixels.data());
    glReadPixels(0, 0, kWidth, kHeight, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, stencil.pixels.data());
}

struct Mismatch
{
    int colourPixels = 0;
    int stencilPixels = 0;
    int left = kWidth, right = -1, low = kHeight, high = -1; // bounding box
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
    // From the top row down, so that the pixels listed are the top-most.
    for (int y = kHeight - 1; y >= 0; --y)
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
            m.low = std::min(m.low, y);
            m.high = std::max(m.high, y);
            if (m.listed < 5)
            {
                m.firstFew << "\n  (" << x << ", " << y << "): colour " << int(e[0]) << "," << int(e[1])
                           << "," << int(e[2]) << " -> " << int(a[0]) << "," << int(a[1]) << "," << int(a[2])
                           << ", stencil " << int(*expectedStencil.At(x, y)) << " -> "
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
           << " of stencil, within x " << m.left << ".." << m.right << ", y " << m.low << ".." << m.high
           << m.firstFew.str() << "\n  actual: " << actualPath << "\n  stencil: " << actualStencilPath
           << "\n  difference: " << diffPath << "\n  reference: " << colourPath;
}
