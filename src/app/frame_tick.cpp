#include "app/game.h"
#include "app/race_scene/race.h"
#include "app/screens.h"
#include "race/race_input.h"

namespace rivoltra {

namespace {

// The race reads its actions once per tick; Control fires as well as the fire key of the key table.
RaceTickInput RaceInputFromDevices(const Game& game, std::int32_t lagCount) {
  RaceTickInput input;
  input.Actions = ActionsFrom(game.MInput.States());
  if (game.FireKeyHeld) input.Actions.Set(RaceAction::Fire, true);
  input.LagCount = lagCount;
  return input;
}

}  // namespace

void MTimerTimer(Game& game, std::int32_t lagCount) {
  if (!game.StartupComplete) return;
  KeepMusicPlaying(game);
  // Navigation and the race read the input states of this tick, not those of the key events.
  game.MInput.Update();
  switch (game.ScreenState) {
    case ssMainMenu:
      MainMenuTick(game, lagCount);
      break;
    case ssRace:
      RaceTick(game, RaceInputFromDevices(game, lagCount));
      break;
    case ssOptions:
      OptionsTick(game, lagCount);
      break;
    case ssHighScores:
      HighScoresTick(game, lagCount);
      break;
    case ssHelp:
      HelpTick(game, lagCount);
      break;
    case ssSendResults:
      SendResultsTick(game, lagCount);
      break;
    case ssCarChoice:
      CarChoiceTick(game, lagCount);
      break;
    case ssNameEntry:
      NameEntryTick(game, lagCount);
      break;
    default:
      break;
  }
}

void DrawFrame(Game& game, std::int32_t lag, bool moveAll) {
  if (game.MDisplay.IsInitialized()) game.MDisplay.BackBuffer().Fill(0);
  if (moveAll) game.MSpriteEngine.MoveSprites(lag);
  game.MSpriteEngine.DrawSprites();
}

void FlipFrame(Game& game) { game.MDisplay.Flip(); }

}  // namespace rivoltra
