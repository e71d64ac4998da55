// The page's touch buttons as the race ticks read them: a held button is read by every tick, and
// a tap that starts and ends between two ticks is still read by the next one, once.
#include "platform/web/touch_actions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rivoltra {
namespace {

ActionStates Of(std::initializer_list<RaceAction> actions) {
  ActionStates states;
  for (const RaceAction action : actions) states.Set(action, true);
  return states;
}

TEST(TouchActions, EveryPressReachesTheNextTickAndOnlyHeldOnesStay) {
  using enum RaceAction;
  // Steps: "hold" the buttons held now, or "tick": what that tick reads.
  struct Step {
    bool Tick;
    ActionStates States;
  };
  const struct {
    std::string Name;
    std::vector<Step> Steps;
  } cases[] = {
      {"held across ticks",
       {{false, Of({Accelerate})}, {true, Of({Accelerate})}, {true, Of({Accelerate})}}},
      {"a tap between two ticks is read once",
       {{false, Of({Finish})}, {false, {}}, {true, Of({Finish})}, {true, {}}}},
      {"a second finger joins the first",
       {{false, Of({Accelerate})},
        {true, Of({Accelerate})},
        {false, Of({Accelerate, SteerRight})},
        {true, Of({Accelerate, SteerRight})}}},
      {"a finger slides from right to left between ticks",
       {{false, Of({SteerRight})},
        {true, Of({SteerRight})},
        {false, Of({SteerLeft})},
        {true, Of({SteerLeft})}}},
      {"a slide there and back between ticks still reaches the game",
       {{false, Of({SteerRight})},
        {true, Of({SteerRight})},
        {false, Of({SteerLeft})},
        {false, Of({SteerRight})},
        {true, Of({SteerLeft, SteerRight})},
        {true, Of({SteerRight})}}},
      {"everything let go (a cancelled touch)",
       {{false, Of({Accelerate, Fire})}, {true, Of({Accelerate, Fire})}, {false, {}}, {true, {}}}},
  };
  for (const auto& c : cases) {
    TouchActions touch;
    int tick = 0;
    for (const Step& step : c.Steps) {
      if (!step.Tick) {
        touch.Hold(step.States);
        continue;
      }
      EXPECT_EQ(touch.ForTick().Bits(), step.States.Bits()) << c.Name << ", tick " << tick;
      touch.TickRan();
      ++tick;
    }
  }
}

}  // namespace
}  // namespace rivoltra
