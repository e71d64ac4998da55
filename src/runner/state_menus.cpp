// The menus' fields of the runner's `state`: selection, slide-in, text entry, the table, and
// the car picked on the car choice.
#include "runner/script_runner.h"
#include "ui/caption_sprite.h"

namespace rivoltra {

namespace {

const RegisterStateSection kMenuState(10, [](RunnerContext& context, JsonWriter& json) {
  const Game& game = context.Game;
  const MenuState& menu = game.Menu;
  json.Field("SelectedButton", menu.Buttons.SelectedButton);
  json.Field("ButtonCount", menu.Buttons.ButtonCount);
  json.Field("FirstSelectable", menu.FirstSelectable);
  json.Field("LastSelectable", menu.LastSelectable);
  json.Field("MenuPhase", static_cast<std::int32_t>(menu.MenuPhase));
  json.Field("MenuEntryMode", static_cast<std::int32_t>(menu.MenuEntryMode));
  json.Field("NavigationArmed", menu.NavigationArmed);
  json.Field("EdgeReached", menu.EdgeReached);
  json.Field("HelpPage", menu.HelpPage);
  json.Field("PlayerName", menu.PlayerName);
  json.Field("EditingCountry", menu.EditingCountry);
  json.Field("CursorBlinkMs", menu.CursorBlinkMs);
  json.Key("TextCursor");
  if (menu.TextCursor == nullptr) {
    json.Null();
  } else {
    json.BeginObject()
        .Field("Visible", menu.TextCursor->Visible)
        .Field("X", menu.TextCursor->X)
        .Field("Y", menu.TextCursor->Y)
        .EndObject();
  }
  json.Key("HighScores").BeginArray();
  for (int rank = 1; rank <= HighScoreTable::kShownEntries; ++rank) {
    const HighScoreEntry& entry = game.HighScores.Entry(rank);
    json.BeginObject()
        .Field("EntryName", entry.EntryName)
        .Field("EntryScore", entry.EntryScore)
        .EndObject();
  }
  json.EndArray();
  json.Field("CarChoice", game.Race.State.CarChoice);
});

}  // namespace

}  // namespace rivoltra
