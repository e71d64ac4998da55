#include "platform/sdl/sdl_renderer_check.h"

#include <SDL_opengl.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

namespace rivoltra {

namespace {

// The OpenGL drivers that rasterise on the processor, by their GL_RENDERER names: Mesa's
// llvmpipe, softpipe and classic swrast ("Software Rasterizer"), Windows' own "GDI Generic".
bool IsSoftwareRasteriser(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const std::string_view known :
       {"llvmpipe", "softpipe", "software", "swrast", "gdi generic"}) {
    if (name.find(known) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

bool RendersOnProcessor(SDL_Renderer* renderer) {
  SDL_RendererInfo info{};
  if (SDL_GetRendererInfo(renderer, &info) != 0) return false;
  if ((info.flags & SDL_RENDERER_SOFTWARE) != 0) return true;
  // The OpenGL renderers ("opengl", "opengles2") leave their context current on this thread.
  if (std::string_view(info.name).rfind("opengl", 0) != 0) return false;
  using GetString = const GLubyte*(APIENTRY*)(GLenum);
  const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  if (getString == nullptr) return false;
  const GLubyte* name = getString(GL_RENDERER);
  return name != nullptr && IsSoftwareRasteriser(reinterpret_cast<const char*>(name));
}

}  // namespace rivoltra
