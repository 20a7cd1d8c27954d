#ifndef KORVANE_UI_GLOW_H
#define KORVANE_UI_GLOW_H

#include <cmath>

#include "math/Vector.h"

// The strength of a ship's light-map glow: a sine pulse with a period of 10
// seconds of animation time between 0.4 and 1.0, neighbouring ids 15 degrees
// apart so that a fleet does not pulse in step.
inline float GlowStrength(unsigned stencilValue, float animationTime)
{
    return float(std::sin((float(stencilValue) * 15.0f + animationTime * 36.0f) * kDegToRad) * 0.3 + 0.7);
}

#endif
