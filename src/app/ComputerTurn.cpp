#include "app/ComputerTurn.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <algorithm>
#include <random>

#include "ai/ComputerPlayer.h"
#include "app/FrameSwap.h"
#include "app/Startup.h"
#include "app/TurnPlay.h"
#include "audio/GameSounds.h"
#include "game/Game.h"
#include "input/EventBatch.h"
#include "input/EventHandling.h"
#include "math/Random.h"
#include "players/Player.h"
#include "ui/CommandPanel.h"
#include "ui/Font.h"
#include "ui/Overlay.h"
#include "world/Environment.h"

namespace
{

// Ten seconds of movement per turn, in ticks.
constexpr int kMovementTicks = 200;

// The neutral screen is drawn anew this often while the turn runs, and stays
// up at least this long.
constexpr Uint32 kNeutralRedrawMs = 50;
constexpr Uint32 kNeutralMinimumMs = 1500;

// The watched frames start their flicker from a fixed state of their own.
constexpr uint32_t kDrawingSeed = 7;

const float kBandColour[4] = {0.0f, 0.0f, 0.4f, 1.0f};

void FillBox(int x0, int y0, int x1, int y1)
{
    glBegin(GL_QUADS);
    glVertex2i(x0, y0);
    glVertex2i(x1, y0);
    glVertex2i(x1, y1);
    glVertex2i(x0, y1);
    glEnd();
}

// One computer's turn as it is played and shown.
class ComputerTurn
{
  public:
    ComputerTurn(Game& game, const ComputerTurnView& view);
    ComputerTurnRecord Play();

  private:
    void AdvanceTick();
    void ReadInput();
    void FastForward();
    void DrawWatched();
    void DrawNeutral(bool finished);
    void HoldNeutral();

    Game& game;
    const bool watched;
    bool fastForward;
    int ticksDue; // tick events received and not yet played
    int ticks;    // ticks of the turn so far
    int frames;   // frames of the watched view drawn
    uint32_t drawingRandomState;
    Uint32 started;   // SDL_GetTicks() at the start of the turn
    Uint32 lastDrawn; // and at the last neutral frame
};

ComputerTurn::ComputerTurn(Game& game_, const ComputerTurnView& view)
    : game(game_), watched(view.watched), fastForward(false), ticksDue(0), ticks(0), frames(0),
      drawingRandomState(kDrawingSeed), started(0), lastDrawn(0)
{
    const std::vector<Player*>& players = game.GetPlayers();
    const bool known = view.viewer >= 0 && size_t(view.viewer) < players.size();
    game.SetViewer(watched && known ? players[size_t(view.viewer)] : nullptr);
}

ComputerTurnRecord ComputerTurn::Play()
{
    Player& player = *game.GetCurrentPlayer();
    const Player& eye = *game.GetViewer();
    game.GetEnvironment()->Update(eye.GetEyePosition(), eye.GetViewDirection());
    game.SetState(0);
    started = lastDrawn = SDL_GetTicks();
    // The person watching hears the world around their camera, as they see
    // it, but not the clicks of the computer's orders; nobody hears a turn
    // that nobody sees.
    SetHeardSounds(watched ? HeardSounds::WorldOnly : HeardSounds::None);
    if (watched)
    {
        StartTickTimer(game);
    }
    else
    {
        DrawNeutral(false);
    }

    player.computer->PlayTurn([this]() { AdvanceTick(); });
    if (game.GetState() == 0)
    {
        // A computer player that stops without ending its turn ends it here,
        // so that the game goes on.
        game.SetState(1);
    }

    StopTickTimer(game);
    if (!watched)
    {
        HoldNeutral();
    }
    HearSounds(game); // what is left of the turn's sounds goes as the turn was heard
    game.SetViewer(nullptr);
    SetHeardSounds(HeardSounds::All);
    ComputerTurnRecord record;
    record.ticks = ticks;
    record.framesWatched = frames;
    return record;
}

void ComputerTurn::AdvanceTick()
{
    if (watched && !fastForward)
    {
        // Frames as fast as they come until the timer's next tick: game time
        // passes as in a person's turn, whatever the frame rate.
        while (ticksDue == 0 && !fastForward && game.GetState() != 2)
        {
            DrawWatched();
            ReadInput();
        }
    }
    else
    {
        ReadInput();
        if (!watched && SDL_GetTicks() - lastDrawn >= kNeutralRedrawMs)
        {
            DrawNeutral(false);
        }
    }
    if (game.GetState() == 2)
    {
        return; // Escape: the game ends here
    }
    if (ticksDue > 0)
    {
        ticksDue--;
    }
    if (GameOverReached(game))
    {
        game.SetState(2);
    }
    HandleTick(game);
    ticks++;
}

void ComputerTurn::ReadInput()
{
    for (const SDL_Event& event : EventBatch())
    {
        if (IsTickEvent(event))
        {
            if (watched && !fastForward)
            {
                ticksDue++;
            }
        }
        else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE)
        {
            game.SetState(2);
        }
        else if (event.type == SDL_KEYDOWN ||
                 (event.type == SDL_MOUSEBUTTONDOWN && event.button.button <= SDL_BUTTON_RIGHT))
        {
            if (watched)
            {
                FastForward();
            }
        }
    }
}

