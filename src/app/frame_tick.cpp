#include "app/game.h"
#include "app/input_events.h"
#include "app/race_recording.h"
#include "app/race_scene/race.h"
#include "app/replay_playback.h"
#include "app/screens.h"
#include "race/race_input.h"

namespace rivoltra {

namespace {

// The race reads its actions once per tick; Control fires as well as the fire key of the key table,
// and a frontend's own controls add theirs.
RaceTickInput RaceInputFromDevices(const Game& game, std::int32_t lagCount) {
  RaceTickInput input;
  input.Actions = ActionStates(ActionsFrom(game.Input.States()).Bits() | game.HeldActions.Bits());
  if (game.FireKeyHeld) input.Actions.Set(RaceAction::Fire, true);
  input.LagCount = lagCount;
  return input;
}

// A played-back race holds still while paused and runs four ticks a frame when fast; it stops
// where the recorded ticks end.
void RunRaceTicks(Game& game, std::int32_t lagCount) {
  const ReplaySession& session = game.Replay;
  if (session.Playing && session.Paused) return;
  const int ticks = session.Playing && session.FastForward ? 4 : 1;
  const bool drawing = !game.DrawingOff;
  for (int tick = 0; tick < ticks && game.ScreenState == GameScreen::Race; ++tick) {
    const std::optional<RaceTickInput> input =
        TakeRaceInput(game, RaceInputFromDevices(game, lagCount));
    if (!input) {
      if (session.QuitAtEnd) game.Terminated = true;
      break;
    }
    // Only the last of the fast ticks is shown.
    game.DrawingOff = !drawing || tick + 1 < ticks;
    RunRaceFrame(game, *input);
  }
  game.DrawingOff = !drawing;
}

// The controller works the menus whatever the race's controls are: A as Enter, B as Escape,
// on their press. Before the screen's tick, as a key event would be, so that a cell of the
// controls screen that starts waiting sees the button as held already.
void PadMenuButtons(Game& game) {
  const PadControls held = game.Input.Joystick().Controls();
  const PadControls before = game.PadHeldBefore;
  game.PadHeldBefore = held;
  if (game.ScreenState == GameScreen::Race || game.ScreenState == GameScreen::RaceLoading) return;
  if (game.ControlsScreen.Waiting) return;
  const auto pressed = [&](int button) {
    const int control = static_cast<int>(PadButton(button));
    return held.Contains(control) && !before.Contains(control);
  };
  if (pressed(pad_buttons::kSouth)) {
    OnCharacterTyped(game, '\r');
  } else if (pressed(pad_buttons::kEast)) {
    OnCharacterTyped(game, '\x1B');
  }
}

}  // namespace

void RunFrameTick(Game& game, std::int32_t lagCount) {
  if (!game.StartupComplete) return;
  KeepMusicPlaying(game);
  // Navigation and the race read the input states of this tick, not those of the key events.
  game.Input.Update();
  PadMenuButtons(game);
  PollLeaderGhost(game);
  switch (game.ScreenState) {
    case GameScreen::MainMenu:
      MainMenuTick(game, lagCount);
      break;
    case GameScreen::Race:
      RunRaceTicks(game, lagCount);
      break;
    case GameScreen::Options:
      OptionsTick(game, lagCount);
      break;
    case GameScreen::Controls:
      ControlsTick(game, lagCount);
      break;
    case GameScreen::MoreSettings:
      MoreSettingsTick(game, lagCount);
      break;
    case GameScreen::HighScores:
      HighScoresTick(game, lagCount);
      break;
    case GameScreen::Help:
      HelpTick(game, lagCount);
      break;
    case GameScreen::SendResults:
      SendResultsTick(game, lagCount);
      break;
    case GameScreen::CarChoice:
      CarChoiceTick(game, lagCount);
      break;
    case GameScreen::DailyRun:
      DailyRunTick(game, lagCount);
      break;
    case GameScreen::NameEntry:
      NameEntryTick(game, lagCount);
      break;
    default:
      break;
  }
}

void DrawFrame(Game& game, std::int32_t lag, bool moveAll) {
  const bool draw = !game.DrawingOff;
  if (draw && game.Screen.IsInitialized()) game.Screen.BackBuffer().Fill(0);
  if (moveAll) game.Sprites.MoveSprites(lag);
  if (draw) game.Sprites.DrawSprites();
}

void FlipFrame(Game& game) {
  if (game.DrawingOff) return;
  if (game.Replay.Playing && game.ScreenState == GameScreen::Race) DrawReplayLabel(game);
  game.Screen.Flip();
}

}  // namespace rivoltra
