// The race's rules for one tick, in the order the game has always run them: the frozen part
// (banners, pause, the finish prompt) every tick, the running part while play is live. The
// order of random draws, of object moves and of contacts is part of every recorded race.
#include "race/core/race_tick.h"

#include <cmath>

#include "race/core/car_table.h"
#include "race/core/level_clock.h"
#include "race/core/object_contact.h"
#include "race/core/road.h"
#include "race/core/track_objects.h"

namespace rivoltra {

namespace {

constexpr std::int32_t kBannerMs = 2000;
constexpr std::int32_t kLevelDoneMs = 1000;
constexpr std::int32_t kStartLives = 3;
// The finish line is placed when this much of the level is left.
constexpr double kFinishLineAhead = 600;
constexpr double kHitExplosionFramesPerSecond = 20;
constexpr double kGunExplosionFramesPerSecond = 10;
constexpr double kCrashFramesPerSecond = 20;
// Seconds a gun or turbo lasts from its pick-up; a second pick-up of the same bonus restarts them.
constexpr std::int32_t kBonusSeconds = 10;
// The gun looks this far up the road.
constexpr double kGunRange = 10000;
constexpr int kHitsToDestroy = 3;
constexpr int kTrafficKillPoints = 20;
constexpr int kWallKillPoints = 10;

using enum RaceEventKind;

struct Rect {
  int Left, Top, Right, Bottom;
};

// Positions are truncated toward zero and held within +-2^30, as the sprites' boxes are.
int TruncatePosition(double value) {
  constexpr double kLimit = 1 << 30;
  if (std::isnan(value)) return 0;
  if (value < -kLimit) value = -kLimit;
  if (value > kLimit) value = kLimit;
  return static_cast<int>(value);
}

int SaturatedEdge(int start, int size) {
  const long long edge = static_cast<long long>(start) + size;
  if (edge > INT32_MAX) return INT32_MAX;
  if (edge < INT32_MIN) return INT32_MIN;
  return static_cast<int>(edge);
}

Rect Box(double x, double y, int width, int height) {
  const int left = TruncatePosition(x);
  const int top = TruncatePosition(y);
  return {left, top, SaturatedEdge(left, width), SaturatedEdge(top, height)};
}

bool Overlaps(const Rect& a, const Rect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

class Tick {
 public:
  Tick(RaceState& race, const RaceData& data, RaceEvents& events)
      : race_(race), car_(race.Car), data_(data), events_(events) {}

  void Run(const RaceTickInput& input) {
    actions_ = input.Actions;
    if (!FrozenPart()) return;
    RunningPart(input.LagCount);
  }

  void EndBonus() {
    if (race_.TurboActive) {
      const CarDrivingValues& values = CarTable(car_.Number);
      car_.MaxSpeed = car_.NormalMaxSpeed = values.MaxSpeed;
      car_.Acceleration = car_.NormalAcceleration = values.Acceleration;
      if (race_.Speed > car_.MaxSpeed) {
        car_.MotionState = CarMotion::SlowingDown;
        car_.TargetSpeed = car_.MaxSpeed;
      }
    }
    if (race_.GunActive || race_.TurboActive) {
      TakeFromMoveOrder(race_, kMoveOrderBonusIcon);
      TakeFromMoveOrder(race_, kMoveOrderBonusFlame);
      events_.Add(BonusEnded);
    }
    if (race_.Punctured) car_.StunTime = 0;
    race_.GunActive = false;
    race_.TurboActive = false;
    race_.Punctured = false;
  }

  void StartLevel(std::int32_t level) {
    Sound("EngineStart");
    Sound("Engine");
    race_.FinishPhase = LevelEndPhase::Racing;
    race_.Level = level;
    race_.TimeLeft = LevelTime(level);
    race_.Speed = 0;
    car_.TargetSpeed = 0;
    car_.MotionState = CarMotion::DrivingFreely;
    car_.StunTime = 0;
    PlaceInStartLane();
    race_.Distance = 0;
    race_.SecondTimer = 1000;
    race_.RaceRunning = false;
    race_.PauseKeyWasDown = false;
    race_.Paused = false;
    race_.FinishKeyWasDown = false;
    race_.FinishPrompt = false;
    race_.CrashSlot = 0;
    EndBonus();
    ClearSlots(race_, events_);
    race_.CrashPending = false;
    race_.SpawnChance = SpawnChancesForLevel(level);
    // Two seconds of banner, counted in ticks.
    race_.StartDelay = 1000.0 / Interval() * 2;
    race_.TimeOverShown = false;
    race_.GameOverShown = false;
    events_.Add(LevelStarted, nullptr, 0, level);
  }

  void NewGame(std::int32_t carNumber) {
    race_.Score = 0;
    race_.Lives = kStartLives;
    NewCar(carNumber);
    car_.ControlsEnabled = true;
    race_.GunActive = false;
    race_.TurboActive = false;
    race_.Punctured = false;
    StartLevel(1);
  }

  void StartRace(std::int32_t carNumber) {
    race_.GroundSide = 0;
    race_.Objects = {};
    race_.MoveOrderSize = 0;
    race_.RoadBanner = StandingBanner::None;
    race_.FlameVisible = false;
    race_.Ended = false;
    // Left over from an earlier race it could only matter with a turbo taken before the first
    // running tick, which cannot happen; cleared so a race depends on its own inputs alone.
    race_.AccelKeyWasDown = false;
    NewGame(carNumber);
    race_.SparkVisible = false;
    race_.SparkX = kExplosionStartX;
    race_.SparkY = kExplosionStartY;
    CrashExplosionState& explosion = race_.CarExplosion;
    explosion = CrashExplosionState{};
    explosion.X = kExplosionStartX;
    explosion.Y = kExplosionStartY;
    explosion.Width = data_.ExplosionBig.Width;
    explosion.Height = data_.ExplosionBig.Height;
    explosion.Frames.FrameCount = data_.ExplosionBig.FrameCount;
    explosion.Frames.Looped = true;
    ClearSlots(race_, events_);
    race_.RaceRunning = false;
  }

 private:
  bool Held(RaceAction action) const { return actions_.Held(action); }
  std::int32_t Interval() const { return data_.IntervalMs; }
  void Sound(const char* name) { events_.Add(PlaySound, name); }

  // ---- the car ----

  void NewCar(std::int32_t carNumber) {
    const CarDrivingValues& values = CarTable(carNumber);
    const PictureSize& picture = data_.Cars[static_cast<std::size_t>(carNumber)];
    car_ = CarState{};
    car_.Number = carNumber;
    car_.Width = picture.Width;
    car_.Height = picture.Height;
    car_.MaxSpeed = values.MaxSpeed;
    car_.Acceleration = values.Acceleration;
    car_.BrakeDecel = values.BrakeDecel;
    car_.SteerDivisor = values.SteerDivisor;
    car_.SteerMax = values.SteerMax;
    car_.NormalMaxSpeed = car_.MaxSpeed;
    car_.NormalAcceleration = car_.Acceleration;
    PlaceInStartLane();
    car_.Y = kCarBottom - car_.Height;
  }

  // Lanes 2..4, centred.
  void PlaceInStartLane() {
    const int lane = static_cast<int>(race_.Random.Next(3)) + 2;
    car_.X = LaneCentredX(lane, car_.Width);
  }

  void MoveCar() {
    CarMoveContext context;
    context.Actions = actions_;
    context.RaceRunning = race_.RaceRunning;
    context.FinishPhase = race_.FinishPhase;
    context.Punctured = race_.Punctured;
    context.IntervalMs = Interval();
    context.BaseMaxSpeed = CarTable(car_.Number).MaxSpeed;
    CarPlace place{car_.X, car_.Width};
    const CarMoveResult result = rivoltra::MoveCar(car_, place, race_.Speed, context);
    car_.X = place.X;
    // The flame belongs to the turbo; under the gun the gun's fire decides it.
    if (result.FlameVisible.has_value() && race_.TurboActive) {
      race_.FlameVisible = *result.FlameVisible;
    }
  }

  void StopCar() {
    car_.MotionState = CarMotion::SlowingDown;
    car_.TargetSpeed = 0;
  }

  // ---- bonuses ----

  void StartBonus() {
    car_.BonusSeconds = kBonusSeconds;
    if (car_.StunTime > 0) car_.StunTime = 0;
    // The icon and the flame are made anew, the flame hidden.
    TakeFromMoveOrder(race_, kMoveOrderBonusIcon);
    TakeFromMoveOrder(race_, kMoveOrderBonusFlame);
    AppendToMoveOrder(race_, kMoveOrderBonusIcon);
    AppendToMoveOrder(race_, kMoveOrderBonusFlame);
    race_.FlameVisible = false;
  }

  void PickUpGun(TrackObject& object) {
    Sound("BonusGet");
    if (race_.GunActive) {
      car_.BonusSeconds = kBonusSeconds;
    } else {
      if (race_.TurboActive) EndBonus();
      race_.GunActive = true;
      StartBonus();
      events_.Add(BonusTaken, nullptr, 0, KindNumber(ObjectKind::BonusGun));
    }
    object.RemoveNow = true;
  }

  void PickUpTurbo(TrackObject& object) {
    Sound("BonusGet");
    if (race_.TurboActive) {
      car_.BonusSeconds = kBonusSeconds;
    } else {
      if (race_.GunActive) EndBonus();
      race_.TurboActive = true;
      const CarDrivingValues& values = CarTable(car_.Number);
      car_.MaxSpeed = car_.NormalMaxSpeed = values.TurboMaxSpeed;
      car_.Acceleration = car_.NormalAcceleration = values.TurboAcceleration;
      StartBonus();
      events_.Add(BonusTaken, nullptr, 0, KindNumber(ObjectKind::BonusTurbo));
    }
    object.RemoveNow = true;
  }

  void FireGun(bool fire) {
    if (!race_.GunActive) {
      race_.SparkVisible = false;
      events_.Add(StopSound, "Shot");
      return;
    }
    if (!race_.FlameVisible && fire) Sound("Shot");
    race_.FlameVisible = fire;
    if (!fire) {
      race_.SparkVisible = false;
      events_.Add(StopSound, "Shot");
      return;
    }
    const double aimX = car_.X + car_.Width / 2.0;
    std::int32_t target = 0;
    double targetDistance = 0;
    for (std::int32_t slot = 1; slot <= kSlotCount; ++slot) {
      const TrackObject& object = race_.Objects[static_cast<std::size_t>(slot)];
      if (!object.Used || object.NotShootable || object.Exploding) continue;
      const double distance = car_.Y - object.Y;
      if (distance < 0 || distance > kGunRange) continue;
      if (!(object.X <= aimX && aimX <= object.X + object.Width)) continue;
      // On equal distance the later slot wins.
      if (target == 0 || distance <= targetDistance) {
        target = slot;
        targetDistance = distance;
      }
    }
    if (target == 0) {
      race_.SparkVisible = false;
      return;
    }
    TrackObject& object = race_.Objects[static_cast<std::size_t>(target)];
    race_.SparkX = aimX;
    race_.SparkY = object.Y;
    race_.SparkVisible = true;
    events_.Add(ObjectShot, nullptr, target);
    object.Hits += 1;
    if (object.Hits < kHitsToDestroy) return;
    Sound("WallExplosion");
    ShowExplosion(object, data_, ObjectPicture::ExplosionSmall, kGunExplosionFramesPerSecond);
    object.OwnSpeed = 0;
    object.Exploding = true;
    events_.Add(ObjectExploded, nullptr, target);
    if (object.IsTraffic) {
      race_.Score += kTrafficKillPoints;
    } else if (IsWallKind(object.Kind)) {
      race_.Score += kWallKillPoints;
    }
  }

  // ---- crashes ----

  void StartCrashExplosion() {
    CrashExplosionState& explosion = race_.CarExplosion;
    explosion.Visible = true;
    explosion.Frames.FrameCount = data_.ExplosionBig.FrameCount;
    explosion.Frames.Pos = 0;
    explosion.Frames.Speed = FramesPerLag(data_, kCrashFramesPerSecond);
    explosion.X = car_.X;
    explosion.Y = car_.Y;
    events_.Add(Crash);
  }

  // Counts frame changes, keeps the explosion on the car (a quarter of its height lower for the
  // second run) and says whether both runs are over.
  bool CrashExplosionFinished() {
    CrashExplosionState& explosion = race_.CarExplosion;
    const auto frame = static_cast<std::int32_t>(std::trunc(explosion.Frames.Pos));
    if (frame != explosion.LastFrame) {
      explosion.LastFrame = frame;
      explosion.FramesSeen += 1;
    }
    if (explosion.FramesSeen == 0) explosion.Y = car_.Y;
    if (explosion.FramesSeen == explosion.Frames.FrameCount) {
      explosion.Y = car_.Y + explosion.Height / 4.0;
    }
    return explosion.Visible && explosion.FramesSeen == 2 * explosion.Frames.FrameCount;
  }

  void ResetCrashExplosion() {
    CrashExplosionState& explosion = race_.CarExplosion;
    explosion.Visible = false;
    explosion.Frames.Pos = 0;
    explosion.Frames.Speed = 0;
    explosion.FramesSeen = 0;
    explosion.LastFrame = 0;
  }

  void RespawnCar() {
    if (CheckGameOver()) return;
    car_.ControlsEnabled = true;
    race_.CrashPending = false;
    race_.CrashSlot = 0;
    ResetCrashExplosion();
    events_.Add(Respawn);
  }

  // ---- banners ----

  void ShowRoadBanner(StandingBanner banner, const char* picture) {
    if (race_.RoadBanner != StandingBanner::None) TakeFromMoveOrder(race_, kMoveOrderBanner);
    race_.RoadBanner = banner;
    AppendToMoveOrder(race_, kMoveOrderBanner);
    events_.Add(BannerShown, picture);
  }

  void HideRoadBanner() {
    if (race_.RoadBanner == StandingBanner::None) return;
    race_.RoadBanner = StandingBanner::None;
    TakeFromMoveOrder(race_, kMoveOrderBanner);
    events_.Add(BannerHidden);
  }

  bool CheckGameOver() {
    if (race_.Lives != 0) return false;
    Sound("GameOver");
    // A banner still standing (time over reached 0 lives at the same moment) is replaced.
    ShowRoadBanner(StandingBanner::GameOver, "GameOverNB");
    race_.GameOverShown = true;
    race_.GameOverTimer = kBannerMs;
    race_.RaceRunning = false;
    events_.Add(GameOver);
    return true;
  }

  void ShowTimeOver() {
    Sound("GameOver");
    ShowRoadBanner(StandingBanner::TimeOver, "TimeIsOverNB");
    race_.TimeOverShown = true;
    race_.TimeOverTimer = kBannerMs;
    race_.RaceRunning = false;
    events_.Add(TimeOver);
  }

  void EndGame(GameEndReason reason) {
    race_.Ended = true;
    race_.EndReason = reason;
    race_.RaceRunning = false;
    events_.Add(GameEnded, nullptr, 0, static_cast<std::int32_t>(reason));
  }

  // ---- the frozen part ----

  // A puncture ends with its stun.
  void PunctureRule() {
    if (race_.Punctured && car_.StunTime == 0) race_.Punctured = false;
  }

  void Freeze() {
    events_.Add(StopMusic);
    events_.Add(StopSound, "Engine");
    race_.RaceRunning = false;
  }

  void Unfreeze() {
    events_.Add(PlayMusic);
    Sound("Engine");
    race_.RaceRunning = true;
  }

  // The pause and finish keys act on the press, and not while the start banner counts.
  void PauseAndFinishKeys() {
    const bool pauseDown = Held(RaceAction::Pause);
    const bool finishDown = Held(RaceAction::Finish);
    if (pauseDown && !race_.PauseKeyWasDown && race_.StartDelay == 0) {
      if (race_.RaceRunning) {
        events_.Add(TextBanner, "PAUSE");
        Freeze();
        race_.Paused = true;
        events_.Add(Paused);
      } else if (!race_.FinishPrompt) {
        Unfreeze();
        race_.Paused = false;
        events_.Add(Unpaused);
      }
    }
    if (finishDown && !race_.FinishKeyWasDown && race_.StartDelay == 0) {
      if (race_.RaceRunning) {
        events_.Add(TextBanner, "FINISH RACE? Y/N");
        Freeze();
        race_.FinishPrompt = true;
        events_.Add(FinishPromptShown);
      } else if (!race_.Paused) {
        Unfreeze();
        race_.FinishPrompt = false;
        events_.Add(FinishPromptClosed);
      }
    }
    race_.PauseKeyWasDown = pauseDown;
    race_.FinishKeyWasDown = finishDown;
  }

  // The level's start banner counts down while nothing else holds the race; then play starts.
  void StartBanner() {
    if (race_.Paused || race_.FinishPrompt || race_.FinishPhase != LevelEndPhase::Racing) return;
    if (race_.StartDelay > 0) {
      race_.StartDelay -= 1;
      events_.Add(TextBanner, "LEVEL ", 0, race_.Level);
    } else {
      race_.StartDelay = 0;
      race_.RaceRunning = true;
      car_.ControlsEnabled = true;
    }
  }

  // Returns false when the game has ended.
  bool TimeOverBanner() {
    if (!race_.TimeOverShown) return true;
    if (race_.TimeOverTimer > 0) {
      race_.TimeOverTimer -= Interval();
      race_.RaceRunning = false;
      events_.Add(FrameShown);
      return true;
    }
    race_.TimeOverShown = false;
    HideRoadBanner();
    // Oncoming traffic can still reach the standing car during the banner and take the last life.
    if (race_.Lives == 0) {
      EndGame(GameEndReason::GameOver);
      return false;
    }
    StartLevel(race_.Level);
    return true;
  }

  // At 0 lives after a crash the banner replaces the respawn: the explosion and the crashed
  // object disappear.
  void GameOverInsteadOfRespawn() {
    if (race_.Lives != 0 || race_.GameOverShown) return;
    CheckGameOver();
    race_.CarExplosion.Visible = false;
    if (race_.CrashSlot >= 1 && race_.CrashSlot <= kSlotCount) {
      TrackObject& object = race_.Objects[static_cast<std::size_t>(race_.CrashSlot)];
      if (object.Used) object.Visible = false;
    }
  }

  // Returns false when the game has ended.
  bool GameOverBanner() {
    if (!race_.GameOverShown) return true;
    if (race_.GameOverTimer <= 0) {
      HideRoadBanner();
      EndGame(GameEndReason::GameOver);
      return false;
    }
    race_.GameOverTimer -= Interval();
    race_.RaceRunning = false;
    events_.Add(FrameShown);
    return true;
  }

  void LevelCompletedBanner() {
    if (race_.FinishPhase != LevelEndPhase::LevelCompletedBanner) return;
    if (race_.LevelDoneTimer <= 0) {
      race_.FinishPhase = LevelEndPhase::TimeBonusCount;
      race_.RaceRunning = true;
      return;
    }
    race_.LevelDoneTimer -= Interval();
    race_.RaceRunning = false;
    events_.Add(TextBanner, "LEVEL COMPLETED");
  }

  // Returns whether play runs on in this tick.
  bool FrozenPart() {
    // Only the banners after a lost life let the road move, and then without lag.
    if (race_.TimeOverShown || race_.GameOverShown) MoveAll(0);
    events_.Add(FrameDrawn);
    PunctureRule();
    PauseAndFinishKeys();
    if (race_.FinishPrompt) {
      if (Held(RaceAction::Yes)) {
        EndGame(GameEndReason::FinishPromptYes);
        return false;
      }
      if (Held(RaceAction::No)) {
        Unfreeze();
        race_.Paused = false;
        race_.FinishPrompt = false;
        events_.Add(FinishPromptClosed);
      }
    }
    StartBanner();
    if (!TimeOverBanner()) return false;
    GameOverInsteadOfRespawn();
    if (!GameOverBanner()) return false;
    LevelCompletedBanner();
    return race_.RaceRunning;
  }

  // ---- the move ----

  // The car, the crash explosion's frames, then the objects, icon, flame and banner in the
  // order they were created. A bonus swap during the move takes the icon and flame out of the
  // order and so skips as many later entries.
  void MoveAll(std::int32_t lag) {
    events_.List.push_back({Moved, nullptr, 0, lag, race_.Speed});
    MoveCar();
    race_.CarExplosion.Frames.Advance(lag);
    const std::int32_t count = race_.MoveOrderSize;
    for (std::int32_t i = 0; i < count && i < race_.MoveOrderSize; ++i) {
      const std::int8_t entry = race_.MoveOrder[static_cast<std::size_t>(i)];
      if (entry >= 1 && entry <= kSlotCount) MoveObject(entry, lag);
    }
  }

  void MoveObject(std::int32_t slot, std::int32_t lag) {
    TrackObject& object = race_.Objects[static_cast<std::size_t>(slot)];
    object.Frames.Advance(lag);
    if (object.CanCollide && Overlaps(Box(object.X, object.Y, object.Width, object.Height),
                                      Box(car_.X, car_.Y, car_.Width, car_.Height))) {
      Contact(slot, object);
    }
    object.Y += race_.Speed;
    if (object.IsTraffic) object.Y += object.OwnSpeed;
  }

  void Contact(std::int32_t slot, TrackObject& object) {
    if (race_.FinishPhase != LevelEndPhase::Racing &&
        race_.FinishPhase != LevelEndPhase::FinishLinePlaced)
      return;
    // The car must overlap the object by at least a tenth of the object's width.
    const double margin = 0.9 * object.Width;
    if (!(car_.X - object.X <= margin &&
          (object.X + object.Width) - (car_.X + car_.Width) <= margin)) {
      return;
    }
    if (object.Exploding) return;
    // Each object acts once.
    object.CanCollide = false;
    events_.Add(ObjectHit, nullptr, slot, KindNumber(object.Kind));

    const ContactResult contact = TouchObject(race_, car_, object.Kind, object.Lane, race_.Random);
    if (contact.Handled) {
      if (contact.Sound != nullptr) Sound(contact.Sound);
      if (contact.Remove) object.RemoveNow = true;
      return;
    }
    using enum ObjectKind;
    switch (object.Kind) {
      case Wall05:
        Sound("CarExplosion");
        WallCrash(slot, object, ObjectPicture::ExplosionSmall);
        break;
      case Wall10:
        Sound("CarExplosion");
        WallCrash(slot, object, ObjectPicture::ExplosionBig);
        break;
      case BonusGun:
        PickUpGun(object);
        break;
      case BonusTurbo:
        PickUpTurbo(object);
        break;
      default:
        if (object.IsTraffic) TrafficCrash(slot, object);
        // Signs, side walls and the finish line do nothing.
        break;
    }
  }

  void WallCrash(std::int32_t slot, TrackObject& object, ObjectPicture explosion) {
    object.RemoveNow = false;
    ShowExplosion(object, data_, explosion, kHitExplosionFramesPerSecond);
    events_.Add(ObjectExploded, nullptr, slot);
    race_.CrashSlot = slot;
    if (WallHit(race_, car_)) StartCrashExplosion();
  }

  void TrafficCrash(std::int32_t slot, TrackObject& object) {
    object.RemoveNow = false;
    ShowExplosion(object, data_, ObjectPicture::ExplosionBig, kHitExplosionFramesPerSecond);
    events_.Add(ObjectExploded, nullptr, slot);
    Sound("CarExplosion");
    race_.CrashSlot = slot;
    if (TrafficHit(race_, car_, object.OwnSpeed)) StartCrashExplosion();
    object.OwnSpeed = 0;
  }

  // ---- the running part ----

  void RunClock() {
    const ClockStep step = rivoltra::RunClock(race_, car_, Interval());
    if (step.Tick) Sound("Tick");
    if (step.BonusRanOut) {
      Sound("BonusLost");
      EndBonus();
    }
  }

  void CountTimeBonus() {
    const TimeBonusStep step = StepTimeBonus(race_, Interval());
    if (!step.Tick) return;
    Sound("Tick");
    if (step.StartNextLevel) StartLevel(race_.Level + 1);
    TakeBonusSecond(race_);
  }

  void RunningPart(std::int32_t lag) {
    MoveAll(lag);
    events_.Add(FrameDrawn);
    PunctureRule();

    if (race_.Speed == 0 && race_.TimeLeft == 0 &&
        race_.FinishPhase <= LevelEndPhase::FinishLinePlaced && !race_.TimeOverShown) {
      race_.Lives -= 1;
      if (CheckGameOver()) return;
      ShowTimeOver();
      return;
    }

    if (race_.FinishPhase <= LevelEndPhase::FinishLinePlaced) RunClock();
    if (race_.FinishPhase == LevelEndPhase::TimeBonusCount) CountTimeBonus();
    if (race_.CrashPending) EndBonus();

    race_.Distance += race_.Speed;
    const double length = LevelLength(race_.Level);
    if (race_.Distance + kFinishLineAhead >= length && race_.FinishPhase == LevelEndPhase::Racing) {
      race_.FinishPhase = LevelEndPhase::FinishLinePlaced;
      SpawnObject(race_, data_, ObjectKind::FinishLine, events_);
    }
    if (race_.Distance >= length && race_.FinishPhase == LevelEndPhase::FinishLinePlaced) {
      StopCar();
      race_.FinishPhase = LevelEndPhase::BrakingAfterLine;
    }
    if (race_.Speed == 0 && race_.FinishPhase == LevelEndPhase::BrakingAfterLine) {
      Sound("LevelFinish");
      race_.FinishPhase = LevelEndPhase::LevelCompletedBanner;
      race_.LevelDoneTimer = kLevelDoneMs;
      car_.ControlsEnabled = false;
      race_.RaceRunning = false;
      events_.Add(LevelDone, nullptr, 0, race_.Level);
      return;
    }

    RemoveFinishedObjects(race_, events_);
    if (CrashExplosionFinished()) RespawnCar();
    if (race_.Speed > 0 && race_.FinishPhase == LevelEndPhase::Racing)
      SpawnDecision(race_, data_, events_);

    const bool accelDown = Held(RaceAction::Accelerate);
    if (accelDown && !race_.AccelKeyWasDown && race_.TurboActive) Sound("EngineAccel");
    race_.AccelKeyWasDown = accelDown;

    FireGun(Held(RaceAction::Fire));
    events_.Add(FrameShown);
  }

  RaceState& race_;
  CarState& car_;
  const RaceData& data_;
  RaceEvents& events_;
  ActionStates actions_;
};

}  // namespace

RaceEvents StartRace(RaceState& race, const RaceData& data, std::int32_t car) {
  RaceEvents events;
  Tick(race, data, events).StartRace(car);
  return events;
}

void StartLevel(RaceState& race, const RaceData& data, std::int32_t level, RaceEvents& events) {
  Tick(race, data, events).StartLevel(level);
}

void EndBonus(RaceState& race, RaceEvents& events) {
  const RaceData none;
  Tick(race, none, events).EndBonus();
}

RaceEvents RaceTick(RaceState& race, const RaceTickInput& input, const RaceData& data) {
  RaceEvents events;
  if (race.Ended) return events;
  Tick(race, data, events).Run(input);
  return events;
}

}  // namespace rivoltra
