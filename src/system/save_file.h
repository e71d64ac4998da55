#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace rivoltra {

// A save file that could not be written; the message names the file and the reason.
class SaveFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The save files are tiny; anything larger than this is not one of ours and is not read.
inline constexpr std::size_t kMaxSaveFileBytes = 1 << 20;

// The whole file, or nullopt when it is missing, unreadable or larger than maxBytes.
std::optional<std::string> ReadSaveFile(const std::filesystem::path& path,
                                        std::size_t maxBytes = kMaxSaveFileBytes);

// Splits a text into its lines. A line ends at LF; a CR just before the LF belongs to the line
// end. A last line without an end counts as a line; an empty text has no lines.
std::vector<std::string_view> SplitSaveLines(std::string_view text);

// New contents for a file, written beside it first and put in its place only by Commit, so the
// old file stays whole until the new one is complete on disk. An uncommitted file is removed
// when the object goes.
class StagedFile {
 public:
  // Writes and flushes the temporary file; throws SaveFileError.
  StagedFile(std::filesystem::path path, std::string_view contents);
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Renames the temporary file over the real one; throws SaveFileError.
  void Commit();

 private:
  std::filesystem::path path_;
  std::filesystem::path temporary_;
  bool committed_ = false;
};

// Stage and commit in one step.
void WriteSaveFile(const std::filesystem::path& path, std::string_view contents);

}  // namespace rivoltra
