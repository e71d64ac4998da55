#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "audio/music.h"
#include "audio/sound_list.h"
#include "audio/test_module.h"

namespace rivoltra {
namespace {

namespace fs = std::filesystem;

constexpr int kEffectHertz = 2000;
constexpr int kEffectMilliseconds = 300;
// The test module's square wave: 32 samples per period at 8363 samples per second.
constexpr double kMusicHertz = 8363.0 / 32.0;
constexpr int kWindowMilliseconds = 10;
constexpr double kSilentRms = 50.0;
constexpr double kAudibleRms = 2000.0;

std::vector<std::uint8_t> SineWave(int hertz, int milliseconds, int rate) {
  std::vector<std::uint8_t> samples;
  const int frames = rate * milliseconds / 1000;
  for (int i = 0; i < frames; ++i) {
    const double value = 12000.0 * std::sin(2.0 * std::numbers::pi * hertz * i / rate);
    const auto sample = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(value)));
    samples.push_back(static_cast<std::uint8_t>(sample & 0xFF));
    samples.push_back(static_cast<std::uint8_t>(sample >> 8));
  }
  return samples;
}

// The left channel of the 16-bit stereo stream the disk driver wrote.
std::vector<std::int16_t> ReadLeftChannel(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::int16_t> left;
  for (std::size_t i = 0; i + 3 < bytes.size(); i += 4)
    left.push_back(static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                             (static_cast<std::uint8_t>(bytes[i + 1]) << 8)));
  return left;
}

struct Segment {
  int StartMilliseconds = 0;
  int EndMilliseconds = 0;
  double Rms = 0;
  double Hertz = 0;
};

// The stretches louder than kAudibleRms, measured window by window, with their level and their
// pitch from the zero crossings.
std::vector<Segment> AudibleSegments(const std::vector<std::int16_t>& samples) {
  const std::size_t window = kMixRate * kWindowMilliseconds / 1000;
  std::vector<Segment> segments;
  std::optional<std::size_t> start;
  auto close = [&](std::size_t end) {
    double energy = 0;
    int crossings = 0;
    for (std::size_t i = *start; i < end; ++i) {
      energy += static_cast<double>(samples[i]) * samples[i];
      if (i > *start && (samples[i - 1] < 0) != (samples[i] < 0)) ++crossings;
    }
    const double seconds = static_cast<double>(end - *start) / kMixRate;
    segments.push_back(
        {static_cast<int>(*start * 1000 / kMixRate), static_cast<int>(end * 1000 / kMixRate),
         std::sqrt(energy / static_cast<double>(end - *start)), crossings / 2.0 / seconds});
    start.reset();
  };
  for (std::size_t at = 0; at + window <= samples.size(); at += window) {
    double energy = 0;
    for (std::size_t i = at; i < at + window; ++i)
      energy += static_cast<double>(samples[i]) * samples[i];
    const double rms = std::sqrt(energy / static_cast<double>(window));
    if (rms >= kAudibleRms && !start) start = at;
    if (rms < kSilentRms && start) close(at);
  }
  if (start) close(samples.size());
  return segments;
}

void WaitUntil(Uint64 startTicks, int milliseconds) {
  while (SDL_GetTicks64() - startTicks < static_cast<Uint64>(milliseconds)) SDL_Delay(1);
}

class SdlAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    rawFile_ = fs::temp_directory_path() / ("rivoltra_sdl_audio_" + name + ".raw");
    moduleFile_ = fs::temp_directory_path() / ("rivoltra_sdl_audio_" + name + ".xm");
    fs::remove(rawFile_);
    const auto module = testing::BuildTestModule({.Orders = 1, .RowsPerPattern = 64, .Tone = true});
    std::ofstream(moduleFile_, std::ios::binary)
        .write(reinterpret_cast<const char*>(module.data()),
               static_cast<std::streamsize>(module.size()));
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", rawFile_.c_str(), 1);
  }
  void TearDown() override {
    fs::remove(rawFile_);
    fs::remove(moduleFile_);
  }

  fs::path rawFile_;
  fs::path moduleFile_;
};

