// The real program in a real window with SDL's disk audio driver: the file the driver writes is
// what a speaker would have played. A scripted player works the menus from the loop's after-tick
// watch, through the same handlers the window's events reach, and the recording is checked for
// the menu song and for each effect at the place in the stream where it was started.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/game.h"
#include "app/input_events.h"
#include "audio/audio_output.h"
#include "persist/high_scores.h"
#include "persist/settings.h"
#include "platform/sdl/sdl_main_loop.h"

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
constexpr double kListenToMusicMilliseconds = 2300.0;
constexpr double kBetweenClicksMilliseconds = 150.0;
constexpr double kSilenceMilliseconds = 700.0;
constexpr int kTicksBetweenSteps = 5;
// Start-up and the slide-in take about 100 ticks; anything far beyond means the loop is stuck.
constexpr int kTickLimit = 3000;
constexpr auto kWallClockLimit = 120s;

// The game's folder for one run: the build's pictures, sounds and music linked in, and save
// files of its own (window, music and sound on, the default table) so the run starts the same
// whatever earlier runs saved, and its own saving at the end touches nothing else.
class ScratchGameFolder {
 public:
  ScratchGameFolder() : build_(fs::current_path()) {
    path_ = fs::temp_directory_path() / ("rivoltra-game-audio-" + std::to_string(::getpid()));
    fs::remove_all(path_);
    fs::create_directories(path_ / "Data" / "Save");
    for (const char* shared : {"Res", "Music"})
      fs::create_directory_symlink(build_ / "Data" / shared, path_ / "Data" / shared);
    std::ofstream(path_ / "Data" / "Save" / "options", std::ios::binary)
        << SettingsFileText(Settings{0, 1, 1, ""}, ComputeCheckString(DefaultHighScoreTable()));
    std::ofstream(path_ / "Data" / "Save" / "hs", std::ios::binary)
        << HighScoreFileText(DefaultHighScoreTable());
    fs::current_path(path_);
  }
  ~ScratchGameFolder() {
    fs::current_path(build_);
    fs::remove_all(path_);
  }
  ScratchGameFolder(const ScratchGameFolder&) = delete;
  ScratchGameFolder& operator=(const ScratchGameFolder&) = delete;

  const fs::path& Path() const { return path_; }
  const fs::path& BuildFolder() const { return build_; }

 private:
  fs::path build_;
  fs::path path_;
};

std::uintmax_t BytesWritten(const fs::path& file) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(file, error);
  return error ? 0 : size;
}

double MillisecondsAt(std::uintmax_t offset) {
  return static_cast<double>(offset / kBytesPerFrame) * 1000.0 / kMixRate;
}

struct EffectStart {
  std::string Name;
  int Tick = 0;
  double StreamMilliseconds = 0;  // where the recording stood when the game started it
  double LengthMilliseconds = 0;  // of its wave in the sound archive
};

// The player: waits for the menu, listens, opens the options, switches the music off, points at
// the country line and starts editing it. Every effect the game starts is noted with the
// recording's position at that moment.
class ScriptedPlayer {
 public:
  enum StepName {
    kPointAtOptions,
    kOpenOptions,
    kPointAtMusic,
    kMusicOff,
    kPointAtCountry,
    kEditCountry,
    kEnd,
    kStepCount
  };

  explicit ScriptedPlayer(fs::path recording) : recording_(std::move(recording)) {}

  void AfterTick(Game& game) {
    ++ticksRun_;
    insideWatch_ = true;
    Watch(game);
    insideWatch_ = false;
  }

  std::optional<double> ReadyMilliseconds;
  // The tick and the recording's position of each step taken.
  std::array<std::optional<int>, kStepCount> StepTick;
  std::array<double, kStepCount> StepMilliseconds{};
  bool OptionsOpened = false;
  bool MusicSwitchedOff = false;
  bool CountryEdited = false;
  std::vector<EffectStart> Effects;

