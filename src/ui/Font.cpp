#include "ui/Font.h"

#include <GL/glu.h>
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include "app/FatalError.h"

void FillGlyphWidths(Font& font)
{
    for (int n = 0; n < kGlyphCount; ++n)
    {
        const bool letterOrDigit = (n >= 'a' && n <= 'z') || (n >= 'A' && n <= 'Z') || (n >= '0' && n <= '9');
        font.glyphWidths[n] = letterOrDigit ? 0.68f : 1.0f;
    }
    for (char c : {' ', '-', 'f', 'i', 'j', 'r', 't'})
    {
        font.glyphWidths[int(c)] = 0.46f;
    }
    font.glyphWidths[int('l')] = 0.3f;
    font.glyphWidths[int('v')] = 0.5f;
    font.glyphWidths[int('y')] = 0.5f;
    for (char c : {'M', 'W', 'm', 'w'})
    {
        font.glyphWidths[int(c)] = 1.0f;
    }
}

void LoadFont(Font& font)
{
    LoadFontFrom(font, "Textures/font2.png");
}

void LoadFontFrom(Font& font, const std::string& path)
{
    SDL_Surface* image = IMG_Load(path.c_str());
    if (image == nullptr)
    {
        FatalError("Cannot load the font image " + path);
    }
    if (image->format->BytesPerPixel != 4)
    {
        // The upload below reads four bytes per pixel; anything else would read
        // past the end of the pixels.
        SDL_FreeSurface(image);
        FatalError("The font image " + path + " is not a 32-bit RGBA image");
    }
    SDL_LockSurface(image);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glGenTextures(1, &font.texture);
    glBindTexture(GL_TEXTURE_2D, font.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, image->w, image->h, GL_RGBA, GL_UNSIGNED_BYTE, image->pixels);
    CheckGLError("Setting up the font texture: ");
    SDL_UnlockSurface(image);
    SDL_FreeSurface(image);
    FillGlyphWidths(font);
}

// The advance after one character: the pen position truncated towards zero.
static int Advance(const Font& font, int x, unsigned char code, int size)
{
    const float width = code < kGlyphCount ? font.glyphWidths[code] : 1.0f;
    return int(float(x) + float(size) * width);
}

void DrawText(const Font& font, const std::string& text, int x, int y, int size, const float* colour)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glShadeModel(GL_FLAT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, font.texture);
    glEnable(GL_TEXTURE_2D);
    glColor4fv(colour);
    glBegin(GL_QUADS);
    for (unsigned char code : text)
    {
        // Codes past the table would address cells outside the image; they
        // are drawn from cell 127 and advance a full size.
        const unsigned n = code < 128 ? code : 127;
        const float s0 = float(n % 16) * kGlyphCellWidth;
        const float s1 = s0 + kGlyphCellWidth;
        const float t0 = float(n / 16) * kGlyphCellHeight;
        const float t1 = t0 + kGlyphCellHeight;
        glTexCoord2f(s0, t1);
        glVertex2i(x, y);
        glTexCoord2f(s0, t0);
        glVertex2i(x, y + size);
        glTexCoord2f(s1, t0);
        glVertex2i(x + size, y + size);
        glTexCoord2f(s1, t1);
        glVertex2i(x + size, y);
        x = Advance(font, x, code, size);
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

int TextWidth(const Font& font, const std::string& text, int size)
{
    int w = 0;
    for (unsigned char code : text)
    {
        w = Advance(font, w, code, size);
    }
    return w;
}
