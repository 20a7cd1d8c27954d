#include "app/GameFlow.h"

#include "app/ComputerTurn.h"
#include "app/IntroScreen.h"
#include "app/NetGame.h"
#include "app/SetupMenu.h"
#include "app/Startup.h"
#include "app/TurnCycle.h"
#include "audio/GameSounds.h"
#include "game/Game.h"
#include "save/GameSnapshot.h"
#include "save/SaveFiles.h"
#include "save/SnapshotCodec.h"

namespace
{

// The game of a saved file, or nullptr with what went wrong.
Game* ResumeGame(const std::string& file, std::string& error)
{
    std::vector<uint8_t> bytes;
    Snapshot snapshot;
    if (!ReadSaveFile(file, bytes, error) || !DecodeSnapshot(bytes, snapshot, error))
    {
        return nullptr;
    }
    return RestoreGame(snapshot, error);
}

} // namespace

int RunGame(const NetChoice& net)
{
    SoundSession sound;
    ShowIntro();
    std::string failedFile, failure;
    NetChoice choice = net;
    GameSetup previous;
    std::string netProblem;
    bool again = false;
    if (net.role == NetChoice::Role::Join)
    {
        // The host chooses the map and the seats. A join that cannot begin
        // (a wrong code, nobody at the address) or is left in its lobby opens
        // the menu with the Join panel as given and the reason under it, as a
        // join from the menu does, so that the player can put it right there.
        const NetGameEnd end = RunNetworkGame(net, GameSetup(), true);
        if (end.EndsProgram())
        {
            return end.status;
        }
        netProblem = end.reason;
    }
    Game* game = nullptr;
    while (game == nullptr)
    {
        const GameSetup setup =
            ChooseGameSetup(failedFile, failure, choice, again ? &previous : nullptr, netProblem);
        if (setup.net.IsNetwork())
        {
            const NetGameEnd end = RunNetworkGame(setup.net, setup, true);
            if (end.EndsProgram())
            {
                return end.status;
            }
            // Refused, unreachable, or left in the lobby: back to the menu,
            // which says why.
            choice = setup.net;
            previous = setup;
            netProblem = end.reason;
            again = true;
            continue;
        }
        // Loading writes its progress lines while the "Loading level" screen stays up.
        if (setup.resumeFile.empty())
        {
            game = new Game(setup.numPlayers, setup.mapName);
            SeatPlayers(*game, setup.seats, UnpredictableSeed());
            gAnimationTime = 0.0f;
        }
        else
        {
            // A save the menu could read may still not fit the game's files:
            // back to the menu, which says why.
            game = ResumeGame(setup.resumeFile, failure);
            failedFile = setup.resumeFile;
        }
    }
    RunTurns(*game);
    delete game;
    return 0;
}
