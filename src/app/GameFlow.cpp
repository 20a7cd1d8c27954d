#include "app/GameFlow.h"

#include "app/IntroScreen.h"
#include "app/SetupMenu.h"
#include "app/Startup.h"
#include "app/TurnCycle.h"
#include "audio/GameSounds.h"
#include "game/Game.h"

void RunGame()
{
    SoundSession sound;
    ShowIntro();
    const GameSetup setup = ChooseGameSetup();
    // Loading writes its progress lines while the "Loading level" screen stays up.
    Game* game = new Game(setup.numPlayers, setup.mapName);
    gAnimationTime = 0.0f;
    RunTurns(*game);
    delete game;
}
