#include "pictures/noise.h"

#include <cmath>

namespace rivoltra::pictures {

std::uint32_t Scatter::Next() {
  // xorshift32: plenty for scattering, and identical everywhere
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

double Scatter::Unit() { return double(Next() >> 8) / double(1u << 24); }

double LatticeValue(int x, int y, std::uint32_t seed) {
  std::uint32_t h = seed * 0x9E3779B9u;
  h ^= std::uint32_t(x) * 0x85EBCA6Bu;
  h = (h << 13) | (h >> 19);
  h ^= std::uint32_t(y) * 0xC2B2AE35u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return double(h >> 8) / double(1u << 24);
}

namespace {

int Wrap(int value, int period) {
  if (period <= 0) return value;
  const int r = value % period;
  return r < 0 ? r + period : r;
}

double SmoothStep(double t) { return t * t * (3 - 2 * t); }

}  // namespace

double ValueNoise(double x, double y, double cell, std::uint32_t seed, int periodX, int periodY) {
  const double fx = x / cell;
  const double fy = y / cell;
  const int x0 = int(std::floor(fx));
  const int y0 = int(std::floor(fy));
  const double tx = SmoothStep(fx - x0);
  const double ty = SmoothStep(fy - y0);
  const int ax = Wrap(x0, periodX);
  const int bx = Wrap(x0 + 1, periodX);
  const int ay = Wrap(y0, periodY);
  const int by = Wrap(y0 + 1, periodY);
  const double top =
      LatticeValue(ax, ay, seed) + (LatticeValue(bx, ay, seed) - LatticeValue(ax, ay, seed)) * tx;
  const double bottom =
      LatticeValue(ax, by, seed) + (LatticeValue(bx, by, seed) - LatticeValue(ax, by, seed)) * tx;
  return top + (bottom - top) * ty;
}

double FractalNoise(double x, double y, double cell, int octaves, std::uint32_t seed, int periodX,
                    int periodY) {
  double sum = 0;
  double weight = 1;
  double total = 0;
  for (int octave = 0; octave < octaves; ++octave) {
    sum += weight * ValueNoise(x, y, cell, seed + std::uint32_t(octave) * 101u, periodX, periodY);
    total += weight;
    weight *= 0.5;
    cell *= 0.5;
    periodX *= 2;
    periodY *= 2;
  }
  return sum / total;
}

}  // namespace rivoltra::pictures
