#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace rivoltra {

// Where the game reads its data and keeps its saves. The defaults are the build folder's layout
// relative to the current folder, which the scripted runner and the tests rely on.
struct GamePaths {
  std::filesystem::path DataFolder = "Data";
  std::filesystem::path SaveFolder = "Data/Save";

  // A file of the read-only data: "Res/Res1.gfx", "Music/Menu.xm".
  std::filesystem::path DataFile(std::string_view name) const;
  // A save file in the player's save folder: "options", "hs".
  std::filesystem::path SaveFile(std::string_view name) const;
  // The fresh installation's copy of a save file, in the data folder.
  std::filesystem::path DefaultSaveFile(std::string_view name) const;
};

// What decides the folders of a real run.
struct PathInputs {
  std::filesystem::path ExecutableFolder;             // the folder of the running program
  std::optional<std::filesystem::path> DataOverride;  // --data
  std::optional<std::filesystem::path> SaveOverride;  // --save
  std::string XdgDataHome;                            // $XDG_DATA_HOME, empty when unset
  std::string Home;                                   // $HOME, empty when unset
  // Windows only: the player's application data folder for the game (%APPDATA%\Rivoltra).
  std::optional<std::filesystem::path> WindowsPlayerFolder;
};

// A program beside a Data/ folder is a build-folder run: data and saves stay in that Data/, as
// they always have. Anywhere else the program is installed as PREFIX/bin/rivoltra: the data is
// PREFIX/share/rivoltra and the saves go to $XDG_DATA_HOME/rivoltra (~/.local/share/rivoltra
// when it is unset or not absolute), never into the install folder. --data and --save replace
// either; --data alone still keeps the saves in the player's folder.
//
// On Windows (WindowsPlayerFolder set) the data is always the Data\ folder beside the program and
// the saves go to the player's folder, unless a file named "portable" beside the program (the
// zip, the build folder) keeps them in Data\Save too.
GamePaths ResolveGamePaths(const PathInputs& inputs);

// The save folder of an installed game from the environment.
std::filesystem::path PlayerSaveFolder(std::string_view xdgDataHome, std::string_view home);

// Creates the save folder and copies in every default save file it lacks; files already there
// are never touched. Returns the problems met (empty when there were none): a folder that
// cannot be made or written only costs the player the saving, as a full disk does.
std::string PrepareSaveFolder(const GamePaths& paths);

// The file to load a save from: the player's own, or the default one while the player has none
// (a save folder that could not be prepared still starts the game with the fresh settings).
std::filesystem::path LoadableSaveFile(const GamePaths& paths, std::string_view name);

inline constexpr char kPortableMarkerName[] = "portable";
inline constexpr char kSettingsFileName[] = "options";
inline constexpr char kHighScoreFileName[] = "hs";
inline constexpr char kOnlineConfigFileName[] = "online.conf";
inline constexpr char kPreferencesFileName[] = "preferences";

}  // namespace rivoltra