void ComputerTurn::FastForward()
{
    fastForward = true;
    StopTickTimer(game);
    SetHeardSounds(HeardSounds::None);
}

void ComputerTurn::DrawWatched()
{
    const uint32_t gameRandomState = RandomState();
    SeedRandom(drawingRandomState);
    DrawWatchedFrame(game);
    SwapFrame();
    game.frameCount++;
    frames++;
    drawingRandomState = RandomState();
    SeedRandom(gameRandomState);
}

void ComputerTurn::DrawNeutral(bool finished)
{
    DrawComputerTurnScreen(game, TurnProgress(ticks, finished));
    SwapFrame();
    lastDrawn = SDL_GetTicks();
}

void ComputerTurn::HoldNeutral()
{
    if (game.GetState() == 2)
    {
        return;
    }
    DrawNeutral(true);
    while (game.GetState() != 2 && SDL_GetTicks() - started < kNeutralMinimumMs)
    {
        ReadInput();
        SDL_Delay(20);
        DrawNeutral(true); // again on every pass: a window that was covered gets its picture back
    }
}

} // namespace

ComputerTurnView ChooseComputerTurnView(const std::vector<SeatKind>& seats,
                                        const std::vector<int>& fleetSizes, int current)
{
    int people = 0;
    int person = -1;
    for (size_t i = 0; i < seats.size() && i < fleetSizes.size(); i++)
    {
        if (!IsComputerSeat(seats[i]) && fleetSizes[i] > 0)
        {
            people++;
            person = int(i);
        }
    }
    ComputerTurnView view;
    view.watched = people < 2;
    view.viewer = people == 1 ? person : current;
    return view;
}

ComputerTurnView ChooseComputerTurnView(const Game& game)
{
    std::vector<SeatKind> seats;
    std::vector<int> fleetSizes;
    for (const Player* player : game.GetPlayers())
    {
        seats.push_back(player->seat);
        fleetSizes.push_back(player->FleetSize());
    }
    return ChooseComputerTurnView(seats, fleetSizes, game.GetCurrentPlayer()->GetIndex());
}

void SeatPlayers(Game& game, const SeatKind seats[4], uint32_t seed)
{
    for (Player* player : game.GetPlayers())
    {
        const int index = player->GetIndex();
        player->seat = seats[index];
        player->computer =
            MakeComputerPlayer(player->seat, game, *player, seed + uint32_t(index) * 0x9E3779B9u);
    }
}

uint32_t UnpredictableSeed()
{
    std::random_device device;
    return device();
}

std::string ComputerMovingText(int playerIndex)
{
    return "Player " + std::to_string(playerIndex + 1) + " (computer) is moving";
}

float TurnProgress(int ticks, bool finished)
{
    if (finished)
    {
        return 1.0f;
    }
    return std::max(0.0f, std::min(1.0f, float(ticks) / float(kMovementTicks)));
}

void DrawWatchedFrame(Game& game)
{
    DrawScene(game);
    const int index = game.GetCurrentPlayer()->GetIndex();
    const std::string text = ComputerMovingText(index);
    const Font& font = game.GetPanel()->Font();
    float colour[4];
    game.GetOpaquePlayerColour(index, colour);
    Begin2D();
    glColor4fv(kBandColour);
    DrawBox(100, 570, 700, 590, 4, false);
    DrawText(font, text, 400 - TextWidth(font, text, 16) / 2, 572, 16, colour);
}

void DrawComputerTurnScreen(Game& game, float progress)
{
    const int index = game.GetCurrentPlayer()->GetIndex();
    float colour[4];
    game.GetOpaquePlayerColour(index, colour);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    DrawBandedText(game.GetPanel()->Font(), ComputerMovingText(index), 318, 16, colour);
    glColor4fv(colour);
    DrawBox(250, 250, 550, 270, 2, true);
    const float share = std::max(0.0f, std::min(1.0f, progress));
    const int right = 253 + int(294.0f * share + 0.5f);
    if (right > 253)
    {
        FillBox(253, 253, right, 267);
    }
}

ComputerTurnRecord PlayComputerTurn(Game& game)
{
    return PlayComputerTurn(game, ChooseComputerTurnView(game));
}

ComputerTurnRecord PlayComputerTurn(Game& game, const ComputerTurnView& view)
{
    ComputerTurn turn(game, view);
    return turn.Play();
}
