#pragma once

#include <cstdint>
#include <string>

#include "ui/menu_button.h"

namespace rivoltra {

class TCaptionSprite;

// The menu globals shared by every screen: button slots and selection, the sprites each screen
// keeps, the slide-in phase, text entry and the navigation flags.
struct MenuState {
  MenuButtonGroup buttons;
  std::int32_t FirstSelectable = 1;
  std::int32_t LastSelectable = 6;

  TCaptionSprite* MenuCaption = nullptr;
  TCaptionSprite* UpPanelSprite = nullptr;
  TCaptionSprite* DownPanelSprite = nullptr;
  TCaptionSprite* ScreenBackdrop = nullptr;
  TCaptionSprite* TextCursor = nullptr;

  std::int32_t MenuPhase = 0;
  std::int32_t MenuEntryMode = 0;
  std::int32_t CursorBlinkMs = 0;
  bool EditingCountry = false;
  std::int32_t HelpPage = 1;
  std::string PlayerName;

  bool NavigationArmed = false;
  bool EdgeReached = false;
};

}  // namespace rivoltra
