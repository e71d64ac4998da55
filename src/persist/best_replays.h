#pragma once
// The player's own best run of each course, kept as replays for the ghost car: one per car for
// the ordinary races, one per day for the daily run. They live in their own folder of the save
// folder ("ghosts/car1.rvr", "ghosts/daily-2026-12-10.rvr"); only the last few days are kept.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "formats/replay_file.h"

namespace rivoltra {

inline constexpr char kBestReplayFolderName[] = "ghosts";
// Daily bests kept: older days' files go when a new day's best is written.
inline constexpr int kKeptDailyBests = 7;

// A course the player can have a best run of: a car's ordinary race, or a day's daily run.
struct BestRunCourse {
  std::int32_t Car = 1;
  std::optional<std::uint32_t> DailyDay;
  bool operator==(const BestRunCourse&) const = default;
};

std::filesystem::path BestReplayPath(const std::filesystem::path& folder,
                                     const BestRunCourse& course);

// The best replay kept for the course, or nullopt when there is none. A file that cannot be read
// or is damaged, or one whose replay is not of this course (another car; for a day, another
// day's course), is passed over and `problem` says why; a missing file is no problem.
std::optional<Replay> LoadBestReplay(const std::filesystem::path& folder,
                                     const BestRunCourse& course, std::string& problem);

// Whether a replay is a run of the course: its car, and for a daily run the day's seed, which
// every run of the day starts from (ticketed or not).
bool ReplayOfCourse(const Replay& replay, const BestRunCourse& course);

// Keeps `replay` (its bytes `bytes`, just recorded by this game) as the course's best when it
// scored more than the kept one, or when the kept one cannot be read or was recorded by another
// game version or with other data (this game cannot drive it). Written atomically, the folder
// created. Returns whether it was kept. Throws SaveFileError when writing fails; the old best
// then stays whole.
bool KeepBestReplay(const std::filesystem::path& folder, const BestRunCourse& course,
                    const Replay& replay, std::string_view bytes);

}  // namespace rivoltra
