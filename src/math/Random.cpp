#include "math/Random.h"

#include <cstdint>

// The classic 32-bit linear congruential generator with the top 15 bits of
// the state as its output.
static uint32_t gRandomState = 1;

void SeedRandom(unsigned int seed)
{
    gRandomState = seed;
}

unsigned int RandomState()
{
    return gRandomState;
}

int Random()
{
    gRandomState = gRandomState * 214013u + 2531011u;
    return int((gRandomState >> 16) & 0x7fffu);
}

double RandomFraction()
{
    return Random() * kRandomScale;
}
