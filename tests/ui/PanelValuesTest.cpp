#include <SDL/SDL.h>

#include <vector>

#include "support/GLTest.h"
#include "ui/CommandPanel.h"

TEST(PanelValues, SecondsHaveTwoDecimals)
{
    EXPECT_EQ(FormatSeconds(10.0f), "10.00 sec");
    EXPECT_EQ(FormatSeconds(7.35f), "7.35 sec");
    EXPECT_EQ(FormatSeconds(0.0f), "0.00 sec");
    EXPECT_EQ(FormatSeconds(4.999f), "5.00 sec");
    EXPECT_EQ(FormatSquadrons(2), "2 left");
    EXPECT_EQ(FormatSquadrons(0), "0 left");
}

TEST(PanelValues, HullBarsRoundUpAndStayInTheirBox)
{
    EXPECT_EQ(HullBarLength(1000.0f, 1000.0f, 50), 50);
    EXPECT_EQ(HullBarLength(0.0f, 1000.0f, 50), 0);
    EXPECT_EQ(HullBarLength(1.0f, 1000.0f, 50), 1);
    EXPECT_EQ(HullBarLength(500.0f, 1000.0f, 38), 19);
    EXPECT_EQ(HullBarLength(501.0f, 1000.0f, 38), 20);
    // A wreck's face below zero, an overcharged face, a class without hull values.
    EXPECT_EQ(HullBarLength(-20.0f, 1000.0f, 50), 0);
    EXPECT_EQ(HullBarLength(3000.0f, 1000.0f, 50), 50);
    EXPECT_EQ(HullBarLength(100.0f, 0.0f, 50), 0);
}

namespace
{

std::vector<SDL_Event> DrainEvents()
{
    std::vector<SDL_Event> events;
    SDL_Event event;
    while (SDL_PollEvent(&event))
    {
        if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP)
        {
            events.push_back(event);
        }
    }
    return events;
}

} // namespace

class PanelKeys : public GLTest
{
};

TEST_F(PanelKeys, PostedKeysArriveLikeRealOnes)
{
    DrainEvents();
    PostKeyPress(SDLK_m);
    PostKeyRelease(SDLK_TAB);
    const std::vector<SDL_Event> events = DrainEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, SDL_KEYDOWN);
    EXPECT_EQ(events[0].key.state, SDL_PRESSED);
    EXPECT_EQ(events[0].key.keysym.sym, SDLK_m);
    EXPECT_EQ(events[1].type, SDL_KEYUP);
    EXPECT_EQ(events[1].key.state, SDL_RELEASED);
    EXPECT_EQ(events[1].key.keysym.sym, SDLK_TAB);
}
