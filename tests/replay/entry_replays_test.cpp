// The table's replays: one file per entry, named so that any name is safe, gone with the entry.
#include "persist/entry_replays.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "system/save_file.h"

namespace rivoltra {
namespace {

namespace fs = std::filesystem;

class EntryReplays : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("rivoltra-entry-replays-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

TEST_F(EntryReplays, NamesAreSafeFileNamesAndDifferPerEntry) {
  EXPECT_EQ(EntryReplayPath(folder_, "JO", 4120).filename(), "hs-4120-4a4f.rvr");
  EXPECT_EQ(EntryReplayPath(folder_, "../x/", 5).filename(), "hs-5-2e2e2f782f.rvr");
  EXPECT_EQ(EntryReplayPath(folder_, "", 0).filename(), "hs-0-.rvr");
  EXPECT_NE(EntryReplayPath(folder_, "JO", 4120), EntryReplayPath(folder_, "JO", 412));
}

TEST_F(EntryReplays, AReplayStaysWhileItsEntryDoesAndOtherFilesAreLeftAlone) {
  HighScoreTable table = DefaultHighScoreTable();
  InsertHighScore(table, "JO", 4120);
  KeepEntryReplay(folder_, table, "JO", 4120, "first game");
  std::ofstream(folder_ / "notes.txt") << "mine";
  EXPECT_EQ(ReadSaveFile(EntryReplayPath(folder_, "JO", 4120)), "first game");

  // Ten better games push JO out of the table; the last one's keeping drops JO's replay.
  for (int game = 1; game <= 10; ++game) InsertHighScore(table, "AL", 5000 + game);
  KeepEntryReplay(folder_, table, "AL", 5010, "tenth game");
  EXPECT_FALSE(fs::exists(EntryReplayPath(folder_, "JO", 4120)));
  EXPECT_TRUE(fs::exists(EntryReplayPath(folder_, "AL", 5010)));
  EXPECT_TRUE(fs::exists(folder_ / "notes.txt"));

  // A table reset (an edited table file) leaves none of the players' replays.
  EXPECT_EQ(DropStaleEntryReplays(folder_, DefaultHighScoreTable()), 1);
  EXPECT_EQ(DropStaleEntryReplays(folder_ / "missing", table), 0);
}

}  // namespace
}  // namespace rivoltra
