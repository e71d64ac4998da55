#pragma once
// The game's folder for one run of the real program: the build's pictures, sounds and music
// linked in, and save files of its own (the given settings, the default table), so the run starts
// the same whatever earlier runs saved, and its own saving at the end touches nothing else. The
// current folder is the scratch folder while the object lives.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "persist/high_scores.h"
#include "persist/settings.h"

namespace rivoltra::testsupport {

class ScratchGameFolder {
 public:
  ScratchGameFolder(const std::string& name, const Settings& settings)
      : build_(std::filesystem::current_path()) {
    namespace fs = std::filesystem;
    path_ = fs::temp_directory_path() / ("rivoltra-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(path_);
    fs::create_directories(path_ / "Data" / "Save");
    for (const char* shared : {"Res", "Music"})
      fs::create_directory_symlink(build_ / "Data" / shared, path_ / "Data" / shared);
    std::ofstream(path_ / "Data" / "Save" / "options", std::ios::binary)
        << SettingsFileText(settings, ComputeCheckString(DefaultHighScoreTable()));
    std::ofstream(path_ / "Data" / "Save" / "hs", std::ios::binary)
        << HighScoreFileText(DefaultHighScoreTable());
    fs::current_path(path_);
  }
  ~ScratchGameFolder() {
    std::filesystem::current_path(build_);
    std::filesystem::remove_all(path_);
  }
  ScratchGameFolder(const ScratchGameFolder&) = delete;
  ScratchGameFolder& operator=(const ScratchGameFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  const std::filesystem::path& BuildFolder() const { return build_; }

 private:
  std::filesystem::path build_;
  std::filesystem::path path_;
};

}  // namespace rivoltra::testsupport
