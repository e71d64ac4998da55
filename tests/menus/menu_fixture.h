#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/screens.h"
#include "runner/script_runner.h"
#include "ui/caption_sprite.h"

namespace rivoltra {

// Each scenario runs in a folder of its own: the build's pictures, sounds and music linked in,
// its save files copied, so that no test sees another's saved scores or settings.
class MenuScenario : public testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    buildFolder_ = fs::current_path();
    folder_ =
        fs::temp_directory_path() / ("rivoltra-menus-" + std::to_string(::getpid()) + "-" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "Data");
    for (const char* shared : {"Res", "Music"}) {
      fs::create_directory_symlink(buildFolder_ / "Data" / shared, folder_ / "Data" / shared);
    }
    fs::copy(buildFolder_ / "Data" / "Save", folder_ / "Data" / "Save",
             fs::copy_options::recursive);
    fs::current_path(folder_);
  }

  void TearDown() override {
    runner_.reset();
    std::filesystem::current_path(buildFolder_);
    std::filesystem::remove_all(folder_);
  }

  // Starts the game as the program does; a test may change the save files before.
  void Start() {
    runner_ = std::make_unique<ScriptRunner>(out_);
    runner_->Start();
    // Nothing listens on port 1: the score server is never reached from a test.
    Game().Online.ServerBase = "http://127.0.0.1:1";
  }

  rivoltra::Game& Game() { return runner_->Game(); }
  MenuState& Menu() { return Game().Menu; }
  int Selected() { return Menu().Buttons.SelectedButton; }

  // Runs script lines, one per line of the text.
  void Run(const std::string& lines) {
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) runner_->Execute(line);
  }
  // A key pressed for one tick and released for one.
  void Press(const std::string& key) { Run("down " + key + "\ntick\nup " + key + "\ntick"); }
  void FinishSlideIn() {
    for (int tick = 0; tick < 400 && Menu().MenuPhase != MenuPhases::Ready; ++tick) Run("tick");
    ASSERT_EQ(Menu().MenuPhase, MenuPhases::Ready);
    Run("tick");
  }
  // Moves the mouse onto the middle of a button slot.
  void PointAt(int slot) {
    const MenuButton* button = Menu().Buttons.Slot(slot);
    ASSERT_NE(button, nullptr) << "slot " << slot;
    Run("mouse " + std::to_string(static_cast<int>(button->X) + button->Width / 2) + " " +
        std::to_string(static_cast<int>(button->Y) + button->Height / 2));
  }
  // The effects played since the last call.
  std::vector<std::string> Sounds() {
    std::vector<std::string> played;
    for (const auto& [started, name] : runner_->Context().SoundLog) {
      if (started) played.push_back(name);
    }
    runner_->Context().SoundLog.clear();
    return played;
  }
  bool Shows(const ImageSprite* sprite, const char* imageName) {
    return sprite != nullptr && sprite->Image == &Game().InterfaceImages.ItemByName(imageName);
  }

  static std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }
  static void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }

  std::unique_ptr<ScriptRunner> runner_;
  std::ostringstream out_;
  std::filesystem::path buildFolder_;
  std::filesystem::path folder_;
};

}  // namespace rivoltra
