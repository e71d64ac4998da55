#include "persist/settings.h"

#include <vector>

#include "persist/save_numbers.h"
#include "system/save_file.h"

namespace rivoltra {

namespace {
constexpr std::size_t kSettingsLines = 5;

// The country travels in the score message, whose fields are framed by "|" and "=", so only
// what the options screen could have typed is kept: letters, upper-cased, and spaces.
std::string TypableCountry(std::string_view line) {
  std::string country;
  for (char c : line) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if ((c >= 'A' && c <= 'Z') || c == ' ') country += c;
  }
  return country;
}
}  // namespace

std::string SettingsFileText(const Settings& settings, std::string_view checkString) {
  std::string text;
  for (const std::uint8_t flag :
       {settings.FullScreen, settings.MusicEnabled, settings.SoundEnabled}) {
    text += flag != 0 ? "1\r\n" : "0\r\n";
  }
  text += settings.Country;
  text += "\r\n";
  text += checkString;
  text += "\r\n";
  return text;
}

bool ParseSettingsFile(std::string_view text, Settings& settings, std::string& storedCheckString) {
  const std::vector<std::string_view> lines = SplitSaveLines(text);
  if (lines.size() < kSettingsLines) return false;
  std::uint8_t flags[3] = {};
  for (std::size_t i = 0; i < 3; ++i) {
    // Only the number at the start of the line counts; the rest of it is skipped.
    const auto value = ParseSaveNumber(lines[i], false);
    if (!value) return false;
    flags[i] = *value != 0 ? 1 : 0;
  }
  settings.FullScreen = flags[0];
  settings.MusicEnabled = flags[1];
  settings.SoundEnabled = flags[2];
  settings.Country = TypableCountry(lines[3]);
  storedCheckString = std::string(lines[4]);
  return true;
}

bool LoadSettings(Settings& settings, std::string& storedCheckString,
                  const std::filesystem::path& path) {
  const std::optional<std::string> text = ReadSaveFile(path);
  if (text && ParseSettingsFile(*text, settings, storedCheckString)) return true;
  settings = kFallbackSettings;
  storedCheckString.clear();
  return false;
}

void SaveSettings(const Settings& settings, std::string_view checkString,
                  const std::filesystem::path& path) {
  WriteSaveFile(path, SettingsFileText(settings, checkString));
}

}  // namespace rivoltra
