#pragma once

#include <cstdint>
#include <string>

namespace rivoltra {

struct Game;
struct GhostCar;
struct RaceState;

// The road's pixels in a metre, for the HUD's distances: a car's picture is about five metres.
inline constexpr double kPixelsPerMetre = 20;

// Where the ghost stands on the screen: its lane as its own race has it, and as far above or
// below the player's car as it is ahead or behind.
struct GhostPlacement {
  double X = 0;
  double Y = 0;
  // Pixels the ghost has driven more than the player (below 0: behind).
  double Lead = 0;
};
GhostPlacement PlaceGhost(const RaceState& player, const RaceState& ghost);

// The HUD line: "GHOST 120M AHEAD", "LEADER 35M BEHIND", "GHOST ALONGSIDE", and once the ghost's
// run is over its score; empty without a ghost.
std::string GhostHudLine(const GhostCar& ghost, const RaceState& player);

// The ghost over the road, half transparent (an arrow at the screen's top or bottom edge while
// it is out of view), and its HUD line. Nothing without a ghost or while drawing is off.
void DrawGhost(Game& game);

}  // namespace rivoltra
