// The application shell's fields of the runner's `state`.
#include "runner/script_runner.h"

namespace rivoltra {

namespace {

const RegisterStateSection kAppState(0, [](RunnerContext& context, JsonWriter& json) {
  const Game& game = context.Game;
  json.Field("ScreenState", static_cast<std::int32_t>(game.ScreenState));
  json.Field("FullScreen", static_cast<int>(game.Settings.FullScreen));
  json.Field("MusicEnabled", static_cast<int>(game.Settings.MusicEnabled));
  json.Field("SoundEnabled", static_cast<int>(game.Settings.SoundEnabled));
  json.Field("Country", game.Settings.Country);
  json.Field("TimerEnabled", game.Timer.Enabled());
  json.Field("FireKeyHeld", game.FireKeyHeld);
  json.Field("MouseX", game.MouseX);
  json.Field("MouseY", game.MouseY);
  json.Field("MouseCursorCounter", context.Platform.MouseCursorCounter());
  json.Field("RandomState", RandomInPlay(game).State());
});

}  // namespace

}  // namespace rivoltra
