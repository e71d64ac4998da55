#include "menu_fixture.h"

namespace rivoltra {
namespace {

const std::filesystem::path kOptions = "Data/Save/options";
const std::filesystem::path kHighScores = "Data/Save/hs";

TEST_F(MenuScenario, SavedFilesSurviveAQuitAndARestartByteForByte) {
  Start();
  Game().Settings = Settings{1, 0, 1, "NEW ZEALAND"};
  InsertHighScore(Game().HighScores, "AB C", 1900);
  Run("quit");
  const std::string options = FileBytes(kOptions);
  const std::string highScores = FileBytes(kHighScores);
  EXPECT_EQ(options.substr(0, 22), "1\r\n0\r\n1\r\nNEW ZEALAND\r\n");
  EXPECT_EQ(highScores.substr(0, 27), "ANONYMOUS\r\n2000\r\n0\r\n0\r\nAB C");

  Start();
  EXPECT_EQ(Game().Settings, (Settings{1, 0, 1, "NEW ZEALAND"}));
  EXPECT_EQ(Game().HighScores.Entry(2), (HighScoreEntry{"AB C", 1900, 0, 0}));
  Run("quit");
  EXPECT_EQ(FileBytes(kOptions), options);
  EXPECT_EQ(FileBytes(kHighScores), highScores);
}

TEST_F(MenuScenario, TheExitButtonSavesAndEndsTheProgram) {
  Start();
  FinishSlideIn();
  Game().Settings.Country = "CHILE";
  PointAt(kExitSlot);
  Run("click");
  EXPECT_TRUE(Game().Terminated);
  EXPECT_EQ(Menu().MenuCaption, nullptr);
  EXPECT_FALSE(Game().Timer.Enabled());
  EXPECT_NE(FileBytes(kOptions).find("CHILE\r\n"), std::string::npos);
}

TEST_F(MenuScenario, EditedOrBrokenSaveFilesFallBackToTheDefaults) {
  HighScoreTable mine = DefaultHighScoreTable();
  InsertHighScore(mine, "MINE", 3000);
  const std::string myScores = HighScoreFileText(mine);
  const std::string myOptions =
      SettingsFileText(Settings{1, 1, 0, "PERU"}, ComputeCheckString(mine));
  std::string edited = myScores;
  edited.replace(edited.find("MINE"), 4, "MIME");
  const struct {
    std::string Scores;
    std::string Options;
    rivoltra::Settings Settings;
    bool TableKept;
  } cases[] = {
      {myScores, myOptions, Settings{1, 1, 0, "PERU"}, true},
      {edited, myOptions, Settings{1, 1, 0, "PERU"}, false},
      {myScores, myOptions.substr(0, 12), kFallbackSettings, false},
      {myScores.substr(0, 100), myOptions, Settings{1, 1, 0, "PERU"}, false},
      {myScores, "garbage\r\n\r\n\r\n\r\n\r\n", kFallbackSettings, false},
  };
  for (const auto& c : cases) {
    WriteBytes(kHighScores, c.Scores);
    WriteBytes(kOptions, c.Options);
    Start();
    EXPECT_EQ(Game().Settings, c.Settings);
    EXPECT_EQ(Game().HighScores.Entry(1).EntryName, c.TableKept ? "MINE" : "ANONYMOUS");
    EXPECT_EQ(ComputeCheckString(Game().HighScores),
              ComputeCheckString(c.TableKept ? mine : DefaultHighScoreTable()));
    EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu);
  }
  std::filesystem::remove(kOptions);
  std::filesystem::remove(kHighScores);
  Start();
  EXPECT_EQ(Game().Settings, kFallbackSettings);
  EXPECT_EQ(Game().HighScores.Entry(1).EntryName, "ANONYMOUS");
}

TEST_F(MenuScenario, ASaveFolderThatCannotBeWrittenStillEndsTheProgram) {
  Start();
  const std::string options = FileBytes(kOptions);
  std::filesystem::remove_all("Data/Save");
  WriteBytes("Data/Save", "a file where the folder was");
  testing::internal::CaptureStderr();
  Run("quit");
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(Game().Terminated);
  EXPECT_NE(errors.find("Data/Save/options"), std::string::npos) << errors;
  EXPECT_EQ(FileBytes("Data/Save"), "a file where the folder was");
}

}  // namespace
}  // namespace rivoltra
