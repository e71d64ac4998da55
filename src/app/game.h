#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/display.h"
#include "engine/frame_timer.h"
#include "engine/random.h"
#include "persist/settings.h"
#include "platform/platform.h"

namespace rivoltra {

// The screens the frame tick dispatches on.
enum ScreenStates : std::int32_t {
  ssMainMenu = 0,
  ssRace = 1,
  ssOptions = 2,
  ssHighScores = 3,
  ssHelp = 4,
  ssSendResults = 7,
  ssCarChoice = 8,
  ssRaceLoading = 10,
  ssNameEntry = 71,
};

constexpr std::uint32_t kFrameInterval = 30;

// The whole program's state: the window's components and the plain records of the screens.
// One instance per run; tests build a fresh one. Nothing in here reads the wall clock: the
// game advances only by frame ticks, input and the one seeded random generator.
struct Game {
  explicit Game(Platform& platformLayer);
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  Platform& platform;
  TDisplay MDisplay;
  TFrameTimer MTimer;
  RandomGenerator Random;

  std::int32_t ScreenState = ssMainMenu;
  Settings settings;

  // The keyboard and mouse handlers' own state.
  bool FireKeyHeld = false;
  std::int32_t MouseX = 0;
  std::int32_t MouseY = 0;

  // Set when start-up has run to its end; no tick ever runs over screens that were not made.
  bool StartupComplete = false;
  // Set by SaveAndQuit (or the window's close): the message loop ends after this event.
  bool Terminated = false;
};

// Start-up, in its fixed order. Throws on a missing or corrupt data file; the caller shows the
// message and ends the program.
void FormCreate(Game& game);
// The frame tick: keeps the music going, updates the input states, runs the screen's tick.
void MTimerTimer(Game& game, std::int32_t lagCount);
// The two halves of every frame.
void DrawFrame(Game& game, std::int32_t lag, bool moveAll);
void FlipFrame(Game& game);

void ApplyDisplayMode(Game& game);
void SetWindowed(Game& game);
void SetFullScreen(Game& game);
void ShowMouseCursor(Game& game);
void HideMouseCursor(Game& game);

// Timer switches used by every screen's set-up and tear-down.
void EnableTimer(Game& game);
void DisableTimer(Game& game);

// Application activation reaches the frame timer (and, through IsApplicationActive, the input).
void ApplicationActivated(Game& game);
void ApplicationDeactivated(Game& game);

// Saves settings and high scores, then asks the message loop to end.
void SaveAndQuit(Game& game);
// After the message loop: opens "play.url" if present, then the form's destruction (saves).
void RunProgramEnd(Game& game);

}  // namespace rivoltra
