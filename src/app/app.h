#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "app/input_event.h"

namespace rivoltra {

class Platform;
struct Game;

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

  // The game's state, for the runner's state dump and for measuring tools and tests.
  Game& State() { return *game_; }

 private:
  std::unique_ptr<Game> game_;
};

}  // namespace rivoltra