TEST_F(SdlAudioTest, EffectAndMusicReachTheDeviceWhenAndWhereTheyShould) {
  SdlAudio audio;
  SoundList list;
  list.Items().Assign(
      {{"Beep", false, 0,
        MakePcmWaveImage({22050, 1, 16}, SineWave(kEffectHertz, kEffectMilliseconds, 22050))}});
  list.SetSoundOutput(&audio);
  ModulePlayer player(audio);
  MusicState music;

  audio.Initialize();
  ASSERT_TRUE(audio.IsInitialized()) << SDL_GetError();
  ASSERT_NE(list.ItemByName("Beep").Master(), nullptr);
  const Uint64 start = SDL_GetTicks64();
  WaitUntil(start, 400);
  PlaySound(1, list, "Beep");
  WaitUntil(start, 1000);
  PlaySong(player, music, 1, moduleFile_.string());
  ASSERT_NE(music.SongHandle, nullptr);
  WaitUntil(start, 1600);
  StopMusic(player, music);
  WaitUntil(start, 1900);
  audio.Finalize();

  const std::vector<Segment> segments = AudibleSegments(ReadLeftChannel(rawFile_));
  for (const Segment& s : segments)
    std::printf("audible %d..%d ms, rms %.0f, %.0f Hz\n", s.StartMilliseconds, s.EndMilliseconds,
                s.Rms, s.Hertz);
  ASSERT_EQ(segments.size(), 2u);
  const Segment& effect = segments[0];
  const Segment& song = segments[1];
  // Lengths and pitches come from the stream itself and are exact to a window. When things
  // start and stop follows the wall clock, which the disk driver keeps pace with only roughly
  // (on a loaded machine it falls behind), so those are checked loosely.
  EXPECT_GT(effect.StartMilliseconds, 150);
  EXPECT_LT(effect.StartMilliseconds, 700);
  EXPECT_NEAR(effect.EndMilliseconds - effect.StartMilliseconds, kEffectMilliseconds,
              2 * kWindowMilliseconds);
  EXPECT_NEAR(effect.Hertz, kEffectHertz, kEffectHertz * 0.05);
  EXPECT_GT(song.StartMilliseconds - effect.EndMilliseconds, 100);
  EXPECT_GT(song.EndMilliseconds - song.StartMilliseconds, 200);
  EXPECT_NEAR(song.Hertz, kMusicHertz, kMusicHertz * 0.05);
}

