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
  TInputDevices& input = game.MInput;
  input.ActiveOnly = true;
  input.Keyboard().Assigns = GameKeyAssignments();
  input.Keyboard().SetSource(&game.platform.Keyboard());
  input.Joystick().SetSource(&game.platform.Joystick());
  input.Mouse().SetSource(&game.platform.Mouse());
  // The mouse is acquired but never merged: menus read it through window events.
  input.Mouse().Enabled = true;
  input.Mouse().BindInputStates = false;
  input.Initialize();
}

}  // namespace

Game::Game(Platform& platformLayer)
    : platform(platformLayer),
      MDisplay(platformLayer.Presenter()),
      foreground_(std::make_unique<PlatformForeground>(platformLayer)) {
  MTimer.ActiveOnly = true;
  MTimer.SetInterval(kFrameInterval);
  MTimer.OnTimer = [this](std::int32_t lagCount) { MTimerTimer(*this, lagCount); };
  // The frame tick stops whenever the display surface is torn down and starts again when it
  // has been built, including during a display mode switch.
  MDisplay.OnInitialize = [this] { EnableTimer(*this); };
  MDisplay.OnFinalize = [this] { DisableTimer(*this); };
  MImageList.SetDisplay(&MDisplay);
  MImageList3.SetDisplay(&MDisplay);
  MSpriteEngine.SetDisplay(&MDisplay);
  MSoundList.SetSoundOutput(&platformLayer.Audio());
  modulePlayer = std::make_unique<ModulePlayer>(platformLayer.Audio());
  MInput.SetForegroundQuery(foreground_.get());
  SetUpInput(*this);
}

Game::~Game() {
  // Sprites reference images; the tree goes before the lists.
  MSpriteEngine.Engine().RemoveChildren();
  modulePlayer.reset();
  MSoundList.SetSoundOutput(nullptr);
  MSpriteEngine.SetDisplay(nullptr);
  MImageList.SetDisplay(nullptr);
  MImageList3.SetDisplay(nullptr);
}

RandomGenerator& RandomInPlay(Game& game) {
  return game.raceScene.Live() ? game.race.State.Random : game.Random;
}

const RandomGenerator& RandomInPlay(const Game& game) {
  return game.raceScene.Live() ? game.race.State.Random : game.Random;
}

TImageList& ScreenImageList(Game& game) {
  return game.ScreenState == ssRace || game.ScreenState == ssRaceLoading ? game.MImageList3
                                                                         : game.MImageList;
}

void WriteText(Game& game, std::string_view text, int x, int y) {
  game.text.WriteText(game.MDisplay.BackBuffer(), game.MImageList.Items(), text, x, y);
}

void PlaySound(Game& game, std::string_view name) {
  if (game.settings.SoundEnabled != 1) return;
  if (game.soundObserver) game.soundObserver(true, name);
  PlaySound(game.settings.SoundEnabled, game.MSoundList, name);
}

void StopSound(Game& game, std::string_view name) {
  if (game.settings.SoundEnabled != 1) return;
  if (game.soundObserver) game.soundObserver(false, name);
  StopSound(game.settings.SoundEnabled, game.MSoundList, name);
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
