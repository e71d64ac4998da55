#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace rivoltra::datagen {

// Each part of the data generator (pictures, sounds, music, default save files) registers
// itself here; main runs them all in registration-name order, each into the data folder.
struct Generator {
  std::string Name;
  std::function<void(const std::filesystem::path& dataFolder)> Run;
};

std::vector<Generator>& Generators();

struct RegisterGenerator {
  RegisterGenerator(std::string name, std::function<void(const std::filesystem::path&)> run) {
    Generators().push_back(Generator{std::move(name), std::move(run)});
  }
};

}  // namespace rivoltra::datagen
