#include "platform/sdl/sdl_program_folder.h"

#include <SDL.h>

namespace rivoltra {

std::filesystem::path ProgramFolder() {
  char* base = SDL_GetBasePath();
  if (base == nullptr) return {};
  std::filesystem::path folder(base);
  SDL_free(base);
  return folder;
}

}  // namespace rivoltra
