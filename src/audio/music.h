#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "audio/module_player.h"

namespace rivoltra {

// The songs inside the data folder, and where they are in the build folder's Data/.
inline constexpr char kMenuSong[] = "Music/Menu.xm";
inline constexpr char kRaceSong[] = "Music/Race.xm";
inline constexpr char kDefaultDataFolder[] = "Data";
inline constexpr char kMenuSongFile[] = "Data/Music/Menu.xm";
inline constexpr char kRaceSongFile[] = "Data/Music/Race.xm";

// The game's side of the music: the one song handle and the order position last seen.
struct MusicState {
  Song* SongHandle = nullptr;
  std::int32_t LastSongOrder = 0;
};

// The song a screen plays.
enum class ScreenMusic : std::uint8_t { Menu, Race };

// The file of the screen's song in the data folder.
std::string ScreenSongFile(ScreenMusic song,
                           const std::filesystem::path& dataFolder = kDefaultDataFolder);

// Frees the song, if any.
void StopMusic(ModulePlayer& player, MusicState& music);
// Resets LastSongOrder; with musicEnabled 1 replaces the song by the file's and starts it. A file
// that does not load leaves no song, without a message.
void PlaySong(ModulePlayer& player, MusicState& music, std::uint8_t musicEnabled,
              const std::string& songFile);
// PlaySong with the song that belongs to the screen.
void PlayScreenMusic(ModulePlayer& player, MusicState& music, std::uint8_t musicEnabled,
                     ScreenMusic song,
                     const std::filesystem::path& dataFolder = kDefaultDataFolder);
// First step of every frame tick: notes the order position, and restarts the screen's song
// from its file once the position has come back to 0 after having left it.
void KeepMusicPlaying(ModulePlayer& player, MusicState& music, std::uint8_t musicEnabled,
                      ScreenMusic song,
                      const std::filesystem::path& dataFolder = kDefaultDataFolder);

}  // namespace rivoltra
