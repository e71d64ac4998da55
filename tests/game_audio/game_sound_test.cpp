// The real program in a real window with SDL's disk audio driver: the file the driver writes is
// what a speaker would have played. A scripted player works the game from the loop's after-tick
// watch, through the same handlers the window's events reach, and the recording is checked for
// the songs, for silence where nothing may play, and for each effect at the place in the stream
// where it was started.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/game.h"
#include "app/input_events.h"
#include "app/menu_state.h"
#include "app/race_scene/race.h"
#include "app/screens.h"
#include "audio/audio_output.h"
#include "persist/high_scores.h"
#include "persist/settings.h"
#include "platform/desktop/sdl_main_loop.h"
#include "support/scratch_game_folder.h"
#include "support/watched_sdl_program.h"

namespace rivoltra {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The mixer opens its device at kMixRate, 16-bit little-endian stereo, and allows the driver no
// other format, so the disk file holds exactly that, without any header.
constexpr std::uintmax_t kBytesPerFrame = 4;
// The driver writes one mixing period of 1024 frames at a time; where a sound starts is known
// only to about that.
constexpr double kPeriodMilliseconds = 1024.0 * 1000.0 / kMixRate;
constexpr int kWindowMilliseconds = 10;
// Levels of 16-bit samples, both channels. Every second of the menu song measures 1300 to 4200
// and no 10 ms of it falls below 600; the menu effects rise far above kAudibleRms; a mixer with
// nothing to play writes zeros.
constexpr double kMusicRms = 600.0;
constexpr double kAudibleRms = 300.0;
constexpr double kSilentRms = 20.0;

// The player's steps wait for the recording rather than for the clock: on a loaded machine the
// disk driver falls behind the wall clock, and what matters is how much sound lies between them.
constexpr double kClick = 150.0;
constexpr int kTicksBetweenSteps = 5;
// Start-up and the slide-in take about 100 ticks; anything far beyond means the loop is stuck.
constexpr int kTickLimit = 3000;
constexpr auto kWallClockLimit = 120s;

std::uintmax_t BytesWritten(const fs::path& file) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(file, error);
  return error ? 0 : size;
}

double MillisecondsAt(std::uintmax_t offset) {
  const std::uintmax_t wholeFrames = offset / kBytesPerFrame;
  return static_cast<double>(wholeFrames) * 1000.0 / kMixRate;
}

struct EffectStart {
  std::string Name;
  int Tick = 0;
  double StreamMilliseconds = 0;  // where the recording stood when the game started it
  double LengthMilliseconds = 0;  // of its wave in the sound archive
};

void PointAt(Game& game, int slot) {
  const MenuButton* button = game.Menu.Buttons.Slot(slot);
  if (button == nullptr) {
    ADD_FAILURE() << "no button in slot " << slot;
    return;
  }
  OnPointerMove(game, static_cast<int>(button->X) + button->Width / 2,
                static_cast<int>(button->Y) + button->Height / 2);
}

// One thing the player does once the recording has gone on for the given time since the step
// before (or since the main menu became ready).
struct Step {
  double WaitMilliseconds = 0;
  std::function<void(Game&)> Act;
};

// Waits for the main menu to be ready, then takes the steps one by one from the loop's
// after-tick watch, and ends the program after the last. Every effect the game starts is noted
// with the recording's position at that moment.
class ScriptedPlayer {
 public:
  ScriptedPlayer(fs::path recording, std::vector<Step> steps)
      : StepTick(steps.size()),
        StepMilliseconds(steps.size()),
        recording_(std::move(recording)),
        steps_(std::move(steps)) {}

  void AfterTick(Game& game) {
    ++ticksRun_;
    insideWatch_ = true;
    Watch(game);
    insideWatch_ = false;
  }

  bool Finished() const { return !StepTick.empty() && StepTick.back().has_value(); }

  std::optional<double> ReadyMilliseconds;
  // The tick and the recording's position of each step taken.
  std::vector<std::optional<int>> StepTick;
  std::vector<double> StepMilliseconds;
  std::vector<EffectStart> Effects;

