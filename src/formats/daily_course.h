#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rivoltra {

// The daily run: one course a day (UTC), the same for every player and known without a
// connection. The day picks the seed and the car, so every run of a day is the same race.
struct DailyCourse {
  std::uint32_t Day = 0;  // days since 1970-01-01
  std::uint32_t Seed = 0;
  std::int32_t Car = 1;  // 1..4
  bool operator==(const DailyCourse&) const = default;
};

// The fixed function behind the daily course; changing it changes every day's course and
// orphans every day's table. With x = SplitMix64(day + 0x5256444159000000):
//   seed = the low 32 bits of x,  car = 1 + (the high 32 bits of x) mod 4.
// SplitMix64(z): z += 0x9E3779B97F4A7C15; z = (z ^ z >> 30) * 0xBF58476D1CE4E5B9;
//                z = (z ^ z >> 27) * 0x94D049BB133111EB; return z ^ z >> 31.
DailyCourse DailyCourseOf(std::uint32_t day);

// "YYYY-MM-DD" of a day and back; nullopt for anything else, a date that does not exist or one
// before 1970-01-02.
std::string DateTextOf(std::uint32_t day);
std::optional<std::uint32_t> DayOfDateText(std::string_view text);

// The day (UTC) of a time in seconds since 1970.
std::uint32_t DayOfUnixSeconds(std::int64_t unixSeconds);

}  // namespace rivoltra
