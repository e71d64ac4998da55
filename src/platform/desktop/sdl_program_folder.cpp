#include "platform/desktop/sdl_program_folder.h"

#include <SDL.h>

#include "system/file_names.h"

namespace rivoltra {

namespace {

// SDL's folders come as UTF-8 and end with the separator.
std::filesystem::path TakeSdlFolder(char* folder) {
  if (folder == nullptr) return {};
  std::filesystem::path path = PathFromUtf8(folder);
  SDL_free(folder);
  return path;
}

}  // namespace

std::filesystem::path ProgramFolder() { return TakeSdlFolder(SDL_GetBasePath()); }

std::optional<std::filesystem::path> WindowsPlayerFolder() {
#ifdef _WIN32
  // No organisation folder: %APPDATA%\Rivoltra. Without one (a profile SDL cannot reach), the
  // saves stay beside the program as in the portable layout rather than nowhere.
  const std::filesystem::path folder = TakeSdlFolder(SDL_GetPrefPath("", "Rivoltra"));
  return folder.empty() ? ProgramFolder() / "Data" / "Save" : folder;
#else
  return std::nullopt;
#endif
}

}  // namespace rivoltra
