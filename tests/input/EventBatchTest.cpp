#include <SDL/SDL.h>

#include "game/Game.h"
#include "input/EventHandling.h"
#include "support/GLTest.h"
#include "ui/CommandPanel.h"

// HandleEvents handles the events pending when it began; those posted while
// it runs wait for the next frame's call, so a frame is drawn between batches
// however many events handling makes (slow ticks let more ticks queue up).
// The End Turn button's posted "d" ends the turn one batch after the click;
// the Tab press queued behind the click is handled at once.
TEST(EventBatch, EventsPostedWhileHandlingWaitForTheNextBatch)
{
    ASSERT_TRUE(OpenGameDisplay());
    Game game(2, "map1");
    game.SetState(0);
    SDL_Event events[2] = {};
    while (SDL_PollEvent(&events[1]))
    {
    }
    events[1] = SDL_Event();
    game.GetPanel()->Draw();
    events[0].type = SDL_MOUSEBUTTONDOWN; // on End Turn, (752, 20) to (798, 50) from the bottom
    events[0].button.button = SDL_BUTTON_LEFT;
    events[0].button.x = 775;
    events[0].button.y = 600 - 35;
    events[1].type = SDL_KEYDOWN;
    events[1].key.keysym.sym = SDLK_TAB;
    for (SDL_Event& event : events)
    {
        ASSERT_EQ(SDL_PushEvent(&event), 0);
    }

    HandleEvents(game);
    EXPECT_EQ(game.GetViewMode(), 1);
    EXPECT_EQ(game.GetState(), 0);
    HandleEvents(game);
    EXPECT_EQ(game.GetState(), 1);
}
