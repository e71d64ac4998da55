#pragma once

// Tiny extended modules (".xm") built byte by byte for the music tests: every order plays its
// own pattern, and with a tone the first row starts a looped square wave that holds for the
// whole song.

#include <cstdint>
#include <string_view>
#include <vector>

namespace rivoltra::testing {

struct TestModule {
  int Orders = 1;
  int RowsPerPattern = 4;
  int Speed = 1;  // ticks per row
  int Bpm = 125;  // a tick lasts 2.5 / Bpm seconds
  bool Tone = false;
  // Samples per period of the square wave; at the C-4 note it plays at 8363 samples per second.
  int TonePeriod = 32;
};

// Milliseconds one pattern of the module lasts.
inline double PatternMilliseconds(const TestModule& module) {
  return module.RowsPerPattern * module.Speed * 2500.0 / module.Bpm;
}

inline std::vector<std::uint8_t> BuildTestModule(const TestModule& module) {
  std::vector<std::uint8_t> out;
  auto u8 = [&](int value) { out.push_back(static_cast<std::uint8_t>(value)); };
  auto u16 = [&](int value) {
    u8(value & 0xFF);
    u8((value >> 8) & 0xFF);
  };
  auto u32 = [&](std::uint32_t value) {
    for (int i = 0; i < 4; ++i) u8(static_cast<int>((value >> (8 * i)) & 0xFF));
  };
  auto text = [&](std::string_view s, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) u8(i < s.size() ? s[i] : 0);
  };
  constexpr int kChannels = 2;

  text("Extended Module: ", 17);
  text("test", 20);
  u8(0x1A);
  text("rivoltra tests", 20);
  u16(0x0104);
  u32(20 + 256);  // header size, counted from this field
  u16(module.Orders);
  u16(0);  // restart position
  u16(kChannels);
  u16(module.Orders);  // one pattern per order
  u16(module.Tone ? 1 : 0);
  u16(1);  // linear frequency table
  u16(module.Speed);
  u16(module.Bpm);
  for (int i = 0; i < 256; ++i) u8(i < module.Orders ? i : 0);

  for (int pattern = 0; pattern < module.Orders; ++pattern) {
    std::vector<std::uint8_t> cells;
    for (int row = 0; row < module.RowsPerPattern; ++row) {
      for (int channel = 0; channel < kChannels; ++channel) {
        if (module.Tone && pattern == 0 && row == 0 && channel == 0) {
          cells.insert(cells.end(), {0x83, 49, 1});  // C-4, instrument 1
        } else {
          cells.push_back(0x80);  // packed empty cell
        }
      }
    }
    u32(9);
    u8(0);
    u16(module.RowsPerPattern);
    u16(static_cast<int>(cells.size()));
    out.insert(out.end(), cells.begin(), cells.end());
  }

  if (module.Tone) {
    const int length = module.TonePeriod;
    u32(263);
    text("square", 22);
    u8(0);
    u16(1);                                             // samples
    u32(40);                                            // sample header size
    for (int i = 0; i < 96 + 48 + 48 + 14; ++i) u8(0);  // key map, envelopes off
    u16(0);                                             // fadeout
    for (int i = 0; i < 22; ++i) u8(0);
    u32(static_cast<std::uint32_t>(length));
    u32(0);
    u32(static_cast<std::uint32_t>(length));
    u8(64);   // volume
    u8(0);    // finetune
    u8(1);    // forward loop, 8-bit
    u8(128);  // centre
    u8(0);    // relative note
    u8(0);
    text("square", 22);
    // 8-bit samples are stored as differences from the previous one.
    int previous = 0;
    for (int i = 0; i < length; ++i) {
      const int value = i < length / 2 ? 100 : -100;
      u8((value - previous) & 0xFF);
      previous = value;
    }
  }
  return out;
}

}  // namespace rivoltra::testing
