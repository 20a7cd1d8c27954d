#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/SceneAids.h"
#include "app/Startup.h"
#include "app/TurnCycle.h"
#include "app/TurnPlay.h"
#include "game/Game.h"
#include "players/Player.h"
#include "support/GLTest.h"

namespace
{

// Keys typed "by the player" from SDL's timer thread while the turn cycle
// runs on this thread: one key every interval, in order.
std::vector<SDLKey> gScriptedKeys;
size_t gNextScriptedKey = 0;

Uint32 TypeNextKey(Uint32 interval, void*)
{
    if (gNextScriptedKey >= gScriptedKeys.size())
    {
        return interval;
    }
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = gScriptedKeys[gNextScriptedKey++];
    SDL_PushEvent(&event);
    return interval;
}

class TurnPlayTest : public GLTest
{
  protected:
    void SetUp() override
    {
        GLTest::SetUp();
        Flush();
        game.reset(new Game(2, "map1"));
    }

    void TearDown() override
    {
        Flush();
        game.reset();
        GLTest::TearDown();
    }

    static void Flush()
    {
        SDL_Event event;
        while (SDL_PollEvent(&event))
        {
        }
    }

    static void PushKey(SDLKey key)
    {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.state = SDL_PRESSED;
        event.key.keysym.sym = key;
        SDL_PushEvent(&event);
    }

    std::unique_ptr<Game> game;
};

TEST_F(TurnPlayTest, CameraLooksDownFromAboveTheFocusAndSavesItsMatrices)
{
    Player& player = *game->GetCurrentPlayer();
    SetupCamera(player, false);
    // The eye is 100 above the focus: the modelview takes it to the origin.
    const Vector eye = player.GetEyePosition();
    const double* m = player.modelview;
    const double ex = m[0] * eye.x + m[4] * eye.y + m[8] * eye.z + m[12];
    const double ey = m[1] * eye.x + m[5] * eye.y + m[9] * eye.z + m[13];
    const double ez = m[2] * eye.x + m[6] * eye.y + m[10] * eye.z + m[14];
    EXPECT_NEAR(ex, 0.0, 1e-3);
    EXPECT_NEAR(ey, 0.0, 1e-3);
    EXPECT_NEAR(ez, 0.0, 1e-3);
    // Far plane 500 normally, 14143 in the sensor view: -(f+n)/(f-n).
    EXPECT_NEAR(player.projection[10], -501.0 / 499.0, 1e-6);
    SetupCamera(player, true);
    EXPECT_NEAR(player.projection[10], -14144.0 / 14142.0, 1e-6);
}

TEST_F(TurnPlayTest, SceneBackgroundIsTheFogColourOrDarkInTheSensorView)
{
    DrawScene(*game);
    glFinish();
    const Rgb sky = ReadPixel(400, 595);
    EXPECT_GT(sky.b, 200) << "fog colour (0.5, 0.5, 1) behind the far plane";
    EXPECT_GT(sky.b, sky.r + 60);
    game->SetViewMode(1);
    DrawScene(*game);
    glFinish();
    const Rgb dark = ReadPixel(5, 595);
    EXPECT_NEAR(dark.r, 25, 8);
    EXPECT_NEAR(dark.g, 25, 8);
    EXPECT_NEAR(dark.b, 25, 8);
}

TEST_F(TurnPlayTest, OrderGridOnlyWhilePlacingAPoint)
{
    game->GetCurrentPlayer()->SelectNextShip();
    const Vector centre = game->GetCurrentPlayer()->GetSelectionCentre();
    game->SetOrderPoint(centre.x - 50.0f, centre.y, centre.z - 50.0f);
    auto greenPixels = [&]()
    {
        DrawScene(*game);
        glFinish();
        int count = 0;
        for (int y = 150; y < 600; y += 3)
        {
            for (int x = 0; x < 800; x += 3)
            {
                const Rgb p = ReadPixel(x, y);
                if (p.g > p.r + 60 && p.g > p.b + 20)
                {
                    count++;
                }
            }
        }
        return count;
    };
    const int without = greenPixels();
    game->SetOrderMode(3);
    const int with = greenPixels();
    EXPECT_GT(with, without + 20);
    game->SetOrderMode(4);
    EXPECT_GT(greenPixels(), without + 20);
    game->SetOrderMode(5);
    EXPECT_EQ(greenPixels(), without);
}

TEST_F(TurnPlayTest, EscapeEndsTheTurnAndTheViewCloses)
{
    PushKey(SDLK_ESCAPE);
    PlayTurn(*game);
    EXPECT_EQ(game->GetState(), 2);
    EXPECT_EQ(game->timer, nullptr);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
    EXPECT_GE(game->frameCount, 1);
}

TEST_F(TurnPlayTest, EndKeyEndsOnlyTheTurn)
{
    PushKey(SDLK_d);
    PlayTurn(*game);
    EXPECT_EQ(game->GetState(), 1);
    EXPECT_EQ(game->timer, nullptr);
}

TEST_F(TurnPlayTest, AxesRulersMarkEveryThousandUnits)
{
    EXPECT_EQ(RulerTickHalfLength(0), 50.0f);
    EXPECT_EQ(RulerTickHalfLength(-10000), 50.0f);
    EXPECT_EQ(RulerTickHalfLength(1000), 50.0f);
    EXPECT_EQ(RulerTickHalfLength(100), 25.0f);
    EXPECT_EQ(RulerTickHalfLength(-900), 25.0f);
    EXPECT_FLOAT_EQ(GridAlpha(0, 0), 1.0f);
    EXPECT_FLOAT_EQ(GridAlpha(-200, 0), 0.0f);
    EXPECT_FLOAT_EQ(GridAlpha(-200, -200), 0.0f) << "beyond 200 units the grid is invisible, not negative";
    EXPECT_NEAR(GridAlpha(60, 80), 0.5f, 1e-6);
}

TEST_F(TurnPlayTest, EscapeLeadsFromTheHandOverThroughOneTurnToTheEnd)
{
    // Space dismisses the hand-over, Escape ends the game during the turn;
    // the change of player still runs once before the end screens.
    gScriptedKeys = {SDLK_SPACE, SDLK_ESCAPE};
    gNextScriptedKey = 0;
    SDL_TimerID typist = SDL_AddTimer(400, TypeNextKey, nullptr);
    RunTurns(*game);
    SDL_RemoveTimer(typist);
    EXPECT_EQ(game->GetState(), 2);
    EXPECT_EQ(game->GetCurrentPlayer()->GetIndex(), 1);
    EXPECT_EQ(game->WinnerIndex(), -1);
}

} // namespace
