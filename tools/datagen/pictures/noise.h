#pragma once
// Texture noise from fixed seeds: the same seed gives the same pictures on every build.
#include <cstdint>

namespace rivoltra::pictures {

// A small deterministic generator for scattering details (gravel, stars, sparks).
class Scatter {
 public:
  explicit Scatter(std::uint32_t seed) : state_(seed * 2654435761u + 1013904223u) {}
  std::uint32_t Next();
  // Uniform in [0, 1).
  double Unit();
  // Uniform in [low, high).
  double Range(double low, double high) { return low + (high - low) * Unit(); }

 private:
  std::uint32_t state_;
};

// Hash of a lattice point, uniform in [0, 1).
double LatticeValue(int x, int y, std::uint32_t seed);

// Smooth value noise in [0, 1) with the given cell size in pixels. With periodX / periodY
// (in cells, 0 = none) the noise repeats, so tiled textures have no seam.
double ValueNoise(double x, double y, double cell, std::uint32_t seed, int periodX = 0,
                  int periodY = 0);

// Several octaves of value noise, each half the cell size and half the weight; in [0, 1).
double FractalNoise(double x, double y, double cell, int octaves, std::uint32_t seed,
                    int periodX = 0, int periodY = 0);

}  // namespace rivoltra::pictures
