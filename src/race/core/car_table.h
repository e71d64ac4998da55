#pragma once

#include <cstdint>
#include <string_view>

namespace rivoltra {

// One row of the car table: the driving values of a car and of its turbo.
struct CarDrivingValues {
  double MaxSpeed;
  double Acceleration;
  double BrakeDecel;
  double SteerDivisor;
  double SteerMax;
  double TurboMaxSpeed;
  double TurboAcceleration;
  std::string_view TurboColour;
};

// Cars 1..10; only 1..4 can be chosen, the rest hold zeros (their pictures serve as traffic).
// Throws std::out_of_range outside 1..10.
const CarDrivingValues& CarTable(std::int32_t car);

}  // namespace rivoltra
