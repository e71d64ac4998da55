#pragma once
// The settings the options file has no room for, kept in a second file beside it ("preferences"
// in the save folder). The options file keeps its five lines and their meaning for other
// programs and old saves; whatever is new lives here.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/control_bindings.h"

namespace rivoltra {

struct Settings;

inline constexpr int kVolumeStep = 10;
inline constexpr int kFullVolume = 100;
// The window scale that picks the largest whole multiple of 800 x 600 the desktop holds.
inline constexpr int kWindowScaleFit = 0;
inline constexpr int kMaxWindowScale = 8;

struct Preferences {
  // Percent, 0 to 100 in steps of 10; 0 is the old "off".
  int MusicVolume = kFullVolume;
  int SoundVolume = kFullVolume;
  // kWindowScaleFit or a whole multiple from 1 to kMaxWindowScale.
  int WindowScale = kWindowScaleFit;
  // Linear filtering when the picture is scaled up; off keeps the pixels sharp.
  bool SmoothScaling = false;
  // Scores and replays go to the score server (where one is configured).
  bool OnlinePlay = true;
  // Recorded cars of earlier races drive along.
  bool GhostCars = true;
  ControlBindings Controls = DefaultControlBindings();

  bool operator==(const Preferences&) const = default;
};

// The file's text: "key = value" lines, see docs/preferences.md.
std::string PreferencesFileText(const Preferences& preferences);
// Applies every line it understands; a line that is not "key = value", an unknown key or a bad
// value is skipped and reported (one problem per line, naming it). A key bound twice keeps its
// first place. Returns the problems.
std::vector<std::string> ParsePreferencesFile(std::string_view text, Preferences& preferences);

// What reading the file gave: whether it was there and readable, and the problems met.
struct PreferencesLoad {
  bool Found = false;
  std::vector<std::string> Problems;
};
// Starts from the defaults; a missing or unreadable file leaves them, and says so.
PreferencesLoad LoadPreferences(Preferences& preferences, const std::filesystem::path& path);
// Throws SaveFileError; the previous file stays whole when writing fails.
void SavePreferences(const Preferences& preferences, const std::filesystem::path& path);

// The options file's music and sound switches decide whether each plays at all: a switch that is
// off gives 0 %, a switch that is on with no volume kept (an old save, or a volume of 0 that
// another program has switched on again) gives 100 %.
void ReconcileVolumes(Preferences& preferences, const Settings& settings);
// The switches the options file keeps for the volumes: on above 0 %.
void SwitchesFromVolumes(const Preferences& preferences, Settings& settings);

// One step of 10 up or down, within 0 to 100.
int SteppedVolume(int volume, int direction);

}  // namespace rivoltra
