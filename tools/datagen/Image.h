#ifndef KORVANE_TOOLS_IMAGE_H
#define KORVANE_TOOLS_IMAGE_H

#include <cstdint>
#include <string>
#include <vector>

// An 8-bit image with 3 (RGB) or 4 (RGBA) channels, rows stored from the top.
// The generator paints into it and writes it as PNG (libpng) or as a 24-bit
// BMP (SDL's own writer, so the game's BMP loader reads it the way SDL lays
// it out).
struct Colour
{
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;

    constexpr Colour() = default;
    constexpr Colour(float r_, float g_, float b_, float a_ = 1.0f) : r(r_), g(g_), b(b_), a(a_) {}
};

Colour Mix(const Colour& a, const Colour& b, float t);
Colour Scale(const Colour& c, float s);

class Image
{
  public:
    Image(int width, int height, int channels);

    int Width() const { return width; }
    int Height() const { return height; }
    int Channels() const { return channels; }
    const std::vector<uint8_t>& Bytes() const { return bytes; }

    // Components are clamped to 0..1 and rounded to bytes.
    void Set(int x, int y, const Colour& c);
    Colour Get(int x, int y) const;
    // "Over" compositing of c (with its alpha) onto the pixel; the alpha of an
    // RGBA pixel accumulates as well.
    void Blend(int x, int y, const Colour& c);
    void Fill(const Colour& c);

    // Both return false (and print why) when the file cannot be written.
    bool WritePng(const std::string& path) const;
    bool WriteBmp(const std::string& path) const;

  private:
    int width;
    int height;
    int channels;
    std::vector<uint8_t> bytes;
};

#endif
