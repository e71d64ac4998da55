#include "audio/music.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/test_module.h"
#include "platform/null/null_audio.h"

namespace rivoltra {
namespace {

namespace fs = std::filesystem;
using testing::BuildTestModule;
using testing::TestModule;

// Four orders of 80 ms each: a 30 ms tick sees orders 0 0 1 1 1 2 2 2 3 3 and then 0 again.
const TestModule kFourOrders{.Orders = 4, .RowsPerPattern = 4, .Speed = 1, .Bpm = 125};
const TestModule kOnePattern{.Orders = 1, .RowsPerPattern = 4, .Speed = 1, .Bpm = 125};
// Two orders of 40 ms: tells a reloaded file from the song that was playing before.
const TestModule kTwoShortOrders{.Orders = 2, .RowsPerPattern = 2, .Speed = 1, .Bpm = 125};

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// Runs in a folder of its own holding Data/Music, as the game does in its working directory.
class MusicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("rivoltra_music_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    previous_ = fs::current_path();
    fs::current_path(folder_);
    audio_.Initialize();
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(folder_);
  }

  // One frame tick's worth of time, then the tick's first step.
  void Tick(ScreenMusic song, std::uint8_t musicEnabled = 1) {
    audio_.AdvanceClock(30);
    KeepMusicPlaying(player_, music_, musicEnabled, song);
  }

