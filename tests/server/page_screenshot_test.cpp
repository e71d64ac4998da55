// Renders the online table in headless Chromium at a phone's and a desktop's width and keeps
// the pictures in <build>/artefacts/ for a person to look at.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "persist/online.h"
#include "server/test_support.h"

namespace rivoltra::scores {
namespace {

using namespace std::chrono_literals;

std::optional<std::string> FindChromium() {
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    std::string folder = folders.substr(start, end - start);
    for (const char* name : {"chromium", "chromium-browser"}) {
      std::filesystem::path candidate = std::filesystem::path(folder) / name;
      if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) return candidate.string();
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return std::nullopt;
}

std::filesystem::path ArtefactFolder() {
  const char* build = std::getenv("RIVOLTRA_BUILD_DIR");
  auto folder =
      std::filesystem::path(build != nullptr ? build : RIVOLTRA_TEST_BUILD_DIR) / "artefacts";
  std::filesystem::create_directories(folder);
  return folder;
}

struct PngSize {
  std::uint32_t Width = 0;
  std::uint32_t Height = 0;
};

std::optional<PngSize> ReadPngSize(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<unsigned char> head(24);
  if (!in.read(reinterpret_cast<char*>(head.data()), 24)) return std::nullopt;
  const unsigned char signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (!std::equal(std::begin(signature), std::end(signature), head.begin())) return std::nullopt;
  auto big = [&](std::size_t at) {
    return std::uint32_t{head[at]} << 24 | std::uint32_t{head[at + 1]} << 16 |
           std::uint32_t{head[at + 2]} << 8 | std::uint32_t{head[at + 3]};
  };
  return PngSize{big(16), big(20)};
}

TEST(TablePageScreenshot, RendersAtPhoneAndDesktopWidths) {
  auto chromium = FindChromium();
  if (!chromium) GTEST_SKIP() << "chromium is not installed";

  testing::RunningServer server;
  const ScoreEntry entries[] = {
      {"ANNA MARIA", "NEW ZEALAND", 56120, 1765300000},
      {"ZED", "SPAIN", 48830, 1765213600},
      {"KIMI", "FINLAND", 41200, 1765127200},
      {"NONAME", "", 30115, 1765040800},
      {"<b>NOT BOLD</b>", "\"><script>x()</script>", 22010, 1764954400},
      {"ABCDEFGHIJKLMNOPQRSTUVWX", "UNITED STATES OF AMERICA", 19990, 1764868000},
      {"LOU", "FRANCE", 12005, 1764781600},
      {"ANONYMOUS", "GERMANY", 2000, 1764695200},
  };
  for (const auto& entry : entries) {
    std::int64_t id = server.Store.Add(entry);
    // Verified rows, a long name among them, show their mark and replay link.
    if (entry.Name == "ANNA MARIA" || entry.Name == "KIMI" || entry.Name.size() == 24) {
      server.Store.MarkVerified(id, "RVR");
    }
  }
  OnlineConfig config = DefaultOnlineConfig();
  config.ServerBase = server.Base();

  const struct {
    const char* Name;
    std::uint32_t Width;
    std::uint32_t Height;
  } views[] = {{"phone", 390, 844}, {"desktop", 1280, 800}};
  for (const auto& view : views) {
    auto profile = testing::FreshTempPath(std::string("chromium-") + view.Name);
    auto shot = ArtefactFolder() / (std::string("online_table_") + view.Name + ".png");
    std::filesystem::remove(shot);
    testing::Child child = testing::Spawn(
        {*chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
         "--no-first-run", "--disable-background-networking", "--disable-component-update",
         "--disable-sync", "--user-data-dir=" + profile.string(), "--screenshot=" + shot.string(),
         "--window-size=" + std::to_string(view.Width) + "," + std::to_string(view.Height),
         OnlineTableAddress(config)},
        false);
    ASSERT_GT(child.Pid, 0);
    auto status = testing::WaitForExit(child.Pid, 90s);
    ::close(child.Output);
    std::filesystem::remove_all(profile);
    ASSERT_TRUE(status.has_value()) << view.Name << ": chromium did not finish";

    auto size = ReadPngSize(shot);
    ASSERT_TRUE(size.has_value()) << view.Name << ": no picture at " << shot;
    EXPECT_EQ(size->Width, view.Width) << view.Name;
    EXPECT_EQ(size->Height, view.Height) << view.Name;
    // A blank or error page compresses to a few kilobytes; the table does not.
    EXPECT_GT(std::filesystem::file_size(shot), 20000u) << view.Name;
  }
}

}  // namespace
}  // namespace rivoltra::scores
