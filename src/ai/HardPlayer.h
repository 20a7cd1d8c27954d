#ifndef KORVANE_AI_HARDPLAYER_H
#define KORVANE_AI_HARDPLAYER_H

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "ai/ComputerPlayer.h"
#include "ai/Controls.h"
#include "ai/HardMemory.h"
#include "ai/Knowledge.h"
#include "ai/Search.h"
#include "ai/ShipClass.h"
#include "ai/Tactics.h"

class Game;
class Player;

// The computer player of the Hard level. Every tick of its turn it reads what
// its player knows (Knowledge.h), notes it in its memory, plans the turn
// (Tactics.h) at the start and again whenever what it sees changes, and
// carries the plan out ship by ship through its Controls: moves, targets
// given once in range, the soundest face turned to the enemy once done
// firing, fighters launched from the panel. It ends the turn when nothing is
// moving, aiming or firing and every bullet has landed.
class HardPlayer : public ComputerPlayer
{
  public:
    HardPlayer(Game& game, Player& player, uint32_t seed, const Tuning& tuning = Tuning());

    void PlayTurn(const std::function<void()>& advanceTick) override;
    // The whole of its memory (HardMemory): between two turns it holds
    // nothing else that a later turn reads.
    void SaveMemory(ComputerMemory& saved) const override;
    // A memory from a save made before this player had one leaves the player
    // as construction made it: it plays on from what its sensors show.
    bool LoadMemory(const ComputerMemory& saved, std::string& error) override;

    const HardMemory& Memory() const { return memory; }
    void SetMemory(const HardMemory& remembered)
    {
        memory = remembered;
        gridDensity = GridDensity();
    }
    Controls& GetControls() { return controls; }

    // A turn that lasts this many ticks is ended whatever is still going on.
    static constexpr int kMaxTurnTicks = 1200;

  private:
    // What a ship has been told this turn.
    struct Progress
    {
        uint32_t id = 0;
        ShipTask task = ShipTask::Hold;
        int moves = 0;
        bool moveGiven = false;
        Vector movedTo;
        uint32_t targetGiven = 0;
        bool guarded = false;
        bool bowTurned = false;
    };

    void StartTurn(const Knowledge& knowledge);
    // One tick's decisions; true when an order was given.
    bool Act(const Knowledge& knowledge);
    bool Step(const OwnShip& ship, const ShipOrders& order, Progress& progress, const Knowledge& knowledge);
    // Gives a fighter its target and turns its guns on it.
    void AimFighter(const OwnShip& ship, uint32_t targetId, const Vector& targetPosition);
    // Gives each turret of the ship the target worth most to it; true when
    // an order was given.
    bool AimTurrets(const OwnShip& ship, const ShipOrders& order, Progress& progress,
                    const Knowledge& knowledge, bool underWay);
    void Launch(const Knowledge& knowledge);
    Progress& ProgressOf(uint32_t id);
    const ShipOrders* OrdersOf(uint32_t id) const; // this turn's plan for one ship, if any
    // Whether a searching ship stands at its point with time and moves left
    // to go on to another.
    bool SearchPointReached(const Knowledge& knowledge);
    uint64_t SightSignature(const Knowledge& knowledge) const;
    void AimCamera(const Knowledge& knowledge);

    Game& game;
    Player& player;
    ClassBook book;
    Controls controls;
    Tuning tuning;
    HardMemory memory;
    GridDensity gridDensity; // of memory.searchGrid
    float hiddenSignature;   // the faintest ship there is to find: a fighter's
    TurnPlan plan;
    std::vector<Progress> progress;
    uint64_t planSight;               // what was in sight when the plan was made
    std::map<uint32_t, float> claims; // fire to come on each enemy this tick
    int ticks;
    int searchPlanTick; // the tick of the turn the search was last planned anew
};

#endif
