// The native file operations on Linux and in the browser (POSIX).
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "system/native_files.h"

namespace rivoltra {

namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

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

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

std::error_code WriteFileToDisk(const std::filesystem::path& path, std::string_view contents) {
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (descriptor < 0) return LastError();
  const bool written = WriteAll(descriptor, contents) && ::fsync(descriptor) == 0;
  const std::error_code writeError = LastError();
  const bool closed = ::close(descriptor) == 0;
  if (written && closed) return {};
  const std::error_code error = written ? LastError() : writeError;
  ::unlink(path.c_str());
  return error;
}

std::error_code MoveFileIntoPlace(const std::filesystem::path& from,
                                  const std::filesystem::path& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return LastError();
  SyncFolder(to.parent_path());
  return {};
}

void RemoveFileQuietly(const std::filesystem::path& path) noexcept { ::unlink(path.c_str()); }

unsigned long CurrentProcessId() { return static_cast<unsigned long>(::getpid()); }

}  // namespace rivoltra
