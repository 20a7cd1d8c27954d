#include "ui/Font.h"

#include "app/FatalError.h"
#include "assets/Texture.h"

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
    SDL_Surface* image = LoadImageSurface(path);
    if (image == nullptr)
    {
        FatalError("Cannot load the font image " + path);
    }
    font.texture = UploadSurfaceTexture(image, kFontTexture, "Setting up the font texture: ");
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
