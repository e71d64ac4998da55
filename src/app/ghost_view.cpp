// The ghost car's picture, its arrow and its HUD line. Only read from the race's and the ghost's
// states; nothing here is seen by either.
#include "app/ghost_view.h"

#include <algorithm>
#include <cmath>

#include "app/game.h"
#include "app/race_scene/race_sprites.h"
#include "engine/image_list.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr int kHudX = layout::kLaneEdge[1] + 14;
constexpr int kHudY = 20;
// The arrow: a triangle this wide at its base and this tall, its tip this far from the edge.
constexpr int kArrowHalfWidth = 10;
constexpr int kArrowHeight = 12;
constexpr int kArrowMargin = 2;
constexpr Pixel565 kArrowFill = ToRgb565(255, 255, 255);
constexpr Pixel565 kArrowOutline = ToRgb565(0, 0, 0);

const char* GhostName(GhostKind kind) { return kind == GhostKind::DayLeader ? "LEADER" : "GHOST"; }

void SetPixel(Surface& surface, int x, int y, Pixel565 colour) {
  if (x >= 0 && y >= 0 && x < surface.Width() && y < surface.Height()) surface.Set(x, y, colour);
}

// Tip at (centreX, tipY); the base lies kArrowHeight away in `direction` (+1 down, -1 up).
void DrawArrow(Surface& surface, int centreX, int tipY, int direction) {
  for (int row = 0; row <= kArrowHeight; ++row) {
    const int y = tipY + direction * row;
    const int half = row * kArrowHalfWidth / kArrowHeight;
    for (int dx = -half; dx <= half; ++dx) {
      const bool edge = dx == -half || dx == half || row == kArrowHeight;
      SetPixel(surface, centreX + dx, y, edge ? kArrowOutline : kArrowFill);
    }
  }
}

}  // namespace

GhostPlacement PlaceGhost(const RaceState& player, const RaceState& ghost) {
  GhostPlacement placement;
  placement.Lead = RaceProgress(ghost) - RaceProgress(player);
  placement.X = ghost.Car.X;
  placement.Y = player.Car.Y - placement.Lead;
  return placement;
}

std::string GhostHudLine(const GhostCar& ghost, const RaceState& player) {
  if (!ghost.Run) return {};
  const std::string name = GhostName(ghost.Kind);
  const RaceState& state = ghost.Run->State();
  if (ghost.Run->Over()) return name + " SCORE " + std::to_string(state.Score);
  const double lead = PlaceGhost(player, state).Lead;
  const auto metres = static_cast<long long>(std::llround(std::abs(lead) / kPixelsPerMetre));
  if (metres == 0) return name + " ALONGSIDE";
  return name + " " + std::to_string(metres) + "M " + (lead > 0 ? "AHEAD" : "BEHIND");
}

void DrawGhost(Game& game) {
  const GhostCar& ghost = game.Ghost;
  if (!ghost.Run || game.DrawingOff || !game.Screen.IsInitialized()) return;
  Surface& screen = game.Screen.BackBuffer();
  const RaceState& state = ghost.Run->State();
  // A ghost whose run is over, or whose car is in pieces, is not on the road.
  if (!ghost.Run->Over() && !state.CrashPending) {
    const GhostPlacement place = PlaceGhost(game.Race.State, state);
    const ImageItem& car = RaceImage(game, "Car" + std::to_string(state.Car.Number));
    const int x = static_cast<int>(std::lround(place.X));
    const int y = static_cast<int>(std::lround(std::clamp(place.Y, -1e6, 1e6)));
    const int centreX = x + car.Width() / 2;
    if (y + car.Height() <= 0) {
      DrawArrow(screen, centreX, kArrowMargin, 1);
    } else if (y >= screen.Height()) {
      DrawArrow(screen, centreX, screen.Height() - 1 - kArrowMargin, -1);
    } else {
      car.DrawHalfTransparent(screen, x, y, 0);
    }
  }
  game.Text.SelectMediumFont();
  WriteText(game, GhostHudLine(ghost, game.Race.State), kHudX, kHudY);
}

}  // namespace rivoltra
