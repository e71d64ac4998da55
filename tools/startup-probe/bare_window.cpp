// rivoltra-bare-window: the least a program can do to show the game's window: SDL's video, the
// same 800 x 600 window made hidden, the same renderer and 5-6-5 streaming texture, shown, and
// one grey frame presented; then it waits for the window to be closed (or SIGTERM). The yardstick
// for the game's start-up time.
#include <SDL.h>

#include <cstdio>
#include <vector>

int main(int /*argc*/, char** /*argv*/) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "rivoltra-bare-window: %s\n", SDL_GetError());
    return 1;
  }
  constexpr int kWidth = 800, kHeight = 600;
  SDL_Window* window = SDL_CreateWindow("Rivoltra", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                        kWidth, kHeight, SDL_WINDOW_HIDDEN);
  SDL_Renderer* renderer =
      window != nullptr ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
  if (window != nullptr && renderer == nullptr)
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  SDL_Texture* texture = nullptr;
  if (renderer != nullptr) {
    SDL_RenderSetLogicalSize(renderer, kWidth, kHeight);
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                kWidth, kHeight);
  }
  if (texture == nullptr) {
    std::fprintf(stderr, "rivoltra-bare-window: %s\n", SDL_GetError());
    SDL_Quit();
    return 1;
  }
  SDL_ShowWindow(window);
  const std::vector<Uint16> grey(static_cast<std::size_t>(kWidth) * kHeight, 0x8410);
  SDL_UpdateTexture(texture, nullptr, grey.data(), kWidth * static_cast<int>(sizeof(Uint16)));
  SDL_RenderClear(renderer);
  SDL_RenderCopy(renderer, texture, nullptr, nullptr);
  SDL_RenderPresent(renderer);
  SDL_Event event;
  while (SDL_WaitEvent(&event) != 0 && event.type != SDL_QUIT) {
    // A window manager's expose needs the frame again, as the game would redraw it.
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED) {
      SDL_RenderCopy(renderer, texture, nullptr, nullptr);
      SDL_RenderPresent(renderer);
    }
  }
  SDL_DestroyTexture(texture);
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