 private:
  void Watch(Game& game) {
    if (!game.soundObserver) {
      game.soundObserver = [this, &game](bool started, std::string_view name) {
        if (started) NoteEffect(game, name);
      };
    }
    if (ticksRun_ > kTickLimit) {
      game.Terminated = true;
      return;
    }
    const double now = MillisecondsAt(BytesWritten(recording_));
    if (!ReadyMilliseconds) {
      if (game.ScreenState == ssMainMenu && game.menu.MenuPhase == 0) {
        ReadyMilliseconds = now;
        lastStepTick_ = ticksRun_;
        lastStepMilliseconds_ = now;
      }
      return;
    }
    if (next_ == kStepCount) return;
    static constexpr std::array<double, kStepCount> kWait = {
        kListenToMusicMilliseconds, kBetweenClicksMilliseconds, kBetweenClicksMilliseconds,
        kBetweenClicksMilliseconds, kSilenceMilliseconds,       kSilenceMilliseconds,
        kSilenceMilliseconds};
    if (ticksRun_ - lastStepTick_ < kTicksBetweenSteps ||
        now - lastStepMilliseconds_ < kWait[next_])
      return;
    StepTick[next_] = ticksRun_;
    StepMilliseconds[next_] = now;
    lastStepTick_ = ticksRun_;
    lastStepMilliseconds_ = now;
    switch (next_++) {
      case kPointAtOptions:
        PointAt(game, 2);
        break;
      case kOpenOptions:
        FormKeyPress(game, '\r');
        OptionsOpened = game.ScreenState == ssOptions;
        break;
      case kPointAtMusic:
        PointAt(game, 8);
        break;
      case kMusicOff:
        FormKeyPress(game, '\r');
        MusicSwitchedOff = game.settings.MusicEnabled == 0 && game.music.SongHandle == nullptr;
        break;
      case kPointAtCountry:
        PointAt(game, 10);
        break;
      case kEditCountry:
        FormKeyPress(game, '\r');
        CountryEdited = game.menu.EditingCountry;
        break;
      case kEnd:
        game.Terminated = true;
        break;
      default:
        break;
    }
  }

  void PointAt(Game& game, int slot) {
    const TMenuButton* button = game.menu.buttons.Slot(slot);
    if (button == nullptr) {
      ADD_FAILURE() << "no button in slot " << slot;
      return;
    }
    MDisplayMouseMove(game, static_cast<int>(button->X) + button->Width / 2,
                      static_cast<int>(button->Y) + button->Height / 2);
  }

  void NoteEffect(Game& game, std::string_view name) {
    const TWaveData& wave = game.MSoundList.ItemByName(name).Wave();
    const std::optional<PcmFormat> format = ReadPcmFormat(wave.FormatBlock);
    double length = 0;
    if (format && format->BytesPerFrame() > 0 && format->SampleRate > 0)
      length = static_cast<double>(wave.Samples.size() /
                                   static_cast<std::size_t>(format->BytesPerFrame())) *
               1000.0 / format->SampleRate;
    // Started by the watch itself after tick n, or by the game during tick n + 1.
    Effects.push_back({std::string(name), insideWatch_ ? ticksRun_ : ticksRun_ + 1,
                       MillisecondsAt(BytesWritten(recording_)), length});
  }

  fs::path recording_;
  bool insideWatch_ = false;
  int ticksRun_ = 0;
  int lastStepTick_ = 0;
  double lastStepMilliseconds_ = 0;
  int next_ = kPointAtOptions;
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
      recording.WindowRms.push_back(std::sqrt(energy / static_cast<double>(windowBytes / 2)));
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

// Runs the program with the player watching; a loop that never ticks (no focus ever reached the
// window) is ended from outside by a quit event.
int RunProgramWith(ScriptedPlayer& player, bool& stuck) {
  LoopHooks hooks;
  hooks.afterTick = [&player](Game& game, std::uint32_t) { player.AfterTick(game); };
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  std::thread watchdog([&] {
    std::unique_lock lock(mutex);
    if (!ended.wait_for(lock, kWallClockLimit, [&] { return done; })) {
      stuck = true;
      SDL_Event quit{};
      quit.type = SDL_QUIT;
      SDL_PushEvent(&quit);
    }
  });
  const int status = RunSdlProgram(hooks);
  {
    std::lock_guard lock(mutex);
    done = true;
  }
  ended.notify_all();
  watchdog.join();
  return status;
}

TEST(GameSound, MenuSongPlaysUntilSwitchedOffAndEachMenuEffectSoundsWhereItWasStarted) {
  if (std::getenv("DISPLAY") == nullptr)
    GTEST_SKIP() << "needs an X display (scripts/run-tests.sh)";
  ScratchGameFolder folder;
  const fs::path recording = folder.Path() / "sound.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", recording.c_str(), 1);
  const KeepRecordingOnFailure keep(recording,
                                    folder.BuildFolder() / "artefacts" / "game_sound.raw");

