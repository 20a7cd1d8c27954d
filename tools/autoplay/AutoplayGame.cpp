#include "AutoplayGame.h"

#include "SeatPlayers.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>

#include "app/FrameSwap.h"
#include "app/TurnPlay.h"
#include "combat/Hangar.h"
#include "game/Game.h"
#include "input/EventHandling.h"
#include "math/Random.h"
#include "players/AutoPlayer.h"
#include "players/Player.h"
#include "save/GameSnapshot.h"
#include "save/SaveFiles.h"
#include "save/SnapshotCodec.h"
#include "ships/Ship.h"
#include "ui/CommandPanel.h"
#include "world/Environment.h"

namespace
{

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool IsFighterClass(const Ship& ship)
{
    return ship.name == kFighterName;
}

// The frames start their flicker from a fixed state of their own.
constexpr uint32_t kDrawingSeed = 7;

} // namespace

std::string LossName(const Ship& wreck)
{
    const std::string seat = "P" + std::to_string(wreck.GetOwner() + 1);
    return seat + " " + (IsFighterClass(wreck) ? std::string("fighter") : wreck.name);
}

std::string TimeFigures(std::vector<double> seconds, double upper, const char* unit)
{
    if (seconds.empty())
    {
        return std::string("none");
    }
    std::sort(seconds.begin(), seconds.end());
    auto at = [&](double fraction)
    {
        const size_t index = size_t(std::ceil(fraction * double(seconds.size()))) - 1;
        return seconds[std::min(index, seconds.size() - 1)] * 1000.0;
    };
    char text[160];
    std::snprintf(text, sizeof text, "median %.3f ms, p%.0f %.3f ms, max %.3f ms over %zu %s", at(0.5),
                  upper * 100.0, at(upper), seconds.back() * 1000.0, seconds.size(), unit);
    return text;
}

AutoplayGame::AutoplayGame(Game& game_, uint32_t seed, bool watch_, std::FILE* out_,
                           const std::vector<std::string>& seats)
    : game(game_), watch(watch_), out(out_), round(int(game_.turnsEnded / game_.GetPlayers().size()) + 1),
      drawingRandomState(kDrawingSeed)
{
    for (Player* player : game.GetPlayers())
    {
        if (player->computer == nullptr)
        {
            const size_t seat = size_t(player->GetIndex());
            const std::string& name = seat < seats.size() ? seats[seat] : std::string("easy");
            player->seat = name == "hard" ? SeatKind::ComputerHard : SeatKind::ComputerEasy;
            player->computer = MakeSeatPlayer(name, game, *player, seed);
        }
    }
    for (const Ship* wreck : game.GetWrecks())
    {
        wrecksSeen.insert(wreck->GetId());
    }
}

AutoplayGame::~AutoplayGame() = default;

int AutoplayGame::Play(int maxRounds)
{
    PlayUntilRound(0, maxRounds);
    return Finish();
}

bool AutoplayGame::PlayUntilRound(int stopRound, int maxRounds)
{
    if (round == stopRound)
    {
        return true;
    }
    for (;;)
    {
        for (size_t seat = 0; seat < game.GetPlayers().size() && game.GetState() != 2; seat++)
        {
            PlayTurn();
            game.NextPlayer();
        }
        std::fprintf(out, "%s\n", RoundLine(round).c_str());
        std::fflush(out);
        lostThisRound.clear();
        if (game.GetState() == 2 || round >= maxRounds)
        {
            break;
        }
        round++;
        if (!snapshotFolder.empty())
        {
            const std::string path = snapshotFolder + "/round-" + std::to_string(round) + ".korvane";
            std::string error;
            if (!WriteFileWhole(path, EncodeSnapshot(CaptureSnapshot(game)), error))
            {
                std::fprintf(stderr, "korvane-autoplay: %s\n", error.c_str());
            }
        }
        if (round == stopRound)
        {
            return true;
        }
    }
    if (stopRound != 0)
    {
        Finish();
    }
    return false;
}

