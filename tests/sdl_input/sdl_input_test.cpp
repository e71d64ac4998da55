// The real program in a real window, worked only through SDL: a game controller attached in
// software (SDL's virtual joystick) and key events pushed into SDL's event queue. The game sees
// them exactly as it would see hardware, through the SDL backend's translation, so the test
// proves that translation without a device. Pushed key events do not change SDL's key table,
// which the input states read; the keyboard here is the event path (Enter and Escape).
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/game.h"
#include "app/race_scene/car.h"
#include "persist/high_scores.h"
#include "persist/settings.h"
#include "platform/desktop/sdl_main_loop.h"
#include "support/scratch_game_folder.h"
#include "support/watched_sdl_program.h"

namespace rivoltra {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int kTickLimit = 3000;
constexpr auto kWallClockLimit = 90s;
// A step that has not happened after this many ticks never will.
constexpr int kStepTickLimit = 200;

// A controller with the standard layout, attached in software.
class VirtualController {
 public:
  VirtualController() {
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) != 0) return;
    index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                       SDL_CONTROLLER_BUTTON_MAX, 0);
    if (index_ >= 0) joystick_ = SDL_JoystickOpen(index_);
  }
  ~VirtualController() {
    // The program's SDL_Quit has closed everything by now; only the subsystem count remains.
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
  }
  VirtualController(const VirtualController&) = delete;
  VirtualController& operator=(const VirtualController&) = delete;

  bool Attached() const { return joystick_ != nullptr; }
  bool IsGameController() const { return index_ >= 0 && SDL_IsGameController(index_); }
  void Button(SDL_GameControllerButton button, bool down) {
    SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
  }
  void Axis(SDL_GameControllerAxis axis, Sint16 value) {
    SDL_JoystickSetVirtualAxis(joystick_, axis, value);
  }

 private:
  int index_ = -1;
  SDL_Joystick* joystick_ = nullptr;
};

void PushKey(SDL_Scancode scancode) {
  for (const Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    SDL_PushEvent(&event);
  }
}

// One step of the player: an action, then a condition the game must reach within
// kStepTickLimit ticks.
struct Step {
  std::string Name;
  std::function<void()> Act;
  std::function<bool(Game&)> Done;
};

// Works the steps from the loop's after-tick watch, one at a time, and ends the run after the
// last one or at the first that never completes.
class StepPlayer {
 public:
  explicit StepPlayer(std::vector<Step> steps) : steps_(std::move(steps)) {}

  void AfterTick(Game& game) {
    ++ticks_;
    if (ticks_ > kTickLimit || next_ >= steps_.size()) {
      game.Terminated = true;
      return;
    }
    Step& step = steps_[next_];
    if (!started_) {
      if (step.Act) step.Act();
      started_ = true;
      stepTicks_ = 0;
      return;
    }
    if (step.Done(game)) {
      completed_.push_back(step.Name);
      ++next_;
      started_ = false;
    } else if (++stepTicks_ > kStepTickLimit) {
      failed_ = step.Name;
      game.Terminated = true;
    }
  }

  const std::vector<std::string>& Completed() const { return completed_; }
  const std::string& Failed() const { return failed_; }
  bool AllDone() const { return next_ == steps_.size(); }

 private:
  std::vector<Step> steps_;
  std::size_t next_ = 0;
  bool started_ = false;
  int ticks_ = 0;
  int stepTicks_ = 0;
  std::vector<std::string> completed_;
  std::string failed_;
};

// Runs the program with the player watching.
int RunProgramWith(StepPlayer& player, bool& stuck) {
  return testsupport::RunWatchedSdlProgram([&player](Game& game) { player.AfterTick(game); },
                                           kWallClockLimit, stuck);
}

int Selected(const Game& game) { return game.Menu.Buttons.SelectedButton; }

bool MenuReady(const Game& game) {
  return game.ScreenState == GameScreen::MainMenu && game.Menu.MenuPhase == MenuPhases::Ready;
}

bool RaceRunning(const Game& game) {
  return game.ScreenState == GameScreen::Race && game.Race.State.RaceRunning &&
         game.RaceScene.PlayerCar != nullptr;
}