  ScriptedPlayer player(recording);
  bool stuck = false;
  const auto started = std::chrono::steady_clock::now();
  const int status = RunProgramWith(player, stuck);
  std::printf("ran %.1f s of wall-clock time\n",
              std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
  ASSERT_EQ(status, 0);
  ASSERT_FALSE(stuck) << "the frame timer never ran (no focus?)";
  ASSERT_TRUE(player.ReadyMilliseconds) << "the main menu never became ready";
  ASSERT_TRUE(player.StepTick[ScriptedPlayer::kEnd]) << "the loop stopped before the script's end";
  EXPECT_TRUE(player.OptionsOpened);
  EXPECT_TRUE(player.MusicSwitchedOff);
  EXPECT_TRUE(player.CountryEdited);

  const Recording sound = Recording::Read(recording);
  const double ready = *player.ReadyMilliseconds;
  const double musicOff = player.StepMilliseconds[ScriptedPlayer::kMusicOff];
  std::printf("recording %.0f ms; menu ready at %.0f ms, music off at %.0f ms\n",
              sound.LengthMilliseconds(), ready, musicOff);
  for (const EffectStart& effect : player.Effects)
    std::printf("effect %s at tick %d, %.0f ms into the stream, %.0f ms long\n",
                effect.Name.c_str(), effect.Tick, effect.StreamMilliseconds,
                effect.LengthMilliseconds);
  const std::vector<Recording::Burst> bursts = sound.Bursts();
  for (const Recording::Burst& burst : bursts)
    std::printf("audible %.0f..%.0f ms, rms %.0f\n", burst.StartMilliseconds, burst.EndMilliseconds,
                sound.Rms(burst.StartMilliseconds, burst.EndMilliseconds));

  // (a) The menu song, second by second, from the moment the menu was ready until it was
  // switched off.
  ASSERT_GE(musicOff - ready, 2000.0);
  for (double second = ready; second + 1000.0 <= musicOff; second += 1000.0) {
    const double rms = sound.Rms(second, second + 1000.0);
    std::printf("music %.0f..%.0f ms: rms %.0f\n", second, second + 1000.0, rms);
    EXPECT_GT(rms, kMusicRms) << "at " << second << " ms";
  }

  // The song plays without a break from start-up through the ready menu and stops when it is
  // switched off: one stretch of sound that ends with the button press of the switch.
  ASSERT_FALSE(bursts.empty());
  const Recording::Burst& song = bursts.front();
  EXPECT_LT(song.StartMilliseconds, ready);
  EXPECT_GT(song.EndMilliseconds, musicOff - kPeriodMilliseconds);
  EXPECT_LT(song.EndMilliseconds, musicOff + 300.0);

  // (b) After that, silence but for the effects started after the switch: the highlight's blip
  // when the pointer reaches the country line and the press that starts the editing, each where
  // the stream stood when the game started it and as long as its wave.
  std::vector<EffectStart> expected;
  for (const EffectStart& effect : player.Effects) {
    if (effect.Tick <= *player.StepTick[ScriptedPlayer::kMusicOff]) continue;
    // Two copies started at the same moment are one burst.
    if (!expected.empty() && expected.back().Name == effect.Name &&
        expected.back().Tick == effect.Tick)
      continue;
    expected.push_back(effect);
  }
  ASSERT_EQ(expected.size(), 2u);
  EXPECT_EQ(expected[0].Name, "Button_Activated");
  EXPECT_EQ(expected[0].Tick, *player.StepTick[ScriptedPlayer::kPointAtCountry] + 1);
  EXPECT_EQ(expected[1].Name, "Button_Pressed");
  EXPECT_EQ(expected[1].Tick, *player.StepTick[ScriptedPlayer::kEditCountry]);

  ASSERT_EQ(bursts.size(), 1 + expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const Recording::Burst& burst = bursts[i + 1];
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
  EXPECT_LT(sound.Rms(song.EndMilliseconds + kWindowMilliseconds,
                      bursts[1].StartMilliseconds - kWindowMilliseconds),
            kSilentRms);
  EXPECT_LT(sound.Rms(bursts[1].EndMilliseconds + kWindowMilliseconds,
                      bursts[2].StartMilliseconds - kWindowMilliseconds),
            kSilentRms);
  EXPECT_LT(
      sound.Rms(bursts.back().EndMilliseconds + kWindowMilliseconds, sound.LengthMilliseconds()),
      kSilentRms);
}

}  // namespace
}  // namespace rivoltra
