#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace rivoltra {

// A result the score server could not be reached for, with the game's replay, kept in the save
// folder until it can be sent.
struct UnsentResult {
  std::string PlayerName;
  std::int32_t Score = 0;
  std::string Country;
  std::string Replay;  // the replay file's bytes; empty when the game has none
};

// The folder inside the save folder that holds them, one file each.
inline constexpr char kUnsentResultsFolder[] = "unsent";

// One result's file text: a header line, the score, the name and the country as hex (any byte
// survives), then the replay's bytes.
std::string UnsentResultFileText(const UnsentResult& result);
// nullopt for anything that is not such a text.
std::optional<UnsentResult> ParseUnsentResult(const std::string& text);

// Writes the result into folder (created when missing) under a name that sorts after the ones
// there; returns the file, or an empty path when it cannot be written.
std::filesystem::path KeepUnsentResult(const std::filesystem::path& folder,
                                       const UnsentResult& result);
// The folder's result files, oldest first; none when the folder is missing.
std::vector<std::filesystem::path> UnsentResultFiles(const std::filesystem::path& folder);

}  // namespace rivoltra
