// Whole games through the real loops: one left with Escape through the
// hand-over and a turn, and one won; what stays on the screen at the end is
// compared with its reference.
#include <SDL/SDL.h>

#include <vector>

#include "app/Startup.h"
#include "app/TurnCycle.h"
#include "game/Game.h"
#include "players/Player.h"
#include "support/GLTest.h"
#include "support/ReferenceFrame.h"

namespace
{

void Flush()
{
    SDL_Event event;
    while (SDL_PollEvent(&event))
    {
    }
}

void Push(Uint8 type, SDLKey key = SDLK_UNKNOWN)
{
    SDL_Event event{};
    event.type = type;
    if (type == SDL_USEREVENT)
    {
        event.user.code = kTickCode;
    }
    else
    {
        event.key.state = SDL_PRESSED;
        event.key.keysym.sym = key;
    }
    SDL_PushEvent(&event);
}

// Types Escape from SDL's timer thread, but only while no key waits in the
// queue: every Escape is taken by whoever polls next, so however slowly the
// game runs, the hand-over takes the first and the turn the second. The count
// is bounded so that a screen that wrongly waits for presses still ends.
int gEscapesLeft = 0;

Uint32 TypeEscape(Uint32 interval, void*)
{
    SDL_Event pending;
    if (gEscapesLeft > 0 && SDL_PeepEvents(&pending, 1, SDL_PEEKEVENT, SDL_KEYDOWNMASK) == 0)
    {
        --gEscapesLeft;
        Push(SDL_KEYDOWN, SDLK_ESCAPE);
    }
    return interval;
}

using TurnCycle = GLTest;

TEST_F(TurnCycle, EscapeLeadsThroughOneTurnToTheUnloadingScreenInWhite)
{
    Game game(2, "map1");
    Flush();
    gEscapesLeft = 5;
    SDL_TimerID typist = SDL_AddTimer(50, TypeEscape, nullptr);
    RunTurns(game);
    SDL_RemoveTimer(typist);
    // The change of player still ran once; nobody won.
    EXPECT_EQ(game.timer, nullptr);
    EXPECT_EQ(game.GetCurrentPlayer()->GetIndex(), 1);
    EXPECT_EQ(game.WinnerIndex(), -1);
    // The swap copies the frame to the screen and leaves it in the back
    // buffer (Mesa's software rasterizer; its front buffer reads as black).
    EXPECT_TRUE(MatchesReference("unloading-white"));
    Flush();
}

TEST_F(TurnCycle, TheWinnerScreenEndsFortyTicksAfterAPressAndUnloadsInTheWinnersColour)
{
    Game game(2, "map1");
    std::vector<Ship*> lost;
    lost.swap(game.players[0]->fleet);
    ASSERT_EQ(game.WinnerIndex(), 1);
    Flush();
    // Queued before the screen starts: the press, then the forty ticks of the fade.
    Push(SDL_MOUSEBUTTONDOWN);
    for (int tick = 0; tick < 40; ++tick)
    {
        Push(SDL_USEREVENT);
    }
    EndScreen(game);
    EXPECT_TRUE(MatchesReference("unloading-winner"));
    lost.swap(game.players[0]->fleet);
    Flush();
}

} // namespace
