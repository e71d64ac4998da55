// The "music" generator: composes both songs and writes Data/Music/Menu.xm and Race.xm.
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "generator_registry.h"
#include "music/songs.h"
#include "music/xm_writer.h"

namespace rivoltra::datagen {

namespace {

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

void WriteMusic(const std::filesystem::path& dataFolder) {
  const std::filesystem::path folder = dataFolder / "Music";
  std::filesystem::create_directories(folder);
  WriteFile(folder / "Menu.xm", WriteXm(MenuSong()));
  WriteFile(folder / "Race.xm", WriteXm(RaceSong()));
}

const RegisterGenerator kMusic("music", WriteMusic);

}  // namespace

}  // namespace rivoltra::datagen
