#include "audio/SoundPlayer.h"

#include <SDL/SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <iostream>

#include "audio/Hearing.h"
#include "audio/SoundQueue.h"

SoundPlayer gSoundPlayer;

namespace
{

constexpr int kAmbientChannel = 0;
// Effect channels form group 0, so that a new sound may take the oldest of
// them when all are busy, never the ambient loop.
constexpr int kEffectGroup = 0;
constexpr int kAmbientGroup = 1;
constexpr int kAmbientFadeMs = 800;

// Looking for a device, the sound libraries write their own complaints on
// standard error (ALSA names every card it does not find). For that moment
// standard error goes nowhere; the game then says in one line what happened.
class QuietStandardError
{
  public:
    QuietStandardError()
    {
        std::fflush(stderr);
        saved = dup(STDERR_FILENO);
        const int nowhere = open("/dev/null", O_WRONLY);
        if (saved >= 0 && nowhere >= 0)
        {
            dup2(nowhere, STDERR_FILENO);
        }
        if (nowhere >= 0)
        {
            close(nowhere);
        }
    }
    ~QuietStandardError()
    {
        std::fflush(stderr);
        if (saved >= 0)
        {
            dup2(saved, STDERR_FILENO);
            close(saved);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

  private:
    int saved = -1;
};

} // namespace

SoundPlayer::~SoundPlayer()
{
    Close();
}

void SoundPlayer::CountMixed(void* player, Uint8* /*stream*/, int length)
{
    // 16-bit stereo: four bytes a frame.
    static_cast<SoundPlayer*>(player)->mixedFrames += uint64_t(length / 4);
}

void SoundPlayer::Fail(const std::string& what)
{
    std::cerr << "Sound: " << what << "; playing on without sound" << std::endl;
}

bool SoundPlayer::Open()
{
    if (open)
    {
        return true;
    }
    bool started = false;
    bool opened = false;
    {
        QuietStandardError quiet;
        started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        opened = started && Mix_OpenAudio(kRate, AUDIO_S16SYS, 2, kBlockFrames) == 0;
    }
    if (!opened)
    {
        Fail(std::string("no sound device (") + SDL_GetError() + ")");
        if (started)
        {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
        return false;
    }

    Mix_AllocateChannels(kEffectChannels + 1);
    Mix_ReserveChannels(1);
    Mix_GroupChannel(kAmbientChannel, kAmbientGroup);
    Mix_GroupChannels(1, kEffectChannels, kEffectGroup);

    std::string missing;
    int missingCount = 0;
    for (int i = 0; i < kSoundCount; i++)
    {
        const char* file = SoundFile(Sound(i));
        chunks[i] = Mix_LoadWAV(file);
        if (chunks[i] == nullptr)
        {
            if (missingCount == 0)
            {
                missing = std::string(file) + " (" + Mix_GetError() + ")";
            }
            missingCount++;
        }
    }
    if (missingCount > 0)
    {
        std::cerr << "Sound: cannot read " << missing;
        if (missingCount > 1)
        {
            std::cerr << " and " << missingCount - 1 << " more sound file" << (missingCount > 2 ? "s" : "");
        }
        std::cerr << "; playing on without " << (missingCount > 1 ? "them" : "it") << std::endl;
    }

    mixedFrames = 0;
    Mix_SetPostMix(CountMixed, this);
    open = true;
    muted = false;
    gSoundQueue.Enable(true);
    return true;
}

void SoundPlayer::Close()
{
    if (!open)
    {
        return;
    }
    gSoundQueue.Enable(false);
    Mix_HaltChannel(-1);
    Mix_SetPostMix(nullptr, nullptr);
    Mix_CloseAudio();
    for (Mix_Chunk*& chunk : chunks)
    {
        if (chunk != nullptr)
        {
            Mix_FreeChunk(chunk);
            chunk = nullptr;
        }
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open = false;
}

void SoundPlayer::Play(Sound sound, float gain, float pan)
{
    CheckDevice();
    Mix_Chunk* chunk = chunks[int(sound)];
    if (!open || muted || chunk == nullptr || sound == Sound::Ambient)
    {
        return;
    }
    const int volume = int(std::lround(double(gain) * MIX_MAX_VOLUME));
    if (volume <= 0)
    {
        return;
    }
    const std::pair<float, float> balance = StereoBalance(pan);
    // Under the audio lock the channel gets its volume and balance before
    // the mixer first takes from it.
    SDL_LockAudio();
    int channel = Mix_GroupAvailable(kEffectGroup);
    if (channel < 0)
    {
        channel = Mix_GroupOldest(kEffectGroup);
        Mix_HaltChannel(channel);
    }
    if (channel >= 0)
    {
        Mix_Volume(channel, volume);
        Mix_SetPanning(channel, Uint8(std::lround(balance.first * 255.0)),
                       Uint8(std::lround(balance.second * 255.0)));
        Mix_PlayChannel(channel, chunk, 0);
    }
    SDL_UnlockAudio();
}

void SoundPlayer::StartAmbient()
{
    CheckDevice();
    Mix_Chunk* chunk = chunks[int(Sound::Ambient)];
    if (!open || chunk == nullptr)
    {
        return;
    }
    SDL_LockAudio();
    if (!Mix_Playing(kAmbientChannel) || Mix_FadingChannel(kAmbientChannel) == MIX_FADING_OUT)
    {
        Mix_HaltChannel(kAmbientChannel);
        Mix_Volume(kAmbientChannel, MIX_MAX_VOLUME);
        Mix_PlayChannel(kAmbientChannel, chunk, -1);
        if (muted)
        {
            Mix_Pause(kAmbientChannel);
        }
    }
    SDL_UnlockAudio();
}

void SoundPlayer::StopAmbient()
{
    if (!open)
    {
        return;
    }
    if (muted)
    {
        Mix_HaltChannel(kAmbientChannel);
    }
    else
    {
        Mix_FadeOutChannel(kAmbientChannel, kAmbientFadeMs);
    }
}

void SoundPlayer::SetMuted(bool mute)
{
    if (!open || mute == muted)
    {
        muted = mute;
        return;
    }
    muted = mute;
    SDL_LockAudio();
    if (muted)
    {
        Mix_HaltGroup(kEffectGroup);
        if (Mix_FadingChannel(kAmbientChannel) == MIX_FADING_OUT)
        {
            Mix_HaltChannel(kAmbientChannel);
        }
        Mix_Pause(kAmbientChannel);
    }
    else
    {
        Mix_Resume(kAmbientChannel);
    }
    SDL_UnlockAudio();
}

void SoundPlayer::CheckDevice()
{
    if (open && SDL_GetAudioStatus() == SDL_AUDIO_STOPPED)
    {
        Fail("the sound device stopped");
        Close();
    }
}