 private:
  void Watch(Game& game) {
    if (!game.SoundObserver) {
      game.SoundObserver = [this, &game](bool started, std::string_view name) {
        if (started) NoteEffect(game, name);
      };
    }
    if (ticksRun_ > kTickLimit) {
      game.Terminated = true;
      return;
    }
    const double now = MillisecondsAt(BytesWritten(recording_));
    if (!ReadyMilliseconds) {
      if (game.ScreenState == GameScreen::MainMenu && game.Menu.MenuPhase == MenuPhases::Ready) {
        ReadyMilliseconds = now;
        lastStepTick_ = ticksRun_;
        lastStepMilliseconds_ = now;
      }
      return;
    }
    if (next_ == steps_.size()) return;
    if (ticksRun_ - lastStepTick_ < kTicksBetweenSteps ||
        now - lastStepMilliseconds_ < steps_[next_].WaitMilliseconds)
      return;
    StepTick[next_] = ticksRun_;
    StepMilliseconds[next_] = now;
    lastStepTick_ = ticksRun_;
    lastStepMilliseconds_ = now;
    steps_[next_].Act(game);
    if (++next_ == steps_.size()) game.Terminated = true;
  }

  void NoteEffect(Game& game, std::string_view name) {
    const WaveData& wave = game.Sounds.ItemByName(name).Wave();
    const std::optional<PcmFormat> format = ReadPcmFormat(wave.FormatBlock);
    double length = 0;
    if (format && format->BytesPerFrame() > 0 && format->SampleRate > 0) {
      const std::size_t wholeFrames =
          wave.Samples.size() / static_cast<std::size_t>(format->BytesPerFrame());
      length = static_cast<double>(wholeFrames) * 1000.0 / format->SampleRate;
    }
    // Started by the watch itself after tick n, or by the game during tick n + 1.
    Effects.push_back({std::string(name), insideWatch_ ? ticksRun_ : ticksRun_ + 1,
                       MillisecondsAt(BytesWritten(recording_)), length});
  }

  fs::path recording_;
  std::vector<Step> steps_;
  bool insideWatch_ = false;
  int ticksRun_ = 0;
  int lastStepTick_ = 0;
  double lastStepMilliseconds_ = 0;
  std::size_t next_ = 0;
};

// Both channels of the recording, window by window.
struct Recording {
  std::vector<double> WindowRms;

  static Recording Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t windowBytes = kMixRate * kWindowMilliseconds / 1000 * kBytesPerFrame;
    Recording recording;
    for (std::size_t at = 0; at + windowBytes <= bytes.size(); at += windowBytes) {
      double energy = 0;
      for (std::size_t i = at; i < at + windowBytes; i += 2) {
        const auto sample = static_cast<std::int16_t>(
            static_cast<std::uint8_t>(bytes[i]) | (static_cast<std::uint8_t>(bytes[i + 1]) << 8));
        energy += static_cast<double>(sample) * sample;
      }
      const std::size_t windowSamples = windowBytes / 2;
      recording.WindowRms.push_back(std::sqrt(energy / static_cast<double>(windowSamples)));
    }
    return recording;
  }

  double LengthMilliseconds() const {
    return static_cast<double>(WindowRms.size() * kWindowMilliseconds);
  }

  double Rms(double fromMilliseconds, double toMilliseconds) const {
    const auto from =
        static_cast<std::size_t>(std::max(0.0, fromMilliseconds) / kWindowMilliseconds);
    const auto to =
        std::min(WindowRms.size(), static_cast<std::size_t>(toMilliseconds / kWindowMilliseconds));
    double energy = 0;
    for (std::size_t w = from; w < to; ++w) energy += WindowRms[w] * WindowRms[w];
    return to > from ? std::sqrt(energy / static_cast<double>(to - from)) : 0.0;
  }

  struct Burst {
    double StartMilliseconds = 0;
    double EndMilliseconds = 0;
  };

  // Stretches that rise above kAudibleRms, each ending where the level falls below kSilentRms.
  std::vector<Burst> Bursts() const {
    std::vector<Burst> bursts;
    std::optional<std::size_t> start;
    for (std::size_t w = 0; w < WindowRms.size(); ++w) {
      if (!start && WindowRms[w] >= kAudibleRms) start = w;
      if (start && WindowRms[w] < kSilentRms) {
        bursts.push_back({static_cast<double>(*start * kWindowMilliseconds),
                          static_cast<double>(w * kWindowMilliseconds)});
        start.reset();
      }
    }
    if (start)
      bursts.push_back({static_cast<double>(*start * kWindowMilliseconds), LengthMilliseconds()});
    return bursts;
  }
};

