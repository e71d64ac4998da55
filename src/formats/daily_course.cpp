#include "formats/daily_course.h"

#include <chrono>
#include <cstdio>

namespace rivoltra {

namespace {

constexpr std::uint64_t kDailySalt = 0x5256444159000000ull;

std::uint64_t SplitMix64(std::uint64_t z) {
  z += 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int Digits(std::string_view text, std::size_t from, std::size_t count) {
  int value = 0;
  for (std::size_t i = from; i < from + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

}  // namespace

DailyCourse DailyCourseOf(std::uint32_t day) {
  const std::uint64_t mixed = SplitMix64(day + kDailySalt);
  DailyCourse course;
  course.Day = day;
  course.Seed = static_cast<std::uint32_t>(mixed);
  course.Car = 1 + static_cast<std::int32_t>((mixed >> 32) % 4);
  return course;
}

std::string DateTextOf(std::uint32_t day) {
  using namespace std::chrono;
  const year_month_day date{sys_days{days{day}}};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

std::optional<std::uint32_t> DayOfDateText(std::string_view text) {
  using namespace std::chrono;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const int yearNumber = Digits(text, 0, 4);
  const int monthNumber = Digits(text, 5, 2);
  const int dayNumber = Digits(text, 8, 2);
  if (yearNumber < 0 || monthNumber < 0 || dayNumber < 0) return std::nullopt;
  const year_month_day date{year{yearNumber}, month{static_cast<unsigned>(monthNumber)},
                            day{static_cast<unsigned>(dayNumber)}};
  if (!date.ok()) return std::nullopt;
  const auto count = sys_days{date}.time_since_epoch().count();
  if (count < 1) return std::nullopt;
  return static_cast<std::uint32_t>(count);
}

std::uint32_t DayOfUnixSeconds(std::int64_t unixSeconds) {
  constexpr std::int64_t kSecondsPerDay = std::int64_t{24} * 60 * 60;
  if (unixSeconds < 0) return 0;
  return static_cast<std::uint32_t>(unixSeconds / kSecondsPerDay);
}

}  // namespace rivoltra
