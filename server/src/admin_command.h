#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace rivoltra::scores {

// `rivoltra-scores admin ...`, `backup` and `restore`: the operator's commands, run against the
// same --db as the servers while they serve. Returns the exit status: 0 done, 1 the storage
// failed or nothing matched, 2 a bad command line.
int RunAdminCommand(const std::vector<std::string>& arguments, const std::string& defaultDatabase,
                    std::ostream& out, std::ostream& err);

extern const char* const kAdminUsage;

// "90s", "30m", "12h", "7d" as seconds; nullopt for anything else.
std::optional<long long> ParseDuration(const std::string& text);

}  // namespace rivoltra::scores
