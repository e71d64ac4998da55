// The daily screen's fields of the runner's `state`, shown only while that screen stands (the
// traces of every other screen stay as they were): the day and its car, what became of the
// day's table, its rows and the player's own best of the day.
#include "formats/daily_course.h"
#include "runner/script_runner.h"

namespace rivoltra {

namespace {

const RegisterStateSection kDailyState(15, [](RunnerContext& context, JsonWriter& json) {
  const Game& game = context.Game;
  if (game.ScreenState != GameScreen::DailyRun) return;
  const DailyRunState& daily = game.Daily;
  json.Key("Daily").BeginObject();
  json.Field("Date", DateTextOf(daily.Day));
  json.Field("Car", DailyCourseOf(daily.Day).Car);
  json.Field("TableStatus", static_cast<std::int32_t>(daily.Status));
  json.Key("Table").BeginArray();
  for (const DailyListEntry& entry : daily.Entries) {
    json.BeginObject()
        .Field("Name", entry.Name)
        .Field("Country", entry.Country)
        .Field("Score", entry.Score)
        .EndObject();
  }
  json.EndArray();
  json.Key("OwnBest");
  const std::optional<std::int32_t> own =
      daily.Bests ? daily.Bests->BestOf(daily.Day) : std::nullopt;
  if (own) {
    json.Value(*own);
  } else {
    json.Null();
  }
  json.EndObject();
});

}  // namespace

}  // namespace rivoltra
