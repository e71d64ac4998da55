#include "persist/entry_replays.h"

#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "formats/replay_file.h"
#include "system/file_names.h"
#include "system/save_file.h"

namespace rivoltra {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

std::string EntryReplayFileName(std::string_view playerName, std::int32_t score) {
  std::string name = "hs-" + std::to_string(score) + "-";
  for (const char c : playerName) {
    const auto byte = static_cast<unsigned char>(c);
    name += kHexDigits[byte >> 4];
    name += kHexDigits[byte & 0x0f];
  }
  return name + ".rvr";
}

std::set<std::string> NamedFiles(const HighScoreTable& table) {
  std::set<std::string> names;
  for (int rank = 1; rank <= HighScoreTable::kShownEntries; ++rank) {
    const HighScoreEntry& entry = table.Entry(rank);
    names.insert(EntryReplayFileName(entry.EntryName, entry.EntryScore));
  }
  return names;
}

bool LooksLikeEntryReplay(const std::filesystem::path& path) {
  const std::string name = Utf8FromPath(path.filename());
  return name.starts_with("hs-") && path.extension() == ".rvr";
}

}  // namespace

std::filesystem::path EntryReplayPath(const std::filesystem::path& folder,
                                      std::string_view playerName, std::int32_t score) {
  return folder / EntryReplayFileName(playerName, score);
}

void KeepEntryReplay(const std::filesystem::path& folder, const HighScoreTable& table,
                     std::string_view playerName, std::int32_t score, std::string_view bytes) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw SaveFileError(Utf8FromPath(folder) + ": " + error.message());
  SaveReplayFile(EntryReplayPath(folder, playerName, score), bytes);
  DropStaleEntryReplays(folder, table);
}

int DropStaleEntryReplays(const std::filesystem::path& folder, const HighScoreTable& table) {
  const std::set<std::string> named = NamedFiles(table);
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error) return 0;
  // Collected first: removing while the folder is being read may skip or repeat files.
  std::vector<std::filesystem::path> stale;
  for (const std::filesystem::directory_entry& file : it) {
    const std::filesystem::path& path = file.path();
    if (LooksLikeEntryReplay(path) && !named.contains(Utf8FromPath(path.filename()))) {
      stale.push_back(path);
    }
  }
  int dropped = 0;
  for (const std::filesystem::path& path : stale) {
    std::error_code removeError;
    if (std::filesystem::remove(path, removeError)) ++dropped;
  }
  return dropped;
}

}  // namespace rivoltra
