// The game in a real window.
#include "platform/sdl/sdl_main_loop.h"

int main() { return rivoltra::RunSdlProgram(); }