  fs::path folder_;
  fs::path previous_;
  NullAudio audio_;
  ModulePlayer player_{audio_};
  MusicState music_;
};

TEST_F(MusicTest, OrderPositionAdvancesWithTheClockAndWraps) {
  WriteFile(kMenuSongFile, BuildTestModule(kFourOrders));
  PlayScreenMusic(player_, music_, 1, ScreenMusic::Menu);
  ASSERT_NE(music_.SongHandle, nullptr);
  std::vector<std::int32_t> orders;
  for (int tick = 0; tick < 12; ++tick) {
    audio_.AdvanceClock(30);
    orders.push_back(player_.SongGetOrder(music_.SongHandle));
  }
  EXPECT_EQ(orders, (std::vector<std::int32_t>{0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 0, 0}));
}

TEST_F(MusicTest, WrappedSongIsReloadedFromItsFileAndRestarted) {
  WriteFile(kMenuSongFile, BuildTestModule(kFourOrders));
  PlayScreenMusic(player_, music_, 1, ScreenMusic::Menu);
  for (int tick = 0; tick < 10; ++tick) Tick(ScreenMusic::Menu);
  EXPECT_EQ(music_.LastSongOrder, 3);

  // The file changes under the playing song: only a reload can pick the new one up.
  WriteFile(kMenuSongFile, BuildTestModule(kTwoShortOrders));
  Tick(ScreenMusic::Menu);  // reads 0 after 3: restart
  ASSERT_NE(music_.SongHandle, nullptr);
  EXPECT_EQ(music_.LastSongOrder, 0);
  EXPECT_EQ(player_.SongGetOrder(music_.SongHandle), 0);
  Tick(ScreenMusic::Menu);
  Tick(ScreenMusic::Menu);
  EXPECT_EQ(music_.LastSongOrder, 1);  // 40 ms orders: the new file is playing
}

TEST_F(MusicTest, RestartTakesTheSongOfTheCurrentScreen) {
  WriteFile(kMenuSongFile, BuildTestModule(kFourOrders));
  WriteFile(kRaceSongFile, BuildTestModule(kTwoShortOrders));
  PlayScreenMusic(player_, music_, 1, ScreenMusic::Menu);
  for (int tick = 0; tick < 10; ++tick) Tick(ScreenMusic::Race);
  Tick(ScreenMusic::Race);  // the menu song wraps while the screen is a race screen
  Tick(ScreenMusic::Race);
  Tick(ScreenMusic::Race);
  EXPECT_EQ(music_.LastSongOrder, 1);
}

TEST_F(MusicTest, OnePatternSongIsNeverRestarted) {
  WriteFile(kMenuSongFile, BuildTestModule(kOnePattern));
  PlayScreenMusic(player_, music_, 1, ScreenMusic::Menu);
  Song* const song = music_.SongHandle;
  ASSERT_NE(song, nullptr);
  for (int tick = 0; tick < 100; ++tick) Tick(ScreenMusic::Menu);
  // Had it been reloaded, removing the file would show: the handle would be gone next wrap.
  fs::remove(kMenuSongFile);
  for (int tick = 0; tick < 100; ++tick) Tick(ScreenMusic::Menu);
  EXPECT_EQ(music_.SongHandle, song);
  EXPECT_EQ(music_.LastSongOrder, 0);
  EXPECT_GT(audio_.MusicFramesRendered(), 0u);
}

TEST_F(MusicTest, MusicDisabledLoadsNothing) {
  WriteFile(kMenuSongFile, BuildTestModule(kFourOrders));
  music_.LastSongOrder = 7;
  PlayScreenMusic(player_, music_, 0, ScreenMusic::Menu);
  EXPECT_EQ(music_.SongHandle, nullptr);
  EXPECT_EQ(music_.LastSongOrder, 0);
  for (int tick = 0; tick < 20; ++tick) Tick(ScreenMusic::Menu, 0);
  EXPECT_EQ(music_.SongHandle, nullptr);
  EXPECT_EQ(music_.LastSongOrder, 0);
}

TEST_F(MusicTest, TurningMusicOffAndOnStartsTheMenuSongOver) {
  WriteFile(kMenuSongFile, BuildTestModule(kFourOrders));
  PlayScreenMusic(player_, music_, 1, ScreenMusic::Menu);
  for (int tick = 0; tick < 6; ++tick) Tick(ScreenMusic::Menu);
  EXPECT_EQ(music_.LastSongOrder, 2);

  StopMusic(player_, music_);
  EXPECT_EQ(music_.SongHandle, nullptr);
  Tick(ScreenMusic::Menu);  // nothing to keep going
  EXPECT_EQ(music_.SongHandle, nullptr);

  PlayScreenMusic(player_, music_, 1, ScreenMusic::Menu);
  ASSERT_NE(music_.SongHandle, nullptr);
  EXPECT_EQ(player_.SongGetOrder(music_.SongHandle), 0);
  for (int tick = 0; tick < 3; ++tick) Tick(ScreenMusic::Menu);
  EXPECT_EQ(music_.LastSongOrder, 1);
}

TEST_F(MusicTest, FilesThatDoNotLoadGiveNoMusicAndNoError) {
  WriteFile("Data/Music/Broken.xm", std::vector<std::uint8_t>(200, 0x41));
  std::vector<std::uint8_t> truncated = BuildTestModule(kFourOrders);
  truncated.resize(100);
  WriteFile("Data/Music/Truncated.xm", truncated);
  for (const char* file :
       {"Data/Music/Missing.xm", "Data/Music/Broken.xm", "Data/Music/Truncated.xm"}) {
    PlaySong(player_, music_, 1, file);
    EXPECT_EQ(music_.SongHandle, nullptr) << file;
    Tick(ScreenMusic::Menu);
    EXPECT_EQ(music_.SongHandle, nullptr) << file;
  }
}

TEST(ModulePlayer, NullHandlesAndSilenceAreHarmless) {
  NullAudio audio;
  audio.Initialize();
  ModulePlayer player(audio);
  player.SongPlay(nullptr);
  player.SongFree(nullptr);
  EXPECT_EQ(player.SongGetOrder(nullptr), 0);
  std::vector<std::int16_t> frames(64, 123);
  player.RenderMusic(frames);
  EXPECT_EQ(frames, std::vector<std::int16_t>(64, 0));
}

TEST(ModulePlayer, RendersTheToneAndStopsWhenFreed) {
  const fs::path file = fs::temp_directory_path() / "rivoltra_module_player_tone.xm";
  WriteFile(file, BuildTestModule({.Orders = 1, .RowsPerPattern = 64, .Tone = true}));
  NullAudio audio;
  audio.Initialize();
  ModulePlayer player(audio);
  Song* song = player.SongLoadFromFile(file.c_str());
  ASSERT_NE(song, nullptr);
  player.SongPlay(song);
  std::vector<std::int16_t> frames(std::size_t{2} * 4096);
  player.RenderMusic(frames);
  double energy = 0;
  for (std::int16_t sample : frames) energy += static_cast<double>(sample) * sample;
  EXPECT_GT(energy / static_cast<double>(frames.size()), 1000.0 * 1000.0);

  player.SongFree(song);
  player.RenderMusic(frames);
  EXPECT_EQ(frames, std::vector<std::int16_t>(frames.size(), 0));
  fs::remove(file);
}

}  // namespace
}  // namespace rivoltra
