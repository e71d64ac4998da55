#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "audio/audio_output.h"

namespace rivoltra {

// A loaded module; the game holds it only as a handle.
class Song;

// Plays one tracker module at a time into an output's music renderer. Songs are loaded and
// freed on the game thread; the audio side renders the playing one and publishes its order
// position in an atomic, so SongGetOrder never waits for the audio side.
class ModulePlayer final : public MusicRenderer {
 public:
  // Becomes the output's music renderer until destroyed; the output must outlive the player.
  explicit ModulePlayer(AudioOutput& output);
  ~ModulePlayer() override;
  ModulePlayer(const ModulePlayer&) = delete;
  ModulePlayer& operator=(const ModulePlayer&) = delete;

  // Loads the whole module (fileName is UTF-8); null when the file is missing, unreadable or is
  // no module the player knows.
  Song* SongLoadFromFile(const char* fileName);
  // Starts the song from its first order and keeps it going, looping at its end, until it is
  // freed or another song is played. A null handle does nothing.
  void SongPlay(Song* song);
  // Stops and releases the song; the handle is invalid afterwards. A null handle does nothing.
  void SongFree(Song* song);
  // The order position last rendered: 0 at the start and again after the song has wrapped.
  // 0 for a null handle.
  std::int32_t SongGetOrder(const Song* song) const;

  // The player's music volume, percent 0 to 100 of the module's own level; heard at once.
  void SetVolume(int percent);
  int Volume() const { return volume_.load(std::memory_order_relaxed); }

  // Audio side, with the output's lock held.
  void RenderMusic(std::span<std::int16_t> stereoFrames) override;

 private:
  AudioOutput& output_;
  std::vector<std::unique_ptr<Song>> songs_;
  // Read by RenderMusic; changed only with the output's lock held.
  Song* playing_ = nullptr;
  // Read by RenderMusic without the lock: a change may reach the next buffer late, never torn.
  std::atomic<int> volume_{100};
};

}  // namespace rivoltra
