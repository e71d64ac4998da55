#include "persist/save_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace rivoltra {

namespace {

std::string Describe(const std::filesystem::path& path, std::string_view what, int error) {
  return "cannot " + std::string(what) + " " + path.string() + ": " + std::strerror(error);
}

// Writes everything, retrying short writes and interruptions.
bool WriteAll(int descriptor, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t written = ::write(descriptor, contents.data(), contents.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    contents.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// A rename is only durable once the folder itself has reached the disk.
void SyncFolder(const std::filesystem::path& folder) {
  const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (descriptor < 0) return;
  (void)::fsync(descriptor);
  ::close(descriptor);
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
  temporary_ = folder / ("." + path_.filename().string() + ".new-" + std::to_string(::getpid()));
  int descriptor = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (descriptor < 0) throw SaveFileError(Describe(path_, "write", errno));
  const bool written = WriteAll(descriptor, contents) && ::fsync(descriptor) == 0;
  const int writeError = errno;
  const bool closed = ::close(descriptor) == 0;
  if (!written || !closed) {
    const int error = written ? errno : writeError;
    ::unlink(temporary_.c_str());
    throw SaveFileError(Describe(path_, "write", error));
  }
}

StagedFile::~StagedFile() {
  if (!committed_) ::unlink(temporary_.c_str());
}

void StagedFile::Commit() {
  if (committed_) return;
  if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
    throw SaveFileError(Describe(path_, "replace", errno));
  }
  committed_ = true;
  SyncFolder(path_.parent_path());
}

void WriteSaveFile(const std::filesystem::path& path, std::string_view contents) {
  StagedFile staged(path, contents);
  staged.Commit();
}

}  // namespace rivoltra
