#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace rivoltra {

// File names are UTF-8 text inside the program. A path made from a plain std::string would be
// read in Windows' ANSI code page, and path::string() would turn a name the code page lacks into
// question marks: these convert through UTF-8 on every system (on Linux they copy the bytes).
std::filesystem::path PathFromUtf8(std::string_view text);
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace rivoltra
