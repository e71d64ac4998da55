#include "persist/high_scores.h"

#include <algorithm>
#include <utility>

#include "persist/save_numbers.h"
#include "system/save_file.h"

namespace rivoltra {

namespace {
constexpr int kLinesPerEntry = 4;
}  // namespace

void ResetHighScores(HighScoreTable& table) {
  for (int rank = 1; rank <= HighScoreTable::kShownEntries; ++rank) {
    table.Entry(rank) = HighScoreEntry{"ANONYMOUS", 2200 - 200 * rank, 0, 0};
  }
}

HighScoreTable DefaultHighScoreTable() {
  HighScoreTable table;
  ResetHighScores(table);
  return table;
}

std::string ComputeCheckString(const HighScoreTable& table) {
  std::size_t length = 0;
  for (int rank = 1; rank <= HighScoreTable::kShownEntries; ++rank) {
    length = std::max(length, table.Entry(rank).EntryName.size());
    length = std::max(length, std::to_string(table.Entry(rank).EntryScore).size());
  }
  std::string accumulator(length, ' ');
  // Codes are unsigned bytes; every result lies in 32..255, so it never holds a line end.
  const auto addInto = [&accumulator](std::string_view text) {
    for (std::size_t j = 0; j < text.size(); ++j) {
      const unsigned sum =
          static_cast<unsigned char>(accumulator[j]) + static_cast<unsigned char>(text[j]);
      accumulator[j] = static_cast<char>(sum % 224 + 32);
    }
  };
  for (int rank = 1; rank <= HighScoreTable::kShownEntries; ++rank) {
    addInto(table.Entry(rank).EntryName);
    addInto(std::to_string(table.Entry(rank).EntryScore));
  }
  return accumulator;
}

bool ScoreQualifies(const HighScoreTable& table, std::int32_t score) {
  for (int rank = 1; rank <= HighScoreTable::kShownEntries; ++rank) {
    if (score > table.Entry(rank).EntryScore) return true;
  }
  return false;
}

void SortHighScores(HighScoreTable& table) {
  constexpr int kEntries = 11;
  for (int pass = 1; pass <= kEntries - 1; ++pass) {
    for (int j = 1; j <= kEntries - pass; ++j) {
      // Strictly less: an entry never passes one with the same score.
      if (table.Entry(j).EntryScore < table.Entry(j + 1).EntryScore) {
        std::swap(table.Entry(j), table.Entry(j + 1));
      }
    }
  }
}

void InsertHighScore(HighScoreTable& table, std::string_view playerName, std::int32_t score) {
  HighScoreEntry& spare = table.Entry(11);
  spare.EntryName = std::string(playerName);
  spare.EntryScore = score;
  SortHighScores(table);
}

std::string HighScoreFileText(const HighScoreTable& table) {
  std::string text;
  for (int rank = 1; rank <= HighScoreTable::kShownEntries; ++rank) {
    const HighScoreEntry& entry = table.Entry(rank);
    for (const std::string& line :
         {entry.EntryName, std::to_string(entry.EntryScore), std::to_string(entry.Reserved1),
          std::to_string(entry.Reserved2)}) {
      text += line;
      text += "\r\n";
    }
  }
  return text;
}

bool ParseHighScoreFile(std::string_view text, HighScoreTable& table) {
  const std::vector<std::string_view> lines = SplitSaveLines(text);
  if (lines.size() < static_cast<std::size_t>(HighScoreTable::kShownEntries) * kLinesPerEntry) {
    return false;
  }
  HighScoreTable loaded = table;
  for (int rank = 1; rank <= HighScoreTable::kShownEntries; ++rank) {
    const std::size_t first = static_cast<std::size_t>(rank - 1) * kLinesPerEntry;
    const auto score = ParseSaveNumber(lines[first + 1], true);
    const auto reserved1 = ParseSaveNumber(lines[first + 2], true);
    const auto reserved2 = ParseSaveNumber(lines[first + 3], true);
    if (!score || !reserved1 || !reserved2) return false;
    loaded.Entry(rank) = HighScoreEntry{std::string(lines[first]), *score, *reserved1, *reserved2};
  }
  table = std::move(loaded);
  return true;
}

bool LoadHighScores(HighScoreTable& table, const std::filesystem::path& path) {
  const std::optional<std::string> text = ReadSaveFile(path);
  if (text && ParseHighScoreFile(*text, table)) return true;
  ResetHighScores(table);
  return false;
}

void SaveHighScores(const HighScoreTable& table, const std::filesystem::path& path) {
  WriteSaveFile(path, HighScoreFileText(table));
}

}  // namespace rivoltra
