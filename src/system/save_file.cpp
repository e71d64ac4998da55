#include "system/save_file.h"

#include <fstream>
#include <system_error>

#include "system/file_names.h"
#include "system/native_files.h"

namespace rivoltra {

namespace {

std::string Describe(const std::filesystem::path& path, std::string_view what,
                     std::error_code error) {
  return "cannot " + std::string(what) + " " + Utf8FromPath(path) + ": " + error.message();
}

}  // namespace

std::optional<std::string> ReadSaveFile(const std::filesystem::path& path, std::size_t maxBytes) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > maxBytes) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string contents(static_cast<std::size_t>(size), '\0');
  file.read(contents.data(), static_cast<std::streamsize>(contents.size()));
  // A file that shrank while being read keeps only what was there.
  contents.resize(static_cast<std::size_t>(file.gcount()));
  if (file.bad()) return std::nullopt;
  return contents;
}

std::vector<std::string_view> SplitSaveLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

StagedFile::StagedFile(std::filesystem::path path, std::string_view contents)
    : path_(std::move(path)) {
  const std::filesystem::path folder = path_.parent_path();
  std::error_code folderError;
  if (!folder.empty()) std::filesystem::create_directories(folder, folderError);
  // A name of its own per process, hidden, in the same folder so the rename stays on one disk.
  temporary_ = folder / PathFromUtf8(std::string(".") + Utf8FromPath(path_.filename()) + ".new-" +
                                     std::to_string(CurrentProcessId()));
  if (const std::error_code error = WriteFileToDisk(temporary_, contents)) {
    throw SaveFileError(Describe(path_, "write", error));
  }
}

StagedFile::~StagedFile() {
  if (!committed_) RemoveFileQuietly(temporary_);
}

void StagedFile::Commit() {
  if (committed_) return;
  if (const std::error_code error = MoveFileIntoPlace(temporary_, path_)) {
    throw SaveFileError(Describe(path_, "replace", error));
  }
  committed_ = true;
}

void WriteSaveFile(const std::filesystem::path& path, std::string_view contents) {
  StagedFile staged(path, contents);
  staged.Commit();
}

}  // namespace rivoltra
