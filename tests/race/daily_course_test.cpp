// The daily course of a date: a fixed function every player's game and the score server agree
// on, offline too. The table was worked out from the formula documented in daily_course.h by a
// separate implementation (a few lines of Python), so it also holds the documentation to the code.
#include "formats/daily_course.h"

#include <gtest/gtest.h>

namespace rivoltra {
namespace {

TEST(DailyCourse, DatesAndTheirCourses) {
  const struct {
    const char* Date;
    std::uint32_t Day;
    std::uint32_t Seed;
    std::int32_t Car;
  } cases[] = {
      {"1970-01-02", 1, 3518935556u, 4},     {"2000-02-29", 11016, 2198854151u, 2},
      {"2026-01-01", 20454, 1814152496u, 1}, {"2026-12-10", 20797, 3808343134u, 4},
      {"2026-12-31", 20818, 1901875910u, 4}, {"2027-01-01", 20819, 3894638025u, 3},
      {"2099-12-31", 47481, 476948630u, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DayOfDateText(c.Date), c.Day) << c.Date;
    EXPECT_EQ(DateTextOf(c.Day), c.Date);
    EXPECT_EQ(DailyCourseOf(c.Day), (DailyCourse{c.Day, c.Seed, c.Car})) << c.Date;
  }
}

TEST(DailyCourse, TheDayTurnsAtMidnightUtc) {
  const std::int64_t midnight = 20797LL * 86400;
  EXPECT_EQ(DayOfUnixSeconds(midnight - 1), 20796u);
  EXPECT_EQ(DayOfUnixSeconds(midnight), 20797u);
  EXPECT_EQ(DayOfUnixSeconds(midnight + 86399), 20797u);
  EXPECT_EQ(DayOfUnixSeconds(-5), 0u);
}

TEST(DailyCourse, OnlyRealDatesAreRead) {
  for (const char* bad :
       {"", "2026-1-01", "2026-02-30", "2026-13-01", "2026-00-10", "20261210", "2026-12-10 ",
        "2026/12/10", "1970-01-01", "1969-12-31", "+026-12-10", "2026-12-1x"}) {
    EXPECT_EQ(DayOfDateText(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(DayOfDateText("2024-02-29"), 19782u);
  EXPECT_EQ(DayOfDateText("2023-02-29"), std::nullopt);
}

}  // namespace
}  // namespace rivoltra
