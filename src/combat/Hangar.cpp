#include "combat/Hangar.h"

#include <cmath>

#include "app/FatalError.h"
#include "assets/Ase.h"
#include "audio/GameSounds.h"
#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"

const char* const kFighterName = "Vuvorivud Uduvurov";

// The class every hangar launches.
static const char* const kFighterClass = "smallfighter";
// Fighters of a squadron start this far apart along the ship's length.
static const float kFighterSpacing = 10.0f;
// How far ahead of its start a fighter's first move order reaches, along the
// hangar's file z (the game's third axis once swapped).
static const float kLaunchRun = 100.0f;

// The marker's first property truncated towards zero; values no count can
// hold (or not a number) give an empty hangar.
static int32_t SquadronCount(float value)
{
    if (!(std::fabs(value) < 2147483520.0f))
    {
        return 0;
    }
    return int32_t(std::trunc(value));
}

Hangar::Hangar(const AseNode& node, Game* game_)
    : name(node.name), position(node.position), squadronsLeft(SquadronCount(node.properties[0])), game(game_),
      launchedThisTurn(false), selected(false)
{
}

Vector Hangar::FighterStartOffset(const Vector& hangarPosition, int i)
{
    Vector start(hangarPosition.x, hangarPosition.z, hangarPosition.y);
    for (int k = 0; k < i; ++k)
    {
        start.z -= kFighterSpacing;
    }
    return start;
}

Vector Hangar::FighterMoveOffset(const Vector& hangarPosition, int i)
{
    Vector move(hangarPosition.x, hangarPosition.z, hangarPosition.y + kLaunchRun);
    for (int k = 0; k < i; ++k)
    {
        move.z -= kFighterSpacing;
    }
    return move;
}

void Hangar::Launch(const Vector& shipPosition, const Orientation& shipOrientation)
{
    // A hangar with no squadrons (or a marker that gave it a negative number) launches nothing.
    if (launchedThisTurn || squadronsLeft <= 0)
    {
        return;
    }
    Model* fighterModel = game->FindShipModel(kFighterClass);
    if (fighterModel == nullptr)
    {
        FatalError(std::string("Cannot find ship model ") + kFighterClass);
    }
    launchedThisTurn = true;
    PostSound(Sound::FighterLaunch, shipPosition);

    Player* player = game->GetCurrentPlayer();
    const int32_t owner = player->GetIndex();
    for (int i = 0; i < kSquadronSize; ++i)
    {
        Vector start;
        Vector move;
        RotateByAngles(FighterStartOffset(position, i), start, shipOrientation);
        RotateByAngles(FighterMoveOffset(position, i), move, shipOrientation);

        Ship* fighter = new Ship(game->TakeId(), owner, game);
        fighter->Assemble(fighterModel, owner);
        fighter->SetName(kFighterName);
        const Vector at = shipPosition + start;
        fighter->SetPosition(at.x, at.y, at.z);
        fighter->SetOrientation(-shipOrientation.x, 180.0f - shipOrientation.y, shipOrientation.z);
        // The first update of a spawned ship refreshes its sensor data; the new
        // turn gives it full turret and movement time to fly off at once.
        fighter->Update();
        fighter->NewTurn();
        fighter->OrderMove(move.x, move.y, move.z);
        player->AddShip(fighter);
    }
    squadronsLeft -= 1;
}
