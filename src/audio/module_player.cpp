#include "audio/module_player.h"

#ifdef __EMSCRIPTEN__
// libxmp's header includes this one inside its extern "C" block, where its C++ templates
// cannot be declared; included first, the second include is empty.
#include <emscripten.h>
#endif
#include <xmp.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <vector>

#include "engine/component_stream.h"

namespace rivoltra {

namespace {

// The game's songs are a few hundred kilobytes; a file far larger is not one of them.
constexpr std::size_t kMaxSongBytes = 64u << 20;

}  // namespace

class Song {
 public:
  Song() : Context(xmp_create_context()) {}
  ~Song() {
    if (Started) xmp_end_player(Context);
    if (Loaded) xmp_release_module(Context);
    xmp_free_context(Context);
  }
  Song(const Song&) = delete;
  Song& operator=(const Song&) = delete;

  xmp_context Context;
  bool Loaded = false;
  bool Started = false;
  std::atomic<std::int32_t> Order{0};
};

ModulePlayer::ModulePlayer(AudioOutput& output) : output_(output) {
  output_.SetMusicRenderer(this);
}

ModulePlayer::~ModulePlayer() {
  output_.SetMusicRenderer(nullptr);
  playing_ = nullptr;
}

Song* ModulePlayer::SongLoadFromFile(const char* fileName) {
  if (fileName == nullptr) return nullptr;
  auto song = std::make_unique<Song>();
  if (song->Context == nullptr) return nullptr;
  // Loaded from memory: libxmp opens a named file with the narrow fopen, which cannot reach
  // every name on Windows.
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadArchiveFile(fileName);
  } catch (const std::exception&) {
    return nullptr;
  }
  if (bytes.empty() || bytes.size() > kMaxSongBytes) return nullptr;
  if (xmp_load_module_from_memory(song->Context, bytes.data(), static_cast<long>(bytes.size())) !=
      0) {
    return nullptr;
  }
  song->Loaded = true;
  songs_.push_back(std::move(song));
  return songs_.back().get();
}

void ModulePlayer::SongPlay(Song* song) {
  if (song == nullptr) return;
  AudioLock lock(output_);
  // The audio side may be rendering this very song, so restarting it needs the lock too.
  if (song->Started) xmp_end_player(song->Context);
  song->Started = xmp_start_player(song->Context, kMixRate, 0) == 0;
  song->Order.store(0, std::memory_order_relaxed);
  if (playing_ != nullptr && playing_ != song && playing_->Started) {
    xmp_end_player(playing_->Context);
    playing_->Started = false;
  }
  playing_ = song->Started ? song : nullptr;
}

void ModulePlayer::SongFree(Song* song) {
  if (song == nullptr) return;
  {
    AudioLock lock(output_);
    if (playing_ == song) playing_ = nullptr;
  }
  // Once the audio side cannot see the song, releasing it needs no lock.
  auto owned = std::find_if(songs_.begin(), songs_.end(),
                            [song](const auto& candidate) { return candidate.get() == song; });
  if (owned != songs_.end()) songs_.erase(owned);
}

std::int32_t ModulePlayer::SongGetOrder(const Song* song) const {
  if (song == nullptr) return 0;
  return song->Order.load(std::memory_order_relaxed);
}

void ModulePlayer::RenderMusic(std::span<std::int16_t> stereoFrames) {
  const auto bytes = static_cast<int>(stereoFrames.size_bytes());
  if (playing_ == nullptr ||
      xmp_play_buffer(playing_->Context, stereoFrames.data(), bytes, 0) != 0) {
    std::memset(stereoFrames.data(), 0, stereoFrames.size_bytes());
    return;
  }
  xmp_frame_info info;
  xmp_get_frame_info(playing_->Context, &info);
  playing_->Order.store(info.pos, std::memory_order_relaxed);
  const int volume = volume_.load(std::memory_order_relaxed);
  if (volume < 100) {
    for (std::int16_t& sample : stereoFrames)
      sample = static_cast<std::int16_t>(sample * volume / 100);
  }
}

void ModulePlayer::SetVolume(int percent) {
  volume_.store(std::clamp(percent, 0, 100), std::memory_order_relaxed);
}

}  // namespace rivoltra
