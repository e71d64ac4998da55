#include "persist/daily_bests.h"

#include <charconv>
#include <cstdio>
#include <system_error>

#include "formats/daily_course.h"
#include "system/save_file.h"

namespace rivoltra {

namespace {

constexpr std::string_view kHeader = "RIVOLTRA DAILY 1";
// A score of the game never reaches this; a longer number is not one of ours.
constexpr std::size_t kMaxScoreDigits = 10;

std::optional<std::int32_t> ScoreOf(std::string_view text) {
  if (text.empty() || text.size() > kMaxScoreDigits) return std::nullopt;
  std::int32_t score = 0;
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), score);
  if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size() || score < 0) {
    return std::nullopt;
  }
  return score;
}

}  // namespace

std::optional<std::int32_t> DailyBests::BestOf(std::uint32_t day) const {
  const auto found = ScoreByDay.find(day);
  if (found == ScoreByDay.end()) return std::nullopt;
  return found->second;
}

bool DailyBests::Record(std::uint32_t day, std::int32_t score) {
  const auto [entry, added] = ScoreByDay.try_emplace(day, score);
  const bool better = added || score > entry->second;
  if (better) entry->second = score;
  while (ScoreByDay.size() > kDaysKept) ScoreByDay.erase(ScoreByDay.begin());
  return better;
}

std::string DailyBestsFileText(const DailyBests& bests) {
  std::string text(kHeader);
  text += '\n';
  for (const auto& [day, score] : bests.ScoreByDay) {
    text += DateTextOf(day) + ' ' + std::to_string(score) + '\n';
  }
  return text;
}

std::optional<DailyBests> ParseDailyBests(std::string_view text) {
  const std::vector<std::string_view> lines = SplitSaveLines(text);
  if (lines.empty() || lines.front() != kHeader || lines.size() - 1 > kDaysKept) {
    return std::nullopt;
  }
  DailyBests bests;
  for (std::size_t index = 1; index < lines.size(); ++index) {
    const std::string_view line = lines[index];
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) return std::nullopt;
    const std::optional<std::uint32_t> day = DayOfDateText(line.substr(0, space));
    const std::optional<std::int32_t> score = ScoreOf(line.substr(space + 1));
    if (!day || !score || !bests.ScoreByDay.emplace(*day, *score).second) return std::nullopt;
  }
  return bests;
}

DailyBests LoadDailyBests(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return {};
  const std::optional<std::string> text = ReadSaveFile(path);
  std::optional<DailyBests> bests;
  if (text) bests = ParseDailyBests(*text);
  if (!bests) {
    std::fprintf(stderr, "Rivoltra: %s is damaged; the daily bests start afresh\n",
                 path.string().c_str());
    return {};
  }
  return *bests;
}

void SaveDailyBests(const std::filesystem::path& path, const DailyBests& bests) {
  WriteSaveFile(path, DailyBestsFileText(bests));
}

}  // namespace rivoltra
