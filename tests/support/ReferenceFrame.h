#ifndef KORVANE_TESTS_REFERENCEFRAME_H
#define KORVANE_TESTS_REFERENCEFRAME_H

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

// Compares the whole 800x600 frame, colour and stencil, with the reviewed
// reference images tests/reference/<name>.png (colour) and
// tests/reference/<name>.stencil.png (stencil values as 8-bit grey).
//
// A colour channel may differ by at most kColourTolerance (room for a rounding
// change in a future Mesa, far below what anyone could see); stencil values
// must be equal. On a mismatch the actual frame and a difference image are
// written to <build>/test-output/ and the failure message names them.
//
// With KORVANE_UPDATE_REFERENCES=1 in the environment the frame is written as
// the new reference instead (scripts/update-references.sh); look at every
// image that changed before committing it.
//
// The frame is read from the back buffer. A frame that the code under test has
// already swapped is still there: Mesa under Xvfb copies the back buffer on a
// swap and keeps it, while reading the front buffer gives black.
::testing::AssertionResult MatchesReference(const std::string& name);

constexpr int kColourTolerance = 2;

#endif
