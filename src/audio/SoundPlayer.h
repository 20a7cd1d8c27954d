#ifndef KORVANE_AUDIO_SOUNDPLAYER_H
#define KORVANE_AUDIO_SOUNDPLAYER_H

#include <SDL/SDL_mixer.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "audio/Sound.h"

// The sound device and the loaded sounds, through SDL_mixer: the one place
// that calls the mixer. Sound is never needed to play: a missing device, a
// device that fails, or a missing file is said once on standard error and the
// game plays on without it.
class SoundPlayer
{
  public:
    // The mixed output: 44100 frames a second, 16-bit stereo, mixed in
    // blocks of kBlockFrames (a sound starts at the beginning of a block).
    // The rate is SDL 2's least: at a lower one the maintained SDL 1.2 opens
    // the device at 44100 and resamples the mix on its way there.
    static constexpr int kRate = 44100;
    static constexpr int kBlockFrames = 2048;
    // Channels for effects; one more, reserved, carries the ambient loop.
    static constexpr int kEffectChannels = 31;

    SoundPlayer() = default;
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Opens the device and loads every sound from Sounds/ in the working
    // directory. Returns whether sound plays (a missing file only silences
    // that sound). Enables the game's sound queue when it does.
    bool Open();
    // Stops everything, frees the sounds and closes the device.
    void Close();
    bool IsOpen() const { return open; }

    // Starts a sound at once: gain 0 to 1, pan -1 (left) to +1 (right).
    void Play(Sound sound, float gain, float pan);

    // The ambient loop: started if it is not playing; stopped with a short fade.
    void StartAmbient();
    void StopAmbient();

    // Muted, nothing is mixed: the effects playing stop, the ambient loop
    // pauses where it is and resumes when sound comes back.
    void SetMuted(bool mute);
    bool IsMuted() const { return muted; }

    // Notices a device that stopped on its own (SDL gives up on a device
    // that fails to take the sound): one line, and silence from then on.
    void CheckDevice();

    // Frames mixed since the device was opened. While the caller holds
    // SDL_LockAudio, a sound played now starts at exactly this frame of the
    // output.
    uint64_t MixedFrames() const { return mixedFrames.load(); }

  private:
    static void CountMixed(void* player, Uint8* stream, int length);
    void Fail(const std::string& what);

    bool open = false;
    bool muted = false;
    Mix_Chunk* chunks[kSoundCount] = {};
    std::atomic<uint64_t> mixedFrames{0};
};

extern SoundPlayer gSoundPlayer;

#endif
