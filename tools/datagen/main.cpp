// rivoltra-datagen DATA_FOLDER [GENERATOR...]
// Writes the game's pictures, sounds, music and default save files into DATA_FOLDER.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>

#include "generator_registry.h"

namespace rivoltra::datagen {
std::vector<Generator>& Generators() {
  static std::vector<Generator> generators;
  return generators;
}
}  // namespace rivoltra::datagen

int main(int argc, char** argv) {
  using rivoltra::datagen::Generators;
  if (argc < 2) {
    std::fprintf(stderr, "usage: rivoltra-datagen DATA_FOLDER [GENERATOR...]\ngenerators:");
    for (const auto& g : Generators()) std::fprintf(stderr, " %s", g.Name.c_str());
    std::fprintf(stderr, "\n");
    return 2;
  }
  auto& generators = Generators();
  std::sort(generators.begin(), generators.end(),
            [](const auto& a, const auto& b) { return a.Name < b.Name; });
  const std::filesystem::path dataFolder = argv[1];
  try {
    for (const auto& generator : generators) {
      bool wanted = argc == 2;
      for (int i = 2; i < argc; ++i) wanted = wanted || generator.Name == argv[i];
      if (!wanted) continue;
      std::printf("rivoltra-datagen: %s\n", generator.Name.c_str());
      generator.Run(dataFolder);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "rivoltra-datagen: %s\n", e.what());
    return 1;
  }
  return 0;
}
