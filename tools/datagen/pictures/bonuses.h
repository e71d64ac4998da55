#pragma once
// Bonus tokens on the road, and the gun and turbo that a picked-up bonus mounts on the car.
#include <cairo.h>

#include <vector>

#include "engine/image_archive.h"
#include "pictures/art.h"

namespace rivoltra::pictures {

enum class Bonus { Points10, Points20, Points50, Points100, Gun, Turbo, Life };

inline constexpr int kTokenSize = 40;
inline constexpr int kTokenFrames = 8;

// Pictograms shared with the heads-up display and the help pages, centred on (cx, cy).
void DrawGunIcon(cairo_t* cr, double cx, double cy);
void DrawTurboIcon(cairo_t* cr, double cx, double cy);
void DrawHeartIcon(cairo_t* cr, double cx, double cy, double size);

// One frame of a token (the help pages show frame 0).
Bitmap TokenBitmap(Bonus bonus, int frame = 0);

// "Bonus10", "Bonus20", "Bonus50", "Bonus100", "BonusGun", "BonusTurbo", "BonusLive", "Gun",
// "GunFire", "TurboRed", "TurboBlue", "TurboYellow", "TurboFire".
std::vector<ImageItemData> BonusItems();

}  // namespace rivoltra::pictures
