#ifndef KORVANE_COMBAT_HANGAR_H
#define KORVANE_COMBAT_HANGAR_H

#include <cstdint>
#include <string>

#include "math/Vector.h"

struct AseNode;
class Game;

// The name every launched fighter takes.
extern const char* const kFighterName;
// Fighters in one squadron.
constexpr int kSquadronSize = 5;

// A fighter bay of a carrier: launches one squadron of five strike fighters
// per turn while it has squadrons left. Built from a "hangar" marker; has no
// mesh and is not drawn.
class Hangar
{
  public:
    Hangar(const AseNode& node, Game* game);

    // Launches one squadron from the owning ship at shipPosition with
    // shipOrientation into the current player's fleet. Ignored when this
    // hangar already launched this turn or has no squadrons left.
    void Launch(const Vector& shipPosition, const Orientation& shipOrientation);
    // Re-arms the hangar for the owner's new turn.
    void NewTurn() { launchedThisTurn = false; }

    void Select() { selected = true; }
    void Deselect() { selected = false; }
    bool IsSelected() const { return selected; }

    // Read access for the command panel.
    const std::string& GetName() const { return name; }
    int32_t GetSquadronsLeft() const { return squadronsLeft; }
    bool HasLaunchedThisTurn() const { return launchedThisTurn; }

    // Where fighter i of a squadron starts, relative to the ship in ship
    // coordinates, and the displacement of its first move order.
    static Vector FighterStartOffset(const Vector& hangarPosition, int i);
    static Vector FighterMoveOffset(const Vector& hangarPosition, int i);

    std::string name;      // the marker's name; shown in the ship's parts list
    Vector position;       // the marker's position as read (file axes)
    int32_t squadronsLeft; // the marker's first property, truncated
    Game* game;
    bool launchedThisTurn;
    bool selected;
};

#endif
