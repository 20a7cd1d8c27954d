// The screens around the turns, each drawn as a fixed frame through the real
// code and compared with its reviewed reference: intro, menu, loading,
// hand-over, winner, unloading, and the transitions that open and close a turn.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/IntroScreen.h"
#include "app/SetupMenu.h"
#include "app/Startup.h"
#include "app/Transitions.h"
#include "app/TurnCycle.h"
#include "game/Game.h"
#include "math/Random.h"
#include "players/Player.h"
#include "support/GLTest.h"
#include "support/ReferenceFrame.h"
#include "ui/CommandPanel.h"
#include "world/Environment.h"

namespace
{

// One four-player game on map1 for the whole program, built on first use. A
// map's clouds come from the random generator's state before its set-up:
// every test that sets one up starts from the state the program starts with.
Game& FourPlayers()
{
    static Game* game = (SeedRandom(1), new Game(4, "map1"));
    return *game;
}

using Screens = GLTest;

template <class Step> void Repeat(int times, Step step)
{
    for (int i = 0; i < times; ++i)
    {
        step();
    }
}

// Ticks until the screen is finished (at most 1000).
template <class Screen> int TicksToFinish(Screen& screen)
{
    int ticks = 0;
    for (; !screen.Finished() && ticks < 1000; ++ticks)
    {
        screen.Tick();
    }
    return ticks;
}

// Runs a screen in a data directory with only the given files, and a
// directory where the map files should be: the program must end with the
// message and status 0.
void ExpectScreenEnds(void (*screen)(), const std::vector<std::string>& files, const char* message)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("korvane-screens-" + std::to_string(getpid()));
    fs::create_directories(dir / "Textures");
    fs::create_directories(dir / "Models/Maps/map1.ase");
    for (const std::string& file : files)
    {
        fs::copy_file(fs::path(DataDir()) / file, dir / file, fs::copy_options::overwrite_existing);
    }
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            if (chdir(dir.c_str()) != 0 || !OpenGameDisplay())
            {
                std::exit(3);
            }
            screen();
            std::exit(4);
        },
        ::testing::ExitedWithCode(0), message);
    fs::remove_all(dir);
}

TEST(ScreensDeathTest, MissingBackgroundOrMapsEndTheProgramWithTheirMessage)
{
    const std::vector<std::string> files = {"Textures/font2.png", "Models/Maps/intro.ase"};
    ExpectScreenEnds(ShowIntro, files, "Texture file intro_background.png not found");
    ExpectScreenEnds([] { ChooseGameSetup(); }, files,
                     "Error finding files of type ./Models/Maps/map\\?.ase");
}

TEST_F(Screens, IntroShowsTheTitleUntilAPressThenNarrowsOntoTheCentre)
{
    SeedRandom(1);
    IntroScreen intro;
    Repeat(30, [&] { intro.Tick(); });
    intro.Draw(); // the reference "intro", compared in DisplaySwitch
    EXPECT_FALSE(intro.animation.Finished()) << "waits for a press";
    intro.Press();
    Repeat(3, [&] { intro.Tick(); });
    intro.Draw();
    EXPECT_TRUE(MatchesReference("intro-leaving"));
    Repeat(67, [&] { intro.Tick(); });
    intro.Press(); // at tick 70 of the leave: 80 more ticks, the view at its narrowest
    EXPECT_EQ(TicksToFinish(intro.animation), kIntroLeaveTicks);
    EXPECT_EQ(intro.animation.zoom, 0.01f);
}

