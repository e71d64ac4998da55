#include "persist/game_paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace rivoltra {
namespace {

namespace fs = std::filesystem;

class GamePathsTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("rivoltra-paths-" +
             std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override {
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(root_);
  }
  static void Put(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string Contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }
  fs::path root_;
};

TEST_F(GamePathsTest, BuildFolderInstalledTreeAndOverrides) {
  const fs::path build = root_ / "build";
  fs::create_directories(build / "Data" / "Res");
  const fs::path bin = root_ / "usr" / "bin";
  fs::create_directories(bin);

  GamePaths paths = ResolveGamePaths({build, {}, {}, "/xdg", "/home/p"});
  EXPECT_EQ(paths.DataFolder, build / "Data");
  EXPECT_EQ(paths.SaveFolder, build / "Data" / "Save");

  paths = ResolveGamePaths({bin, {}, {}, "", "/home/p"});
  EXPECT_EQ(paths.DataFolder, root_ / "usr" / "share" / "rivoltra");
  EXPECT_EQ(paths.SaveFolder, fs::path("/home/p/.local/share/rivoltra"));

  // --data alone never sends the saves into the data folder, even beside a build's Data/.
  paths = ResolveGamePaths({build, fs::path("/opt/d"), {}, "/xdg", "/home/p"});
  EXPECT_EQ(paths.DataFolder, fs::path("/opt/d"));
  EXPECT_EQ(paths.SaveFolder, fs::path("/xdg/rivoltra"));

  paths = ResolveGamePaths({bin, {}, fs::path("/s"), "", "/home/p"});
  EXPECT_EQ(paths.SaveFolder, fs::path("/s"));

  // The defaults are what the scripted runner and the tests use from the build folder.
  EXPECT_EQ(GamePaths{}.DataFile("Res/Res1.gfx"), fs::path("Data/Res/Res1.gfx"));
  EXPECT_EQ(GamePaths{}.SaveFile("hs"), fs::path("Data/Save/hs"));
}

// Windows: the data always beside the program, the saves in the player's application data folder
// unless a "portable" file beside the program keeps them in Data\Save; the overrides win.
TEST_F(GamePathsTest, WindowsLayoutInstalledPortableAndOverrides) {
  const fs::path installed = root_ / "Program Files" / "Rivoltra";
  fs::create_directories(installed / "Data" / "Res");
  const fs::path portable = root_ / "zip" / "Rivoltra";
  fs::create_directories(portable / "Data" / "Res");
  Put(portable / "portable", "");
  const fs::path appData = root_ / "AppData" / "Roaming" / "Rivoltra";
  const auto windows = [&](const fs::path& folder, std::optional<fs::path> data,
                           std::optional<fs::path> save) {
    return ResolveGamePaths({folder, data, save, "/xdg", "/home/p", appData});
  };

  struct Case {
    const char* What;
    GamePaths Paths;
    fs::path Data;
    fs::path Save;
  };
  const Case cases[] = {
      {"installed", windows(installed, {}, {}), installed / "Data", appData},
      {"portable", windows(portable, {}, {}), portable / "Data", portable / "Data" / "Save"},
      {"--data keeps the saves in the player's folder", windows(portable, root_ / "d", {}),
       root_ / "d", appData},
      {"--save", windows(installed, {}, root_ / "s"), installed / "Data", root_ / "s"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.Paths.DataFolder, c.Data) << c.What;
    EXPECT_EQ(c.Paths.SaveFolder, c.Save) << c.What;
  }
}

TEST_F(GamePathsTest, PlayerSaveFolderFollowsXdgDataHomeOnlyWhenAbsolute) {
  EXPECT_EQ(PlayerSaveFolder("/data/me", "/home/p"), fs::path("/data/me/rivoltra"));
  EXPECT_EQ(PlayerSaveFolder("", "/home/p"), fs::path("/home/p/.local/share/rivoltra"));
  EXPECT_EQ(PlayerSaveFolder("relative/dir", "/home/p"), fs::path("/home/p/.local/share/rivoltra"));
}

TEST_F(GamePathsTest, FirstStartCopiesTheDefaultsAndNeverReplacesThePlayersFiles) {
  GamePaths paths{root_ / "share", root_ / "home" / "rivoltra"};
  Put(paths.DefaultSaveFile("options"), "default options");
  Put(paths.DefaultSaveFile("hs"), "default hs");
  EXPECT_EQ(LoadableSaveFile(paths, "hs"), paths.DefaultSaveFile("hs"));

  EXPECT_EQ(PrepareSaveFolder(paths), "");
  EXPECT_EQ(Contents(paths.SaveFile("options")), "default options");
  EXPECT_EQ(LoadableSaveFile(paths, "hs"), paths.SaveFile("hs"));

  Put(paths.SaveFile("hs"), "my scores");
  fs::remove(paths.SaveFile("options"));
  EXPECT_EQ(PrepareSaveFolder(paths), "");
  EXPECT_EQ(Contents(paths.SaveFile("hs")), "my scores");
  EXPECT_EQ(Contents(paths.SaveFile("options")), "default options");
}

TEST_F(GamePathsTest, AnUncreatableSaveFolderIsReportedAndTheDefaultsStillLoad) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  GamePaths paths{root_ / "share", root_ / "locked" / "rivoltra"};
  Put(paths.DefaultSaveFile("options"), "default options");
  fs::create_directories(root_ / "locked");
  fs::permissions(root_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  const std::string problem = PrepareSaveFolder(paths);
  EXPECT_NE(problem.find((root_ / "locked" / "rivoltra").string()), std::string::npos) << problem;
  EXPECT_EQ(LoadableSaveFile(paths, "options"), paths.DefaultSaveFile("options"));
}

TEST_F(GamePathsTest, ASaveFolderThatIsAFileIsReported) {
  GamePaths paths{root_ / "share", root_ / "taken"};
  Put(paths.DefaultSaveFile("options"), "default options");
  Put(root_ / "taken", "not a folder");
  EXPECT_NE(PrepareSaveFolder(paths), "");
  EXPECT_EQ(LoadableSaveFile(paths, "options"), paths.DefaultSaveFile("options"));
}

}  // namespace
}  // namespace rivoltra
