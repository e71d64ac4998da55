#include "race/core/car_table.h"

#include <array>
#include <stdexcept>
#include <string>

#include "race/core/road.h"

namespace rivoltra {

namespace {

constexpr std::array<CarDrivingValues, 11> kCarTable = {{
    {},
    {Sevenths(125), 0.1, 0.2, 1.8, 12, Sevenths(150), 0.2, "TurboRed"},
    {Sevenths(125), 0.1, 0.2, 1.8, 12, Sevenths(150), 0.2, "TurboBlue"},
    {Sevenths(125), 0.1, 0.2, 1.8, 12, Sevenths(150), 0.2, "TurboYellow"},
    {Sevenths(125), 0.1, 0.2, 1.8, 12, Sevenths(150), 0.2, "TurboRed"},
    {},
    {},
    {},
    {},
    {},
    {},
}};

}  // namespace

const CarDrivingValues& CarTable(std::int32_t car) {
  if (car < 1 || car > 10) throw std::out_of_range("car number " + std::to_string(car));
  return kCarTable[static_cast<std::size_t>(car)];
}

}  // namespace rivoltra