// A failing run leaves its recording with the other tests' artefacts, to be listened to
// (sox -t raw -r 44100 -e signed -b 16 -c 2 game_sound.raw game_sound.wav).
class KeepRecordingOnFailure {
 public:
  KeepRecordingOnFailure(fs::path recording, fs::path kept)
      : recording_(std::move(recording)), kept_(std::move(kept)) {}
  ~KeepRecordingOnFailure() {
    if (!::testing::Test::HasFailure()) return;
    std::error_code error;
    fs::create_directories(kept_.parent_path(), error);
    fs::copy_file(recording_, kept_, fs::copy_options::overwrite_existing, error);
    std::printf("recording kept in %s\n", kept_.c_str());
  }
  KeepRecordingOnFailure(const KeepRecordingOnFailure&) = delete;
  KeepRecordingOnFailure& operator=(const KeepRecordingOnFailure&) = delete;

 private:
  fs::path recording_;
  fs::path kept_;
};

// Runs the program with the player watching.
int RunProgramWith(ScriptedPlayer& player, bool& stuck) {
  return testsupport::RunWatchedSdlProgram([&player](Game& game) { player.AfterTick(game); },
                                           kWallClockLimit, stuck);
}

class GameSound : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr)
      GTEST_SKIP() << "needs an X display (scripts/run-tests.sh)";
    folder_ = std::make_unique<testsupport::ScratchGameFolder>("game-audio", Settings{0, 1, 1, ""});
    recording_ = folder_->Path() / "sound.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", recording_.c_str(), 1);
    keep_ = std::make_unique<KeepRecordingOnFailure>(
        recording_,
        folder_->BuildFolder() / "artefacts" /
            (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
             ".raw"));
  }

  void TearDown() override {
    keep_.reset();
    folder_.reset();
  }

  // Runs the program through the steps and reads what it played; prints the story, so a failure
  // can be read against it.
  void Play(std::vector<Step> steps) {
    player_ = std::make_unique<ScriptedPlayer>(recording_, std::move(steps));
    bool stuck = false;
    const auto started = std::chrono::steady_clock::now();
    const int status = RunProgramWith(*player_, stuck);
    std::printf("ran %.1f s of wall-clock time\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    ASSERT_EQ(status, 0);
    ASSERT_FALSE(stuck) << "the frame timer never ran (no focus?)";
    ASSERT_TRUE(player_->ReadyMilliseconds) << "the main menu never became ready";
    ASSERT_TRUE(player_->Finished()) << "the loop stopped before the last step";
    sound_ = Recording::Read(recording_);
    std::printf("recording %.0f ms; menu ready at %.0f ms\n", sound_.LengthMilliseconds(),
                *player_->ReadyMilliseconds);
    for (std::size_t step = 0; step < player_->StepTick.size(); ++step)
      std::printf("step %zu at tick %d, %.0f ms\n", step, *player_->StepTick[step],
                  player_->StepMilliseconds[step]);
    for (const EffectStart& effect : player_->Effects)
      std::printf("effect %s at tick %d, %.0f ms into the stream, %.0f ms long\n",
                  effect.Name.c_str(), effect.Tick, effect.StreamMilliseconds,
                  effect.LengthMilliseconds);
    bursts_ = sound_.Bursts();
    for (const Recording::Burst& burst : bursts_)
      std::printf("audible %.0f..%.0f ms, rms %.0f\n", burst.StartMilliseconds,
                  burst.EndMilliseconds,
                  sound_.Rms(burst.StartMilliseconds, burst.EndMilliseconds));
  }

  double At(std::size_t step) const { return player_->StepMilliseconds[step]; }
  int TickOf(std::size_t step) const { return *player_->StepTick[step]; }

  // Music (or anything as loud) in every whole second of the stretch, of which there must be at
  // least `seconds`.
  void ExpectLoudThroughout(double from, double to, int seconds, const char* what) {
    EXPECT_GE(to - from, seconds * 1000.0) << what;
    for (double second = from; second + 1000.0 <= to; second += 1000.0) {
      const double rms = sound_.Rms(second, second + 1000.0);
      std::printf("%s %.0f..%.0f ms: rms %.0f\n", what, second, second + 1000.0, rms);
      EXPECT_GT(rms, kMusicRms) << what << " at " << second << " ms";
    }
  }

  std::unique_ptr<testsupport::ScratchGameFolder> folder_;
  fs::path recording_;
  std::unique_ptr<KeepRecordingOnFailure> keep_;
  std::unique_ptr<ScriptedPlayer> player_;
  Recording sound_;
  std::vector<Recording::Burst> bursts_;
};

