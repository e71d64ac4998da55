// The race's fields of the runner's `state`.
#include "app/game.h"
#include "runner/script_runner.h"

namespace rivoltra {

namespace {

void WriteSlots(const RaceState& race, JsonWriter& json) {
  json.Key("slots").BeginArray();
  for (const TrackObject& object : race.Objects) {
    if (!object.Used) continue;
    json.BeginObject()
        .Field("Slot", object.Slot)
        .Field("Kind", KindNumber(object.Kind))
        .Field("X", object.X)
        .Field("Y", object.Y)
        .Field("Lane", object.Lane)
        .Field("Hits", object.Hits)
        .EndObject();
  }
  json.EndArray();
}

const RegisterStateSection kRaceState(20, [](RunnerContext& context, JsonWriter& json) {
  const Game& game = context.Game;
  const RaceState& race = game.Race.State;
  json.Field("Level", race.Level);
  json.Field("Score", race.Score);
  json.Field("Lives", race.Lives);
  json.Field("TimeLeft", race.TimeLeft);
  json.Field("Speed", race.Speed);
  json.Field("Distance", race.Distance);
  json.Field("FinishPhase", race.FinishPhase);
  json.Field("RaceRunning", race.RaceRunning);
  json.Field("Paused", race.Paused);
  json.Field("FinishPrompt", race.FinishPrompt);
  json.Field("GunActive", race.GunActive);
  json.Field("TurboActive", race.TurboActive);
  json.Field("Punctured", race.Punctured);
  json.Field("CrashPending", race.CrashPending);
  if (game.RaceScene.Live()) {
    const CarState& car = race.Car;
    json.Field("CarX", car.X);
    json.Field("CarY", car.Y);
    json.Field("MotionState", car.MotionState);
    json.Field("StunTime", car.StunTime);
    json.Field("TargetSpeed", car.TargetSpeed);
    json.Field("MaxSpeed", car.MaxSpeed);
    json.Field("BonusSeconds", car.BonusSeconds);
  } else {
    for (const char* name :
         {"CarX", "CarY", "MotionState", "StunTime", "TargetSpeed", "MaxSpeed", "BonusSeconds"}) {
      json.Key(name).Null();
    }
  }
  WriteSlots(race, json);
  json.Field("SpriteCount", game.Sprites.Engine().SpriteCount());
});

}  // namespace

}  // namespace rivoltra
