#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace rivoltra {

inline constexpr char kSettingsFile[] = "Data/Save/options";

// The player's options, kept in the settings file between runs. The initial values are those
// of a fresh installation.
struct Settings {
  std::uint8_t FullScreen = 0;
  std::uint8_t MusicEnabled = 1;
  std::uint8_t SoundEnabled = 1;
  std::string Country;

  bool operator==(const Settings&) const = default;
};

// What an unreadable settings file leaves: every switch off, no country. Its empty check string
// then fails the high-score check, so the table starts from its defaults too.
inline const Settings kFallbackSettings{0, 0, 0, {}};

// The five lines of the file, CR LF ended: the three switches as 1 or 0, the country, the
// check string of the high-score table.
std::string SettingsFileText(const Settings& settings, std::string_view checkString);
// The settings and the stored check string from the file's text, or false (both untouched)
// when the text has fewer than five lines or a switch line does not start with a number. Of
// the country only letters (upper-cased) and spaces are kept, all that the options screen
// lets a player type.
bool ParseSettingsFile(std::string_view text, Settings& settings, std::string& storedCheckString);

// Reads the file; a missing, short or malformed file gives kFallbackSettings and an empty check
// string. Returns whether the file was used.
bool LoadSettings(Settings& settings, std::string& storedCheckString,
                  const std::filesystem::path& path = kSettingsFile);
// Throws SaveFileError; the previous file stays whole when writing fails.
void SaveSettings(const Settings& settings, std::string_view checkString,
                  const std::filesystem::path& path = kSettingsFile);

}  // namespace rivoltra