TEST_F(GameSound, MenuSongPlaysUntilSwitchedOffAndEachMenuEffectSoundsWhereItWasStarted) {
  enum { PointAtOptions, OpenOptions, PointAtMusic, MusicOff, PointAtCountry, EditCountry };
  bool optionsOpened = false;
  bool musicSwitchedOff = false;
  bool countryEdited = false;
  Play({
      {2300, [](Game& game) { PointAt(game, kOptionsSlot); }},
      {kClick,
       [&](Game& game) {
         OnCharacterTyped(game, '\r');
         optionsOpened = game.ScreenState == GameScreen::Options;
       }},
      {kClick, [](Game& game) { PointAt(game, kFirstScreenSlot + 1); }},  // the music line
      {kClick,
       [&](Game& game) {
         OnCharacterTyped(game, '\r');
         musicSwitchedOff = game.Settings.MusicEnabled == 0 && game.Music.SongHandle == nullptr;
       }},
      {700, [](Game& game) { PointAt(game, kFirstScreenSlot + 3); }},  // the country line
      {700,
       [&](Game& game) {
         OnCharacterTyped(game, '\r');
         countryEdited = game.Menu.EditingCountry;
       }},
      {700, [](Game&) {}},
  });
  if (HasFatalFailure()) return;
  EXPECT_TRUE(optionsOpened);
  EXPECT_TRUE(musicSwitchedOff);
  EXPECT_TRUE(countryEdited);
  const double ready = *player_->ReadyMilliseconds;
  const double musicOff = At(MusicOff);

  // (a) The menu song, second by second, from the moment the menu was ready until it was
  // switched off.
  ExpectLoudThroughout(ready, musicOff, 2, "menu song");

  // The song plays without a break from start-up through the ready menu and stops when it is
  // switched off: one stretch of sound that ends with the button press of the switch.
  ASSERT_FALSE(bursts_.empty());
  const Recording::Burst& song = bursts_.front();
  EXPECT_LT(song.StartMilliseconds, ready);
  EXPECT_GT(song.EndMilliseconds, musicOff - kPeriodMilliseconds);
  EXPECT_LT(song.EndMilliseconds, musicOff + 300.0);

  // (b) After that, silence but for the effects started after the switch: the highlight's blip
  // when the pointer reaches the country line and the press that starts the editing, each where
  // the stream stood when the game started it and as long as its wave.
  std::vector<EffectStart> expected;
  for (const EffectStart& effect : player_->Effects) {
    if (effect.Tick <= TickOf(MusicOff)) continue;
    // Two copies started at the same moment are one burst.
    if (!expected.empty() && expected.back().Name == effect.Name &&
        expected.back().Tick == effect.Tick)
      continue;
    expected.push_back(effect);
  }
  ASSERT_EQ(expected.size(), 2u);
  EXPECT_EQ(expected[0].Name, "Button_Activated");
  EXPECT_EQ(expected[0].Tick, TickOf(PointAtCountry) + 1);
  EXPECT_EQ(expected[1].Name, "Button_Pressed");
  EXPECT_EQ(expected[1].Tick, TickOf(EditCountry));

  ASSERT_EQ(bursts_.size(), 1 + expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const Recording::Burst& burst = bursts_[i + 1];
    const EffectStart& effect = expected[i];
    SCOPED_TRACE(effect.Name);
    EXPECT_GE(burst.StartMilliseconds,
              effect.StreamMilliseconds - kPeriodMilliseconds - kWindowMilliseconds);
    EXPECT_LE(burst.StartMilliseconds, effect.StreamMilliseconds + 3 * kPeriodMilliseconds);
    EXPECT_NEAR(burst.EndMilliseconds - burst.StartMilliseconds, effect.LengthMilliseconds,
                4 * kWindowMilliseconds);
  }
  // Between them nothing at all; a window is left out at each edge, where a burst's soft onset
  // or last decay shares a window with the silence.
  for (std::size_t i = 0; i + 1 < bursts_.size(); ++i)
    EXPECT_LT(sound_.Rms(bursts_[i].EndMilliseconds + kWindowMilliseconds,
                         bursts_[i + 1].StartMilliseconds - kWindowMilliseconds),
              kSilentRms)
        << "after burst " << i;
  EXPECT_LT(
      sound_.Rms(bursts_.back().EndMilliseconds + kWindowMilliseconds, sound_.LengthMilliseconds()),
      kSilentRms);
}

