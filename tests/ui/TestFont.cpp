#include "TestFont.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

std::string WriteFontImage(const std::string& name, const std::function<bool(int, int, int)>& opaque)
{
    const int width = 256;
    const int height = 128;
    std::string image(18, '\0');
    image[2] = 2; // uncompressed true colour
    image[12] = char(width & 255);
    image[13] = char(width >> 8);
    image[14] = char(height & 255);
    image[15] = char(height >> 8);
    image[16] = 32;   // bits per pixel
    image[17] = 0x28; // top-left origin, 8 alpha bits
    for (int row = 0; row < height; ++row)
    {
        for (int column = 0; column < width; ++column)
        {
            const int cellColumn = column / 11;
            const int code = (row / 16) * 16 + cellColumn;
            const bool on = cellColumn < 16 && opaque(code, column % 11, row % 16);
            // White everywhere, so that filtering at glyph edges gives no dark fringe.
            image += std::string(3, char(255)); // blue, green, red
            image += on ? char(255) : char(0);  // alpha
        }
    }
    return WriteTempFile(name + ".tga", image);
}

Font SolidFont(const std::string& solidCharacters)
{
    const std::string path = WriteFontImage(
        "solid", [&](int code, int, int) { return solidCharacters.find(char(code)) != std::string::npos; });
    Font font;
    LoadFontFrom(font, path);
    return font;
}

int CountColour(int x, int y, int width, int height, int r, int g, int b)
{
    std::vector<unsigned char> pixels(size_t(width) * height * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int count = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
    {
        if (std::abs(pixels[i] - r) <= 8 && std::abs(pixels[i + 1] - g) <= 8 &&
            std::abs(pixels[i + 2] - b) <= 8)
        {
            ++count;
        }
    }
    return count;
}

void DumpScreenIfAsked()
{
    const char* path = std::getenv("KORVANE_DUMP");
    if (path == nullptr)
    {
        return;
    }
    std::vector<unsigned char> pixels(800 * 600 * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    FILE* out = std::fopen(path, "wb");
    if (out == nullptr)
    {
        return;
    }
    std::fprintf(out, "P6 800 600 255\n");
    for (int row = 599; row >= 0; --row)
    {
        std::fwrite(&pixels[size_t(row) * 800 * 3], 1, 800 * 3, out);
    }
    std::fclose(out);
}
