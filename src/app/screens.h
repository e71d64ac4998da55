#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/app.h"
#include "app/menu_state.h"
#include "engine/free_sprite.h"
#include "formats/race_ticket.h"

namespace rivoltra {

struct Game;
class CaptionSprite;
enum class GameScreen : std::int32_t;

// Set-ups store ScreenState first, create the screen's sprites and enable the timer; tear-downs
// free exactly those sprites and disable it. A transition is a tear-down and a set-up inside one
// handler, so the next tick already runs the new screen.

// With createAll false the main-menu sprites still standing are reused.
void ShowMainMenu(Game& game, bool createAll, MenuEntryModes entryMode);
void CloseMainMenu(Game& game);
// The options open with the given line selected (the display line unless a sub-screen of
// theirs goes back to its own line).
void ShowOptions(Game& game, int selectedLine = kFirstScreenSlot);
void HideOptions(Game& game);
// The options' sub-screens: the controls, and the window, online and ghost settings.
void ShowControls(Game& game);
void HideControls(Game& game);
void ShowMoreSettings(Game& game);
void HideMoreSettings(Game& game);
void ShowHighScores(Game& game);
void HideHighScores(Game& game);
void ShowHelp(Game& game);
void HideHelp(Game& game);
void ShowCarChoice(Game& game);
void HideCarChoice(Game& game);
// The daily run's screen: today's date and car, the day's top ten from the server (fetched
// without waiting), the player's own best of the day and the button that starts the run.
void ShowDailyRun(Game& game);
void HideDailyRun(Game& game);
// After a daily run: its score becomes the player's best of its day when it beats it.
void RecordDailyScore(Game& game);
// After a game: the name entry when the score earns a place in the table, else the main menu;
// a played-back game goes back to the menu (or ends the replay window) without either.
void ShowAfterGame(Game& game);
void ShowNameEntry(Game& game);
// The typed name and the race's score go into the table; the title and cursor are freed.
void FinishNameEntry(Game& game);
void ShowSendResults(Game& game);
void HideSendResults(Game& game);

// Closes whatever screen of the menus is open, the way the car choice's activation does, and
// starts a new game with the car (1 to 4).
void StartGameWithCar(Game& game, std::int32_t car);
// Leaves whichever menu screen stands and starts a race with that car, recorded with the ticket
// when there is one (the race then starts from the ticket's seed); dailyDay names the daily
// run's day, whose ghost and own best are the day's.
void StartRaceFromMenus(Game& game, std::int32_t car, const std::optional<RaceTicket>& ticket,
                        std::optional<std::uint32_t> dailyDay = std::nullopt);
// The daily run of `day` (days since 1970, UTC): the day's car and course, with the day's
// ticket when it came in, else from the day's seed offline.
void StartDailyRun(Game& game, std::uint32_t day);

// The screens' ticks, run by the frame tick with the timer's lag.
void MainMenuTick(Game& game, std::int32_t lagCount);
void CarChoiceTick(Game& game, std::int32_t lagCount);
void DailyRunTick(Game& game, std::int32_t lagCount);
void OptionsTick(Game& game, std::int32_t lagCount);
void ControlsTick(Game& game, std::int32_t lagCount);
void MoreSettingsTick(Game& game, std::int32_t lagCount);
void HighScoresTick(Game& game, std::int32_t lagCount);
void HelpTick(Game& game, std::int32_t lagCount);
void NameEntryTick(Game& game, std::int32_t lagCount);
void SendResultsTick(Game& game, std::int32_t lagCount);

// The screens' branches of the click handler; the button-press sound has already played.
void MainMenuActivate(Game& game);
void CarChoiceActivate(Game& game);
void DailyRunActivate(Game& game);
void OptionsActivate(Game& game);
void ControlsActivate(Game& game);
void MoreSettingsActivate(Game& game);
void HighScoresActivate(Game& game);
void HelpActivate(Game& game);
void SendResultsActivate(Game& game);
// The results kept while the server was out of reach, sent now with their replays (oldest
// first, stopping at the first that cannot be).
UnsentSending SendUnsentResults(Game& game);

// Keyboard navigation over FirstSelectable..LastSelectable from the input states of this tick.
void NavigateVertical(Game& game, bool wrap);
void NavigateHorizontal(Game& game, bool wrap);
void SelectNext(Game& game, bool wrap);
void SelectPrevious(Game& game, bool wrap);
// The selection's look, with the activation sound once per change.
void UpdateButtonHighlight(Game& game);

// The text cursor of the country field and the name entry.
void BlinkTextCursor(Game& game);
// Follows TextEndX unless the text has reached rightEdge less the cursor's width.
void PlaceTextCursor(Game& game, std::int32_t rightEdge, std::int32_t minimumX);
// Where text drawn at x in the big font would end: TextEndX as the drawing will leave it.
std::int32_t BigTextEndX(Game& game, std::string_view text, std::int32_t x);
// Appends a typed character to a field drawn at textX in the big font: Backspace removes the
// last character, letters (upper-cased) only while the text ends before the limit, spaces always.
void TypeIntoField(Game& game, std::string& field, char key, std::int32_t textX,
                   std::int32_t rightEdge);

// A typed character (Backspace, letter or space) for the country field and the player's name.
void TypeIntoCountry(Game& game, char key);
void TypeIntoName(Game& game, char key);

// The button slots a screen uses (ButtonCount), the one selected first and the range keyboard
// navigation moves over.
struct ScreenButtons {
  std::int32_t Count = 0;
  std::int32_t Selected = 0;
  std::int32_t First = 0;
  std::int32_t Last = 0;
};
// Stores the screen first, then its buttons' range and selection.
void SetScreenButtons(Game& game, GameScreen screen, const ScreenButtons& buttons);
// The start of every sub-screen of the main menu: the screen and its buttons, the main menu's
// caption hidden (its sprites stay), the timer on.
void BeginSubScreen(Game& game, GameScreen screen, const ScreenButtons& buttons);
// The open sub-screen's panel, replacing the last one: at the panel position, Z 2.
void ShowScreenBackdrop(Game& game, std::string_view imageName);
// A menu button from the interface list in the slot, replacing whatever stood there.
void PlaceButton(Game& game, int slot, const std::string& activeImage,
                 const std::string& inactiveImage, int activePattern, int inactivePattern, double x,
                 double y);

// A caption from the current screen's image list; centred, Z 3.
CaptionSprite* NewCaption(Game& game, std::string_view imageName);
// "Button_Pressed", outside the race only.
void PlayButtonPress(Game& game);
// The main-menu button of the open sub-screen keeps its highlighted look.
void ShowMainButtonActive(Game& game, int slot);
// Asks the desktop to open a web address; the game goes on whatever becomes of it.
void OpenInBrowser(Game& game, const std::string& address);

}  // namespace rivoltra