// Start, car 1: the race song and the engine; the game ends (with a score that earns a place) and
// the name entry is silent, engine loop included, until the player is back on the main menu,
// where the menu song starts again.
TEST_F(GameSound, RaceSoundsStopWhenTheGameEndsAndTheMenuSongComesBack) {
  enum {
    PointAtStart,
    OpenCarChoice,
    PointAtCar,
    StartRace,
    EndGame,
    EnterName,
    PointAtCancel,
    Cancel
  };
  bool carChoiceOpened = false;
  bool raceSongStarted = false;
  bool nameEntryWithoutSong = false;
  bool menuSongStarted = false;
  Play({
      {500, [](Game& game) { PointAt(game, kStartSlot); }},
      {kClick,
       [&](Game& game) {
         OnCharacterTyped(game, '\r');
         carChoiceOpened = game.ScreenState == GameScreen::CarChoice;
       }},
      {kClick, [](Game& game) { PointAt(game, kFirstScreenSlot); }},  // the first car
      {kClick,
       [&](Game& game) {
         OnCharacterTyped(game, '\r');
         raceSongStarted = game.SongFile == kRaceSongFile;
       }},
      {2500,
       [&](Game& game) {
         // What the race's own end does, with a score above the table's last entry.
         game.Race.State.Score = 5000;
         FinishGame(game);
         nameEntryWithoutSong =
             game.ScreenState == GameScreen::NameEntry && game.Music.SongHandle == nullptr;
       }},
      {1000, [](Game& game) { OnCharacterTyped(game, '\r'); }},
      {300, [](Game& game) { PointAt(game, 2); }},
      {kClick,
       [&](Game& game) {
         OnCharacterTyped(game, '\r');
         menuSongStarted =
             game.ScreenState == GameScreen::MainMenu && game.SongFile == kMenuSongFile;
       }},
      {2300, [](Game&) {}},
  });
  if (HasFatalFailure()) return;
  EXPECT_TRUE(carChoiceOpened);
  EXPECT_TRUE(raceSongStarted);
  EXPECT_TRUE(nameEntryWithoutSong);
  EXPECT_TRUE(menuSongStarted);

  std::vector<std::string> raceStartEffects;
  for (const EffectStart& effect : player_->Effects)
    if (effect.Tick == TickOf(StartRace)) raceStartEffects.push_back(effect.Name);
  EXPECT_EQ(raceStartEffects,
            (std::vector<std::string>{"Button_Pressed", "EngineStart", "Engine"}));

  ExpectLoudThroughout(At(StartRace) + kPeriodMilliseconds, At(EndGame), 2, "race");
  // From the end of the game to the Enter on the name entry: nothing, not even the engine's loop.
  const double quietFrom = At(EndGame) + kPeriodMilliseconds + kWindowMilliseconds;
  const double quietTo = At(EnterName) - kWindowMilliseconds;
  const double quiet = sound_.Rms(quietFrom, quietTo);
  std::printf("name entry %.0f..%.0f ms: rms %.1f\n", quietFrom, quietTo, quiet);
  EXPECT_LT(quiet, kSilentRms);
  ExpectLoudThroughout(At(Cancel) + kPeriodMilliseconds, sound_.LengthMilliseconds(), 2,
                       "menu song again");
}

// The race song belongs to the race and to its loading step, so it starts before the first tick.
TEST(ScreenMusicTest, OnlyTheRaceAndItsLoadingStepPlayTheRaceSong) {
  const struct {
    GameScreen Screen;
    ScreenMusic Music;
  } cases[] = {
      {GameScreen::MainMenu, ScreenMusic::Menu},  {GameScreen::Race, ScreenMusic::Race},
      {GameScreen::Options, ScreenMusic::Menu},   {GameScreen::HighScores, ScreenMusic::Menu},
      {GameScreen::Help, ScreenMusic::Menu},      {GameScreen::SendResults, ScreenMusic::Menu},
      {GameScreen::CarChoice, ScreenMusic::Menu}, {GameScreen::RaceLoading, ScreenMusic::Race},
      {GameScreen::NameEntry, ScreenMusic::Menu},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MusicOfScreen(c.Screen), c.Music) << static_cast<int>(c.Screen);
  }
}

}  // namespace
}  // namespace rivoltra
