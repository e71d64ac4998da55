#include "persist/best_replays.h"

#include <set>
#include <string>
#include <system_error>

#include "formats/daily_course.h"
#include "system/file_names.h"
#include "system/save_file.h"

namespace rivoltra {

namespace {

constexpr std::string_view kDailyPrefix = "daily-";
constexpr std::string_view kReplayExtension = ".rvr";

std::string BestReplayFileName(const BestRunCourse& course) {
  if (course.DailyDay) {
    return std::string(kDailyPrefix) + DateTextOf(*course.DailyDay) + std::string(kReplayExtension);
  }
  return "car" + std::to_string(course.Car) + std::string(kReplayExtension);
}

// The daily bests' names hold their dates, so name order is day order.
void DropOldDailyBests(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error) return;
  // Collected first: removing while the folder is being read may skip or repeat files.
  std::set<std::string> daily;
  for (const std::filesystem::directory_entry& file : it) {
    const std::string name = Utf8FromPath(file.path().filename());
    if (name.starts_with(kDailyPrefix) && name.ends_with(kReplayExtension)) daily.insert(name);
  }
  std::size_t dropping =
      daily.size() > static_cast<std::size_t>(kKeptDailyBests) ? daily.size() - kKeptDailyBests : 0;
  for (auto name = daily.begin(); dropping > 0; ++name, --dropping) {
    std::error_code removeError;
    std::filesystem::remove(folder / PathFromUtf8(*name), removeError);
  }
}

}  // namespace

std::filesystem::path BestReplayPath(const std::filesystem::path& folder,
                                     const BestRunCourse& course) {
  return folder / BestReplayFileName(course);
}

bool ReplayOfCourse(const Replay& replay, const BestRunCourse& course) {
  if (course.DailyDay) {
    const DailyCourse daily = DailyCourseOf(*course.DailyDay);
    return replay.Header.Car == daily.Car && replay.Header.RandomState == daily.Seed;
  }
  return replay.Header.Car == course.Car;
}

std::optional<Replay> LoadBestReplay(const std::filesystem::path& folder,
                                     const BestRunCourse& course, std::string& problem) {
  problem.clear();
  const std::filesystem::path path = BestReplayPath(folder, course);
  const std::optional<std::string> bytes = ReadSaveFile(path, kMaxReplayBytes);
  if (!bytes) {
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
      problem = Utf8FromPath(path) + ": cannot be read; not used as a ghost";
    }
    return std::nullopt;
  }
  try {
    Replay replay = ReadReplay(*bytes, Utf8FromPath(path));
    if (!ReplayOfCourse(replay, course)) {
      problem = Utf8FromPath(path) + ": the replay is of another course; not used as a ghost";
      return std::nullopt;
    }
    return replay;
  } catch (const ReplayError& failure) {
    problem = std::string(failure.what()) + "; not used as a ghost";
    return std::nullopt;
  }
}

bool KeepBestReplay(const std::filesystem::path& folder, const BestRunCourse& course,
                    const Replay& replay, std::string_view bytes) {
  if (!ReplayOfCourse(replay, course)) return false;
  // A kept best that cannot be read or driven by this game is replaced rather than defended.
  std::string problem;
  const std::optional<Replay> kept = LoadBestReplay(folder, course, problem);
  const bool drivable = kept && kept->Header.GameVersion == replay.Header.GameVersion &&
                        kept->Header.DataFingerprint == replay.Header.DataFingerprint;
  if (drivable && kept->Trailer.Score >= replay.Trailer.Score) return false;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw SaveFileError(Utf8FromPath(folder) + ": " + error.message());
  SaveReplayFile(BestReplayPath(folder, course), bytes);
  if (course.DailyDay) DropOldDailyBests(folder);
  return true;
}

}  // namespace rivoltra
