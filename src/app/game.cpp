#include "app/game.h"

namespace rivoltra {

namespace {

// Input devices report nothing while another application is in front.
class PlatformForeground final : public ForegroundQuery {
 public:
  explicit PlatformForeground(Platform& platform) : platform_(platform) {}
  bool GameWindowInFront() const override { return platform_.IsApplicationActive(); }

 private:
  Platform& platform_;
};

void SetUpInput(Game& game) {
  GameInput& input = game.Input;
  input.ActiveOnly = true;
  input.Keyboard().Assigns = GameKeyAssignments();
  input.Keyboard().SetSource(&game.Platform.Keyboard());
  input.Joystick().SetSource(&game.Platform.Joystick());
  input.Mouse().SetSource(&game.Platform.Mouse());
  // The mouse is acquired but never merged: menus read it through window events.
  input.Mouse().Enabled = true;
  input.Mouse().BindInputStates = false;
  input.Initialize();
}

}  // namespace

Game::Game(rivoltra::Platform& platformLayer)
    : Platform(platformLayer),
      Screen(platformLayer.Presenter()),
      foreground_(std::make_unique<PlatformForeground>(platformLayer)) {
  Timer.ActiveOnly = true;
  Timer.SetInterval(kFrameInterval);
  Timer.OnTimer = [this](std::int32_t lagCount) { RunFrameTick(*this, lagCount); };
  // The frame tick stops whenever the display surface is torn down and starts again when it
  // has been built, including during a display mode switch.
  Screen.OnInitialize = [this] { EnableTimer(*this); };
  Screen.OnFinalize = [this] { DisableTimer(*this); };
  InterfaceImages.SetDisplay(&Screen);
  RaceImages.SetDisplay(&Screen);
  Sprites.SetDisplay(&Screen);
  Sounds.SetSoundOutput(&platformLayer.Audio());
  ModulePlayer = std::make_unique<rivoltra::ModulePlayer>(platformLayer.Audio());
  Input.SetForegroundQuery(foreground_.get());
  SetUpInput(*this);
}

Game::~Game() {
  // Sprites reference images; the tree goes before the lists.
  Sprites.Engine().RemoveChildren();
  ModulePlayer.reset();
  Sounds.SetSoundOutput(nullptr);
  Sprites.SetDisplay(nullptr);
  InterfaceImages.SetDisplay(nullptr);
  RaceImages.SetDisplay(nullptr);
}

RandomGenerator& RandomInPlay(Game& game) {
  return game.RaceScene.Live() ? game.Race.State.Random : game.Random;
}

const RandomGenerator& RandomInPlay(const Game& game) {
  return game.RaceScene.Live() ? game.Race.State.Random : game.Random;
}

ImageList& ScreenImageList(Game& game) {
  return game.ScreenState == GameScreen::Race || game.ScreenState == GameScreen::RaceLoading
             ? game.RaceImages
             : game.InterfaceImages;
}

void WriteText(Game& game, std::string_view text, int x, int y) {
  game.Text.WriteText(game.Screen.BackBuffer(), game.InterfaceImages.Items(), text, x, y);
}

void PlaySound(Game& game, std::string_view name) {
  if (game.Settings.SoundEnabled != 1) return;
  if (game.SoundObserver) game.SoundObserver(true, name);
  PlaySound(game.Settings.SoundEnabled, game.Sounds, name);
}

void StopSound(Game& game, std::string_view name) {
  if (game.Settings.SoundEnabled != 1) return;
  if (game.SoundObserver) game.SoundObserver(false, name);
  StopSound(game.Settings.SoundEnabled, game.Sounds, name);
}

void EnableTimer(Game& game) {
  game.Timer.SetEnabled(true, game.Platform.Milliseconds(), game.Platform.IsApplicationActive());
}

void DisableTimer(Game& game) {
  game.Timer.SetEnabled(false, game.Platform.Milliseconds(), game.Platform.IsApplicationActive());
}

void ApplicationActivated(Game& game) {
  game.Timer.ApplicationActivated(game.Platform.Milliseconds());
}

void ApplicationDeactivated(Game& game) { game.Timer.ApplicationDeactivated(); }

void ShowMouseCursor(Game& game) { game.Platform.ChangeMouseCursorCounter(+1); }
void HideMouseCursor(Game& game) { game.Platform.ChangeMouseCursorCounter(-1); }

}  // namespace rivoltra
