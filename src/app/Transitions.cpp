#include "app/Transitions.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include "app/FrameSwap.h"
#include "app/Startup.h"
#include "app/TurnPlay.h"

namespace
{

// The widening factor, as the single-precision value it has always had.
constexpr double kStripGrowth = double(0.2f);

void ClearToSky()
{
    glClearColor(0.5f, 0.5f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void ClearToBlack()
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

// Restricts drawing and clearing to one rectangle of the screen.
void SetWindow(int x, int y, int width, int height)
{
    glViewport(x, y, width, height);
    glScissor(x, y, width, height);
}

void FullWindow()
{
    SetWindow(0, 0, kScreenWidth, kScreenHeight);
}

} // namespace

int NextOpenColumn(int x)
{
    return int(x - ((400 - x) * kStripGrowth + 1.0));
}

int NextCloseColumn(int x)
{
    return int(x + (400 - x) * kStripGrowth + 1.0);
}

std::vector<int> OpenTransitionColumns()
{
    std::vector<int> columns;
    for (int x = 399; x >= 0; x = NextOpenColumn(x))
    {
        columns.push_back(x);
    }
    return columns;
}

std::vector<int> CloseTransitionColumns()
{
    std::vector<int> columns;
    int x = 0;
    do
    {
        columns.push_back(x);
        x = NextCloseColumn(x);
    } while (x <= 399);
    return columns;
}

std::vector<TransitionWindow> OpeningWindows()
{
    std::vector<TransitionWindow> windows;
    for (int k = 0; k < kTransitionLineFrames; k++)
    {
        windows.push_back({399, 300 - 20 * k, 2, 40 * k});
    }
    for (int x : OpenTransitionColumns())
    {
        windows.push_back({x, 0, kScreenWidth - 2 * x, kScreenHeight});
    }
    return windows;
}

std::vector<TransitionWindow> ClosingWindows()
{
    std::vector<TransitionWindow> windows;
    for (int x : CloseTransitionColumns())
    {
        windows.push_back({x, 0, kScreenWidth - 2 * x, kScreenHeight});
    }
    for (int k = 0; k < kTransitionLineFrames; k++)
    {
        windows.push_back({399, 20 * k, 2, kScreenHeight - 40 * k});
    }
    return windows;
}

void DrawTransitionFrame(Game& game, const TransitionWindow& window, bool blackAround)
{
    glEnable(GL_SCISSOR_TEST);
    if (blackAround)
    {
        glScissor(0, 0, kScreenWidth, kScreenHeight);
        ClearToBlack();
    }
    SetWindow(window.x, window.y, window.width, window.height);
    ClearToSky();
    DrawScene(game);
}

void OpenTransition(Game& game)
{
    // Both buffers black first, so the strip opens over black.
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    SwapFrame();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    SwapFrame();

    glClearStencil(0);
    for (const TransitionWindow& window : OpeningWindows())
    {
        DrawTransitionFrame(game, window, false);
        SwapFrame();
    }
    glDisable(GL_SCISSOR_TEST);
    FullWindow();
}

void CloseTransition(Game& game)
{
    for (const TransitionWindow& window : ClosingWindows())
    {
        DrawTransitionFrame(game, window, true);
        SwapFrame();
    }
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, kScreenWidth, kScreenHeight);
}
