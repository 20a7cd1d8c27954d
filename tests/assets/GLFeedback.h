#ifndef KORVANE_TESTS_ASSETS_GLFEEDBACK_H
#define KORVANE_TESTS_ASSETS_GLFEEDBACK_H

#include <functional>
#include <vector>

#include "math/Vector.h"

// What OpenGL's feedback mode reports for some drawing, with a projection that
// maps eye coordinates one to one onto window pixels (x and y centred on the
// 800x600 viewport, z within +-1000), so the positions read back are the eye
// coordinates the drawing produced.
struct FeedbackVertex
{
    Vector position;
    float s, t; // texture coordinate after the texture matrix
};

struct FeedbackPrimitive
{
    int kind; // GL_POLYGON_TOKEN, GL_LINE_TOKEN (also for GL_LINE_RESET_TOKEN), GL_POINT_TOKEN
    std::vector<FeedbackVertex> vertices;
};

// Runs the drawing in feedback mode under the one-to-one projection and an
// identity modelview, with culling off; restores the projection and modelview.
std::vector<FeedbackPrimitive> Feedback(const std::function<void()>& draw);

// Sets the one-to-one orthographic projection and an identity modelview.
void UseOneToOneProjection();

#endif
