#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "persist/online.h"

namespace rivoltra {

// The player's or packager's online addresses, in online.conf of the save folder:
//
//   # comments and blank lines are ignored
//   server = https://scores.example.org
//   website = https://example.org/rivoltra/
//
// Each key replaces the build's default. A line that is not "key = value", an unknown key or an
// address that is not http:// or https:// is reported and skipped; the rest of the file counts.
// Returns the problems, one per entry, each naming the line.
std::vector<std::string> ParseOnlineConfigFile(std::string_view text, OnlineConfig& config);

// Reads and applies the file when it exists; problems are prefixed with the file's name.
std::vector<std::string> LoadOnlineConfigFile(const std::filesystem::path& path,
                                              OnlineConfig& config);

// Whether an address may be used as the server's base or the web site.
bool IsWebAddress(std::string_view address);

}  // namespace rivoltra