TEST(SdlInput, ControllerAndKeysWorkTheMenusAndSteerTheCar) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("SDL_VIDEODRIVER") == nullptr) {
    GTEST_SKIP() << "needs a display (scripts/run-tests.sh starts Xvfb)";
  }
  testsupport::ScratchGameFolder folder("sdl-input", Settings{0, 0, 0, ""});
  VirtualController pad;
  ASSERT_TRUE(pad.Attached()) << SDL_GetError();
  ASSERT_TRUE(pad.IsGameController()) << "the virtual device should have the standard layout";

  double xBeforeSteering = 0;
  double xAfterLeft = 0;
  double xAfterRight = 0;
  const auto carX = [](const Game& game) { return game.RaceScene.PlayerCar->X; };
  const auto hold = [&pad](SDL_GameControllerButton button) { pad.Button(button, true); };
  const auto release = [&pad](SDL_GameControllerButton button) { pad.Button(button, false); };
  std::vector<Step> steps = {
      {"main menu ready on Start", nullptr,
       [](Game& g) { return MenuReady(g) && Selected(g) == 1; }},
      {"d-pad down selects the daily run", [&] { hold(SDL_CONTROLLER_BUTTON_DPAD_DOWN); },
       [](Game& g) { return Selected(g) == kDailyRunSlot; }},
      {"d-pad released", [&] { release(SDL_CONTROLLER_BUTTON_DPAD_DOWN); },
       [](Game& g) { return g.Menu.NavigationArmed; }},
      {"stick up selects Start again", [&] { pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, -32768); },
       [](Game& g) { return Selected(g) == 1; }},
      {"stick centred", [&] { pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, 0); },
       [](Game& g) { return g.Menu.NavigationArmed; }},
      {"Enter opens the car choice", [] { PushKey(SDL_SCANCODE_RETURN); },
       [](Game& g) {
         return g.ScreenState == GameScreen::CarChoice && Selected(g) == kFirstScreenSlot;
       }},
      {"Escape goes back to the main menu", [] { PushKey(SDL_SCANCODE_ESCAPE); },
       [](Game& g) { return MenuReady(g); }},
      {"Enter opens the car choice again", [] { PushKey(SDL_SCANCODE_RETURN); },
       [](Game& g) {
         return g.ScreenState == GameScreen::CarChoice && Selected(g) == kFirstScreenSlot;
       }},
      {"d-pad right selects the second car", [&] { hold(SDL_CONTROLLER_BUTTON_DPAD_RIGHT); },
       [](Game& g) { return Selected(g) == kFirstScreenSlot + 1; }},
      {"d-pad released on the car choice", [&] { release(SDL_CONTROLLER_BUTTON_DPAD_RIGHT); },
       [](Game& g) { return g.Menu.NavigationArmed; }},
      {"Enter starts the race with car 2", [] { PushKey(SDL_SCANCODE_RETURN); },
       [&](Game& g) {
         if (!RaceRunning(g) || g.Race.State.CarChoice != 2) return false;
         xBeforeSteering = carX(g);
         return true;
       }},
      // Steering moves the car by its speed, so the stick also pushes up (accelerate).
      {"stick up-left steers left",
       [&] {
         pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
         pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
       },
       [&](Game& g) {
         xAfterLeft = RaceRunning(g) ? carX(g) : xAfterLeft;
         return xAfterLeft < xBeforeSteering - 20;
       }},
      {"stick up-right steers right", [&] { pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 32767); },
       [&](Game& g) {
         xAfterRight = RaceRunning(g) ? carX(g) : xAfterRight;
         return xAfterRight > xAfterLeft + 20;
       }},
  };
  StepPlayer player(std::move(steps));
  bool stuck = false;
  const int status = RunProgramWith(player, stuck);

  EXPECT_EQ(status, 0);
  EXPECT_FALSE(stuck) << "no tick ran: the window never had the focus";
  EXPECT_TRUE(player.AllDone()) << "failed at: " << player.Failed() << " (x before "
                                << xBeforeSteering << ", after left " << xAfterLeft
                                << ", after right " << xAfterRight << ")";
}

