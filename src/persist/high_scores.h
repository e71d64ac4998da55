#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace rivoltra {

inline constexpr char kHighScoreFile[] = "Data/Save/hs";

struct HighScoreEntry {
  std::string EntryName;
  std::int32_t EntryScore = 0;
  // Kept with their entry through loading, sorting and saving; nothing reads them.
  std::int32_t Reserved1 = 0;
  std::int32_t Reserved2 = 0;

  bool operator==(const HighScoreEntry&) const = default;
};

// Entries 1 to 10 are the table, best first; entry 11 receives a new result before sorting and
// holds the one that dropped out afterwards. Entry n is HighScores[n - 1].
struct HighScoreTable {
  static constexpr int kShownEntries = 10;
  std::array<HighScoreEntry, 11> HighScores;

  HighScoreEntry& Entry(int rank) { return HighScores[static_cast<std::size_t>(rank - 1)]; }
  const HighScoreEntry& Entry(int rank) const {
    return HighScores[static_cast<std::size_t>(rank - 1)];
  }
};

// Ten "ANONYMOUS" entries from 2000 down to 200; entry 11 is left alone.
void ResetHighScores(HighScoreTable& table);
HighScoreTable DefaultHighScoreTable();

// The guard against edited files, kept in the settings file: the names and the decimal scores
// of entries 1 to 10 added column by column into a string as long as the longest name. A score
// with more digits than the longest name widens the string to its own length, which changes
// nothing for every table whose scores fit.
std::string ComputeCheckString(const HighScoreTable& table);

// A result earns a place when it beats at least one of the ten entries.
bool ScoreQualifies(const HighScoreTable& table, std::int32_t score);
// The result goes into entry 11, then the table is sorted; equal scores keep their order.
void InsertHighScore(HighScoreTable& table, std::string_view playerName, std::int32_t score);
void SortHighScores(HighScoreTable& table);

// The 40 lines of the file, CR LF ended.
std::string HighScoreFileText(const HighScoreTable& table);
// Entries 1 to 10 from the file's text, or false (table untouched) when the text is short or a
// number line is not a 32-bit decimal number.
bool ParseHighScoreFile(std::string_view text, HighScoreTable& table);

// Entries 1 to 10 from the file; a missing, short or malformed file gives the default table.
// Returns whether the file was used.
bool LoadHighScores(HighScoreTable& table, const std::filesystem::path& path = kHighScoreFile);
// Throws SaveFileError; the previous file stays whole when writing fails.
void SaveHighScores(const HighScoreTable& table,
                    const std::filesystem::path& path = kHighScoreFile);

}  // namespace rivoltra
