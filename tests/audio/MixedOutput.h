// The two kinds of file a check of what is heard reads: a sound file as the
// mixer has it, and the mixed output that SDL's disk driver writes; and the
// least-squares solve that finds at what levels sound files make up an output.
#ifndef KORVANE_TESTS_AUDIO_MIXED_OUTPUT_H
#define KORVANE_TESTS_AUDIO_MIXED_OUTPUT_H

#include <SDL/SDL.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// A sound file's samples: 16-bit mono at 44100 frames a second, or false.
inline bool ReadSamples(const std::string& path, std::vector<float>& samples)
{
    SDL_AudioSpec format;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(path.c_str(), &format, &buffer, &length) == nullptr)
    {
        return false;
    }
    const Sint16* values = reinterpret_cast<const Sint16*>(buffer);
    samples.assign(values, values + length / 2);
    SDL_FreeWAV(buffer);
    return format.format == AUDIO_S16LSB && format.channels == 1 && format.freq == 44100;
}

// The mixed output: 16-bit stereo frames, each channel on its own.
struct MixedOutput
{
    std::vector<float> left;
    std::vector<float> right;
};

inline bool ReadOutput(const std::string& path, MixedOutput& out)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const Sint16* values = reinterpret_cast<const Sint16*>(bytes.data());
    for (size_t i = 0; i + 1 < bytes.size() / 2; i += 2)
    {
        out.left.push_back(values[i]);
        out.right.push_back(values[i + 1]);
    }
    return bool(file);
}

// Solves m x = v, x taking v's place, by elimination (m symmetric, positive
// definite: no pivoting needed); false when a pivot is near zero.
inline bool Solve(std::vector<std::vector<double>> m, std::vector<double>& v)
{
    const size_t n = v.size();
    for (size_t c = 0; c < n; c++)
    {
        if (!(std::fabs(m[c][c]) > 1e-9))
        {
            return false;
        }
        for (size_t r = c + 1; r < n; r++)
        {
            const double f = m[r][c] / m[c][c];
            for (size_t k = c; k < n; k++)
            {
                m[r][k] -= f * m[c][k];
            }
            v[r] -= f * v[c];
        }
    }
    for (size_t c = n; c-- > 0;)
    {
        for (size_t k = c + 1; k < n; k++)
        {
            v[c] -= m[c][k] * v[k];
        }
        v[c] /= m[c][c];
    }
    return true;
}

#endif
