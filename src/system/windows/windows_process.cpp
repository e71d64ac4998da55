// Start-up on Windows: UTF-8 arguments from the wide command line, the parent's console for a
// windowed program, the program's folder from its module name.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>

#include "system/program_process.h"

namespace rivoltra {

namespace {

std::string Utf8FromWide(const wchar_t* text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string result(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
  result.pop_back();  // the terminating zero
  return result;
}

// A stream with no handle of its own (not redirected to a file or a pipe by whoever started the
// program) is pointed at the console.
void ReopenOnConsole(DWORD handleName, std::FILE* stream, const char* mode) {
  const HANDLE handle = ::GetStdHandle(handleName);
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE &&
      ::GetFileType(handle) != FILE_TYPE_UNKNOWN) {
    return;
  }
  if (std::freopen("CONOUT$", mode, stream) != nullptr) std::setvbuf(stream, nullptr, _IONBF, 0);
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv + (argc > 0), argv + argc);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

void UseParentConsole() {
  if (::GetConsoleWindow() != nullptr) return;  // a console program, or already attached
  if (::AttachConsole(ATTACH_PARENT_PROCESS) == 0) return;  // started from the desktop
  ::SetConsoleOutputCP(CP_UTF8);
  ReopenOnConsole(STD_OUTPUT_HANDLE, stdout, "w");
  ReopenOnConsole(STD_ERROR_HANDLE, stderr, "w");
}

std::filesystem::path ExecutableFolder() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      return std::filesystem::path(name).parent_path();
    }
    name.resize(name.size() * 2);  // cut short: a long path
  }
}

}  // namespace rivoltra
