// The fingerprint's byte layout is part of every recorded race: change it only together with the
// replay format's version.
#include <zlib.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "race/core/car_table.h"
#include "race/core/level_clock.h"
#include "race/core/race_data.h"
#include "race/core/track_kinds.h"

namespace rivoltra {

namespace {

class CanonicalBytes {
 public:
  void Int(std::int32_t value) { Unsigned(static_cast<std::uint32_t>(value)); }
  void Unsigned(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(Byte(value >> shift));
  }
  void Double(double value) {
    // memcpy rather than std::bit_cast, which the browser build's C++ library lacks.
    std::uint64_t bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    for (int shift = 0; shift < 64; shift += 8) bytes_.push_back(Byte(bits >> shift));
  }
  void Text(std::string_view text) {
    Unsigned(static_cast<std::uint32_t>(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
  }
  void Picture(const PictureSize& picture) {
    Int(picture.Width);
    Int(picture.Height);
    Int(picture.FrameCount);
  }
  std::uint32_t Crc() const {
    const uLong start = crc32(0L, Z_NULL, 0);
    return static_cast<std::uint32_t>(crc32(start, reinterpret_cast<const Bytef*>(bytes_.data()),
                                            static_cast<uInt>(bytes_.size())));
  }

 private:
  static char Byte(std::uint64_t value) { return static_cast<char>(value & 0xFF); }
  std::vector<char> bytes_;
};

void AddPictures(CanonicalBytes& out, const RaceData& data) {
  out.Int(data.IntervalMs);
  for (int car = 1; car <= kCarCount; ++car) out.Picture(data.Cars[static_cast<std::size_t>(car)]);
  for (int kind = 1; kind <= kKindCount; ++kind) {
    out.Picture(data.Kinds[static_cast<std::size_t>(kind)]);
  }
  out.Picture(data.ExplosionSmall);
  out.Picture(data.ExplosionBig);
}

void AddCarTable(CanonicalBytes& out) {
  for (int car = 1; car <= kCarCount; ++car) {
    const CarDrivingValues& values = CarTable(car);
    for (const double value :
         {values.MaxSpeed, values.Acceleration, values.BrakeDecel, values.SteerDivisor,
          values.SteerMax, values.TurboMaxSpeed, values.TurboAcceleration}) {
      out.Double(value);
    }
    out.Text(values.TurboColour);
  }
}

void AddLevelTable(CanonicalBytes& out) {
  for (std::int32_t level = 1; level <= kFingerprintLevels; ++level) {
    out.Int(LevelLength(level));
    out.Int(LevelTime(level));
    for (const double chance : SpawnChancesForLevel(level)) out.Double(chance);
  }
}

void AddKindTable(CanonicalBytes& out) {
  for (int kind = 1; kind <= kKindCount; ++kind) {
    const TrackKind& info = KindInfo(KindFromNumber(kind));
    out.Text(info.Image);
    out.Int(info.Shootable ? 1 : 0);
    out.Int(static_cast<std::int32_t>(info.Placement));
  }
}

}  // namespace

std::uint32_t RaceDataFingerprint(const RaceData& data) {
  CanonicalBytes out;
  out.Text("rivoltra race data 1");
  AddPictures(out, data);
  AddCarTable(out);
  AddLevelTable(out);
  AddKindTable(out);
  return out.Crc();
}

}  // namespace rivoltra
