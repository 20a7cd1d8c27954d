#include "ai/Controls.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "combat/Hangar.h"
#include "game/Game.h"
#include "input/EventHandling.h"
#include "input/KeyCommands.h"
#include "players/Player.h"
#include "ships/Ship.h"

Controls::Controls(Game& game_, Player& player_) : game(game_), player(player_), keeping(false) {}

Ship* Controls::Own(uint32_t id) const
{
    for (Ship* ship : player.fleet)
    {
        if (ship->GetId() == id && ship->IsAlive())
        {
            return ship;
        }
    }
    return nullptr;
}

Ship* Controls::VisibleEnemy(uint32_t id) const
{
    // Only a ship drawn on this player's screen can be clicked.
    for (Player* other : game.GetPlayers())
    {
        if (other == &player)
        {
            continue;
        }
        for (Ship* ship : other->fleet)
        {
            if (ship->GetId() != id || !ship->IsAlive())
            {
                continue;
            }
            const auto entry = ship->detection.find(player.GetIndex());
            return entry != ship->detection.end() && entry->second.state == 2 ? ship : nullptr;
        }
    }
    return nullptr;
}

void Controls::Select(const Ship& ship)
{
    // A click on the ship in the scene, with no order pending.
    if (player.selection.size() == 1 && player.selection.front() == &ship)
    {
        return;
    }
    game.SetOrderMode(1);
    game.SetOrderType(0);
    Pick(game, 0, 0, ship.GetId());
}

bool AiTraceOn()
{
    static const bool trace = std::getenv("KORVANE_AI_TRACE") != nullptr;
    return trace;
}

void Controls::Note(const char* format, ...)
{
    const bool trace = AiTraceOn();
    if (!keeping && !trace)
    {
        return;
    }
    char line[160];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (trace)
    {
        std::fprintf(stderr, "    P%d order: %s\n", player.GetIndex() + 1, line);
    }
    if (keeping)
    {
        record.push_back(line);
    }
}

bool Controls::MoveTo(uint32_t shipId, const Vector& point)
{
    Ship* ship = Own(shipId);
    if (ship == nullptr)
    {
        return false;
    }
    Select(*ship);
    HandleKeyPress(game, SDLK_m);
    game.SetOrderPoint(point.x, point.y, point.z);
    Pick(game, 0, 0, 0);
    Note("move %u to %.2f %.2f %.2f", shipId, point.x, point.y, point.z);
    return true;
}

bool Controls::RotateTo(uint32_t shipId, const Vector& point)
{
    Ship* ship = Own(shipId);
    if (ship == nullptr)
    {
        return false;
    }
    Select(*ship);
    HandleKeyPress(game, SDLK_r);
    game.SetOrderPoint(point.x, point.y, point.z);
    Pick(game, 0, 0, 0);
    Note("rotate %u to %.2f %.2f %.2f", shipId, point.x, point.y, point.z);
    return true;
}

bool Controls::Attack(uint32_t shipId, uint32_t targetId)
{
    Ship* ship = Own(shipId);
    if (ship == nullptr || VisibleEnemy(targetId) == nullptr)
    {
        return false;
    }
    Select(*ship);
    HandleKeyPress(game, SDLK_a);
    Pick(game, 0, 0, targetId);
    Note("attack %u at %u", shipId, targetId);
    return true;
}

bool Controls::Target(uint32_t shipId, uint32_t targetId)
{
    Ship* ship = Own(shipId);
    if (ship == nullptr || VisibleEnemy(targetId) == nullptr)
    {
        return false;
    }
    Select(*ship);
    HandleKeyPress(game, SDLK_t);
    Pick(game, 0, 0, targetId);
    Note("target %u at %u", shipId, targetId);
    return true;
}

bool Controls::TurretTarget(uint32_t shipId, int turret, uint32_t targetId)
{
    Ship* ship = Own(shipId);
    const int turrets = ship != nullptr ? int(ship->beamTurrets.size() + ship->gunTurrets.size()) : 0;
    if (ship == nullptr || turret < 0 || turret >= turrets || VisibleEnemy(targetId) == nullptr)
    {
        return false;
    }
    Select(*ship);
    ship->SelectPart(turret);
    HandleKeyPress(game, SDLK_x);
    Pick(game, 0, 0, targetId);
    Note("turret %u.%d at %u", shipId, turret, targetId);
    return true;
}

bool Controls::Launch(uint32_t shipId, int hangar)
{
    Ship* ship = Own(shipId);
    if (ship == nullptr || hangar < 0 || hangar >= int(ship->hangars.size()) ||
        ship->hangars[size_t(hangar)]->HasLaunchedThisTurn() ||
        ship->hangars[size_t(hangar)]->GetSquadronsLeft() <= 0)
    {
        return false;
    }
    // The panel lists beam turrets, gun turrets, then hangars.
    Select(*ship);
    ship->SelectPart(int(ship->beamTurrets.size() + ship->gunTurrets.size()) + hangar);
    ship->hangars[size_t(hangar)]->Launch(ship->position, ship->orientation);
    Note("launch %u.%d", shipId, hangar);
    return true;
}

bool Controls::Stop(uint32_t shipId)
{
    Ship* ship = Own(shipId);
    if (ship == nullptr)
    {
        return false;
    }
    Select(*ship);
    HandleKeyPress(game, SDLK_s);
    Note("stop %u", shipId);
    return true;
}

void Controls::EndTurn()
{
    HandleKeyPress(game, SDLK_d);
    Note("end turn");
}
