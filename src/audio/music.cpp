#include "audio/music.h"

#include "engine/file_names.h"

namespace rivoltra {

namespace {

// The screen numbers of the race and of its loading step.
constexpr std::int32_t kRaceScreen = 1;
constexpr std::int32_t kRaceLoadingScreen = 10;

}  // namespace

std::string ScreenSongFile(std::int32_t ScreenState, const std::filesystem::path& dataFolder) {
  const bool race = ScreenState == kRaceScreen || ScreenState == kRaceLoadingScreen;
  return Utf8FromPath(dataFolder / (race ? kRaceSong : kMenuSong));
}

void StopMusic(ModulePlayer& player, MusicState& music) {
  if (music.SongHandle != nullptr) player.SongFree(music.SongHandle);
  music.SongHandle = nullptr;
}

void PlaySong(ModulePlayer& player, MusicState& music, std::uint8_t MusicEnabled,
              const std::string& FileName) {
  music.LastSongOrder = 0;
  if (MusicEnabled == 0) return;
  if (music.SongHandle != nullptr) player.SongFree(music.SongHandle);
  music.SongHandle = player.SongLoadFromFile(FileName.c_str());
  if (music.SongHandle != nullptr) player.SongPlay(music.SongHandle);
}

void PlayScreenMusic(ModulePlayer& player, MusicState& music, std::uint8_t MusicEnabled,
                     std::int32_t ScreenState, const std::filesystem::path& dataFolder) {
  PlaySong(player, music, MusicEnabled, ScreenSongFile(ScreenState, dataFolder));
}

void KeepMusicPlaying(ModulePlayer& player, MusicState& music, std::uint8_t MusicEnabled,
                      std::int32_t ScreenState, const std::filesystem::path& dataFolder) {
  if (music.SongHandle == nullptr) return;
  const std::int32_t order = player.SongGetOrder(music.SongHandle);
  if (order != 0 || music.LastSongOrder == 0) {
    music.LastSongOrder = order;
    return;
  }
  PlayScreenMusic(player, music, MusicEnabled, ScreenState, dataFolder);
}

}  // namespace rivoltra