TEST_F(Screens, MenuHighlightsTheClickedChoicesAndBeginLeavesTheLoadingScreen)
{
    SeedRandom(1);
    SetupMenu menu;
    ASSERT_EQ(menu.maps, (std::vector<std::string>{"map1", "map2", "map3", "map4"}));
    menu.Draw(300, 250);
    EXPECT_TRUE(MatchesReference("menu"));
    // Clicks read the frame just drawn: the pointer's tip hides no button.
    EXPECT_FALSE(menu.Click(150, 460)); // "3 Players"
    EXPECT_FALSE(menu.Click(575, 430)); // the third map
    EXPECT_FALSE(menu.Click(300, 250)); // empty space under the pointer
    EXPECT_FALSE(menu.Click(90, 410));  // the panel between buttons
    EXPECT_FALSE(menu.Click(220, 305)); // the second seat: the computer, Easy
    EXPECT_FALSE(menu.Click(160, 317)); // the same button again: Hard
    EXPECT_FALSE(menu.Click(110, 334)); // "Player 1" beside its button
    EXPECT_FALSE(menu.Click(220, 275)); // where the third seat is not shown yet
    Repeat(40, [&] { menu.Tick(); });
    menu.Draw(520, 395);
    EXPECT_FALSE(menu.Click(287, 273)); // the third seat, now shown: Easy
    menu.Draw(520, 395);
    EXPECT_TRUE(MatchesReference("menu-chosen")); // three players, the third map highlighted
    const SeatKind seats[4] = {SeatKind::Human, SeatKind::ComputerHard, SeatKind::ComputerEasy,
                               SeatKind::Human};
    EXPECT_TRUE(std::equal(seats, seats + 4, menu.setup.seats));
    EXPECT_TRUE(menu.Click(400, 120)); // "Begin"
    DrawLoadingScreen(menu.font);
    EXPECT_TRUE(MatchesReference("loading"));
}

TEST_F(Screens, HandOverNamesEachPlayerInItsColour)
{
    Game& game = FourPlayers();
    Player* const current = game.currentPlayer;
    for (int i = 0; i < 4; ++i)
    {
        game.currentPlayer = game.players[size_t(i)];
        DrawHandOverScreen(game);
        EXPECT_TRUE(MatchesReference("handover-" + std::to_string(i + 1)));
    }
    game.currentPlayer = current;
}

TEST_F(Screens, WinnerFireworksInTheWinnersColourFadeAfterAPress)
{
    Game& game = FourPlayers();
    float red[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    game.GetPlayerColour(2, red);
    Environment environment;
    SeedRandom(235);
    WinnerScreenState screen;
    Repeat(30, [&] { WinnerTick(environment, red, screen); });
    EXPECT_FALSE(screen.Finished()) << "waits for the first press";
    screen.Press();
    Repeat(10, [&] { WinnerTick(environment, red, screen); });
    DrawWinnerScreen(environment, game.GetPanel()->Font(), 2, red, screen);
    EXPECT_TRUE(MatchesReference("winner"));
    screen.Press(); // the fade starts again and lasts 40 ticks
    EXPECT_EQ(TicksToFinish(screen), 40);
}

TEST_F(Screens, TransitionsOpenAndCloseLikeAPictureTube)
{
    const std::vector<int> opening = {399, 397, 395, 392, 389, 385, 380, 374, 367, 359, 349,
                                      337, 323, 306, 286, 262, 233, 198, 156, 106, 46};
    const std::vector<int> closing = {0,   81,  145, 197, 238, 271, 297, 318, 335, 349, 360,
                                      369, 376, 381, 385, 389, 392, 394, 396, 397, 398, 399};
    EXPECT_EQ(OpenTransitionColumns(), opening);
    EXPECT_EQ(CloseTransitionColumns(), closing);
    // 16 line frames before the opening's columns and after the closing's.
    const std::vector<TransitionWindow> open = OpeningWindows();
    const std::vector<TransitionWindow> close = ClosingWindows();
    ASSERT_EQ(open.size(), 16 + opening.size());
    ASSERT_EQ(close.size(), closing.size() + 16);

    // The turn's first step of the clouds, which draws random numbers for the
    // puffs it brings near: from the state the game's set-up leaves.
    Game& game = FourPlayers();
    const Player& player = *game.GetCurrentPlayer();
    SeedRandom(235);
    game.GetEnvironment()->Update(player.GetEyePosition(), player.GetViewDirection());
    gAnimationTime = 0.0f;
    // Frame by frame over black, as the turn's first frames are drawn.
    const struct
    {
        const char* name;
        TransitionWindow window;
        bool closing;
    } frames[] = {{"open-line", open[10], false},
                  {"open-strip", open[16 + 14], false},
                  {"close-strip", close[6], true},
                  {"close-line", close[22 + 12], true}};
    for (const auto& frame : frames)
    {
        DrawTransitionFrame(game, frame.window, frame.closing);
        EXPECT_TRUE(MatchesReference(frame.name));
        glDisable(GL_SCISSOR_TEST);
        glViewport(0, 0, 800, 600);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    }
}

} // namespace
