// The two generated songs, played through the module player the game uses, from their first
// order until they wrap back to it.
#include <gtest/gtest.h>
#include <xmp.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "audio/wave.h"
#include "generated_data.h"

namespace rivoltra::sounddata {
namespace {

constexpr int kMixRate = 44100;
// Far past any length the songs may have: a song that never wraps stops the render here.
constexpr double kRenderLimitSeconds = 200.0;

struct Rendering {
  bool Loaded = false;
  double SecondsBeforeWrap = 0.0;  // 0 when the song never wrapped
  int PositionAfterWrap = -1;
  int OrderCount = 0;
  std::vector<int> Positions;         // each order position as playback reached it
  std::vector<std::int16_t> Samples;  // interleaved stereo, up to the wrap
};

Rendering RenderUntilWrap(const std::filesystem::path& file) {
  Rendering rendering;
  xmp_context context = xmp_create_context();
  rendering.Loaded = xmp_load_module(context, file.string().c_str()) == 0;
  if (!rendering.Loaded) {
    xmp_free_context(context);
    return rendering;
  }
  xmp_module_info module;
  xmp_get_module_info(context, &module);
  rendering.OrderCount = module.mod->len;
  xmp_start_player(context, kMixRate, 0);
  xmp_frame_info frame;
  while (xmp_play_frame(context) == 0) {
    xmp_get_frame_info(context, &frame);
    if (frame.loop_count > 0) {
      rendering.SecondsBeforeWrap = static_cast<double>(rendering.Samples.size()) / 2.0 / kMixRate;
      rendering.PositionAfterWrap = frame.pos;
      break;
    }
    if (rendering.Positions.empty() || rendering.Positions.back() != frame.pos) {
      rendering.Positions.push_back(frame.pos);
    }
    const auto* samples = static_cast<const std::int16_t*>(frame.buffer);
    rendering.Samples.insert(rendering.Samples.end(), samples, samples + frame.buffer_size / 2);
    if (rendering.Samples.size() > kRenderLimitSeconds * kMixRate * 2) break;
  }
  xmp_end_player(context);
  xmp_release_module(context);
  xmp_free_context(context);
  return rendering;
}

const Rendering& Render(const std::string& song) {
  static std::map<std::string, Rendering> renderings;
  auto found = renderings.find(song);
  if (found == renderings.end()) {
    found = renderings.emplace(song, RenderUntilWrap(DataFolder() / "Music" / song)).first;
    if (auto preview = PreviewFolder(); preview && found->second.Loaded) {
      const auto& samples = found->second.Samples;
      std::vector<std::uint8_t> bytes(samples.size() * 2);
      std::memcpy(bytes.data(), samples.data(), bytes.size());
      const auto image = MakePcmWaveImage(PcmFormat{kMixRate, 2, 16}, bytes);
      std::ofstream(*preview / (std::filesystem::path(song).stem().string() + ".wav"),
                    std::ios::binary)
          .write(reinterpret_cast<const char*>(image.data()),
                 static_cast<std::streamsize>(image.size()));
    }
  }
  return found->second;
}

class SongTest : public ::testing::TestWithParam<std::string> {};

TEST_P(SongTest, IsASmallModuleThePlayerLoads) {
  const auto file = DataFolder() / "Music" / GetParam();
  ASSERT_TRUE(std::filesystem::exists(file)) << file;
  EXPECT_LT(std::filesystem::file_size(file), 400u * 1024u);
  xmp_test_info info;
  ASSERT_EQ(xmp_test_module(file.string().c_str(), &info), 0);
  EXPECT_STREQ(info.type, "Fast Tracker II");
  EXPECT_TRUE(Render(GetParam()).Loaded);
}

TEST_P(SongTest, RunsEveryOrderOnceThenWrapsToTheFirst) {
  const Rendering& song = Render(GetParam());
  ASSERT_TRUE(song.Loaded);
  EXPECT_GE(song.OrderCount, 8);
  std::vector<int> everyOrder(static_cast<std::size_t>(song.OrderCount));
  for (int i = 0; i < song.OrderCount; ++i) everyOrder[static_cast<std::size_t>(i)] = i;
  EXPECT_EQ(song.Positions, everyOrder);
  EXPECT_EQ(song.PositionAfterWrap, 0);
  EXPECT_GE(song.SecondsBeforeWrap, 60.0);
  EXPECT_LE(song.SecondsBeforeWrap, 120.0);
}

TEST_P(SongTest, IsAudibleThroughoutAndNeverClips) {
  const Rendering& song = Render(GetParam());
  ASSERT_FALSE(song.Samples.empty());
  const Level whole = Measure(song.Samples);
  EXPECT_EQ(whole.FullScaleSamples, 0);
  EXPECT_LT(whole.PeakDecibels, -1.0);
  EXPECT_GT(whole.PeakDecibels, -12.0);
  EXPECT_GT(whole.RmsDecibels, -30.0);

  // a pattern left empty or an instrument that fails to sound shows as a quiet stretch
  constexpr std::size_t kWindow = std::size_t{2} * kMixRate * 2;
  for (std::size_t start = 0; start + kWindow <= song.Samples.size(); start += kWindow) {
    const Level window = Measure(std::span(song.Samples).subspan(start, kWindow));
    EXPECT_GT(window.RmsDecibels, -40.0)
        << "quiet at " << static_cast<double>(start) / 2.0 / kMixRate << " s";
  }
}

INSTANTIATE_TEST_SUITE_P(GeneratedSongs, SongTest, ::testing::Values("Menu.xm", "Race.xm"),
                         [](const auto& info) {
                           return std::filesystem::path(info.param).stem().string();
                         });

}  // namespace
}  // namespace rivoltra::sounddata
