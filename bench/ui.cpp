// Costs of the 2D overlay per frame: text, buttons, the pointer. Run under a
// display, for example: tests/with-xvfb.sh build/bench/bench_ui
#include "BenchDisplay.h"
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <unistd.h>

#include "app/Startup.h"
#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "ui/CommandPanel.h"
#include "ui/Font.h"
#include "ui/Overlay.h"

namespace
{

// A font whose texture is blank: the cost of drawing does not depend on the glyphs.
Font BenchFont()
{
    Font font;
    FillGlyphWidths(font);
    glGenTextures(1, &font.texture);
    glBindTexture(GL_TEXTURE_2D, font.texture);
    static unsigned char pixels[64 * 64 * 4] = {};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    return font;
}

const float kColour[4] = {1.0f, 0.2f, 0.4f, 1.0f};
const float kBand[4] = {0.2f, 0.2f, 1.0f, 1.0f};
const float kFace[4] = {0.4f, 0.4f, 1.0f, 1.0f};

} // namespace

static void BM_TextWidth(benchmark::State& state)
{
    Font font;
    FillGlyphWidths(font);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(TextWidth(font, "Tigershark-class battle frigate", 14));
    }
}
BENCHMARK(BM_TextWidth);

static void BM_DrawText(benchmark::State& state)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no display");
        return;
    }
    const Font font = BenchFont();
    Begin2D();
    for (auto _ : state)
    {
        DrawText(font, "Tigershark-class battle frigate", 12, 100, 14, kColour);
        glFinish();
    }
}
BENCHMARK(BM_DrawText);

static void BM_DrawButton(benchmark::State& state)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no display");
        return;
    }
    const Font font = BenchFont();
    Begin2D();
    for (auto _ : state)
    {
        DrawButton("Launch fighters", 380, 75, 480, 95, kBand, kFace, font, 40);
        glFinish();
    }
}
BENCHMARK(BM_DrawButton);

static void BM_DrawPointer(benchmark::State& state)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no display");
        return;
    }
    Begin2D();
    for (auto _ : state)
    {
        DrawPointer(600, 450, 5);
        glFinish();
    }
}
BENCHMARK(BM_DrawPointer);

// The whole visible pass of the command panel for a selected escort carrier
// (strip, tags, hull diagram, order buttons, parts list, sub-panel, meter, pointer).
static void BM_CommandPanelDraw(benchmark::State& state)
{
    if (!OpenBenchDisplay() || chdir(KORVANE_DATA_DIR) != 0)
    {
        state.SkipWithError("no display or no data");
        return;
    }
    static Game* game = new Game(2, "map1");
    Player* player = game->players[0];
    player->SelectShip(player->fleet[2]->id, false);
    for (auto _ : state)
    {
        game->GetPanel()->Draw();
        glFinish();
    }
}
BENCHMARK(BM_CommandPanelDraw);

// The pick pass of a click on the panel (drawing and reading one stencil value).
static void BM_CommandPanelHitTest(benchmark::State& state)
{
    if (!OpenBenchDisplay() || chdir(KORVANE_DATA_DIR) != 0)
    {
        state.SkipWithError("no display or no data");
        return;
    }
    static Game* game = new Game(2, "map1");
    Player* player = game->players[0];
    player->SelectShip(player->fleet[2]->id, false);
    game->GetPanel()->Draw();
    for (auto _ : state)
    {
        // A click on the bar between buttons: drawn and read back, no action.
        game->GetPanel()->HitTest(700, 100);
    }
}
BENCHMARK(BM_CommandPanelHitTest);
