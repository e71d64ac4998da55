#pragma once

#include <cstdint>
#include <string>

#include "ui/menu_button.h"

namespace rivoltra {

class CaptionSprite;

// The main menu's button slots, top to bottom; the open sub-screen's buttons take the slots from
// kFirstScreenSlot on, and the main menu's stay standing beside them.
inline constexpr int kStartSlot = 1;
inline constexpr int kDailyRunSlot = 2;
inline constexpr int kOptionsSlot = 3;
inline constexpr int kHighScoresSlot = 4;
inline constexpr int kHelpSlot = 5;
inline constexpr int kWebSiteSlot = 6;
inline constexpr int kExitSlot = 7;
inline constexpr int kMainMenuSlots = kExitSlot;
inline constexpr int kFirstScreenSlot = kMainMenuSlots + 1;

// The main menu's slide-in: the panels move in, then the buttons; only a ready menu takes input.
// The numbers are the ones the runner's state dump and the golden traces show.
enum class MenuPhases : std::int32_t {
  Ready = 0,
  PanelsMoving = 1,
  ButtonsMoving = 3,
};

// How the main menu opens: with Start selected, or with High scores (after a game) or the daily
// run (after a daily run) selected and that screen opened once the slide-in has ended. The
// numbers are the state dump's.
enum class MenuEntryModes : std::int32_t {
  SelectStart = 0,
  ShowDailyRun = 2,
  ShowHighScores = 3,
};

// The menu globals shared by every screen: button slots and selection, the sprites each screen
// keeps, the slide-in phase, text entry and the navigation flags.
struct MenuState {
  // Slots 1 to kMainMenuSlots the main menu (on the send-results screen 1 and 2 its buttons),
  // from kFirstScreenSlot on the open sub-screen's.
  MenuButtonGroup Buttons;
  std::int32_t FirstSelectable = 1;
  std::int32_t LastSelectable = kMainMenuSlots;

  // The main menu's sprites live from its full creation to CloseMainMenu, across sub-screens;
  // on the name entry and send results MenuCaption is their title.
  CaptionSprite* MenuCaption = nullptr;
  CaptionSprite* UpPanelSprite = nullptr;
  CaptionSprite* DownPanelSprite = nullptr;
  // The open sub-screen's panel.
  CaptionSprite* ScreenBackdrop = nullptr;
  // The day's car on the daily screen.
  CaptionSprite* DailyCar = nullptr;
  CaptionSprite* TextCursor = nullptr;

  MenuPhases MenuPhase = MenuPhases::Ready;
  MenuEntryModes MenuEntryMode = MenuEntryModes::SelectStart;
  std::int32_t CursorBlinkMs = 0;
  bool EditingCountry = false;
  std::int32_t HelpPage = 1;
  std::string PlayerName;

  // A navigation step may be taken; cleared by every step, set again in a tick in which neither
  // direction of the pair is held, so holding a direction moves the selection once.
  bool NavigationArmed = false;
  // The last step without wrapping stayed put at the first or last button.
  bool EdgeReached = false;
  // Left/Right on the settings screens' lines change a value once per press, by their own
  // flag, so the vertical navigation's arming is left as it was.
  bool AdjustArmed = false;
  // The volumes an "off" of the options screen puts back when switched on again.
  int MusicVolumeBeforeOff = 100;
  int SoundVolumeBeforeOff = 100;
};

}  // namespace rivoltra
