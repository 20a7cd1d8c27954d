#ifndef KORVANE_TESTS_GLTEST_H
#define KORVANE_TESTS_GLTEST_H

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

// The game's own display under the test's virtual X server, opened once per
// test program through the real InitVideo and InitRenderState (without a
// display the program ends there, which the support counts as a failure).
// Returns false (and the test should fail) when an earlier test closed it.
bool OpenGameDisplay();

// A fixture for tests that draw: opens the display, resets the render state
// that the game assumes and clears all buffers before each test.
class GLTest : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;
};

// The directory with the generated game data, and the source tree.
std::string DataDir();
std::string SourceDir();

// Writes text to a new temporary file and returns its path.
std::string WriteTempFile(const std::string& name, const std::string& contents);

#endif
