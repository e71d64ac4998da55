#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace rivoltra {

// The player's own best score of each recent day's daily run, kept in the save folder so the
// daily screen shows it offline too.
struct DailyBests {
  std::map<std::uint32_t, std::int32_t> ScoreByDay;  // days since 1970 (UTC)

  std::optional<std::int32_t> BestOf(std::uint32_t day) const;
  // Keeps the score when it beats the day's best (or is the day's first); true when it did.
  // Only the newest kDaysKept days stay.
  bool Record(std::uint32_t day, std::int32_t score);
};

inline constexpr char kDailyBestsFileName[] = "daily";
inline constexpr std::size_t kDaysKept = 31;

// "RIVOLTRA DAILY 1", then a line "YYYY-MM-DD SCORE" a day, oldest first.
std::string DailyBestsFileText(const DailyBests& bests);
// nullopt for anything that is not such a text: a wrong first line, a bad date or score, a day
// twice, more days than are kept.
std::optional<DailyBests> ParseDailyBests(std::string_view text);

// The file's bests; none when it is missing. A damaged file gives none too, and says so on
// stderr: the next daily run writes a whole new one.
DailyBests LoadDailyBests(const std::filesystem::path& path);
// Written beside the file and moved over it; throws SaveFileError.
void SaveDailyBests(const std::filesystem::path& path, const DailyBests& bests);

}  // namespace rivoltra
