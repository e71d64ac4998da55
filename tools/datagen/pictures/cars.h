#pragma once
// Top-down cars: the four the player can choose and the six traffic models. The same drawing
// serves the race sprites and the larger cars on the car-choice buttons.
#include <cairo.h>

#include <vector>

#include "engine/image_archive.h"
#include "pictures/art.h"

namespace rivoltra::pictures {

enum class CarShape { Wedge, Coupe, Rally, Muscle, Hatch, Saloon, Van, Pickup, Lorry, Coach };

struct CarModel {
  const char* Title;  // shown on the car-choice button (player cars)
  CarShape Shape;
  int Width;
  int Height;
  Rgb Body;
  Rgb Stripe;
  bool Stripes;
  int RoofNumber;  // 0 = none
};

// Car 1..10 (1..4 the player's, 5..10 traffic).
const CarModel& CarModelOf(int number);

// Draws the car with its top-left corner at (x, y), scaled, nose up or (facingDown) nose down,
// with its shadow falling to the lower right either way.
void DrawCar(cairo_t* cr, const CarModel& model, double x, double y, double scale, bool facingDown);

// The player's turbo colour of car 1..4, as shown on the car-choice buttons.
Rgb TurboColourOf(int number);
const char* TurboColourName(int number);

// Race list: "Car1".."Car10", "Car5_Inv".."Car10_Inv" and the progress marker "CarSmall".
std::vector<ImageItemData> RaceCarItems();

// Room added right of and below a car for its shadow.
inline constexpr int kCarShadowX = 3;
inline constexpr int kCarShadowY = 4;

}  // namespace rivoltra::pictures
