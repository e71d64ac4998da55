#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "persist/high_scores.h"

namespace rivoltra {

// The replays of the high-score table's entries live in one folder beside the table, one file
// per entry, named after the entry's score and name ("hs-4120-4a4f.rvr": the name in hex, so
// any name is a safe file name). The table file keeps its format; a replay belongs to every
// entry with its score and name, and goes when no such entry is left.
inline constexpr char kEntryReplayFolderName[] = "replays";

std::filesystem::path EntryReplayPath(const std::filesystem::path& folder,
                                      std::string_view playerName, std::int32_t score);

// Writes the replay of a new entry (creating the folder), then drops every replay of the folder
// that no entry of the table names. Throws SaveFileError.
void KeepEntryReplay(const std::filesystem::path& folder, const HighScoreTable& table,
                     std::string_view playerName, std::int32_t score, std::string_view bytes);

// Removes the folder's replays that belong to no entry of the table; other files stay. Returns
// how many went. A folder that cannot be read is left alone.
int DropStaleEntryReplays(const std::filesystem::path& folder, const HighScoreTable& table);

}  // namespace rivoltra