// The player's volumes scale what reaches the device: half is half the amplitude (within 1 dB),
// nothing is silence. Each level plays on its own, with silence between, so that every level is
// one audible stretch of the output.
TEST_F(SdlAudioTest, EffectsAndMusicFollowThePlayersVolumes) {
  SdlAudio audio;
  SoundList list;
  list.Items().Assign(
      {{"Beep", false, 0,
        MakePcmWaveImage({22050, 1, 16}, SineWave(kEffectHertz, kEffectMilliseconds, 22050))}});
  list.SetSoundOutput(&audio);
  ModulePlayer player(audio);
  MusicState music;
  audio.Initialize();
  ASSERT_TRUE(audio.IsInitialized()) << SDL_GetError();
  const Uint64 start = SDL_GetTicks64();
  int at = 300;
  for (const int percent : {100, 50, 0}) {
    WaitUntil(start, at);
    list.SetMasterVolume(percent);
    PlaySound(1, list, "Beep");
    at += 600;
  }
  for (const int percent : {100, 50, 0}) {
    WaitUntil(start, at);
    player.SetVolume(percent);
    PlaySong(player, music, 1, moduleFile_.string());
    WaitUntil(start, at + 400);
    StopMusic(player, music);
    at += 700;
  }
  WaitUntil(start, at);
  audio.Finalize();

  const std::vector<std::int16_t> samples = ReadLeftChannel(rawFile_);
  const std::vector<Segment> segments = AudibleSegments(samples);
  for (const Segment& s : segments)
    std::printf("audible %d..%d ms, rms %.0f, %.0f Hz\n", s.StartMilliseconds, s.EndMilliseconds,
                s.Rms, s.Hertz);
  // 0 % adds no audible stretch: effect at 100 and 50, music at 100 and 50.
  ASSERT_EQ(segments.size(), 4u);
  const auto decibels = [](double ratio) { return 20.0 * std::log10(ratio); };
  const double effectHalf = segments[1].Rms / segments[0].Rms;
  const double musicHalf = segments[3].Rms / segments[2].Rms;
  std::printf("effects at 50 %%: %.2f dB; music at 50 %%: %.2f dB (half amplitude is -6.02 dB)\n",
              decibels(effectHalf), decibels(musicHalf));
  EXPECT_NEAR(decibels(effectHalf), decibels(0.5), 1.0);
  EXPECT_NEAR(decibels(musicHalf), decibels(0.5), 1.0);
  EXPECT_NEAR(segments[0].Hertz, kEffectHertz, kEffectHertz * 0.05);
  EXPECT_NEAR(segments[2].Hertz, kMusicHertz, kMusicHertz * 0.05);
  // Where the 0 % effect and song played, the output is silent: nothing between the end of the
  // second effect and the first song, and nothing after the second song, is above a whisper.
  const auto loudest = [&samples](int fromMs, int toMs) {
    int peak = 0;
    const auto first = static_cast<std::size_t>(fromMs) * kMixRate / 1000;
    const auto last = std::min(samples.size(), static_cast<std::size_t>(toMs) * kMixRate / 1000);
    for (std::size_t i = first; i < last; ++i) peak = std::max(peak, std::abs(int(samples[i])));
    return peak;
  };
  EXPECT_LT(loudest(segments[1].EndMilliseconds + 20, segments[2].StartMilliseconds - 20), 50);
  EXPECT_LT(loudest(segments[3].EndMilliseconds + 20, segments[3].EndMilliseconds + 1000), 50);
}

TEST_F(SdlAudioTest, SongsChangeSafelyWhileTheAudioThreadRenders) {
  SdlAudio audio;
  ModulePlayer player(audio);
  MusicState music;
  audio.Initialize();
  ASSERT_TRUE(audio.IsInitialized()) << SDL_GetError();
  const Uint64 start = SDL_GetTicks64();
  int restarts = 0;
  while (SDL_GetTicks64() - start < 500) {
    PlaySong(player, music, 1, moduleFile_.string());
    KeepMusicPlaying(player, music, 1, ScreenMusic::Menu);
    if (restarts % 3 == 0) StopMusic(player, music);
    ++restarts;
  }
  SDL_Delay(50);
  PlaySong(player, music, 1, moduleFile_.string());
  SDL_Delay(200);
  audio.Finalize();
  std::printf("%d song changes in 500 ms\n", restarts);
  const std::vector<Segment> segments = AudibleSegments(ReadLeftChannel(rawFile_));
  ASSERT_FALSE(segments.empty());
  EXPECT_NEAR(segments.back().Hertz, kMusicHertz, kMusicHertz * 0.05);
}

TEST(SdlAudioWithoutDevice, GameRunsSilently) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  SdlAudio audio;
  SoundList list;
  list.Items().Assign(
      {{"Beep", true, 0, MakePcmWaveImage({22050, 1, 16}, SineWave(kEffectHertz, 100, 22050))}});
  list.SetSoundOutput(&audio);
  ModulePlayer player(audio);
  MusicState music;
  audio.Initialize();
  EXPECT_FALSE(audio.IsInitialized());
  EXPECT_FALSE(list.ItemByName("Beep").Initialized());
  PlaySound(1, list, "Beep");
  StopSound(1, list, "Beep");
  const fs::path module = fs::temp_directory_path() / "rivoltra_sdl_no_device.xm";
  const auto bytes = testing::BuildTestModule({.Orders = 2});
  std::ofstream(module, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  PlaySong(player, music, 1, module.string());
  EXPECT_NE(music.SongHandle, nullptr);
  KeepMusicPlaying(player, music, 1, ScreenMusic::Menu);
  EXPECT_EQ(player.SongGetOrder(music.SongHandle), 0);
  StopMusic(player, music);
  fs::remove(module);
}

}  // namespace
}  // namespace rivoltra
