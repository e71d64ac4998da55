#include "persist/preferences.h"

#include <set>

#include "persist/save_numbers.h"
#include "persist/settings.h"
#include "system/save_file.h"

namespace rivoltra {

namespace {

constexpr char kKeysPrefix[] = "keys.";
constexpr char kPadPrefix[] = "pad.";
constexpr char kNone[] = "none";

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

std::string OnOff(bool value) { return value ? "on" : "off"; }

std::string ScaleText(int scale) {
  return scale == kWindowScaleFit ? "fit" : std::to_string(scale);
}

// Slot names joined by ", ", an empty slot as "none"; empty slots at the end are left out, so
// "UP" is one key in the first slot, "none, UP" one in the second.
template <typename Slot, typename Name>
std::string SlotList(const std::array<Slot, kBindingSlots>& slots, Slot empty, Name name) {
  std::size_t used = slots.size();
  while (used > 1 && slots[used - 1] == empty) --used;
  std::string text;
  for (std::size_t i = 0; i < used; ++i) {
    if (i > 0) text += ", ";
    text += slots[i] == empty ? std::string(kNone) : name(slots[i]);
  }
  return text;
}

std::vector<std::string_view> SplitList(std::string_view value) {
  std::vector<std::string_view> items;
  while (true) {
    const std::size_t comma = value.find(',');
    const std::string_view item = Trimmed(value.substr(0, comma));
    if (!item.empty()) items.push_back(item);
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  return items;
}

std::optional<bool> ParseOnOff(std::string_view value) {
  if (value == "on" || value == "1" || value == "yes") return true;
  if (value == "off" || value == "0" || value == "no") return false;
  return std::nullopt;
}

std::optional<int> ParseVolume(std::string_view value) {
  const std::optional<std::int32_t> number = ParseSaveNumber(value, true);
  if (!number || *number < 0 || *number > kFullVolume || *number % kVolumeStep != 0)
    return std::nullopt;
  return *number;
}

std::optional<int> ParseScale(std::string_view value) {
  if (value == "fit") return kWindowScaleFit;
  const std::optional<std::int32_t> number = ParseSaveNumber(value, true);
  if (!number || *number < 1 || *number > kMaxWindowScale) return std::nullopt;
  return *number;
}

std::optional<ControlAction> ActionByKey(std::string_view key) {
  for (const ControlAction action : kControlActions) {
    if (ControlActionKey(action) == key) return action;
  }
  return std::nullopt;
}

// A list of up to two inputs; an input already bound elsewhere keeps its earlier place.
template <typename Slot, typename ByName, typename Find>
std::optional<std::string> ParseSlots(std::string_view value, ByName byName, Find find,
                                      const ControlBindings& bindings, ControlAction action,
                                      std::array<Slot, kBindingSlots>& slots) {
  std::array<Slot, kBindingSlots> parsed{};
  const std::vector<std::string_view> items = SplitList(value);
  if (items.empty() || items.size() > static_cast<std::size_t>(kBindingSlots))
    return "wants one or two inputs, or none";
  std::size_t next = 0;
  for (const std::string_view item : items) {
    if (item == kNone) {
      ++next;
      continue;
    }
    const auto input = byName(item);
    if (!input) return "unknown input \"" + std::string(item) + "\"";
    const auto holder = find(bindings, *input);
    if (holder && holder->Action != action)
      return std::string("\"") + std::string(item) + "\" is bound to " +
             std::string(ControlActionKey(holder->Action)) + " already";
    parsed[next++] = *input;
  }
  if (parsed[0] == parsed[1]) parsed[1] = Slot{};
  slots = parsed;
  return std::nullopt;
}

// Applies one "key = value"; returns the problem, if any.
std::optional<std::string> ApplySetting(std::string_view key, std::string_view value,
                                        Preferences& preferences) {
  const auto applyInt = [&](int& field, std::optional<int> parsed) -> std::optional<std::string> {
    if (!parsed) return "bad value \"" + std::string(value) + "\"";
    field = *parsed;
    return std::nullopt;
  };
  const auto applyBool = [&](bool& field) -> std::optional<std::string> {
    const std::optional<bool> parsed = ParseOnOff(value);
    if (!parsed) return "wants on or off, not \"" + std::string(value) + "\"";
    field = *parsed;
    return std::nullopt;
  };
  if (key == "music-volume") return applyInt(preferences.MusicVolume, ParseVolume(value));
  if (key == "sound-volume") return applyInt(preferences.SoundVolume, ParseVolume(value));
  if (key == "window-scale") return applyInt(preferences.WindowScale, ParseScale(value));
  if (key == "scaling") {
    if (value != "sharp" && value != "smooth") return "wants sharp or smooth";
    preferences.SmoothScaling = value == "smooth";
    return std::nullopt;
  }
  if (key == "online-play") return applyBool(preferences.OnlinePlay);
  if (key == "ghost-cars") return applyBool(preferences.GhostCars);
  ControlBindings& controls = preferences.Controls;
  if (key.starts_with(kKeysPrefix)) {
    const auto action = ActionByKey(key.substr(sizeof kKeysPrefix - 1));
    if (!action) return "unknown action";
    return ParseSlots(value, KeyByName, FindKey, controls, *action, controls.Of(*action).Keys);
  }
  if (key.starts_with(kPadPrefix)) {
    const auto action = ActionByKey(key.substr(sizeof kPadPrefix - 1));
    if (!action) return "unknown action";
    return ParseSlots(value, PadControlByName, FindPad, controls, *action,
                      controls.Of(*action).Pad);
  }
  return "unknown key";
}

// A file's bindings start empty, so that a key moved to another action in the file is not
// still held by its factory place; actions the file leaves out keep the factory inputs that are
// still free.
void FillUnlistedActions(Preferences& preferences, const std::set<std::string>& listed) {
  const ControlBindings factory = DefaultControlBindings();
  ControlBindings& controls = preferences.Controls;
  for (const ControlAction action : kControlActions) {
    const std::string name(ControlActionKey(action));
    for (int slot = 0; slot < kBindingSlots; ++slot) {
      const auto index = static_cast<std::size_t>(slot);
      if (!listed.contains(kKeysPrefix + name)) {
        const std::uint8_t key = factory.Of(action).Keys[index];
        if (!FindKey(controls, key)) controls.Of(action).Keys[index] = key;
      }
      if (!listed.contains(kPadPrefix + name)) {
        const PadControl control = factory.Of(action).Pad[index];
        if (!FindPad(controls, control)) controls.Of(action).Pad[index] = control;
      }
    }
  }
}

}  // namespace

std::string PreferencesFileText(const Preferences& preferences) {
  std::string text =
      "# Rivoltra preferences, beside the options file. One \"key = value\" a line;\n"
      "# the options file keeps the display mode, the music and sound switches and the country.\n";
  const auto line = [&text](std::string_view key, const std::string& value) {
    text += key;
    text += " = ";
    text += value;
    text += '\n';
  };
  line("music-volume", std::to_string(preferences.MusicVolume));
  line("sound-volume", std::to_string(preferences.SoundVolume));
  line("window-scale", ScaleText(preferences.WindowScale));
  line("scaling", preferences.SmoothScaling ? "smooth" : "sharp");
  line("online-play", OnOff(preferences.OnlinePlay));
  line("ghost-cars", OnOff(preferences.GhostCars));
  for (const ControlAction action : kControlActions) {
    const ActionBinding& binding = preferences.Controls.Of(action);
    const std::string name(ControlActionKey(action));
    line(kKeysPrefix + name, SlotList(binding.Keys, std::uint8_t{0}, KeyName));
    line(kPadPrefix + name, SlotList(binding.Pad, PadControl::None, PadControlName));
  }
  return text;
}

std::vector<std::string> ParsePreferencesFile(std::string_view text, Preferences& preferences) {
  std::vector<std::string> problems;
  std::set<std::string> listed;
  // Bindings are read into an empty table first (see FillUnlistedActions).
  preferences.Controls = ControlBindings{};
  std::size_t number = 0;
  for (const std::string_view rawLine : SplitSaveLines(text)) {
    ++number;
    const std::string_view line = Trimmed(rawLine);
    if (line.empty() || line.front() == '#') continue;
    const std::string where = "line " + std::to_string(number) + ": ";
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      problems.push_back(where + "not \"key = value\"");
      continue;
    }
    const std::string key(Trimmed(line.substr(0, equals)));
    const std::string_view value = Trimmed(line.substr(equals + 1));
    if (const auto problem = ApplySetting(key, value, preferences)) {
      problems.push_back(where + key + ": " + *problem);
    } else {
      listed.insert(key);
    }
  }
  FillUnlistedActions(preferences, listed);
  return problems;
}

PreferencesLoad LoadPreferences(Preferences& preferences, const std::filesystem::path& path) {
  PreferencesLoad load;
  preferences = Preferences{};
  const std::optional<std::string> text = ReadSaveFile(path);
  if (!text) {
    load.Problems.push_back(path.string() + ": not found or unreadable, the defaults are used");
    return load;
  }
  load.Found = true;
  for (const std::string& problem : ParsePreferencesFile(*text, preferences)) {
    load.Problems.push_back(path.string() + ": " + problem);
  }
  return load;
}

void SavePreferences(const Preferences& preferences, const std::filesystem::path& path) {
  WriteSaveFile(path, PreferencesFileText(preferences));
}

void ReconcileVolumes(Preferences& preferences, const Settings& settings) {
  const auto reconcile = [](int& volume, std::uint8_t enabled) {
    if (enabled == 0) {
      volume = 0;
    } else if (volume == 0) {
      volume = kFullVolume;
    }
  };
  reconcile(preferences.MusicVolume, settings.MusicEnabled);
  reconcile(preferences.SoundVolume, settings.SoundEnabled);
}

void SwitchesFromVolumes(const Preferences& preferences, Settings& settings) {
  settings.MusicEnabled = preferences.MusicVolume > 0 ? 1 : 0;
  settings.SoundEnabled = preferences.SoundVolume > 0 ? 1 : 0;
}

int SteppedVolume(int volume, int direction) {
  const int stepped = volume + (direction > 0 ? kVolumeStep : -kVolumeStep);
  return stepped < 0 ? 0 : (stepped > kFullVolume ? kFullVolume : stepped);
}

}  // namespace rivoltra
