// The whole start-up and normal end with folders other than the build's Data/: archives and
// songs come from the data folder, the saves go to the save folder only, and a display mode
// given for one run does not replace the saved one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/game.h"
#include "platform/null/null_platform.h"

namespace rivoltra {
namespace {

namespace fs = std::filesystem;

class GameFolders : public testing::Test {
 protected:
  void SetUp() override {
    buildData_ = fs::absolute("Data");
    saves_ =
        fs::temp_directory_path() / ("rivoltra-folders-" + std::to_string(::getpid()) + "-" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(saves_);
    // Started from another folder, so nothing can be found relative to the current one.
    previous_ = fs::current_path();
    fs::current_path(fs::temp_directory_path());
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(saves_);
  }

  // Start-up and normal end of one run with the given display mode for the run.
  Settings RunOnce(std::optional<std::uint8_t> runFullScreen, bool toggleDuringRun = false) {
    NullPlatform platform;
    Game game(platform);
    game.Paths = GamePaths{buildData_, saves_};
    game.RunFullScreen = runFullScreen;
    EXPECT_EQ(PrepareSaveFolder(game.Paths), "");
    RunStartup(game);
    EXPECT_EQ(game.Screen.FullScreenOption, runFullScreen.value_or(0) == 1);
    if (toggleDuringRun) {
      game.Settings.FullScreen = game.Settings.FullScreen == 1 ? 0 : 1;
      ApplyDisplayMode(game);
    }
    SaveAndQuit(game);
    Settings saved;
    std::string check;
    EXPECT_TRUE(LoadSettings(saved, check, saves_ / "options"));
    return saved;
  }

  fs::path buildData_;
  fs::path saves_;
  fs::path previous_;
};

TEST_F(GameFolders, ARunFromElsewhereSavesOnlyInTheSaveFolder) {
  const auto defaultsBefore = fs::last_write_time(buildData_ / "Save" / "options");
  EXPECT_EQ(RunOnce(std::nullopt).FullScreen, 0);
  EXPECT_TRUE(fs::exists(saves_ / "hs"));
  EXPECT_FALSE(fs::exists(fs::temp_directory_path() / "Data"));
  EXPECT_EQ(fs::last_write_time(buildData_ / "Save" / "options"), defaultsBefore);
}

TEST_F(GameFolders, TheRunsDisplayModeIsNotSavedUnlessThePlayerSwitches) {
  EXPECT_EQ(RunOnce(std::uint8_t{1}).FullScreen, 0);
  // Switched back to a window during a full-screen run: the player's choice, kept.
  EXPECT_EQ(RunOnce(std::uint8_t{1}, true).FullScreen, 0);
  // Switched to full screen during a windowed run: kept as well.
  EXPECT_EQ(RunOnce(std::uint8_t{0}, true).FullScreen, 1);
  // Saved full screen, this run in a window: still full screen afterwards.
  EXPECT_EQ(RunOnce(std::uint8_t{0}).FullScreen, 1);
}

}  // namespace
}  // namespace rivoltra
