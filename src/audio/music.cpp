#include "audio/music.h"

#include "system/file_names.h"

namespace rivoltra {

std::string ScreenSongFile(ScreenMusic song, const std::filesystem::path& dataFolder) {
  return Utf8FromPath(dataFolder / (song == ScreenMusic::Race ? kRaceSong : kMenuSong));
}

void StopMusic(ModulePlayer& player, MusicState& music) {
  if (music.SongHandle != nullptr) player.SongFree(music.SongHandle);
  music.SongHandle = nullptr;
}

void PlaySong(ModulePlayer& player, MusicState& music, std::uint8_t musicEnabled,
              const std::string& songFile) {
  music.LastSongOrder = 0;
  if (musicEnabled == 0) return;
  if (music.SongHandle != nullptr) player.SongFree(music.SongHandle);
  music.SongHandle = player.SongLoadFromFile(songFile.c_str());
  if (music.SongHandle != nullptr) player.SongPlay(music.SongHandle);
}

void PlayScreenMusic(ModulePlayer& player, MusicState& music, std::uint8_t musicEnabled,
                     ScreenMusic song, const std::filesystem::path& dataFolder) {
  PlaySong(player, music, musicEnabled, ScreenSongFile(song, dataFolder));
}

void KeepMusicPlaying(ModulePlayer& player, MusicState& music, std::uint8_t musicEnabled,
                      ScreenMusic song, const std::filesystem::path& dataFolder) {
  if (music.SongHandle == nullptr) return;
  const std::int32_t order = player.SongGetOrder(music.SongHandle);
  if (order != 0 || music.LastSongOrder == 0) {
    music.LastSongOrder = order;
    return;
  }
  PlayScreenMusic(player, music, musicEnabled, song, dataFolder);
}

}  // namespace rivoltra
