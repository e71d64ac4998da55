#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace rivoltra {

// The file operations whose form differs between operating systems; each system's build links
// its own implementation (system/posix, system/windows). Paths are whole Unicode names.

// std::fopen through the path itself, so any name opens. Files are always opened in binary mode.
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

// Creates or truncates the file, writes all of contents and flushes it to the disk before
// closing; on failure the file is removed and the reason returned.
std::error_code WriteFileToDisk(const std::filesystem::path& path, std::string_view contents);

// Puts `from` in the place of `to` in one step (the old `to` stays whole until then), and makes
// the change itself durable.
std::error_code MoveFileIntoPlace(const std::filesystem::path& from,
                                  const std::filesystem::path& to);

// Removes a file if it is there; a failure is ignored (for cleaning up temporary files).
void RemoveFileQuietly(const std::filesystem::path& path) noexcept;

// This process's number, for names no other running copy of the game uses.
unsigned long CurrentProcessId();

}  // namespace rivoltra
