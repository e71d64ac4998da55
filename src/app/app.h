#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/game_archives.h"
#include "app/input_event.h"
#include "persist/game_paths.h"
#include "persist/online.h"

namespace rivoltra {

class Platform;
struct Game;
struct Replay;

// What a frontend settles before the start-up: the data and save folders, the online addresses
// and a display mode for this run only (the settings file keeps its own).
struct StartOptions {
  GamePaths Paths;
  OnlineConfig Online;
  std::optional<std::uint8_t> FullScreen;
  // The window scale for this run only (--scale); the preferences keep the player's own.
  std::optional<int> WindowScale;
  // The archives, when the frontend started reading them before the window existed; empty to
  // read them during the start-up.
  std::function<GameArchives()> Archives;
};

// What "run the ticks that are due" did, and when to come back.
struct DueTicks {
  bool ticked = false;
  // Milliseconds from the time passed in until the next tick is due; empty while no tick is
  // scheduled (no focus, or between screens), when only an input event can change anything.
  std::optional<std::uint32_t> untilNext;
};

// The game as its frontends see it: start-up, one neutral input event at a time, the ticks that
// are due at a given time, a repaint, and the end. Nothing in here blocks or sleeps, so a frontend
// that is called back by its machine (a browser's animation frame) drives it as well as a loop
// that sleeps until the next deadline.
class App {
 public:
  explicit App(Platform& platform);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Before Start.
  void Configure(const StartOptions& options);
  // Loads the data files and opens the main menu; throws on a missing or corrupt data file (the
  // frontend shows the message and ends).
  void Start();
  void HandleEvent(const InputEvent& event);
  DueTicks RunDueTicks(std::uint32_t nowMilliseconds);
  // Shows the last picture again.
  void Present();
  // The player quit (or the window was closed): the frontend stops calling and shuts down.
  bool Finished() const;
  // Opens the link file if there is one and saves settings and high scores.
  void Shutdown();
  // After Start: plays the replay from the main menu (Escape returns there). Returns why it
  // refuses a replay of another game version or other data, empty when it plays.
  std::string WatchReplay(const Replay& replay);

  // The game's state, for the runner's state dump and for measuring tools and tests.
  Game& State() { return *game_; }

 private:
  std::unique_ptr<Game> game_;
};

}  // namespace rivoltra
