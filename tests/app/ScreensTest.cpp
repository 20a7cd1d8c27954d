// The screens around the turns, each drawn as a fixed frame through the real
// code and compared with its reviewed reference: intro, menu, loading,
// hand-over, winner, unloading, and the transitions that open and close a turn.
#include <unistd.h>

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

// One four-player game on map1 for the whole program, built on first use.
Game& FourPlayers()
{
    static Game* game = new Game(4, "map1");
    return *game;
}

using Screens = GLTest;

// A data directory with the font and the intro map; with the background
// picture or not, and with a directory where the map files should be.
std::string PartialDataDir(bool withBackground)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("korvane-screens-" + std::to_string(getpid()));
    const fs::path data = DataDir();
    fs::remove_all(dir);
    fs::create_directories(dir / "Textures");
    fs::create_directories(dir / "Models" / "Maps" / "map1.ase");
    for (const char* file : {"Textures/font2.png", "Models/Maps/intro.ase", "Textures/intro_background.png"})
    {
        if (withBackground || std::string(file) != "Textures/intro_background.png")
        {
            fs::copy_file(data / file, dir / file);
        }
    }
    return dir.string();
}

// Runs a screen in a data directory that lacks what it needs: the program
// must end with the message and status 0.
void ExpectScreenEnds(void (*screen)(), bool withBackground, const char* message)
{
    const std::string dir = PartialDataDir(withBackground);
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
    std::filesystem::remove_all(dir);
}

TEST(ScreensDeathTest, MissingBackgroundOrMapsEndTheProgramWithTheirMessage)
{
    ExpectScreenEnds(ShowIntro, false, "Texture file intro_background.png not found");
    ExpectScreenEnds([] { ChooseGameSetup(); }, true, "Error finding files of type ./Models/Maps/map\\?.ase");
}

TEST_F(Screens, IntroShowsTheTitleUntilAPressThenNarrowsOntoTheCentre)
{
    IntroScreen intro;
    for (int tick = 0; tick < 30; ++tick)
    {
        intro.Tick();
    }
    intro.Draw();
    EXPECT_TRUE(MatchesReference("intro"));
    intro.Press();
    for (int tick = 0; tick < 3; ++tick)
    {
        intro.Tick();
    }
    intro.Draw();
    EXPECT_TRUE(MatchesReference("intro-leaving"));
}

TEST(IntroAnimation, BurstsEveryOtherTickThenLeavesEightyTicksAfterTheLastPress)
{
    IntroAnimation intro;
    int bursts = 0;
    for (int tick = 0; tick < 100; ++tick)
    {
        bursts += intro.Tick() ? 1 : 0;
    }
    EXPECT_EQ(bursts, 50);
    EXPECT_FALSE(intro.Finished()) << "waits for a press";
    intro.Press();
    const float zooms[3] = {0.5f, 0.25f, 0.125f};
    for (float zoom : zooms)
    {
        EXPECT_FALSE(intro.Tick()) << "no bursts while leaving";
        EXPECT_EQ(intro.zoom, zoom);
    }
    for (int tick = 3; tick < 70; ++tick)
    {
        intro.Tick();
    }
    intro.Press(); // at tick 70 of the leave: the count starts again
    int ticks = 0;
    for (; !intro.Finished() && ticks < 1000; ++ticks)
    {
        intro.Tick();
    }
    EXPECT_EQ(ticks, kIntroLeaveTicks);
    EXPECT_EQ(intro.zoom, 0.01f);
}

TEST_F(Screens, MenuHighlightsTheClickedChoicesAndBeginLeavesTheLoadingScreen)
{
    SetupMenu menu;
    ASSERT_EQ(menu.maps, (std::vector<std::string>{"map1", "map2", "map3", "map4"}));
    menu.Draw(300, 250);
    EXPECT_TRUE(MatchesReference("menu"));
    // Clicks read the frame just drawn: the pointer's tip hides no button.
    EXPECT_FALSE(menu.Click(150, 460)); // "3 Players"
    EXPECT_FALSE(menu.Click(575, 430)); // the third map
    EXPECT_FALSE(menu.Click(300, 250)); // the nebula under the pointer
    EXPECT_FALSE(menu.Click(90, 410));  // the panel between buttons
    for (int tick = 0; tick < 40; ++tick)
    {
        menu.Tick();
    }
    menu.Draw(520, 395);
    EXPECT_TRUE(MatchesReference("menu-chosen"));
    EXPECT_EQ(menu.setup.numPlayers, 3);
    EXPECT_EQ(menu.setup.mapName, "map3");
    EXPECT_TRUE(menu.Click(400, 120)); // "Begin"
    DrawLoadingScreen(menu.font);
    EXPECT_TRUE(MatchesReference("loading"));
}

TEST(MenuClick, ValuesThatAreNoButtonChangeNothing)
{
    const std::vector<std::string> maps = {"map1", "map2", "map3"};
    for (unsigned v : {0u, 1u, 5u, 9u, 13u, 98u, 100u, 255u})
    {
        GameSetup setup;
        setup.mapName = "map2";
        EXPECT_FALSE(ApplyMenuClick(v, maps, setup)) << v;
        EXPECT_EQ(setup.numPlayers, 2) << v;
        EXPECT_EQ(setup.mapName, "map2") << v;
    }
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
    for (int tick = 0; tick < 30; ++tick)
    {
        WinnerTick(environment, red, screen);
    }
    screen.Press();
    for (int tick = 0; tick < 10; ++tick)
    {
        WinnerTick(environment, red, screen);
    }
    DrawWinnerScreen(environment, game.GetPanel()->Font(), 2, red, screen);
    EXPECT_TRUE(MatchesReference("winner"));
}

TEST(WinnerScreen, FadesOverFortyTicksAndEachPressRestarts)
{
    WinnerScreenState screen;
    for (int tick = 0; tick < 100; ++tick)
    {
        screen.Tick();
    }
    EXPECT_FALSE(screen.Finished()) << "waits for the first press";
    screen.Press();
    for (int tick = 0; tick < 30; ++tick)
    {
        screen.Tick();
    }
    EXPECT_EQ(screen.FadeAlpha(), 0.75f);
    screen.Press();
    int ticks = 0;
    for (; !screen.Finished() && ticks < 1000; ++ticks)
    {
        screen.Tick();
    }
    EXPECT_EQ(ticks, 40);
    EXPECT_EQ(screen.FadeAlpha(), 1.0f);
}

TEST_F(Screens, TransitionsOpenAndCloseLikeAPictureTube)
{
    const std::vector<int> opening = {399, 397, 395, 392, 389, 385, 380, 374, 367, 359, 349,
                                      337, 323, 306, 286, 262, 233, 198, 156, 106, 46};
    const std::vector<int> closing = {0,   81,  145, 197, 238, 271, 297, 318, 335, 349, 360,
                                      369, 376, 381, 385, 389, 392, 394, 396, 397, 398, 399};
    const std::vector<TransitionWindow> open = OpeningWindows();
    const std::vector<TransitionWindow> close = ClosingWindows();
    ASSERT_EQ(open.size(), 16 + opening.size());
    ASSERT_EQ(close.size(), closing.size() + 16);
    for (size_t i = 0; i < opening.size(); ++i)
    {
        EXPECT_EQ(open[16 + i].x, opening[i]) << i;
    }
    for (size_t i = 0; i < closing.size(); ++i)
    {
        EXPECT_EQ(close[i].x, closing[i]) << i;
    }

    Game& game = FourPlayers();
    const Player& player = *game.GetCurrentPlayer();
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
