#include "persist/online_config_file.h"

#include <system_error>

#include "system/file_names.h"
#include "system/save_file.h"

namespace rivoltra {

namespace {

// Addresses are short; a longer value is not one.
constexpr std::size_t kMaxAddressLength = 2048;

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string LineProblem(std::size_t lineNumber, std::string_view what) {
  return "line " + std::to_string(lineNumber) + ": " + std::string(what);
}

}  // namespace

bool IsWebAddress(std::string_view address) {
  if (address.size() > kMaxAddressLength) return false;
  for (const char c : address) {
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return false;
  }
  for (std::string_view scheme : {"http://", "https://"}) {
    if (address.size() > scheme.size() && address.substr(0, scheme.size()) == scheme) return true;
  }
  return false;
}

std::vector<std::string> ParseOnlineConfigFile(std::string_view text, OnlineConfig& config) {
  std::vector<std::string> problems;
  std::size_t lineNumber = 0;
  for (const std::string_view rawLine : SplitSaveLines(text)) {
    ++lineNumber;
    const std::string_view line = Trimmed(rawLine);
    if (line.empty() || line.front() == '#') continue;
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) {
      problems.push_back(LineProblem(lineNumber, "expected key = value"));
      continue;
    }
    const std::string_view key = Trimmed(line.substr(0, equals));
    const std::string_view value = Trimmed(line.substr(equals + 1));
    std::string* target = key == "server"    ? &config.ServerBase
                          : key == "website" ? &config.WebSite
                                             : nullptr;
    if (target == nullptr) {
      problems.push_back(LineProblem(lineNumber, "unknown key (server or website)"));
    } else if (!IsWebAddress(value)) {
      problems.push_back(LineProblem(lineNumber, "not an http:// or https:// address"));
    } else {
      *target = std::string(value);
    }
  }
  return problems;
}

std::vector<std::string> LoadOnlineConfigFile(const std::filesystem::path& path,
                                              OnlineConfig& config) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return {};
  const std::optional<std::string> text = ReadSaveFile(path);
  if (!text) return {Utf8FromPath(path) + ": unreadable or too large"};
  std::vector<std::string> problems = ParseOnlineConfigFile(*text, config);
  for (std::string& problem : problems) problem = Utf8FromPath(path) + ": " + problem;
  return problems;
}

}  // namespace rivoltra
