// The intro's background picture as it reaches the texture: whatever layout
// the PNG has, the texels uploaded are its pixels in RGB.

#include <string>
#include <vector>

#include "app/IntroScreen.h"
#include "support/GLTest.h"

namespace
{

// A PNG of 2 by 2 pixels with an 8-bit palette: red, green, blue, (200, 100, 50).
// (A greyscale PNG loads the same way, as a surface of one byte a pixel.)
const char kPalettePng[] =
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00\x00\x02\x08"
    "\x03\x00\x00\x00\x45\x68\xfd\x16\x00\x00\x00\x0c\x50\x4c\x54\x45\xff\x00\x00\x00\xff\x00\x00\x00\xff"
    "\xc8\x64\x32\xad\x44\x7e\x3f\x00\x00\x00\x0e\x49\x44\x41\x54\x78\xda\x63\x60\x60\x64\x60\x62\x06\x00"
    "\x00\x11\x00\x07\x83\xca\x64\x64\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82";

// A background that is a valid PNG but not 24-bit RGB is converted before the
// upload, which read three bytes a pixel from a surface holding one.
TEST(IntroBackgroundLayout, APalettePictureIsConverted)
{
    ASSERT_TRUE(OpenGameDisplay());
    GLuint texture = LoadIntroBackground(
        WriteTempFile("background.png", std::string(kPalettePng, sizeof kPalettePng - 1)));
    // The 2 by 2 RGB texels as uploaded.
    std::vector<unsigned char> texels(12);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glDeleteTextures(1, &texture);
    EXPECT_EQ(texels, (std::vector<unsigned char>{255, 0, 0, 0, 255, 0, 0, 0, 255, 200, 100, 50}));
}

} // namespace
