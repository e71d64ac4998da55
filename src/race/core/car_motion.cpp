// The car's move, kept free of drawing and input devices so recorded races replay through it.
#include "race/core/car_motion.h"

#include <algorithm>

#include "race/core/road.h"

namespace rivoltra {

namespace {

// Off road without the brake key the car only rolls out.
constexpr double kRollOutDecel = 0.05;

bool DrivesFreely(CarMotion motionState) { return motionState == CarMotion::DrivingFreely; }

class CarMove {
 public:
  CarMove(CarDriving& car, CarPlace& place, double& speed, const CarMoveContext& context)
      : car_(car), place_(place), speed_(speed), context_(context) {}

  CarMoveResult Run() {
    if (DrivesFreely(car_.MotionState) || car_.MotionState == CarMotion::SlowingDown)
      SteeringKeys();
    if (DrivesFreely(car_.MotionState)) SpeedKeys();
    OffRoadRule();
    Slide();
    if (car_.SlideDistance < 0) {
      car_.MotionState = CarMotion::DrivingFreely;
      car_.SlideDistance = 0;
    }
    SlowDown();
    if (car_.MotionState == CarMotion::DrivingFreely && car_.StunTime > 0) {
      car_.StunTime -= context_.IntervalMs / 1000.0;
      if (car_.StunTime <= 0) car_.StunTime = 0;
    }
    ClampX();
    return result_;
  }

 private:
  bool Held(RaceAction action) const { return context_.Actions.Held(action); }

  void SteeringKeys() {
    if (!context_.RaceRunning) return;
    if (Held(RaceAction::SteerLeft)) {
      SteerLeft(car_, place_, speed_);
    } else if (Held(RaceAction::SteerRight)) {
      SteerRight(car_, place_, speed_);
    }
  }

  void SpeedKeys() {
    if (!(speed_ > car_.MaxSpeed)) result_.FlameVisible = false;
    if (speed_ > context_.BaseMaxSpeed) result_.FlameVisible = true;
    if (car_.StunTime != 0 || !context_.RaceRunning) return;
    if (Held(RaceAction::Accelerate)) {
      Accelerate(car_, speed_);
      result_.FlameVisible = true;
    }
    if (Held(RaceAction::Brake)) Brake(car_, speed_, true, IsOffRoad(place_));
  }

  void OffRoadRule() {
    if (context_.FinishPhase == LevelEndPhase::Racing && IsOffRoad(place_) && !context_.Punctured) {
      // Halved once: the normal copies remember what to come back to.
      if (car_.MaxSpeed == car_.NormalMaxSpeed && car_.Acceleration == car_.NormalAcceleration) {
        car_.NormalMaxSpeed = car_.MaxSpeed;
        car_.NormalAcceleration = car_.Acceleration;
        car_.MaxSpeed /= 2;
        car_.Acceleration /= 2;
      }
      if (speed_ > car_.MaxSpeed) {
        car_.MotionState = CarMotion::SlowingDown;
        car_.TargetSpeed = car_.MaxSpeed;
      }
      return;
    }
    if (car_.MaxSpeed != car_.NormalMaxSpeed && car_.Acceleration != car_.NormalAcceleration) {
      car_.MaxSpeed = car_.NormalMaxSpeed;
      car_.Acceleration = car_.NormalAcceleration;
      if (car_.MotionState == CarMotion::SlowingDown &&
          context_.FinishPhase == LevelEndPhase::Racing) {
        car_.MotionState = CarMotion::DrivingFreely;
        car_.TargetSpeed = car_.MaxSpeed;
      }
    }
  }

  void Slide() {
    if (car_.MotionState != CarMotion::SlidingRight && car_.MotionState != CarMotion::SlidingLeft)
      return;
    const bool toTheRight = car_.MotionState == CarMotion::SlidingRight;
    if (speed_ == 0) car_.MotionState = CarMotion::DrivingFreely;
    car_.SlideDistance -= speed_ / car_.SteerDivisor;
    if (toTheRight) {
      SteerRight(car_, place_, speed_);
    } else {
      SteerLeft(car_, place_, speed_);
    }
    if (speed_ > car_.TargetSpeed) {
      Brake(car_, speed_, false, IsOffRoad(place_));
    } else {
      car_.MotionState = CarMotion::DrivingFreely;
    }
  }

  void SlowDown() {
    if (car_.MotionState != CarMotion::SlowingDown) return;
    result_.FlameVisible = false;
    if (speed_ > car_.TargetSpeed) {
      Brake(car_, speed_, Held(RaceAction::Brake), IsOffRoad(place_));
    }
    if (!(speed_ > car_.TargetSpeed)) car_.MotionState = CarMotion::DrivingFreely;
    if (speed_ < 0) speed_ = 0;
  }

  void ClampX() {
    if (place_.X < kCarMinX) place_.X = kCarMinX;
    const double rightmost = kLaneEdge[4] - place_.Width;
    if (place_.X > rightmost) place_.X = rightmost;
  }

  CarDriving& car_;
  CarPlace& place_;
  double& speed_;
  const CarMoveContext& context_;
  CarMoveResult result_;
};

}  // namespace

CarMoveResult MoveCar(CarDriving& car, CarPlace& place, double& speed,
                      const CarMoveContext& context) {
  return CarMove(car, place, speed, context).Run();
}

void Accelerate(const CarDriving& car, double& speed) {
  if (car.ControlsEnabled && speed < car.MaxSpeed) speed += car.Acceleration;
}

void Brake(const CarDriving& car, double& speed, bool brakeKeyHeld, bool offRoad) {
  const double step = offRoad && !brakeKeyHeld ? kRollOutDecel : car.BrakeDecel;
  if (!car.ControlsEnabled) return;
  if (speed < 0.1) {
    speed = 0;
  } else {
    speed -= step;
  }
}

void SteerLeft(const CarDriving& car, CarPlace& place, double speed) {
  if (car.ControlsEnabled) place.X -= std::min(speed / car.SteerDivisor, car.SteerMax);
}

void SteerRight(const CarDriving& car, CarPlace& place, double speed) {
  if (car.ControlsEnabled) place.X += std::min(speed / car.SteerDivisor, car.SteerMax);
}

bool IsOffRoad(const CarPlace& place) { return place.X + place.Width / 3.0 < kLaneEdge[1]; }

}  // namespace rivoltra
