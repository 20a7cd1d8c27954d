#include "audio/GameSounds.h"

#include "audio/Hearing.h"
#include "audio/SoundPlayer.h"
#include "audio/SoundQueue.h"
#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"

namespace
{

// Ticks heard so far, the clock of the repeat limit.
uint64_t gHeardTicks = 0;
RepeatLimit gRepeatLimit;
HeardSounds gHeard = HeardSounds::All;

void Hear(const Game& game)
{
    gSoundPlayer.CheckDevice();
    if (gSoundQueue.Size() == 0)
    {
        return;
    }
    const std::vector<SoundEvent> events = gSoundQueue.Take();
    if (gHeard == HeardSounds::None)
    {
        return;
    }
    const Player* player = game.GetViewer();
    Listener listener;
    listener.eye = player->GetEyePosition();
    listener.heading = player->GetHeading();
    for (const PlayRequest& request : HearEvents(events, listener, gRepeatLimit, gHeardTicks))
    {
        gSoundPlayer.Play(request.sound, request.gain, request.pan);
    }
}

} // namespace

void PostSound(Sound sound, const Vector& position, float loudness)
{
    if (!gSoundQueue.Enabled())
    {
        return;
    }
    SoundEvent event;
    event.sound = sound;
    event.position = position;
    event.loudness = loudness;
    gSoundQueue.Post(event);
}

void PostShipSound(Sound sound, const Ship& ship)
{
    if (!gSoundQueue.Enabled() || ship.game == nullptr || ship.game->GetViewer() == nullptr)
    {
        return;
    }
    SoundEvent event;
    event.sound = sound;
    event.position = ship.GetPosition();
    event.owner = ship.GetOwner();
    event.viewer = ship.game->GetViewer()->GetIndex();
    event.detection = ship.DetectionStateOf(event.viewer);
    event.source = ship.GetId();
    gSoundQueue.Post(event);
}

void PlayInterfaceSound(Sound sound)
{
    if (gHeard == HeardSounds::All)
    {
        gSoundPlayer.Play(sound, 1.0f, 0.0f);
    }
}

void SetHeardSounds(HeardSounds heard)
{
    gHeard = heard;
}

HeardSounds GetHeardSounds()
{
    return gHeard;
}

void HearTick(const Game& game)
{
    gHeardTicks++;
    Hear(game);
}

void HearSounds(const Game& game)
{
    Hear(game);
}

void ToggleSoundMute()
{
    gSoundPlayer.SetMuted(!gSoundPlayer.IsMuted());
}

void StartAmbientSound()
{
    gSoundPlayer.StartAmbient();
}

void PlayWinnerSound()
{
    gSoundPlayer.StopAmbient();
    gSoundPlayer.Play(Sound::Winner, 1.0f, 0.0f);
}

SoundSession::SoundSession()
{
    gSoundPlayer.Open();
    gRepeatLimit.Clear();
    gHeardTicks = 0;
}

SoundSession::~SoundSession()
{
    gSoundPlayer.Close();
}
