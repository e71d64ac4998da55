#include "system/save_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "persist/high_scores.h"
#include "persist/settings.h"
#include "system/file_names.h"

namespace rivoltra {
namespace {

namespace fs = std::filesystem;

class SaveFolder : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("rivoltra-save-" +
               std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  static std::string Contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }
  static void Put(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  int FileCount() const {
    return static_cast<int>(
        std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
  }

  fs::path folder_;
};

TEST_F(SaveFolder, TheOldFileStaysWholeUntilTheNewOneIsCommitted) {
  const fs::path path = folder_ / "hs";
  Put(path, "old");
  {
    StagedFile staged(path, "new contents");
    EXPECT_EQ(Contents(path), "old");
    EXPECT_EQ(FileCount(), 2);
  }
  // Given up without a commit (as when the other save file failed): old file, no leftovers.
  EXPECT_EQ(Contents(path), "old");
  EXPECT_EQ(FileCount(), 1);

  StagedFile staged(path, "new contents");
  staged.Commit();
  EXPECT_EQ(Contents(path), "new contents");
  EXPECT_EQ(FileCount(), 1);
}

// Names are UTF-8 inside the program: a folder and a file named in other scripts save, replace
// and load, and their names come back unchanged for messages. Line ends stay LF, byte for byte.
TEST_F(SaveFolder, NamesInAnyScriptSaveAndLoadByteForByte) {
  const std::string folderName = "D\xC3\xA4t\xC3\xA4_\xE6\x97\xA5\xE6\x9C\xAC";  // Dätä_日本
  const fs::path path = folder_ / PathFromUtf8(folderName) / PathFromUtf8("h\xC3\xA9s");
  EXPECT_EQ(Utf8FromPath(path.parent_path().filename()), folderName);
  WriteSaveFile(path, "a\nb\r\nc\n");
  WriteSaveFile(path, "line 1\nline 2\n");
  EXPECT_EQ(ReadSaveFile(path), std::optional<std::string>("line 1\nline 2\n"));
  EXPECT_EQ(std::distance(fs::directory_iterator(path.parent_path()), fs::directory_iterator()), 1);
}

TEST_F(SaveFolder, AFolderThatCannotBeWrittenIsReportedByName) {
  // A file where the folder should be stops even a privileged user.
  Put(folder_ / "Save", "not a folder");
  try {
    WriteSaveFile(folder_ / "Save" / "options", "x");
    FAIL() << "no error";
  } catch (const SaveFileError& error) {
    EXPECT_NE(std::string(error.what()).find("Save/options"), std::string::npos) << error.what();
  }
  EXPECT_EQ(Contents(folder_ / "Save"), "not a folder");
}

TEST_F(SaveFolder, MissingOrUnreadableFilesGiveTheDefaults) {
  HighScoreTable table;
  table.Entry(1).EntryName = "STALE";
  EXPECT_FALSE(LoadHighScores(table, folder_ / "hs"));
  EXPECT_EQ(ComputeCheckString(table), ComputeCheckString(DefaultHighScoreTable()));

  Settings settings;
  std::string check = "STALE";
  Put(folder_ / "options", "1\r\n1\r\n");
  EXPECT_FALSE(LoadSettings(settings, check, folder_ / "options"));
  EXPECT_EQ(settings, kFallbackSettings);
  EXPECT_EQ(check, "");

  // Far larger than any save file the game writes: not read at all.
  Put(folder_ / "options", "1\r\n1\r\n1\r\n" + std::string(kMaxSaveFileBytes, 'A') + "\r\nC\r\n");
  EXPECT_FALSE(LoadSettings(settings, check, folder_ / "options"));
}

TEST_F(SaveFolder, SavedFilesLoadBackTheSameValues) {
  HighScoreTable table = DefaultHighScoreTable();
  InsertHighScore(table, "AB C", 1999);
  const Settings settings{1, 0, 1, "NEW ZEALAND"};
  SaveHighScores(table, folder_ / "hs");
  SaveSettings(settings, ComputeCheckString(table), folder_ / "options");

  HighScoreTable loadedTable;
  Settings loadedSettings;
  std::string check;
  ASSERT_TRUE(LoadHighScores(loadedTable, folder_ / "hs"));
  ASSERT_TRUE(LoadSettings(loadedSettings, check, folder_ / "options"));
  EXPECT_EQ(loadedSettings, settings);
  EXPECT_EQ(check, ComputeCheckString(table));
  for (int rank = 1; rank <= 10; ++rank) EXPECT_EQ(loadedTable.Entry(rank), table.Entry(rank));
}

}  // namespace
}  // namespace rivoltra
