#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/game_archives.h"
#include "engine/input_event.h"
#include "persist/game_paths.h"
#include "persist/online.h"
#include "race/core/action_states.h"

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
  // A result the score server could not be reached for is kept in the save folder and sent
  // later by SendUnsentResults, instead of only being reported as not sent (the browser page,
  // which is often offline on a phone).
  bool KeepUnsentResults = false;
  // The start-up shows the main menu's first picture as soon as it is drawn, before the sounds
  // and the race pictures are prepared and before the first tick (which waits for the window to
  // have the focus): a window has a picture at once instead of staying black until then.
  bool ShowFirstPictureEarly = false;
};

// What "run the ticks that are due" did, and when to come back.
struct DueTicks {
  bool Ticked = false;
  // Milliseconds from the time passed in until the next tick is due; empty while no tick is
  // scheduled (no focus, or between screens), when only an input event can change anything.
  std::optional<std::uint32_t> UntilNext;
};

// The screens a frontend tells apart, by the numbers the game's state uses.
enum class AppScreen : std::int32_t {
  MainMenu = 0,
  Race = 1,
  Options = 2,
  HighScores = 3,
  Help = 4,
  SendResults = 7,
  CarChoice = 8,
  DailyRun = 9,
  RaceLoading = 10,
  NameEntry = 71,
};

// What the frontend shows around the game follows this: the page's touch controls, the name
// field, the full-screen state.
struct AppView {
  AppScreen Screen = AppScreen::MainMenu;
  // The race asks whether to finish (Y/N).
  bool FinishPrompt = false;
  bool Paused = false;
  // The game's display option is full screen.
  bool FullScreen = false;
  // A recorded game plays; the player's race controls do nothing.
  bool WatchingReplay = false;
};

// What SendUnsentResults did.
struct UnsentSending {
  int Sent = 0;  // reports sent (each with its replay)
  int Left = 0;  // results still kept, the server being out of reach
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
  // Plays a recorded game file (.rvr) from the main menu and returns to it at its end. Returns
  // why it cannot (an unreadable file, another version's replay), empty when it plays.
  std::string WatchReplayFile(const std::string& file, bool quitAtEnd = false);
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

  AppView View() const;
  // Race actions held by a frontend's own controls (the page's touch buttons), added to the
  // devices' on every race tick until changed.
  void SetHeldActions(ActionStates actions);
  // Writes settings and high scores when they differ from the last save; true when it wrote.
  bool SaveIfChanged();
  // Sends the results kept while the score server was out of reach, each with its replay, oldest
  // first; stops at the first that cannot be sent.
  UnsentSending SendUnsentResults();
  // Sets the running race's score: the browser test's way to a score worth a table entry.
  void SetRaceScore(std::int32_t score);
  // The recorded ticks the race's ghost car has driven; -1 without a ghost. For the browser
  // test, which sees the page's canvas only.
  std::int64_t GhostTicks() const;

  // The game's state, for the runner's state dump and for measuring tools and tests.
  Game& State() { return *game_; }

 private:
  std::unique_ptr<Game> game_;
  // What the save files held at the last save (SaveIfChanged).
  std::string savedFingerprint_;
};

}  // namespace rivoltra
