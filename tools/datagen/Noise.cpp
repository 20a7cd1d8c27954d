#include "Noise.h"

#include <cmath>

uint32_t Hash(int32_t a, int32_t b, int32_t c, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B9u + 0x7F4A7C15u;
    const uint32_t values[3] = {static_cast<uint32_t>(a), static_cast<uint32_t>(b), static_cast<uint32_t>(c)};
    for (uint32_t v : values)
    {
        h ^= v + 0x9E3779B9u + (h << 6) + (h >> 2);
        h ^= h >> 16;
        h *= 0x85EBCA6Bu;
        h ^= h >> 13;
        h *= 0xC2B2AE35u;
        h ^= h >> 16;
    }
    return h;
}

float HashFraction(int32_t a, int32_t b, int32_t c, uint32_t seed)
{
    return (Hash(a, b, c, seed) >> 8) * (1.0f / 16777216.0f);
}

float ValueNoise(float x, float y, uint32_t seed)
{
    const float fx = std::floor(x), fy = std::floor(y);
    const int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3.0f - 2.0f * tx);
    ty = ty * ty * (3.0f - 2.0f * ty);
    const float v00 = HashFraction(ix, iy, 0, seed), v10 = HashFraction(ix + 1, iy, 0, seed);
    const float v01 = HashFraction(ix, iy + 1, 0, seed), v11 = HashFraction(ix + 1, iy + 1, 0, seed);
    const float top = v00 + (v10 - v00) * tx, bottom = v01 + (v11 - v01) * tx;
    return top + (bottom - top) * ty;
}

float FractalNoise(float x, float y, int octaves, uint32_t seed)
{
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (int i = 0; i < octaves; ++i)
    {
        sum += ValueNoise(x, y, seed + i * 101u) * weight;
        total += weight;
        weight *= 0.5f;
        x *= 2.0f;
        y *= 2.0f;
    }
    return sum / total;
}

float Sequence::Next()
{
    state = state * 1664525u + 1013904223u;
    return (Hash(static_cast<int32_t>(state)) >> 8) * (1.0f / 16777216.0f);
}
