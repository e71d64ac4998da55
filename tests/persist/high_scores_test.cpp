#include "persist/high_scores.h"

#include <gtest/gtest.h>

#include <string>

namespace rivoltra {
namespace {

std::string Bytes(std::initializer_list<unsigned char> codes) {
  return std::string(codes.begin(), codes.end());
}

TEST(CheckString, OfTheDefaultTable) {
  EXPECT_EQ(ComputeCheckString(DefaultHighScoreTable()),
            Bytes({0x25, 0xA0, 0x96, 0x2C, 0x7A, 0xE2, 0xF6, 0x52, 0x3E}));
}

TEST(CheckString, ChangesWithAnyNameOrScoreButNotWithTheReservedFields) {
  const std::string original = ComputeCheckString(DefaultHighScoreTable());
  HighScoreTable renamed = DefaultHighScoreTable();
  renamed.Entry(4).EntryName = "ANONYMOUZ";
  HighScoreTable rescored = DefaultHighScoreTable();
  rescored.Entry(10).EntryScore = 201;
  HighScoreTable reserved = DefaultHighScoreTable();
  reserved.Entry(1).Reserved1 = 77;
  reserved.Entry(11) = HighScoreEntry{"SPARE", 99999, 0, 0};
  EXPECT_NE(ComputeCheckString(renamed), original);
  EXPECT_NE(ComputeCheckString(rescored), original);
  EXPECT_EQ(ComputeCheckString(reserved), original);
}

TEST(CheckString, ScoresLongerThanEveryNameWidenTheString) {
  // Every name cleared: the accumulator becomes as wide as the longest score. One column:
  // ' ' + '5' gives 'u' (117), then nine times '0' walks it to 165.
  HighScoreTable table;
  for (int rank = 1; rank <= 10; ++rank) table.Entry(rank) = HighScoreEntry{"", 0, 0, 0};
  table.Entry(1).EntryScore = 5;
  EXPECT_EQ(ComputeCheckString(table), Bytes({165}));

  table.Entry(2).EntryScore = -123456;
  table.Entry(3).EntryName = "AB";
  EXPECT_EQ(ComputeCheckString(table).size(), 7u);
}

TEST(HighScores, QualifyingAndInsertingKeepEqualScoresInTheirOrder) {
  HighScoreTable table = DefaultHighScoreTable();
  table.Entry(5).Reserved1 = 41;
  table.Entry(5).Reserved2 = -42;
  EXPECT_FALSE(ScoreQualifies(table, 200));
  EXPECT_TRUE(ScoreQualifies(table, 201));

  InsertHighScore(table, "LAST", 201);
  EXPECT_EQ(table.Entry(10), (HighScoreEntry{"LAST", 201, 0, 0}));
  EXPECT_EQ(table.Entry(11), (HighScoreEntry{"ANONYMOUS", 200, 0, 0}));

  // Equal to entry 5 (1200): goes below it, and entry 5 moves nowhere with its reserved fields.
  InsertHighScore(table, "TIED", 1200);
  EXPECT_EQ(table.Entry(5), (HighScoreEntry{"ANONYMOUS", 1200, 41, -42}));
  EXPECT_EQ(table.Entry(6).EntryName, "TIED");
  EXPECT_EQ(table.Entry(10).EntryScore, 400);
  EXPECT_EQ(table.Entry(11).EntryName, "LAST");

  InsertHighScore(table, "TOP", 999999);
  EXPECT_EQ(table.Entry(1).EntryName, "TOP");
  EXPECT_EQ(table.Entry(2).EntryScore, 2000);
}

TEST(HighScores, ResetLeavesTheSpareEntryAlone) {
  HighScoreTable table;
  table.Entry(11) = HighScoreEntry{"SPARE", 7, 1, 2};
  table.Entry(3) = HighScoreEntry{"X", 1, 2, 3};
  ResetHighScores(table);
  EXPECT_EQ(table.Entry(3), (HighScoreEntry{"ANONYMOUS", 1600, 0, 0}));
  EXPECT_EQ(table.Entry(11), (HighScoreEntry{"SPARE", 7, 1, 2}));
}

TEST(HighScoreFile, WritesFortyCrLfLinesAndReadsThemBack) {
  HighScoreTable table = DefaultHighScoreTable();
  table.Entry(1) = HighScoreEntry{"TWO WORDS", -5, 2147483647, -2147483647 - 1};
  table.Entry(2).EntryName = "";
  const std::string text = HighScoreFileText(table);
  const std::string start =
      "TWO WORDS\r\n-5\r\n2147483647\r\n-2147483648\r\n\r\n1800\r\n0\r\n0\r\n";
  EXPECT_EQ(text.substr(0, start.size()), start);
  std::size_t lines = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos;
       at = text.find("\r\n", at + 2)) {
    ++lines;
  }
  EXPECT_EQ(lines, 40u);

  HighScoreTable loaded;
  ASSERT_TRUE(ParseHighScoreFile(text, loaded));
  for (int rank = 1; rank <= 10; ++rank) EXPECT_EQ(loaded.Entry(rank), table.Entry(rank)) << rank;
}

TEST(HighScoreFile, ShortOrMalformedTextIsRejectedWithoutTouchingTheTable) {
  const std::string good = HighScoreFileText(DefaultHighScoreTable());
  std::string badScore = good;
  badScore.replace(badScore.find("2000"), 4, "20x0");
  std::string hugeScore = good;
  hugeScore.replace(hugeScore.find("2000"), 4, "2147483648");
  std::string badReserved = good;
  badReserved.replace(badReserved.find("\r\n0\r\n") + 2, 1, "z");
  const std::string cases[] = {
      "",          good.substr(0, good.size() - 3),  // the last line cut off: 39 lines
      badScore,    hugeScore,
      badReserved, std::string(100, '\0'),
  };
  for (const std::string& text : cases) {
    HighScoreTable table;
    table.Entry(1) = HighScoreEntry{"KEEP", 1, 2, 3};
    EXPECT_FALSE(ParseHighScoreFile(text, table)) << text;
    EXPECT_EQ(table.Entry(1), (HighScoreEntry{"KEEP", 1, 2, 3}));
  }
}

TEST(HighScoreFile, LineFeedsAloneAndBlanksAroundNumbersAreAccepted) {
  std::string text;
  for (int rank = 1; rank <= 10; ++rank) text += "N\n " + std::to_string(rank) + " \n0\n0\n";
  HighScoreTable table;
  ASSERT_TRUE(ParseHighScoreFile(text, table));
  EXPECT_EQ(table.Entry(7), (HighScoreEntry{"N", 7, 0, 0}));
}

}  // namespace
}  // namespace rivoltra
