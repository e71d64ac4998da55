#include "persist/best_replays.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <set>
#include <string>

#include "formats/daily_course.h"
#include "system/save_file.h"

namespace rivoltra {
namespace {

namespace fs = std::filesystem;

class BestReplays : public ::testing::Test {
 protected:
  BestReplays()
      : folder_(fs::temp_directory_path() / ("rivoltra-best-" + std::to_string(::getpid())) /
                kBestReplayFolderName) {
    fs::remove_all(folder_.parent_path());
  }
  ~BestReplays() override { fs::remove_all(folder_.parent_path()); }

  // A replay of a course with a score; its ticks say which game it was.
  static std::string Bytes(std::int32_t car, std::uint32_t seed, std::int32_t score,
                           std::uint16_t firstTick = 0, std::uint64_t fingerprint = 1) {
    ReplayRecorder recorder;
    ReplayHeader header;
    header.GameVersion = "1.0";
    header.DataFingerprint = fingerprint;
    header.Car = static_cast<std::uint8_t>(car);
    header.RandomState = seed;
    recorder.Begin(header);
    recorder.AddTick(firstTick, 1);
    ReplayTrailer trailer;
    trailer.Score = score;
    trailer.TicksPlayed = 1;
    return recorder.Finish(trailer);
  }
  bool Keep(const BestRunCourse& course, const std::string& bytes) {
    return KeepBestReplay(folder_, course, ReadReplay(bytes, "test"), bytes);
  }
  std::optional<std::string> Kept(const BestRunCourse& course) {
    return ReadSaveFile(BestReplayPath(folder_, course));
  }

  fs::path folder_;
};

TEST_F(BestReplays, OnlyAHigherScoreOrAnUndrivableBestIsReplaced) {
  const BestRunCourse car2{2, std::nullopt};
  const std::string first = Bytes(2, 7, 500);
  EXPECT_TRUE(Keep(car2, first));
  EXPECT_EQ(Kept(car2), first);
  EXPECT_FALSE(Keep(car2, Bytes(2, 8, 500, ReplayUp)));  // a tie keeps the first
  EXPECT_FALSE(Keep(car2, Bytes(2, 9, 120)));
  EXPECT_FALSE(Keep(car2, Bytes(3, 9, 9000)));  // another car's game is not this course's
  EXPECT_EQ(Kept(car2), first);
  const std::string better = Bytes(2, 10, 501);
  EXPECT_TRUE(Keep(car2, better));
  EXPECT_EQ(Kept(car2), better);
  // A best recorded with other data no longer counts: a game with this data replaces it.
  const std::string otherData = Bytes(2, 11, 900, 0, 2);
  EXPECT_TRUE(Keep(car2, otherData));
  const std::string worse = Bytes(2, 11, 20);
  EXPECT_TRUE(Keep(car2, worse));
  EXPECT_EQ(Kept(car2), worse);
  // A damaged best is replaced too.
  WriteSaveFile(BestReplayPath(folder_, car2), "RVR\x1A damaged");
  EXPECT_TRUE(Keep(car2, first));
  EXPECT_FALSE(Kept({1, std::nullopt}).has_value());
}

TEST_F(BestReplays, ADaysBestIsARunOfThatDaysCourseAndOnlyTheLastDaysAreKept) {
  const std::uint32_t firstDay = *DayOfDateText("2026-12-01");
  const auto dayRun = [](std::uint32_t day, std::int32_t score) {
    const DailyCourse course = DailyCourseOf(day);
    return Bytes(course.Car, course.Seed, score);
  };
  // The day's car with another seed is an ordinary race, not the daily run.
  const BestRunCourse first{0, firstDay};
  EXPECT_FALSE(Keep(first, Bytes(DailyCourseOf(firstDay).Car, 1, 100)));
  EXPECT_FALSE(Keep(first, dayRun(firstDay + 1, 100)));
  for (std::uint32_t day = firstDay; day < firstDay + kKeptDailyBests + 3; ++day) {
    EXPECT_TRUE(Keep({0, day}, dayRun(day, 100)));
  }
  Keep({3, std::nullopt}, Bytes(3, 1, 1));
  std::set<std::string> names;
  for (const fs::directory_entry& file : fs::directory_iterator(folder_))
    names.insert(file.path().filename().string());
  EXPECT_EQ(names.size(), static_cast<std::size_t>(kKeptDailyBests) + 1);
  EXPECT_TRUE(names.contains("car3.rvr"));
  EXPECT_TRUE(names.contains("daily-2026-12-10.rvr"));
  EXPECT_TRUE(names.contains("daily-2026-12-04.rvr"));
  EXPECT_FALSE(names.contains("daily-2026-12-03.rvr"));
}

TEST_F(BestReplays, UnreadableAndForeignFilesAreReportedNotUsed) {
  const BestRunCourse car1{1, std::nullopt};
  std::string problem = "left from before";
  EXPECT_FALSE(LoadBestReplay(folder_, car1, problem).has_value());
  EXPECT_TRUE(problem.empty()) << "a missing best is no problem";
  fs::create_directories(folder_);
  for (const std::string& bytes : {std::string("garbage"), Bytes(4, 1, 10)}) {
    WriteSaveFile(BestReplayPath(folder_, car1), bytes);
    EXPECT_FALSE(LoadBestReplay(folder_, car1, problem).has_value());
    EXPECT_NE(problem.find("car1.rvr"), std::string::npos) << problem;
  }
}

}  // namespace
}  // namespace rivoltra
