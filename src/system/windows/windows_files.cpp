// The native file operations on Windows: wide-character names, binary mode (text mode would turn
// every LF of a save into CR LF), a flush to the disk, and one-step replacement.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <string>

#include "system/native_files.h"

namespace rivoltra {

namespace {

std::error_code LastErrno() { return {errno, std::generic_category()}; }

bool WriteAll(int descriptor, std::string_view contents) {
  while (!contents.empty()) {
    const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(contents.size(), INT_MAX));
    const int written = ::_write(descriptor, contents.data(), chunk);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    contents.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
  std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  if (wideMode.find(L'b') == std::wstring::npos) wideMode += L'b';
  return ::_wfopen(path.c_str(), wideMode.c_str());
}

std::error_code WriteFileToDisk(const std::filesystem::path& path, std::string_view contents) {
  const int descriptor =
      ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
               _S_IREAD | _S_IWRITE);
  if (descriptor < 0) return LastErrno();
  const bool written = WriteAll(descriptor, contents) && ::_commit(descriptor) == 0;
  const std::error_code writeError = LastErrno();
  const bool closed = ::_close(descriptor) == 0;
  if (written && closed) return {};
  const std::error_code error = written ? LastErrno() : writeError;
  ::_wunlink(path.c_str());
  return error;
}

std::error_code MoveFileIntoPlace(const std::filesystem::path& from,
                                  const std::filesystem::path& to) {
  // rename() refuses an existing target on Windows; MoveFileEx replaces it in one step and, with
  // write-through, returns only once the move has reached the disk.
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ==
      0) {
    return {static_cast<int>(::GetLastError()), std::system_category()};
  }
  return {};
}

void RemoveFileQuietly(const std::filesystem::path& path) noexcept { ::_wunlink(path.c_str()); }

unsigned long CurrentProcessId() { return ::GetCurrentProcessId(); }

}  // namespace rivoltra
