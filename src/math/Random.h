#ifndef KORVANE_MATH_RANDOM_H
#define KORVANE_MATH_RANDOM_H

// The program's one random generator. It has the semantics of the C library's
// srand/rand with values from 0 to 32767, but is our own linear congruential
// generator, so the same seed gives the same game on every platform and C
// library. Every random choice in the game draws from it, in a fixed order.

// Seeds the generator (like srand). Before any call the seed is 1.
void SeedRandom(unsigned int seed);

// The generator's whole state: SeedRandom(RandomState()) later carries on
// with the same numbers. Lets a tool keep two streams apart.
unsigned int RandomState();

// The next integer from 0 to 32767 inclusive (like rand).
int Random();

// Random() times the single-precision constant nearest to 1/32767, kept in
// double precision: from 0 to 0.9999999990686774.
double RandomFraction();

// The factor that turns Random() into a random fraction.
constexpr double kRandomScale = double(3.0518509447574615e-05f);

#endif
