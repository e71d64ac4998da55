#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/controls_screen.h"
#include "app/daily_screen.h"
#include "app/game_archives.h"
#include "app/ghost_car.h"
#include "app/menu_state.h"
#include "app/race_scene/race_scene.h"
#include "app/replay_session.h"
#include "app/ticket_request.h"
#include "audio/music.h"
#include "audio/sound_list.h"
#include "base/random.h"
#include "engine/display.h"
#include "engine/frame_timer.h"
#include "engine/image_list.h"
#include "engine/input_devices.h"
#include "engine/sprite_engine_component.h"
#include "persist/game_paths.h"
#include "persist/high_scores.h"
#include "persist/online.h"
#include "persist/preferences.h"
#include "persist/settings.h"
#include "platform/platform.h"
#include "race/core/race_session.h"
#include "ui/bitmap_text.h"
#include "ui/scroll_background.h"

namespace rivoltra {

// The screens the frame tick dispatches on; no other value is ever stored. The numbers are the
// ones the runner's state dump and the golden traces show.
enum class GameScreen : std::int32_t {
  MainMenu = 0,
  Race = 1,
  Options = 2,
  HighScores = 3,
  Help = 4,
  Controls = 5,
  MoreSettings = 6,
  SendResults = 7,
  CarChoice = 8,
  DailyRun = 9,
  RaceLoading = 10,
  NameEntry = 71,
};

constexpr std::uint32_t kFrameInterval = 30;

// The whole program's state: the window's components and the plain records of the screens.
// One instance per run; tests build a fresh one. Nothing in here reads the wall clock: the
// game advances only by frame ticks, input and the one seeded random generator.
struct Game {
  explicit Game(rivoltra::Platform& platformLayer);
  ~Game();
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  rivoltra::Platform& Platform;
  Display Screen;
  FrameTimer Timer;
  // Interface pictures and fonts; race pictures.
  ImageList InterfaceImages;
  ImageList RaceImages;
  DisplaySpriteEngine Sprites;
  GameInput Input;
  SoundList Sounds;
  // The game's generator: a race takes it over at its start and hands it back at its end.
  RandomGenerator Random;
  BitmapText Text;

  // The data and save folders; the defaults are the build folder's Data/ from the current folder.
  GamePaths Paths;
  // Hands over archives read elsewhere (the desktop game reads them on a worker thread while
  // the window is being made); when empty, the start-up reads them itself.
  std::function<GameArchives()> TakeArchives;
  // A display mode from the command line for this run only; the settings file keeps the mode it
  // had (StoredFullScreen) unless the player switches the mode during the run.
  std::optional<std::uint8_t> RunFullScreen;
  std::uint8_t StoredFullScreen = 0;
  // The same for the window scale (--scale): the preferences keep StoredWindowScale.
  std::optional<int> RunWindowScale;
  int StoredWindowScale = kWindowScaleFit;

  GameScreen ScreenState = GameScreen::MainMenu;
  rivoltra::Settings Settings;
  // The settings of the second file: volumes, window, controls, online play and ghosts. Its
  // volumes and the switches of settings are kept in step (SwitchesFromVolumes).
  rivoltra::Preferences Preferences;
  // The check string read with the settings, compared once with the loaded table.
  std::string StoredCheckString;
  HighScoreTable HighScores;
  // The score server and the maker's web site.
  OnlineConfig Online = DefaultOnlineConfig();
  MenuState Menu;
  // The race: its data and state, the car chosen for the next one, the score of the last one.
  RaceSession Race;
  rivoltra::RaceScene RaceScene;
  ControlsScreenState ControlsScreen;
  // The recording of the current or last game, or the replay being played back.
  ReplaySession Replay;
  // The race ticket asked for on the car choice; taken by the race that starts next.
  rivoltra::TicketRequest TicketRequest;
  // The ghost car beside the race, and where its runs come from.
  GhostCar Ghost;
  DailyRunState Daily;
  MusicState Music;
  // The file the playing song was loaded from; empty while no song plays.
  std::string SongFile;
  // Null while the machine has no sound output; the game then runs without music.
  std::unique_ptr<rivoltra::ModulePlayer> ModulePlayer;
  // Created at start-up, kept to the end; screens only change its picture.
  ScrollingBackground* ScrollBackground = nullptr;

