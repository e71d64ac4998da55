#include "persist/game_paths.h"

#include <system_error>

#include "system/file_names.h"

namespace rivoltra {

namespace fs = std::filesystem;

namespace {

constexpr char kBuildDataFolder[] = "Data";
constexpr char kSaveSubfolder[] = "Save";
// Created from the defaults; the online configuration is the player's own addition.
// A player whose folder predates the preferences gets the default ones at the next start.
constexpr const char* kDefaultSaveFiles[] = {kSettingsFileName, kHighScoreFileName,
                                             kPreferencesFileName};

bool IsBuildFolder(const fs::path& executableFolder) {
  std::error_code error;
  return fs::is_directory(executableFolder / kBuildDataFolder / "Res", error);
}

bool IsPortable(const fs::path& executableFolder) {
  std::error_code error;
  return fs::exists(executableFolder / kPortableMarkerName, error);
}

GamePaths ResolveWindowsPaths(const PathInputs& inputs) {
  GamePaths paths;
  paths.DataFolder = inputs.DataOverride.value_or(inputs.ExecutableFolder / kBuildDataFolder);
  if (inputs.SaveOverride) {
    paths.SaveFolder = *inputs.SaveOverride;
  } else if (!inputs.DataOverride && IsPortable(inputs.ExecutableFolder)) {
    paths.SaveFolder = paths.DataFolder / kSaveSubfolder;
  } else {
    paths.SaveFolder = *inputs.WindowsPlayerFolder;
  }
  return paths;
}

}  // namespace

fs::path GamePaths::DataFile(std::string_view name) const { return DataFolder / name; }

fs::path GamePaths::SaveFile(std::string_view name) const { return SaveFolder / name; }

fs::path GamePaths::DefaultSaveFile(std::string_view name) const {
  return DataFolder / kSaveSubfolder / name;
}

fs::path PlayerSaveFolder(std::string_view xdgDataHome, std::string_view home) {
  // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules ask.
  if (!xdgDataHome.empty() && fs::path(xdgDataHome).is_absolute()) {
    return fs::path(xdgDataHome) / "rivoltra";
  }
  return fs::path(home.empty() ? "/" : home) / ".local" / "share" / "rivoltra";
}

GamePaths ResolveGamePaths(const PathInputs& inputs) {
  if (inputs.WindowsPlayerFolder) return ResolveWindowsPaths(inputs);
  GamePaths paths;
  const bool buildFolder = !inputs.DataOverride && IsBuildFolder(inputs.ExecutableFolder);
  if (inputs.DataOverride) {
    paths.DataFolder = *inputs.DataOverride;
  } else if (buildFolder) {
    paths.DataFolder = inputs.ExecutableFolder / kBuildDataFolder;
  } else {
    paths.DataFolder = (inputs.ExecutableFolder / ".." / "share" / "rivoltra").lexically_normal();
  }
  if (inputs.SaveOverride) {
    paths.SaveFolder = *inputs.SaveOverride;
  } else if (buildFolder) {
    paths.SaveFolder = paths.DataFolder / kSaveSubfolder;
  } else {
    paths.SaveFolder = PlayerSaveFolder(inputs.XdgDataHome, inputs.Home);
  }
  return paths;
}

std::string PrepareSaveFolder(const GamePaths& paths) {
  std::error_code error;
  fs::create_directories(paths.SaveFolder, error);
  if (error) return "cannot create " + Utf8FromPath(paths.SaveFolder) + ": " + error.message();
  std::string problems;
  for (const char* name : kDefaultSaveFiles) {
    const fs::path target = paths.SaveFile(name);
    const fs::path source = paths.DefaultSaveFile(name);
    if (fs::exists(target, error) || !fs::exists(source, error)) continue;
    fs::copy_file(source, target, fs::copy_options::skip_existing, error);
    if (error) {
      // A copy cut short by a full disk would read as a damaged file at every start.
      std::error_code ignored;
      fs::remove(target, ignored);
      if (!problems.empty()) problems += "; ";
      problems += "cannot create " + Utf8FromPath(target) + ": " + error.message();
    }
  }
  return problems;
}

fs::path LoadableSaveFile(const GamePaths& paths, std::string_view name) {
  std::error_code error;
  const fs::path own = paths.SaveFile(name);
  if (fs::exists(own, error)) return own;
  const fs::path fallback = paths.DefaultSaveFile(name);
  return fs::exists(fallback, error) ? fallback : own;
}

}  // namespace rivoltra