int AutoplayGame::Finish()
{
    const int winner = game.GetState() == 2 ? game.WinnerIndex() : -1;
    std::fprintf(out, "tick time: %s\n", TimeFigures(tickSeconds, 0.99, "ticks").c_str());
    if (watch)
    {
        std::fprintf(out, "frame time: %s\n", TimeFigures(frameSeconds, 0.95, "frames").c_str());
    }
    if (winner == -1)
    {
        std::fprintf(out, "winner none after %d rounds\n", round);
    }
    else
    {
        std::fprintf(out, "winner %d after %d rounds\n", winner + 1, round);
    }
    std::fflush(out);
    return winner;
}

void AutoplayGame::PlayTurn()
{
    // As the turn begins in the game: one step of the clouds seen from this
    // player's camera, then play until the turn or the game is over.
    Player& player = *game.GetCurrentPlayer();
    game.GetEnvironment()->Update(player.GetEyePosition(), player.GetViewDirection());
    game.SetState(0);
    player.computer->PlayTurn([this]() { Tick(); });
}

void AutoplayGame::Tick()
{
    const Clock::time_point start = Clock::now();
    AdvanceGameTick(game);
    tickSeconds.push_back(SecondsSince(start));
    NoteNewWrecks();
    if (watch)
    {
        DrawFrame();
        HandleWatcherInput();
    }
}

void AutoplayGame::DrawFrame()
{
    const uint32_t gameRandomState = RandomState();
    SeedRandom(drawingRandomState);
    const Clock::time_point start = Clock::now();
    DrawScene(game);
    game.GetPanel()->Draw();
    SwapFrame();
    frameSeconds.push_back(SecondsSince(start));
    game.frameCount++;
    drawingRandomState = RandomState();
    SeedRandom(gameRandomState);
}

void AutoplayGame::HandleWatcherInput()
{
    // The person watching may hold Tab for the sensor view or leave with
    // Escape; every other input is dropped.
    SDL_Event event;
    while (SDL_PollEvent(&event))
    {
        if (event.type == SDL_QUIT || (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE))
        {
            game.SetState(2);
        }
        else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_TAB)
        {
            game.SetViewMode(1);
        }
        else if (event.type == SDL_KEYUP && event.key.keysym.sym == SDLK_TAB)
        {
            game.SetViewMode(0);
        }
    }
}

void AutoplayGame::NoteNewWrecks()
{
    for (const Ship* wreck : game.GetWrecks())
    {
        if (wrecksSeen.insert(wreck->GetId()).second)
        {
            lostThisRound.push_back(LossName(*wreck));
        }
    }
}

std::string AutoplayGame::RoundLine(int round) const
{
    return ::RoundLine(game, round, lostThisRound);
}

std::string RoundLine(const Game& game, int round, const std::vector<std::string>& lostThisRound)
{
    std::string line = "round " + std::to_string(round) + ":";
    const std::vector<Player*>& players = game.GetPlayers();
    for (size_t i = 0; i < players.size(); i++)
    {
        int ships = 0, fighters = 0;
        double hull = 0.0;
        for (const Ship* ship : players[i]->fleet)
        {
            if (!ship->IsAlive())
            {
                continue;
            }
            (IsFighterClass(*ship) ? fighters : ships)++;
            for (int face = 0; face < kHullFaces; face++)
            {
                hull += ship->hull[face];
            }
        }
        char part[96];
        std::snprintf(part, sizeof part, "%s P%zu %d ships %d fighters hull %.0f", i == 0 ? "" : ",", i + 1,
                      ships, fighters, hull);
        line += part;
    }
    // Fighters are many and alike: counted, not named.
    line += "; destroyed";
    std::map<std::string, int> fightersLost;
    std::vector<std::string> named;
    for (const std::string& lost : lostThisRound)
    {
        const size_t space = lost.find(' ');
        if (lost.compare(space + 1, std::string::npos, "fighter") == 0)
        {
            fightersLost[lost.substr(0, space)]++;
        }
        else
        {
            named.push_back(lost);
        }
    }
    for (const auto& seat : fightersLost)
    {
        named.push_back(seat.first + " " + std::to_string(seat.second) +
                        (seat.second == 1 ? " fighter" : " fighters"));
    }
    if (named.empty())
    {
        line += " none";
    }
    for (size_t i = 0; i < named.size(); i++)
    {
        line += (i == 0 ? " " : ", ") + named[i];
    }
    return line;
}
