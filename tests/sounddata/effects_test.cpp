// The generated sound archive, read back with the game's own reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "audio/sound_archive.h"
#include "audio/wave.h"
#include "generated_data.h"

namespace rivoltra::sounddata {
namespace {

struct Expected {
  const char* Name;
  bool Looped;
  int MaxPlayingCount;
  double MinSeconds;
  double MaxSeconds;
};

// One row per name the game plays. "Tick" repeats every 50 ms during the time-bonus count and
// must be over by then; the jingles must not outlast the banners they go with.
constexpr Expected kCatalogue[] = {
    {"Button_Activated", false, 2, 0.03, 0.15},
    {"Button_Pressed", false, 2, 0.08, 0.3},
    {"EngineStart", false, 1, 1.0, 2.5},
    {"Engine", true, 1, 0.3, 2.0},
    {"EngineAccel", false, 1, 0.5, 1.5},
    {"Shot", true, 1, 0.1, 0.6},
    {"CarExplosion", false, 2, 1.0, 2.5},
    {"WallExplosion", false, 3, 0.5, 1.5},
    {"Stone", false, 2, 0.15, 0.5},
    {"Spike", false, 1, 0.4, 1.2},
    {"Water", false, 2, 0.4, 1.0},
    {"Rabbit", false, 2, 0.2, 0.6},
    {"BonusGet", false, 2, 0.3, 1.0},
    {"ScoreGet", false, 3, 0.15, 0.5},
    {"BonusLost", false, 1, 0.3, 1.0},
    {"Tick", false, 1, 0.01, 0.05},
    {"LevelFinish", false, 1, 0.8, 1.5},
    {"GameOver", false, 1, 1.2, 2.5},
};

struct Effect {
  SoundItemData Item;
  PcmFormat Format;
  std::vector<std::int16_t> Samples;
};

const std::vector<SoundItemData>& Archive() {
  static const std::vector<SoundItemData> kItems =
      ReadSoundArchive((DataFolder() / "Res" / "Sounds.sfx").string());
  return kItems;
}

Effect Find(const std::string& name) {
  for (const SoundItemData& item : Archive()) {
    if (item.Name != name) continue;
    const WaveData wave = ParseWave(item.Wave);
    const std::optional<PcmFormat> format = ReadPcmFormat(wave.FormatBlock);
    if (!format) throw std::runtime_error(name + ": not a playable PCM format");
    std::vector<std::int16_t> samples(wave.Samples.size() / 2);
    std::memcpy(samples.data(), wave.Samples.data(), samples.size() * 2);
    if (auto preview = PreviewFolder()) {
      std::ofstream(*preview / (name + ".wav"), std::ios::binary)
          .write(reinterpret_cast<const char*>(item.Wave.data()),
                 static_cast<std::streamsize>(item.Wave.size()));
    }
    return Effect{item, *format, std::move(samples)};
  }
  throw std::runtime_error(name + ": not in the archive");
}

TEST(SoundArchive, HoldsEachNameOfTheCatalogueOnce) {
  std::vector<std::string> names;
  for (const SoundItemData& item : Archive()) names.push_back(item.Name);
  std::vector<std::string> expected;
  for (const Expected& row : kCatalogue) expected.push_back(row.Name);
  std::sort(names.begin(), names.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names, expected);
}

class EffectTest : public ::testing::TestWithParam<Expected> {};

TEST_P(EffectTest, HasItsFlagsLengthAndLevel) {
  const Expected& expected = GetParam();
  const Effect effect = Find(expected.Name);
  EXPECT_EQ(effect.Item.Looped, expected.Looped);
  EXPECT_EQ(effect.Item.MaxPlayingCount, expected.MaxPlayingCount);
  EXPECT_EQ(effect.Format, (PcmFormat{22050, 1, 16}));

  const double seconds = static_cast<double>(effect.Samples.size()) / effect.Format.SampleRate;
  EXPECT_GE(seconds, expected.MinSeconds);
  EXPECT_LE(seconds, expected.MaxSeconds);

  const Level level = Measure(effect.Samples);
  EXPECT_EQ(level.FullScaleSamples, 0);
  EXPECT_LT(level.PeakDecibels, -0.3);
  EXPECT_GT(level.PeakDecibels, -9.0);
  EXPECT_GT(level.RmsDecibels, -30.0);
}

std::vector<Expected> Rows(bool looped) {
  std::vector<Expected> rows;
  for (const Expected& row : kCatalogue) {
    if (row.Looped == looped) rows.push_back(row);
  }
  return rows;
}

class OneShotTest : public ::testing::TestWithParam<Expected> {};
class LoopTest : public ::testing::TestWithParam<Expected> {};

// A one-shot that stops while still sounding ends in a click.
TEST_P(OneShotTest, EndsInSilence) {
  const Effect effect = Find(GetParam().Name);
  ASSERT_FALSE(effect.Samples.empty());
  EXPECT_LE(std::abs(effect.Samples.back()), 100);
}

// A loop clicks where its end meets its start unless the two samples are as close as
// neighbours inside the loop usually are.
TEST_P(LoopTest, JoinsItsStartSmoothly) {
  const Effect effect = Find(GetParam().Name);
  ASSERT_GT(effect.Samples.size(), 2u);
  double sumOfSquares = 0.0;
  for (std::size_t i = 1; i < effect.Samples.size(); ++i) {
    const double step = effect.Samples[i] - effect.Samples[i - 1];
    sumOfSquares += step * step;
  }
  const double typicalStep =
      std::sqrt(sumOfSquares / static_cast<double>(effect.Samples.size() - 1));
  const double seam = std::abs(effect.Samples.front() - effect.Samples.back());
  EXPECT_LE(seam, 2.0 * typicalStep) << "typical step " << typicalStep;
}

std::string RowName(const ::testing::TestParamInfo<Expected>& info) { return info.param.Name; }

INSTANTIATE_TEST_SUITE_P(Catalogue, EffectTest, ::testing::ValuesIn(kCatalogue), RowName);
INSTANTIATE_TEST_SUITE_P(Catalogue, OneShotTest, ::testing::ValuesIn(Rows(false)), RowName);
INSTANTIATE_TEST_SUITE_P(Catalogue, LoopTest, ::testing::ValuesIn(Rows(true)), RowName);

}  // namespace
}  // namespace rivoltra::sounddata
