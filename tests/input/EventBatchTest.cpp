#include <SDL/SDL.h>

#include "game/Game.h"
#include "input/EventHandling.h"
#include "support/GLTest.h"
#include "ui/CommandPanel.h"

namespace
{

class EventBatch : public GLTest
{
};

void Push(SDL_Event event)
{
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

// One call of HandleEvents handles the events that were pending when it
// began; events posted while it runs wait for the next frame's call. So a
// frame is always drawn between two batches, however many events handling
// makes (a slow tick lets further ticks queue up; a panel button posts its
// key). Here the End Turn button's posted "d" ends the turn one batch after
// the click, while the Tab press queued behind the click is handled at once.
TEST_F(EventBatch, EventsPostedWhileHandlingWaitForTheNextBatch)
{
    Game game(2, "map1");
    game.SetState(0);
    SDL_Event drained;
    while (SDL_PollEvent(&drained))
    {
    }
    game.GetPanel()->Draw();

    SDL_Event click = {};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.button = SDL_BUTTON_LEFT;
    click.button.state = SDL_PRESSED;
    click.button.x = 775; // the End Turn button, (752, 20) to (798, 50) counted from the bottom
    click.button.y = 600 - 35;
    Push(click);
    SDL_Event tab = {};
    tab.type = SDL_KEYDOWN;
    tab.key.state = SDL_PRESSED;
    tab.key.keysym.sym = SDLK_TAB;
    Push(tab);

    HandleEvents(game);
    EXPECT_EQ(game.GetViewMode(), 1);
    EXPECT_EQ(game.GetState(), 0);

    HandleEvents(game);
    EXPECT_EQ(game.GetState(), 1);
}

} // namespace
