#include "app/TurnCycle.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <cmath>

#include "app/Camera.h"
#include "app/ComputerTurn.h"
#include "app/FrameSwap.h"
#include "app/Startup.h"
#include "app/TurnPlay.h"
#include "audio/GameSounds.h"
#include "game/Game.h"
#include "input/EventBatch.h"
#include "math/Random.h"
#include "players/Player.h"
#include "save/SaveFiles.h"
#include "ui/CommandPanel.h"
#include "ui/Font.h"
#include "ui/Overlay.h"
#include "world/Environment.h"

namespace
{

void ClearToBlack()
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void SetWinnerCamera()
{
    PlaceCamera(60.0, 14143.0, 0.0f, Vector(0.0f, 50.0f, 50.0f));
}

void DrawFade(float alpha)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 0.0f, alpha);
    glBegin(GL_QUADS);
    glVertex2i(0, 0);
    glVertex2i(800, 0);
    glVertex2i(800, 600);
    glVertex2i(0, 600);
    glEnd();
    glDisable(GL_BLEND);
}

const Vector kWinnerCamera(0.0f, 50.0f, 50.0f);
const Vector kWinnerView(0.0f, -0.707106f, -0.707106f);

// Shows the winner's fireworks until a press and the fade after it.
void ShowWinner(Environment& environment, const Font& font, int winner, const float* colour)
{
    SDL_TimerID timer = SDL_AddTimer(kTickInterval, TimerTick, nullptr);
    PlayWinnerSound();
    WinnerScreenState screen;
    while (!screen.Finished())
    {
        DrawWinnerScreen(environment, font, winner, colour, screen);
        SwapFrame();

        for (const SDL_Event& event : EventBatch())
        {
            if (event.type == SDL_KEYDOWN || event.type == SDL_MOUSEBUTTONDOWN)
            {
                screen.Press();
            }
            else if (IsTickEvent(event))
            {
                WinnerTick(environment, colour, screen);
            }
        }
    }
    SDL_RemoveTimer(timer);
}

} // namespace

std::string HandOverText(int playerIndex)
{
    return "Player " + std::to_string(playerIndex + 1) + " begin when ready";
}

std::string WinnerText(int playerIndex)
{
    return "Player " + std::to_string(playerIndex + 1) + " Wins!";
}

bool NextFirework(const Vector& winnerColour, Firework& firework)
{
    if (RandomFraction() >= 0.3)
    {
        return false;
    }
    const double r1 = RandomFraction();
    const double r2 = RandomFraction();
    const double r3 = RandomFraction();
    firework.position = Vector(float(50.0 * r1 - 25.0), float(50.0 * r2 - 25.0), float(50.0 * r3 - 25.0));
    const double r4 = RandomFraction();
    const double r5 = RandomFraction();
    const double r6 = RandomFraction();
    firework.colour = Vector(float(winnerColour.x + 0.8 * r4), float(winnerColour.y + 0.8 * r5),
                             float(winnerColour.z + 0.8 * r6));
    firework.scale = float(0.1 * RandomFraction());
    firework.count = int(std::floor(5.0 * RandomFraction()));
    return true;
}

void DrawHandOverScreen(Game& game)
{
    const int index = game.GetCurrentPlayer()->GetIndex();
    float colour[4];
    game.GetOpaquePlayerColour(index, colour);
    ClearToBlack();
    DrawBandedText(game.GetPanel()->Font(), HandOverText(index), 318, 16, colour);
}

void DrawWinnerScreen(Environment& environment, const Font& font, int winner, const float* colour,
                      const WinnerScreenState& screen)
{
    const std::string text = WinnerText(winner);
    ClearToBlack();
    SetWinnerCamera();
    environment.Draw(kWinnerCamera, 0.0f, kWinnerView, false);
    DrawBandedText(font, text, 336, 32, colour);
    if (screen.leaving)
    {
        DrawFade(screen.FadeAlpha());
    }
}

void WinnerTick(Environment& environment, const float* colour, WinnerScreenState& screen)
{
    screen.Tick();
    environment.Update(kWinnerCamera, kWinnerView);
    Firework firework;
    if (NextFirework(Vector(colour[0], colour[1], colour[2]), firework))
    {
        environment.AddExplosion(firework.count, firework.scale, &firework.position, &firework.colour, false);
    }
}

void DrawUnloadingScreen(const Font& font, const float* colour)
{
    ClearToBlack();
    DrawBandedText(font, "Unloading game", 316, 16, colour);
}

void HandOverScreen(Game& game)
{
    PlayInterfaceSound(Sound::HandOver);
    bool pressed = false;
    while (!pressed)
    {
        // Drawn again every pass: a window that was covered, or the switch
        // between window and full screen, may have lost the picture.
        DrawHandOverScreen(game);
        SwapFrame();
        for (const SDL_Event& event : EventBatch())
        {
            if (event.type == SDL_KEYDOWN || event.type == SDL_MOUSEBUTTONDOWN)
            {
                pressed = true;
            }
        }
        SDL_Delay(100);
    }
}

void EndScreen(Game& game)
{
    Environment* environment = new Environment();
    float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const Font& font = game.GetPanel()->Font();

    const int winner = game.WinnerIndex();
    if (winner != -1)
    {
        game.GetOpaquePlayerColour(winner, colour);
        ShowWinner(*environment, font, winner, colour);
    }

    DrawUnloadingScreen(font, colour);
    SwapFrame();
    delete environment;
}

void RunTurns(Game& game)
{
    while (game.GetState() != 2)
    {
        if (game.GetCurrentPlayer()->computer != nullptr)
        {
            PlayComputerTurn(game);
        }
        else
        {
            HandOverScreen(game);
            PlayTurn(game);
        }
        game.NextPlayer();
        AutosaveAtHandOver(game);
    }
    EndScreen(game);
}
