// Window and full screen: the keys that switch between them never reach the
// game, and a switch keeps every texture, display list and piece of render
// state, so that the frames drawn after it are the reference frames.
#include <SDL/SDL.h>

#include <vector>

#include "app/DisplayMode.h"
#include "app/IntroScreen.h"
#include "app/Startup.h"
#include "math/Random.h"
#include "support/GLTest.h"
#include "support/ReferenceFrame.h"

namespace
{

SDL_Event Key(Uint8 type, SDLKey key, SDLMod mod)
{
    SDL_Event event = {};
    event.key = SDL_KeyboardEvent{type, 0, Uint8(type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED),
                                  SDL_keysym{0, key, mod, 0}};
    return event;
}

SDL_Event Click()
{
    SDL_Event event = {};
    event.button = SDL_MouseButtonEvent{SDL_MOUSEBUTTONDOWN, 0, SDL_BUTTON_LEFT, 0, 0, 0};
    return event;
}

TEST(DisplayKeys, AltEnterSwitchesAndTheAltKeysBelongToTheDisplay)
{
    const struct
    {
        SDL_Event event;
        bool toggle;
        bool display;
    } rows[] = {
        {Key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT), true, true},
        {Key(SDL_KEYDOWN, SDLK_RETURN, KMOD_RALT), true, true},
        {Key(SDL_KEYDOWN, SDLK_RETURN, SDLMod(KMOD_LALT | KMOD_LCTRL)), true, true},
        {Key(SDL_KEYUP, SDLK_RETURN, KMOD_LALT), false, true},
        {Key(SDL_KEYDOWN, SDLK_LALT, KMOD_NONE), false, true},
        {Key(SDL_KEYUP, SDLK_LALT, KMOD_LALT), false, true},
        {Key(SDL_KEYDOWN, SDLK_RALT, KMOD_NONE), false, true},
        // Everything else is the game's.
        {Key(SDL_KEYDOWN, SDLK_RETURN, KMOD_NONE), false, false},
        {Key(SDL_KEYUP, SDLK_RETURN, KMOD_NONE), false, false},
        {Key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LCTRL), false, false},
        {Key(SDL_KEYDOWN, SDLK_KP_ENTER, KMOD_LALT), false, false},
        {Key(SDL_KEYDOWN, SDLK_d, KMOD_LALT), false, false},
        {Key(SDL_KEYDOWN, SDLK_LCTRL, KMOD_NONE), false, false},
        {Key(SDL_KEYDOWN, SDLK_ESCAPE, KMOD_NONE), false, false},
        {Click(), false, false},
    };
    for (const auto& row : rows)
    {
        const SDL_Event& e = row.event;
        EXPECT_EQ(IsDisplayToggle(e), row.toggle) << int(e.type) << " key " << e.key.keysym.sym;
        EXPECT_EQ(IsDisplayKey(e), row.display) << int(e.type) << " key " << e.key.keysym.sym;
    }
}

TEST(DisplayKeys, TheGameGetsTheOtherEventsInTheirOrder)
{
    std::vector<SDL_Event> events = {
        Key(SDL_KEYDOWN, SDLK_m, KMOD_NONE),    Key(SDL_KEYDOWN, SDLK_LALT, KMOD_NONE),
        Key(SDL_KEYUP, SDLK_RETURN, KMOD_LALT), Click(),
        Key(SDL_KEYUP, SDLK_LALT, KMOD_LALT),   Key(SDL_KEYDOWN, SDLK_d, KMOD_NONE),
    };
    ASSERT_EQ(HandleDisplayEvents(events.data(), int(events.size())), 3);
    EXPECT_EQ(events[0].key.keysym.sym, SDLK_m);
    EXPECT_EQ(events[1].type, SDL_MOUSEBUTTONDOWN);
    EXPECT_EQ(events[2].key.keysym.sym, SDLK_d);
    EXPECT_EQ(HandleDisplayEvents(events.data(), 0), 0);
}

TEST(DisplayKeysDeathTest, ClosingTheWindowEndsTheProgramWithStatusZero)
{
    SDL_Event events[2] = {Key(SDL_KEYDOWN, SDLK_m, KMOD_NONE), {}};
    events[1].type = SDL_QUIT;
    EXPECT_EXIT(HandleDisplayEvents(events, 2), ::testing::ExitedWithCode(0), "");
}

using DisplaySwitch = GLTest;

// The intro: the background picture, the font and the explosions' textures
// and the display list of the clouds' puffs, all made before the switches and
// drawn after each (a switch that lost them would leave the clouds out).
TEST_F(DisplaySwitch, FramesAfterEachSwitchAreTheReferenceFrames)
{
    const DisplayMode start = CurrentDisplayMode();
    const DisplayMode other =
        start == DisplayMode::FullScreen ? DisplayMode::Window : DisplayMode::FullScreen;
    SeedRandom(1);
    IntroScreen intro;
    for (int i = 0; i < 30; ++i)
    {
        intro.Tick();
    }
    // Alt+Enter as it comes from the queue: handled, and taken out.
    SDL_Event toggle = Key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT);
    EXPECT_EQ(HandleDisplayEvents(&toggle, 1), 0);
    ASSERT_EQ(CurrentDisplayMode(), other);
    const SDL_Surface* screen = SDL_GetVideoSurface();
    EXPECT_EQ(screen->w, kScreenWidth);
    EXPECT_EQ(screen->h, kScreenHeight);
    intro.Draw();
    EXPECT_TRUE(MatchesReference("intro")) << "after the switch";
    SDL_GL_SwapBuffers();

    ASSERT_TRUE(ToggleDisplayMode());
    ASSERT_EQ(CurrentDisplayMode(), start);
    GLTest::SetUp(); // the render state and the buffers as before every test
    intro.Draw();
    EXPECT_TRUE(MatchesReference("intro")) << "after switching back";
}

} // namespace
