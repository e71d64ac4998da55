// The music's fields of the runner's `state`.
#include "runner/script_runner.h"

namespace rivoltra {

namespace {

const RegisterStateSection kAudioState(50, [](RunnerContext& context, JsonWriter& json) {
  const Game& game = context.Game;
  json.Key("SongFile");
  if (game.SongFile.empty()) {
    json.Null();
  } else {
    json.Value(game.SongFile);
  }
  json.Field("SongOrder", SongOrder(game));
  json.Field("LastSongOrder", game.Music.LastSongOrder);
});

}  // namespace

}  // namespace rivoltra
