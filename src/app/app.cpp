#include "app/app.h"

#include "app/game.h"
#include "app/input_events.h"
#include "app/replay_playback.h"
#include "app/screens.h"
#include "formats/replay_file.h"
#include "persist/high_scores.h"
#include "persist/settings.h"

namespace rivoltra {

App::App(Platform& platform) : game_(std::make_unique<Game>(platform)) {}

App::~App() = default;

namespace {

// The frontends' screen numbers are the game's own.
constexpr bool SameScreen(AppScreen app, GameScreen game) {
  return static_cast<std::int32_t>(app) == static_cast<std::int32_t>(game);
}
static_assert(SameScreen(AppScreen::MainMenu, GameScreen::MainMenu) &&
              SameScreen(AppScreen::Race, GameScreen::Race) &&
              SameScreen(AppScreen::Options, GameScreen::Options) &&
              SameScreen(AppScreen::HighScores, GameScreen::HighScores) &&
              SameScreen(AppScreen::Help, GameScreen::Help) &&
              SameScreen(AppScreen::SendResults, GameScreen::SendResults) &&
              SameScreen(AppScreen::CarChoice, GameScreen::CarChoice) &&
              SameScreen(AppScreen::DailyRun, GameScreen::DailyRun) &&
              SameScreen(AppScreen::RaceLoading, GameScreen::RaceLoading) &&
              SameScreen(AppScreen::NameEntry, GameScreen::NameEntry));

// What the save files would hold now.
std::string SaveFingerprint(const Game& game) {
  return SettingsFileText(game.Settings, ComputeCheckString(game.HighScores)) +
         HighScoreFileText(game.HighScores);
}

}  // namespace

void App::Configure(const StartOptions& options) {
  game_->Paths = options.Paths;
  game_->Online = options.Online;
  game_->RunFullScreen = options.FullScreen;
  game_->RunWindowScale = options.WindowScale;
  if (options.Archives) game_->TakeArchives = options.Archives;
  game_->KeepUnsentResults = options.KeepUnsentResults;
  game_->ShowFirstPictureEarly = options.ShowFirstPictureEarly;
}

void App::Start() {
  RunStartup(*game_);
  savedFingerprint_ = SaveFingerprint(*game_);
}

std::string App::WatchReplayFile(const std::string& file, bool quitAtEnd) {
  try {
    return StartReplayPlayback(*game_, LoadReplayFile(file), quitAtEnd);
  } catch (const ReplayError& error) {
    return std::string("The replay could not be loaded: ") + error.what();
  }
}

std::string App::WatchReplay(const Replay& replay) {
  return StartReplayPlayback(*game_, replay, true);
}

void App::HandleEvent(const InputEvent& event) {
  Game& game = *game_;
  switch (event.Kind) {
    case InputKind::KeyDown:
      OnKeyDown(game, event.VirtualKey, event.Shift);
      break;
    case InputKind::KeyUp:
      OnKeyUp(game, event.VirtualKey, event.Shift);
      break;
    case InputKind::Character:
      OnCharacterTyped(game, event.Character);
      break;
    case InputKind::MouseMove:
      OnPointerMove(game, event.X, event.Y);
      break;
    case InputKind::Click:
      OnPointerClick(game);
      break;
    case InputKind::FocusGained:
      ApplicationActivated(game);
      break;
    case InputKind::FocusLost:
      ApplicationDeactivated(game);
      break;
    case InputKind::Exposed:
      game.Screen.Repaint();
      break;
    case InputKind::Quit:
      game.Terminated = true;
      break;
  }
}

DueTicks App::RunDueTicks(std::uint32_t nowMilliseconds) {
  DueTicks result;
  result.Ticked = game_->Timer.Idle(nowMilliseconds);
  // The tick may have ended the game or left the timer unhooked (a screen change).
  if (!game_->Terminated && game_->Timer.Hooked()) {
    result.UntilNext = game_->Timer.MillisecondsUntilDue(nowMilliseconds);
  }
  return result;
}

void App::Present() { game_->Screen.Repaint(); }

bool App::Finished() const { return game_->Terminated; }

void App::Shutdown() { RunProgramEnd(*game_); }

AppView App::View() const {
  const Game& game = *game_;
  AppView view;
  view.Screen = static_cast<AppScreen>(game.ScreenState);
  const bool racing = game.ScreenState == GameScreen::Race;
  view.FinishPrompt = racing && game.Race.State.FinishPrompt;
  view.Paused = racing && game.Race.State.Paused;
  view.FullScreen = game.Settings.FullScreen == 1;
  view.WatchingReplay = game.Replay.Playing;
  return view;
}

void App::SetHeldActions(ActionStates actions) { game_->HeldActions = actions; }

bool App::SaveIfChanged() {
  std::string now = SaveFingerprint(*game_);
  if (now == savedFingerprint_) return false;
  SaveGameFiles(*game_);
  savedFingerprint_ = std::move(now);
  return true;
}

UnsentSending App::SendUnsentResults() { return rivoltra::SendUnsentResults(*game_); }

void App::SetRaceScore(std::int32_t score) {
  if (game_->ScreenState == GameScreen::Race) game_->Race.State.Score = score;
}

std::int64_t App::GhostTicks() const {
  return game_->Ghost.Run ? game_->Ghost.Run->TicksRun() : -1;
}

}  // namespace rivoltra
