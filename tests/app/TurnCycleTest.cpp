// Whole games through the real loops: one left with Escape through the
// hand-over and a turn, one left during a computer's turn, and one won; what stays on the screen at the end
// is compared with its reference.
#include <SDL/SDL.h>

#include <vector>

#include "app/ComputerTurn.h"
#include "app/Startup.h"
#include "app/TurnCycle.h"
#include "game/Game.h"
#include "input/TickClock.h"
#include "math/Random.h"
#include "players/Player.h"
#include "support/Events.h"
#include "support/GLTest.h"
#include "support/ReferenceFrame.h"

namespace
{

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
        PushEvent(SDL_KEYDOWN, SDLK_ESCAPE);
    }
    return interval;
}

using TurnCycle = GLTest;

TEST_F(TurnCycle, EscapeLeadsThroughOneTurnToTheUnloadingScreenInWhite)
{
    Game game(2, "map1");
    FlushEvents();
    gEscapesLeft = 5;
    SDL_TimerID typist = SDL_AddTimer(50, TypeEscape, nullptr);
    RunTurns(game);
    SDL_RemoveTimer(typist);
    // The change of player still ran once; nobody won (the unloading
    // screen is white).
    EXPECT_EQ(game.timer, nullptr);
    EXPECT_EQ(game.GetCurrentPlayer()->GetIndex(), 1);
    // The swap copies the frame to the screen and leaves it in the back
    // buffer (Mesa's software rasterizer; its front buffer reads as black).
    EXPECT_TRUE(MatchesReference("unloading-white"));
    FlushEvents();
}

TEST_F(TurnCycle, AComputersSeatHasNoHandOverScreen)
{
    // The computer moves first, watched by the person of the second seat; the
    // first Escape ends the game during its turn. A hand-over screen would
    // take that Escape for itself and need a second.
    SeedRandom(1);
    Game game(2, "map1");
    const SeatKind seats[4] = {SeatKind::ComputerEasy, SeatKind::Human, SeatKind::Human, SeatKind::Human};
    SeatPlayers(game, seats, 11);
    gTickClock = TickClock();
    gAnimationTime = 0.0f;
    FlushEvents();
    gEscapesLeft = 3;
    SDL_TimerID typist = SDL_AddTimer(50, TypeEscape, nullptr);
    RunTurns(game);
    SDL_RemoveTimer(typist);
    // A press typed after the game ended waits in the queue, unread.
    SDL_Event pending[4];
    const int unread = SDL_PeepEvents(pending, 4, SDL_PEEKEVENT, SDL_KEYDOWNMASK);
    EXPECT_EQ(3 - gEscapesLeft - unread, 1) << "presses read";
    EXPECT_EQ(game.GetCurrentPlayer()->GetIndex(), 1);
    EXPECT_TRUE(MatchesReference("unloading-white"));
    FlushEvents();
}

TEST_F(TurnCycle, TheWinnerScreenEndsFortyTicksAfterAPressAndUnloadsInTheWinnersColour)
{
    Game game(2, "map1");
    std::vector<Ship*> lost;
    lost.swap(game.players[0]->fleet);
    ASSERT_EQ(game.WinnerIndex(), 1);
    FlushEvents();
    // Queued before the screen starts: the press, then the forty ticks of the fade.
    PushEvent(SDL_MOUSEBUTTONDOWN);
    for (int tick = 0; tick < 40; ++tick)
    {
        PushEvent(SDL_USEREVENT);
    }
    EndScreen(game);
    EXPECT_TRUE(MatchesReference("unloading-winner"));
    lost.swap(game.players[0]->fleet);
    FlushEvents();
}

} // namespace
