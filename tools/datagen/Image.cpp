#include "Image.h"

#include <SDL/SDL.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{

uint8_t ToByte(float v)
{
    const float c = std::min(1.0f, std::max(0.0f, v));
    return static_cast<uint8_t>(std::lround(c * 255.0f));
}

} // namespace

Colour Mix(const Colour& a, const Colour& b, float t)
{
    return Colour(a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t);
}

Colour Scale(const Colour& c, float s)
{
    return Colour(c.r * s, c.g * s, c.b * s, c.a);
}

Image::Image(int width_, int height_, int channels_)
    : width(width_), height(height_), channels(channels_),
      bytes(static_cast<size_t>(width_) * height_ * channels_, 0)
{
}

void Image::Set(int x, int y, const Colour& c)
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    uint8_t* p = &bytes[(static_cast<size_t>(y) * width + x) * channels];
    p[0] = ToByte(c.r);
    p[1] = ToByte(c.g);
    p[2] = ToByte(c.b);
    if (channels == 4)
        p[3] = ToByte(c.a);
}

Colour Image::Get(int x, int y) const
{
    x = std::min(width - 1, std::max(0, x));
    y = std::min(height - 1, std::max(0, y));
    const uint8_t* p = &bytes[(static_cast<size_t>(y) * width + x) * channels];
    return Colour(p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, channels == 4 ? p[3] / 255.0f : 1.0f);
}

void Image::Blend(int x, int y, const Colour& c)
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    const Colour d = Get(x, y);
    const float a = std::min(1.0f, std::max(0.0f, c.a));
    Colour out = Mix(d, c, a);
    out.a = d.a + a * (1.0f - d.a);
    Set(x, y, out);
}

void Image::Fill(const Colour& c)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            Set(x, y, c);
}

bool Image::WritePng(const std::string& path) const
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
    {
        std::fprintf(stderr, "Cannot write %s\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        std::fprintf(stderr, "libpng failed writing %s\n", path.c_str());
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(&bytes[static_cast<size_t>(y) * width * channels]));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

bool Image::WriteBmp(const std::string& path) const
{
    // A 24-bit surface in SDL's BMP byte order (blue, green, red).
    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0x00ff0000, 0x0000ff00, 0x000000ff, 0);
    if (!surface)
    {
        std::fprintf(stderr, "Cannot create a surface for %s: %s\n", path.c_str(), SDL_GetError());
        return false;
    }
    SDL_LockSurface(surface);
    for (int y = 0; y < height; ++y)
    {
        uint8_t* row = static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
        for (int x = 0; x < width; ++x)
        {
            const uint8_t* p = &bytes[(static_cast<size_t>(y) * width + x) * channels];
            row[x * 3 + 0] = p[2];
            row[x * 3 + 1] = p[1];
            row[x * 3 + 2] = p[0];
        }
    }
    SDL_UnlockSurface(surface);
    const int result = SDL_SaveBMP(surface, path.c_str());
    SDL_FreeSurface(surface);
    if (result != 0)
    {
        std::fprintf(stderr, "Cannot write %s: %s\n", path.c_str(), SDL_GetError());
        return false;
    }
    return true;
}
