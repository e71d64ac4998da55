#include "app/game.h"

namespace rivoltra {

Game::Game(Platform& platformLayer) : platform(platformLayer), MDisplay(platformLayer.Presenter()) {
  MTimer.ActiveOnly = true;
  MTimer.SetInterval(kFrameInterval);
  MTimer.OnTimer = [this](std::int32_t lagCount) { MTimerTimer(*this, lagCount); };
  // The frame tick stops whenever the display surface is torn down and starts again when it
  // has been built, including during a display mode switch.
  MDisplay.OnInitialize = [this] { EnableTimer(*this); };
  MDisplay.OnFinalize = [this] { DisableTimer(*this); };
}

void EnableTimer(Game& game) {
  game.MTimer.SetEnabled(true, game.platform.Milliseconds(), game.platform.IsApplicationActive());
}

void DisableTimer(Game& game) {
  game.MTimer.SetEnabled(false, game.platform.Milliseconds(), game.platform.IsApplicationActive());
}

void ApplicationActivated(Game& game) {
  game.MTimer.ApplicationActivated(game.platform.Milliseconds());
}

void ApplicationDeactivated(Game& game) { game.MTimer.ApplicationDeactivated(); }

void ShowMouseCursor(Game& game) { game.platform.ChangeMouseCursorCounter(+1); }
void HideMouseCursor(Game& game) { game.platform.ChangeMouseCursorCounter(-1); }

}  // namespace rivoltra