// The player has moved fire to X and accelerate to A. In the race X fires and A no longer does;
// in the menus A still chooses and B still goes back, and the d-pad still moves the selection.
TEST(SdlInput, ARemappedControllerFiresAndTheMenusStillAnswerTheController) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("SDL_VIDEODRIVER") == nullptr) {
    GTEST_SKIP() << "needs a display (scripts/run-tests.sh starts Xvfb)";
  }
  testsupport::ScratchGameFolder folder("sdl-remap", Settings{0, 0, 0, ""});
  std::ofstream(folder.Path() / "Data" / "Save" / "preferences")
      << "pad.fire = X\npad.accelerate = A, DPAD UP\n";
  VirtualController pad;
  ASSERT_TRUE(pad.Attached()) << SDL_GetError();

  const auto press = [&pad](SDL_GameControllerButton button) { pad.Button(button, true); };
  const auto release = [&pad](SDL_GameControllerButton button) { pad.Button(button, false); };
  const auto fireHeld = [](const Game& g) { return g.Input.States().Contains(InputButton8); };
  const auto accelerating = [](const Game& g) { return g.Input.States().Contains(InputUp); };
  std::vector<Step> steps = {
      {"main menu ready on Start", nullptr,
       [](Game& g) { return MenuReady(g) && Selected(g) == 1; }},
      {"d-pad down selects the daily run", [&] { press(SDL_CONTROLLER_BUTTON_DPAD_DOWN); },
       [](Game& g) { return Selected(g) == kDailyRunSlot; }},
      {"d-pad released", [&] { release(SDL_CONTROLLER_BUTTON_DPAD_DOWN); },
       [](Game& g) { return g.Menu.NavigationArmed; }},
      {"A opens the daily run", [&] { press(SDL_CONTROLLER_BUTTON_A); },
       [](Game& g) { return g.ScreenState == GameScreen::DailyRun; }},
      {"A released", [&] { release(SDL_CONTROLLER_BUTTON_A); },
       [](Game& g) { return !g.PadHeldBefore.Contains(int(PadButton(pad_buttons::kSouth))); }},
      {"B goes back to the main menu", [&] { press(SDL_CONTROLLER_BUTTON_B); },
       [](Game& g) { return g.ScreenState == GameScreen::MainMenu; }},
      {"B released", [&] { release(SDL_CONTROLLER_BUTTON_B); },
       [](Game& g) { return !g.PadHeldBefore.Contains(int(PadButton(pad_buttons::kEast))); }},
      {"d-pad up selects Start", [&] { press(SDL_CONTROLLER_BUTTON_DPAD_UP); },
       [](Game& g) { return Selected(g) == 1; }},
      {"d-pad up released", [&] { release(SDL_CONTROLLER_BUTTON_DPAD_UP); },
       [](Game& g) { return g.Menu.NavigationArmed; }},
      {"A opens the car choice", [&] { press(SDL_CONTROLLER_BUTTON_A); },
       [](Game& g) { return g.ScreenState == GameScreen::CarChoice; }},
      {"A released on the car choice", [&] { release(SDL_CONTROLLER_BUTTON_A); },
       [](Game& g) { return !g.PadHeldBefore.Contains(int(PadButton(pad_buttons::kSouth))); }},
      {"A starts the race", [&] { press(SDL_CONTROLLER_BUTTON_A); },
       [](Game& g) { return RaceRunning(g); }},
      {"A accelerates and does not fire", nullptr,
       [&](Game& g) { return accelerating(g) && !fireHeld(g); }},
      {"X fires",
       [&] {
         release(SDL_CONTROLLER_BUTTON_A);
         press(SDL_CONTROLLER_BUTTON_X);
       },
       [&](Game& g) { return fireHeld(g) && !accelerating(g); }},
      {"X released", [&] { release(SDL_CONTROLLER_BUTTON_X); },
       [&](Game& g) { return !fireHeld(g); }},
  };
  StepPlayer player(std::move(steps));
  bool stuck = false;
  const int status = RunProgramWith(player, stuck);
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(stuck) << "no tick ran: the window never had the focus";
  EXPECT_TRUE(player.AllDone()) << "failed at: " << player.Failed();
}

}  // namespace
}  // namespace rivoltra
