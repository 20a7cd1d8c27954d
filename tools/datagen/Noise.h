#ifndef KORVANE_TOOLS_NOISE_H
#define KORVANE_TOOLS_NOISE_H

#include <cstdint>

// Deterministic pseudo-random values for procedural painting. Everything is a
// pure function of its inputs, so the generated data never changes between
// runs or machines.

// A well-mixed 32-bit hash of up to three integers and a seed.
uint32_t Hash(int32_t a, int32_t b = 0, int32_t c = 0, uint32_t seed = 0);
// The hash as a float in [0, 1).
float HashFraction(int32_t a, int32_t b = 0, int32_t c = 0, uint32_t seed = 0);
// Smooth value noise in [0, 1) over the plane, one lattice cell per unit.
float ValueNoise(float x, float y, uint32_t seed);
// Sum of `octaves` layers of value noise, each twice as fine and half as
// strong as the previous one; normalised to [0, 1).
float FractalNoise(float x, float y, int octaves, uint32_t seed);

// A small sequence generator for placing things (stars, greebles).
class Sequence
{
  public:
    explicit Sequence(uint32_t seed) : state(seed) {}
    float Next(); // in [0, 1)
    float Range(float low, float high) { return low + (high - low) * Next(); }

  private:
    uint32_t state;
};

#endif
