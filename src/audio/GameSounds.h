#ifndef KORVANE_AUDIO_GAMESOUNDS_H
#define KORVANE_AUDIO_GAMESOUNDS_H

#include <SDL/SDL.h>

#include "audio/Sound.h"
#include "math/Vector.h"

class Game;
class Ship;

// Where the game meets its sounds. The game's code posts what happens; the
// frame loop lets the current player hear it. None of this changes anything
// the game reads, and none of it takes numbers from the game's random
// generator: a game plays the same with sound, without it, and muted.

// A sound in the world at a point, heard by whoever is near (explosions,
// wrecks, and the weapons and hangars of the player whose turn it is).
void PostSound(Sound sound, const Vector& position, float loudness = 1.0f);

// A sound from a ship, at its position: heard only while the player at the
// screen sees that ship (their own, or one their sensors show).
void PostShipSound(Sound sound, const Ship& ship);

// A sound of the interface (buttons, orders, screens): centred, at once.
void PlayInterfaceSound(Sound sound);

// Plays what the player at the screen (Game::GetViewer) hears of the sounds
// posted since the last call, from that player's camera. HearTick is called
// once per tick, after the tick's work; HearSounds after input handled
// between ticks.
void HearTick(const Game& game);
void HearSounds(const Game& game);

// What is heard of the game: all of it; the world only, without the sounds of
// the interface (someone watches the computer give its orders); or nothing (a
// computer's turn that nobody watches, or the rest of one played at once).
enum class HeardSounds
{
    All,
    WorldOnly,
    None
};
void SetHeardSounds(HeardSounds heard);
HeardSounds GetHeardSounds();

// The key that mutes and unmutes all sound, in the menu and during a turn.
constexpr SDLKey kMuteKey = SDLK_v;
void ToggleSoundMute();

// The ambient loop, for the menu and play; the winner screen stops it and
// plays its own.
void StartAmbientSound();
void PlayWinnerSound();

// Sound for as long as it lives: opens the device and loads the sounds (or
// says why not), and closes them again.
class SoundSession
{
  public:
    SoundSession();
    ~SoundSession();
    SoundSession(const SoundSession&) = delete;
    SoundSession& operator=(const SoundSession&) = delete;
};

#endif
