#include "app/app.h"

#include "app/game.h"
#include "app/input_events.h"

namespace rivoltra {

App::App(Platform& platform) : game_(std::make_unique<Game>(platform)) {}

App::~App() = default;

void App::Start() { RunStartup(*game_); }

void App::HandleEvent(const InputEvent& event) {
  Game& game = *game_;
  switch (event.kind) {
    case InputEvent::Kind::KeyDown:
      OnKeyDown(game, event.virtualKey, event.shift);
      break;
    case InputEvent::Kind::KeyUp:
      OnKeyUp(game, event.virtualKey, event.shift);
      break;
    case InputEvent::Kind::Character:
      OnCharacterTyped(game, event.character);
      break;
    case InputEvent::Kind::MouseMove:
      OnPointerMove(game, event.x, event.y);
      break;
    case InputEvent::Kind::Click:
      OnPointerClick(game);
      break;
    case InputEvent::Kind::FocusGained:
      ApplicationActivated(game);
      break;
    case InputEvent::Kind::FocusLost:
      ApplicationDeactivated(game);
      break;
    case InputEvent::Kind::Exposed:
      game.Screen.Repaint();
      break;
    case InputEvent::Kind::Quit:
      game.Terminated = true;
      break;
  }
}

DueTicks App::RunDueTicks(std::uint32_t nowMilliseconds) {
  DueTicks result;
  result.ticked = game_->Timer.Idle(nowMilliseconds);
  // The tick may have ended the game or left the timer unhooked (a screen change).
  if (!game_->Terminated && game_->Timer.Hooked()) {
    result.untilNext = game_->Timer.MillisecondsUntilDue(nowMilliseconds);
  }
  return result;
}

void App::Present() { game_->Screen.Repaint(); }

bool App::Finished() const { return game_->Terminated; }

void App::Shutdown() { RunProgramEnd(*game_); }

}  // namespace rivoltra