  // Told of every effect started (true) or stopped (false) while sound is on; the scripted
  // runner listens, the game itself does not.
  std::function<void(bool started, std::string_view name)> SoundObserver;

  // The keyboard and mouse handlers' own state.
  bool FireKeyHeld = false;
  // The controller inputs held at the last tick: A and B work the menus on their press.
  PadControls PadHeldBefore;
  // Race actions a frontend's own controls hold (the page's touch buttons).
  ActionStates HeldActions;
  // A result the score server could not be reached for is kept for later (see StartOptions).
  bool KeepUnsentResults = false;
  // The start-up shows the main menu's first picture as soon as it is drawn (see StartOptions).
  bool ShowFirstPictureEarly = false;
  std::int32_t MouseX = 0;
  std::int32_t MouseY = 0;

  // Frames are worked out but not drawn or shown: for re-simulating a recorded game, where only
  // the rules' results count.
  bool DrawingOff = false;

  // Set when start-up has run to its end; no tick ever runs over screens that were not made.
  bool StartupComplete = false;
  // Set by SaveAndQuit (or the window's close): the message loop ends after this event.
  bool Terminated = false;

 private:
  std::unique_ptr<ForegroundQuery> foreground_;
};

// Start-up, in its fixed order. Throws on a missing or corrupt data file; the caller shows the
// message and ends the program.
void RunStartup(Game& game);

// The generator the game draws from now: the race's while a race is on the screen, the game's own
// otherwise.
RandomGenerator& RandomInPlay(Game& game);
const RandomGenerator& RandomInPlay(const Game& game);

// The image list that pictures of the current screen come from: the race list in the race
// states, the interface list elsewhere.
ImageList& ScreenImageList(Game& game);
// Draws text in the current font on the back buffer (fonts come from the interface list).
void WriteText(Game& game, std::string_view text, int x, int y);
// Effects by name; nothing at all happens while sound is off.
void PlaySound(Game& game, std::string_view name);
void StopSound(Game& game, std::string_view name);
// Music by screen: the race song in the race states, the menu song elsewhere.
ScreenMusic MusicOfScreen(GameScreen screen);
void PlayScreenMusic(Game& game);
void StopMusic(Game& game);
void KeepMusicPlaying(Game& game);
// The playing song's order position, 0 without a song.
std::int32_t SongOrder(const Game& game);
// The frame tick: keeps the music going, updates the input states, runs the screen's tick.
void RunFrameTick(Game& game, std::int32_t lagCount);
// The two halves of every frame.
void DrawFrame(Game& game, std::int32_t lag, bool moveAll);
void FlipFrame(Game& game);

// Puts the preferences to work: the controls into the input devices, the volumes into the
// sound output and the music player, the window size and filtering into the display.
void ApplyPreferences(Game& game);
// The controls alone, after the controls screen changed them.
void ApplyControls(Game& game);

// The player's volumes, percent in steps of 10, heard at once. 0 is the old "off": the switch
// of the options file follows, music stops at 0 and starts again from the song's beginning
// above it.
void SetMusicVolume(Game& game, int percent);
void SetSoundVolume(Game& game, int percent);

void ApplyDisplayMode(Game& game);
void SetWindowed(Game& game);
void SetFullScreen(Game& game);
void ShowMouseCursor(Game& game);
void HideMouseCursor(Game& game);

// Timer switches used by every screen's set-up and tear-down.
void EnableTimer(Game& game);
void DisableTimer(Game& game);

// Application activation reaches the frame timer (and, through IsApplicationActive, the input).
void ApplicationActivated(Game& game);
void ApplicationDeactivated(Game& game);

// Writes the settings and the high-score table to the save folder (the browser saves as it goes,
// having no moment of quitting).
void SaveGameFiles(Game& game);
// Saves settings and high scores, then asks the message loop to end.
void SaveAndQuit(Game& game);
// After the message loop: opens "play.url" if present, then the form's destruction (saves).
void RunProgramEnd(Game& game);

}  // namespace rivoltra
