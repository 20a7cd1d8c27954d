// The sound device through SDL_mixer, and everything that can go wrong with
// it: the game must play on, saying once what is missing.

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/GameSounds.h"
#include "audio/SoundPlayer.h"
#include "audio/SoundQueue.h"
#include "support/GLTest.h"
#include "support/ScopedEnvironment.h"

namespace fs = std::filesystem;

namespace
{

// Runs in a copy of the data's Sounds/ without the files named, restoring the
// working directory afterwards.
struct ScopedSoundsDirectory
{
    explicit ScopedSoundsDirectory(const std::vector<std::string>& leaveOut)
    {
        fs::remove_all(directory);
        fs::create_directories(directory / "Sounds");
        for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(DataDir()) / "Sounds"))
        {
            const std::string name = entry.path().filename().string();
            if (std::find(leaveOut.begin(), leaveOut.end(), name) == leaveOut.end())
            {
                fs::copy_file(entry.path(), directory / "Sounds" / name);
            }
        }
        fs::current_path(directory);
    }
    ~ScopedSoundsDirectory()
    {
        fs::current_path(previous);
        fs::remove_all(directory);
    }

    const fs::path previous = fs::current_path();
    const fs::path directory = fs::temp_directory_path() / ("korvane-sounds-" + std::to_string(getpid()));
};

// Everything a game does with sound, on a player that may or may not play.
void UseEveryCall(SoundPlayer& player)
{
    for (int i = 0; i < kSoundCount; i++)
    {
        player.Play(Sound(i), 0.5f, -0.5f);
    }
    player.StartAmbient();
    player.SetMuted(true);
    player.Play(Sound::Explosion, 1.0f, 0.0f);
    player.SetMuted(false);
    player.StopAmbient();
    player.CheckDevice();
}

} // namespace

TEST(SoundPlayerTest, EverySoundLoadsWithoutAWordAndAMissingFileSilencesOnlyThatSoundWithOneLine)
{
    // Nothing said when every file is there; else one line for what is
    // missing, naming the first file and counting the rest.
    const struct
    {
        std::vector<std::string> missing;
        const char* start;
        const char* end;
    } table[] = {
        {{}, "", ""},
        {{"beam-hit.wav"}, "Sound: cannot read Sounds/beam-hit.wav (", "); playing on without it"},
        {{"click.wav", "winner.wav"},
         "Sound: cannot read Sounds/click.wav (",
         " and 1 more sound file; playing on without them"},
        {{"ambient.wav", "click.wav", "winner.wav"},
         "Sound: cannot read Sounds/click.wav (",
         " and 2 more sound files; playing on without them"},
    };
    ASSERT_EQ(SDL_Init(SDL_INIT_TIMER), 0);
    SoundPlayer player;
    for (const auto& row : table)
    {
        SCOPED_TRACE(row.missing.size());
        ScopedSoundsDirectory sounds(row.missing);
        testing::internal::CaptureStderr();
        ASSERT_TRUE(player.Open());
        EXPECT_TRUE(gSoundQueue.Enabled());
        UseEveryCall(player);
        EXPECT_TRUE(player.IsOpen());
        player.Close();
        EXPECT_FALSE(player.IsOpen());
        EXPECT_FALSE(gSoundQueue.Enabled()) << "closed: nothing is posted any more";
        player.Close(); // twice is harmless
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), row.missing.empty() ? 0 : 1) << said;
        EXPECT_EQ(said.rfind(row.start, 0), 0u) << said;
        EXPECT_NE(said.find(row.end), std::string::npos) << said;
    }
}

#if KORVANE_SDL12_COMPAT
// SDL 2 words a missing driver its own way, and keeps a device that failed
// to write running, mixing into nothing: SDL 1.2's interface cannot tell, so
// the game plays on there silently without a word.
constexpr const char* kNoDriverLine =
    "Sound: no sound device (Audio target 'nosuch' not available); playing on without sound";
constexpr const char* kStoppedLine = nullptr;
#else
constexpr const char* kNoDriverLine =
    "Sound: no sound device (No available audio device); playing on without sound";
constexpr const char* kStoppedLine = "Sound: the sound device stopped; playing on without sound";
#endif

TEST(SoundPlayerTest, NoDeviceOrADeviceThatFailsLeavesTheGameSilentWithOneLine)
{
    SoundPlayer player;
    const struct
    {
        const char* driver;
        const char* file;
        bool opens;
        const char* line;
    } table[] = {
        // No driver at all.
        {"nosuch", "", false, kNoDriverLine},
        // A device that cannot be opened.
        {"disk", "/nonexistent/korvane.raw", false,
         "Sound: no sound device (Couldn't open /nonexistent/korvane.raw); playing on without sound"},
        // A device that opens and fails at its first write (SDL's audio
        // thread then gives up): noticed at the next sound.
        {"disk", "/dev/full", true, kStoppedLine},
    };
    for (const auto& row : table)
    {
        SCOPED_TRACE(std::string(row.driver) + " " + row.file);
        ScopedEnvironment driver("SDL_AUDIODRIVER", row.driver);
        ScopedEnvironment file("SDL_DISKAUDIOFILE", row.file);
        testing::internal::CaptureStderr();
        EXPECT_EQ(player.Open(), row.opens);
        // SDL's audio thread gives up at its first write, which a busy
        // machine may not give it a core for at once: waited for, within
        // ten seconds.
        for (int waited = 0;
             row.opens && waited < (row.line ? 10000 : 500) && SDL_GetAudioStatus() != SDL_AUDIO_STOPPED;
             waited += 10)
        {
            SDL_Delay(10);
        }
        UseEveryCall(player);
        EXPECT_EQ(player.IsOpen(), !row.line);
        EXPECT_EQ(gSoundQueue.Enabled(), !row.line);
        player.Close();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), row.line ? std::string(row.line) + "\n" : "");
    }
}

TEST(SoundPlayerTest, PostingWithoutADeviceKeepsNothing)
{
    ScopedEnvironment driver("SDL_AUDIODRIVER", "nosuch");
    testing::internal::CaptureStderr();
    {
        SoundSession session;
        PostSound(Sound::Explosion, Vector());
        EXPECT_EQ(gSoundQueue.Size(), 0u);
        ToggleSoundMute();
        StartAmbientSound();
        PlayWinnerSound();
        PlayInterfaceSound(Sound::Click);
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}
