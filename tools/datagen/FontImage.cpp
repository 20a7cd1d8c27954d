#include "FontImage.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace
{

constexpr int kWidth = 512;
constexpr int kHeight = 256;
constexpr float kCellWidth = kWidth * 11.0f / 256.0f; // 22 pixels
constexpr float kCellHeight = kHeight / 8.0f;         // 32 pixels
// The em square as a fraction of the text size: leaves room for DejaVu's
// ascenders and descenders inside the cell.
constexpr float kEm = 0.80f;
constexpr float kBaselineFromBottom = 0.22f; // of the cell height

} // namespace

float GlyphAdvance(int n)
{
    if (n == ' ' || n == '-' || n == 'f' || n == 'i' || n == 'j' || n == 'r' || n == 't')
        return 0.46f;
    if (n == 'l')
        return 0.3f;
    if (n == 'v' || n == 'y')
        return 0.5f;
    if (n == 'M' || n == 'W' || n == 'm' || n == 'w')
        return 1.0f;
    if ((n >= 'a' && n <= 'z') || (n >= 'A' && n <= 'Z') || (n >= '0' && n <= '9'))
        return 0.68f;
    return 1.0f;
}

bool RenderFont(const std::string& fontPath, Image& out)
{
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0)
    {
        std::fprintf(stderr, "FreeType cannot start\n");
        return false;
    }
    FT_Face face;
    if (FT_New_Face(library, fontPath.c_str(), 0, &face) != 0)
    {
        std::fprintf(stderr, "Cannot read the font %s\n", fontPath.c_str());
        FT_Done_FreeType(library);
        return false;
    }
    // Cells are taller than wide in pixels but drawn as squares: render with
    // different horizontal and vertical sizes so that glyphs come out upright.
    FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(kEm * kCellWidth * 64.0f),
                     static_cast<FT_F26Dot6>(kEm * kCellHeight * 64.0f), 72, 72);
    out = Image(kWidth, kHeight, 4);
    out.Fill(Colour(1, 1, 1, 0));
    for (int code = 33; code < 127; ++code)
    {
        // Natural advance, then a horizontal scale that makes it match the
        // game's table (within limits, so that no glyph looks distorted).
        FT_Set_Transform(face, nullptr, nullptr);
        if (FT_Load_Char(face, code, FT_LOAD_NO_BITMAP) != 0)
            continue;
        const float natural = face->glyph->advance.x / 64.0f;
        const float wanted = GlyphAdvance(code) * kCellWidth;
        // Symbols (advance 1.0 in the table) are drawn at their own width.
        const float fit = GlyphAdvance(code) >= 1.0f && !std::isalpha(code) ? 1.0f : wanted / natural;
        const float scale = std::min(1.12f, std::max(0.72f, fit));
        FT_Matrix matrix = {static_cast<FT_Fixed>(scale * 65536.0f), 0, 0, 0x10000};
        FT_Set_Transform(face, &matrix, nullptr);
        if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_NO_BITMAP) != 0)
            continue;
        const FT_GlyphSlot g = face->glyph;
        const float advance = natural * scale;
        // Left in the cell; a glyph narrower than its table advance is
        // centred within that advance so that spacing stays even.
        // Closing punctuation hugs the text before it ("MT: 10.00"); the rest
        // of its wide advance falls after it.
        const bool closing = std::strchr(":;,.!?)]}'\"", code) != nullptr;
        const float slack = closing ? 2.0f : std::max(0.0f, std::min(wanted, kCellWidth) - advance);
        const int cellX = (code % 16) * static_cast<int>(kCellWidth);
        const int cellY = (code / 16) * static_cast<int>(kCellHeight);
        const int penX = cellX + 1 + static_cast<int>(std::lround(slack * 0.5f));
        const int baseline = cellY + static_cast<int>(kCellHeight * (1.0f - kBaselineFromBottom));
        for (unsigned row = 0; row < g->bitmap.rows; ++row)
            for (unsigned col = 0; col < g->bitmap.width; ++col)
            {
                const int x = penX + g->bitmap_left + static_cast<int>(col);
                const int y = baseline - g->bitmap_top + static_cast<int>(row);
                // Stay inside the cell, one pixel clear of the next one.
                if (x < cellX || x >= cellX + static_cast<int>(kCellWidth) - 1 || y <= cellY ||
                    y >= cellY + static_cast<int>(kCellHeight) - 1)
                    continue;
                const float a = g->bitmap.buffer[row * g->bitmap.pitch + col] / 255.0f;
                const Colour old = out.Get(x, y);
                out.Set(x, y, Colour(1, 1, 1, std::max(old.a, a)));
            }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return true;
}
