#ifndef KORVANE_AUDIO_SOUND_H
#define KORVANE_AUDIO_SOUND_H

// The game's sounds. Each is one file, Sounds/<name>.wav in the data tree,
// made by the data generator.
enum class Sound
{
    BeamFire,      // a beam turret opens fire
    GunFire,       // a gun turret's salvo
    BulletHit,     // a bullet strikes its target
    BeamHit,       // a beam burns on its target
    HullBreak,     // a hull face gives way
    ShipDestroyed, // a ship becomes a wreck
    Explosion,     // a wreck bursts; smaller ones while it burns
    FighterLaunch, // a hangar launches its squadron
    Order,         // the player gives an order
    Click,         // a button is pressed
    HandOver,      // the hand-over screen names the next player
    Winner,        // the winner screen
    Ambient        // the quiet loop of the menu and of play
};
constexpr int kSoundCount = int(Sound::Ambient) + 1;

// The file's name without directory or extension, for example "beam-fire".
const char* SoundName(Sound sound);

// "Sounds/" + name + ".wav", relative to the game's working directory.
const char* SoundFile(Sound sound);

#endif
