#include "autopilot.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/game.h"
#include "app/input_events.h"
#include "engine/keyboard_codes.h"
#include "platform/null/null_platform.h"
#include "race/core/track_kinds.h"
#include "race/road.h"

namespace rivoltra {

namespace {

constexpr int kKeyUp = virtual_key::kUp;
constexpr int kKeyDown = virtual_key::kDown;
constexpr int kKeyLeft = virtual_key::kLeft;
constexpr int kKeyRight = virtual_key::kRight;
constexpr int kKeyControl = virtual_key::kControl;
// How far ahead, in ticks until contact, the autopilot cares about objects.
constexpr double kHorizonTicks = 90;

// How much the driver wants to avoid (positive) or meet (negative) an object of the kind.
double Weight(ObjectKind kind) {
  if (IsWallKind(kind) || IsTrafficKind(kind)) return 100;
  using enum ObjectKind;
  switch (kind) {
    case Spike10:
      return 60;  // a long puncture
    case Water10:
    case Water05:
      return 25;  // a slide
    case Stone05:
      return 20;
    case StoneSmall05:
      return 10;
    case Crack:
      return 6;
    case Rabbit:
      return 15;  // points lost
    case Bonus10:
      return -4;
    case Bonus20:
      return -6;
    case Bonus50:
      return -10;
    case Bonus100:
      return -15;
    case BonusGun:
      return -25;
    case BonusTurbo:
      return -20;
    case BonusLive:
      return -40;
    default:
      return 0;  // signs, side walls and the finish line are off the lanes
  }
}

struct Approach {
  bool Relevant = false;
  // Ticks until the object's lower edge reaches the car's upper edge; 0 when they overlap.
  double Ticks = 0;
};

Approach ApproachOf(const TrackObject& object, const CarState& car, double speed) {
  Approach approach;
  if (!object.CanCollide || object.Exploding || !object.Visible) return approach;
  const double objectBottom = object.Y + object.Height;
  const double carBottom = car.Y + car.Height;
  if (object.Y > carBottom) return approach;  // passed
  const double gap = car.Y - objectBottom;
  const double closing = speed + (object.IsTraffic ? object.OwnSpeed : 0);
  if (gap <= 0) {
    approach.Relevant = true;
    approach.Ticks = 0;
    return approach;
  }
  if (closing <= 0.05) return approach;
  approach.Relevant = true;
  approach.Ticks = gap / closing;
  return approach;
}

// Whether a car standing at carX would be touched by the object: at least a tenth of the
// object's width overlaps it, as the contact test demands.
bool Touches(const TrackObject& object, double carX, int carWidth) {
  const double margin = 0.9 * object.Width;
  return carX - object.X <= margin && (object.X + object.Width) - (carX + carWidth) <= margin;
}

}  // namespace

Autopilot::Autopilot(Game& game, HeldKeys& keys) : game_(game), keys_(keys) {}

void Autopilot::SendCommandsTo(std::function<void(const std::string&)> sink) {
  commandSink_ = std::move(sink);
}

namespace {
const char* RunnerKeyName(int virtualKey) {
  switch (virtualKey) {
    case kKeyUp:
      return "Up";
    case kKeyDown:
      return "Down";
    case kKeyLeft:
      return "Left";
    case kKeyRight:
      return "Right";
    default:
      return "Ctrl";
  }
}
}  // namespace

void Autopilot::SetKey(int virtualKey, bool down) {
  if (!commandSink_) {
    keys_.SetKeyDown(virtualKey, down);
    return;
  }
  bool& sent = sentDown_[virtualKey & 0xFF];
  if (sent == down) return;
  sent = down;
  commandSink_(std::string(down ? "down " : "up ") + RunnerKeyName(virtualKey));
}

void Autopilot::SetFire(bool down) {
  if (down == fireHeld_) return;
  fireHeld_ = down;
  if (commandSink_) {
    commandSink_(down ? "down Ctrl" : "up Ctrl");
    return;
  }
  if (down) {
    OnKeyDown(game_, kKeyControl, ShiftState{false, false, true});
  } else {
    OnKeyUp(game_, kKeyControl, ShiftState{});
  }
}

void Autopilot::ReleaseAll() {
  for (const int key : {kKeyUp, kKeyDown, kKeyLeft, kKeyRight}) SetKey(key, false);
  SetFire(false);
}

double Autopilot::LaneCost(int lane) const {
  const RaceState& race = game_.Race.State;
  const CarState& car = race.Car;
  const double laneX = LaneCentredX(lane, car.Width);
  const double step = std::min(race.Speed / car.SteerDivisor, car.SteerMax);
  // Ticks needed to get there: objects arriving sooner are judged where the car is now.
  const double travelTicks = step > 0 ? std::abs(laneX - car.X) / step : 0;
  double cost = std::abs(laneX - car.X) * 0.02;
  for (const TrackObject& object : race.Objects) {
    if (!object.Used) continue;
    const Approach approach = ApproachOf(object, car, race.Speed);
    if (!approach.Relevant || approach.Ticks > kHorizonTicks) continue;
    const double weight = Weight(object.Kind);
    if (weight == 0) continue;
    const bool inLane = Touches(object, laneX, car.Width);
    // On the way across the car sweeps every position between here and the lane.
    const double low = std::min(laneX, car.X);
    const double high = std::max(laneX, car.X);
    const bool onTheWay = weight > 0 && approach.Ticks <= travelTicks + 2 &&
                          object.X + object.Width * 0.9 > low &&
                          object.X + object.Width * 0.1 < high + car.Width;
    if (!inLane && !onTheWay) continue;
    // A bonus only counts when the car can be there in time.
    if (weight < 0 && approach.Ticks < travelTicks) continue;
    cost += weight / (1 + approach.Ticks / 15);
  }
  return cost;
}

bool Autopilot::HazardInPath(double withinTicks) const {
  const RaceState& race = game_.Race.State;
  const CarState& car = race.Car;
  for (const TrackObject& object : race.Objects) {
    if (!object.Used || Weight(object.Kind) < 50) continue;
    const Approach approach = ApproachOf(object, car, race.Speed);
    if (approach.Relevant && approach.Ticks <= withinTicks && Touches(object, car.X, car.Width)) {
      return true;
    }
  }
  return false;
}

bool Autopilot::TargetOnAimLine() const {
  const RaceState& race = game_.Race.State;
  const CarState& car = race.Car;
  const double aimX = car.X + car.Width / 2.0;
  const TrackObject* nearest = nullptr;
  double nearestDistance = std::numeric_limits<double>::max();
  for (const TrackObject& object : race.Objects) {
    if (!object.Used || object.NotShootable || object.Exploding) continue;
    const double distance = car.Y - object.Y;
    if (distance < 0 || distance > 600) continue;
    if (object.X > aimX || aimX > object.X + object.Width) continue;
    if (distance <= nearestDistance) {
      nearest = &object;
      nearestDistance = distance;
    }
  }
  // Shooting a bonus would only destroy it.
  return nearest != nullptr && Weight(nearest->Kind) > 0;
}

void Autopilot::Drive() {
  const RaceState& race = game_.Race.State;
  if (game_.ScreenState != GameScreen::Race || !game_.RaceScene.Live() || !race.RaceRunning) {
    ReleaseAll();
    return;
  }
  const CarState& car = race.Car;

  double bestCost = std::numeric_limits<double>::max();
  for (int lane = 2; lane <= 4; ++lane) {
    const double cost = LaneCost(lane);
    if (cost < bestCost) {
      bestCost = cost;
      targetLane_ = lane;
    }
  }

  const double targetX = LaneCentredX(targetLane_, car.Width);
  const double step = std::min(race.Speed / car.SteerDivisor, car.SteerMax);
  const double offset = targetX - car.X;
  const bool steerLeft = offset < -std::max(step / 2, 0.5);
  const bool steerRight = offset > std::max(step / 2, 0.5);
  SetKey(kKeyLeft, steerLeft);
  SetKey(kKeyRight, steerRight && !steerLeft);

  // Brake when a crash cannot be steered round: at 75/7 or less a wall only stops the car.
  const bool brake = HazardInPath(20) && bestCost >= 50 && race.Speed > 0;
  SetKey(kKeyDown, brake);
  SetKey(kKeyUp, !brake);

  SetFire(race.GunActive && TargetOnAimLine());
}

}  // namespace rivoltra
