#include "FixedTextures.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace
{

float Clamp01(float v)
{
    return std::min(1.0f, std::max(0.0f, v));
}
float Smooth(float e0, float e1, float x)
{
    const float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

} // namespace

Image PlayerLight(const Colour& colour)
{
    const int size = 64;
    Image image(size, size, 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const float dx = (x + 0.5f - size * 0.5f) / (size * 0.5f);
            const float dy = (y + 0.5f - size * 0.5f) / (size * 0.5f);
            const float r = std::sqrt(dx * dx + dy * dy);
            const float halo = std::exp(-r * r * 9.0f);
            const float core = std::exp(-r * r * 60.0f);
            const float rays = std::max(std::exp(-dx * dx * 400.0f), std::exp(-dy * dy * 400.0f)) *
                               Clamp01(1.0f - r) * 0.45f;
            const float a = Clamp01(halo + core + rays) * Clamp01((1.0f - r) * 4.0f);
            const float white = Clamp01(core * 1.2f + rays * 0.5f);
            const Colour c = Mix(colour, Colour(1, 1, 1), white);
            image.Set(x, y, Colour(c.r, c.g, c.b, a));
        }
    return image;
}

Image BeamBitmap()
{
    const int width = 64, height = 64; // width x 3 is a multiple of 4
    Image image(width, height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const float s = (x + 0.5f) / width * 2.0f - 1.0f; // -1..1 across
            const float core = std::exp(-s * s * 60.0f);
            const float body = std::exp(-s * s * 6.0f) * 0.55f;
            const float edge = Clamp01((1.0f - std::fabs(s)) * 6.0f);
            const float bands = 0.85f + 0.15f * std::sin(y * 2.0f * 3.14159265f * 4.0f / height);
            const float a = Clamp01((core + body * bands) * edge);
            image.Set(x, y, Colour(a, a, a));
        }
    return image;
}

Image BulletBitmap()
{
    const int width = 16, height = 32; // width x 3 is a multiple of 4
    Image image(width, height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            // Row 0 (t = 0) is the front of the bullet, the last row its tail.
            const float s = (x + 0.5f) / width * 2.0f - 1.0f;
            const float t = (y + 0.5f) / height;
            const float head = std::exp(-((t - 0.12f) * (t - 0.12f)) * 120.0f - s * s * 6.0f);
            const float tail = Clamp01(1.0f - t) * std::exp(-s * s * (6.0f + 20.0f * t)) * 0.7f;
            const float a = Clamp01(head + tail) * Clamp01((1.0f - std::fabs(s)) * 4.0f);
            image.Set(x, y, Colour(a, a, a));
        }
    return image;
}

Image IntroBackground()
{
    const int size = 1024, width = 800, height = 600;
    Image image(size, size, 3);
    image.Fill(Colour(0, 0, 0));
    // Deep space with a violet and rust nebula band across the picture.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const float fx = x / 200.0f, fy = y / 200.0f;
            const float n = FractalNoise(fx, fy, 5, 901);
            const float m = FractalNoise(fx * 1.7f + 3.0f, fy * 1.7f, 4, 907);
            const float band =
                std::exp(-std::pow((y - 0.55f * height + 0.25f * (x - width * 0.5f)) / 170.0f, 2));
            const float cloud = Smooth(0.35f, 0.85f, n) * band;
            const float dust = Smooth(0.45f, 0.9f, m) * band;
            Colour c(0.01f, 0.01f, 0.03f);
            c = Mix(c, Colour(0.35f, 0.12f, 0.5f), cloud * 0.8f);
            c = Mix(c, Colour(0.7f, 0.3f, 0.15f), dust * 0.45f);
            image.Set(x, y, c);
        }
    // Stars: many faint ones, fewer bright ones with a small glow.
    Sequence stars(77);
    for (int i = 0; i < 1800; ++i)
    {
        const float x = stars.Range(0, width), y = stars.Range(0, height);
        const float b = std::pow(stars.Next(), 3.0f);
        const float tint = stars.Next();
        const Colour c = tint < 0.3f   ? Colour(0.8f, 0.85f, 1.0f)
                         : tint < 0.8f ? Colour(1, 1, 1)
                                       : Colour(1, 0.85f, 0.7f);
        const int radius = b > 0.5f ? 3 : 1;
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx)
            {
                const float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
                const float a = (0.25f + 0.75f * b) * std::exp(-d * d * (b > 0.5f ? 0.8f : 2.5f));
                const int px = static_cast<int>(x) + dx, py = static_cast<int>(y) + dy;
                if (px >= 0 && px < width && py >= 0 && py < height)
                    image.Blend(px, py, Colour(c.r, c.g, c.b, a));
            }
    }
    // A ringed planet low on the right, lit from the upper left.
    const float cx = 640, cy = 500, radius = 170;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const float dx = (x - cx) / radius, dy = (y - cy) / radius;
            const float r2 = dx * dx + dy * dy;
            if (r2 < 1.0f)
            {
                const float nz = std::sqrt(1.0f - r2);
                const float light = Clamp01(-dx * 0.6f - dy * 0.5f + nz * 0.62f);
                const float bands = FractalNoise(dy * 6.0f, dx * 0.8f, 4, 951);
                const Colour surface = Mix(Colour(0.35f, 0.22f, 0.35f), Colour(0.75f, 0.55f, 0.5f), bands);
                const float edge = Smooth(1.0f, 0.96f, r2);
                const Colour c = Scale(surface, 0.04f + light * 0.96f);
                image.Set(x, y, Mix(image.Get(x, y), c, edge));
            }
            // Thin atmosphere rim on the lit side.
            const float rim =
                std::exp(-std::pow((std::sqrt(r2) - 1.0f) * 28.0f, 2)) * Clamp01(-dx - dy + 0.3f);
            if (rim > 0.01f)
                image.Blend(x, y, Colour(0.6f, 0.7f, 1.0f, rim * 0.8f));
            // The ring: an ellipse tilted across the planet, hidden behind it.
            const float rx = (x - cx) * 0.95f + (y - cy) * 0.3f, ry = -(x - cx) * 0.3f + (y - cy) * 0.95f;
            const float e =
                std::sqrt(rx * rx / (radius * radius * 3.2f) + ry * ry / (radius * radius * 0.12f));
            const bool behind = r2 < 1.0f && ry < 0.0f;
            if (e > 1.0f && e < 1.25f && !behind)
            {
                const float ringShade = 0.5f + 0.5f * std::sin(e * 60.0f);
                image.Blend(x, y,
                            Colour(0.8f, 0.7f, 0.6f,
                                   0.5f * ringShade * Smooth(1.0f, 1.04f, e) * Smooth(1.25f, 1.2f, e)));
            }
        }
    return image;
}
