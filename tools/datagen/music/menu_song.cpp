// The menu song: C major at 96 beats a minute, ten patterns of four bars, about 100 seconds
// before it returns to its first order.
#include <string>

#include "music/composer.h"
#include "music/instruments.h"
#include "music/songs.h"

namespace rivoltra::datagen {

namespace {

constexpr int kBpm = 96;
constexpr int kRows = 64;
constexpr double kTicksPerSecond = kBpm * 2.0 / 5.0;

enum Channel {
  KickChannel,
  SnareChannel,
  HatChannel,
  ShakerChannel,
  BassChannel,
  PadBankA,  // two banks of four, so each chord rings out while the next one swells
  PadBankB = PadBankA + 4,
  KeysChannel = PadBankB + 4,
  LeadChannel,
  EchoChannel,
  ChannelCount
};

enum Instrument { Kick = 1, Snare, Hat, Shaker, Bass, Pad, Keys, Lead };

struct Arrangement {
  bool Drums = true;
  bool Shaker = true;
  bool Bass = true;
  bool Keys = true;
  int KeysLevel = 100;  // percent
  const char* Melody = nullptr;
  bool Fill = false;
};

std::vector<XmInstrument> Instruments() {
  std::vector<XmInstrument> instruments;
  auto add = [&](const std::string& name, XmSample sample, int volume, int panning,
                 const EnvelopeShape& shape) {
    sample.Volume = static_cast<std::uint8_t>(volume);
    sample.Panning = static_cast<std::uint8_t>(panning);
    instruments.push_back(MakeInstrument(name, std::move(sample), shape, kTicksPerSecond));
  };
  add("kick", KickSample(0.3), 56, 128, {});
  add("snare", SnareSample(0.2), 30, 120, {});
  add("hat", HatSample(0.05), 22, 168, {});
  add("shaker", ShakerSample(), 18, 88, {});
  add("bass", RoundBassSample(), 42, 128, {{{0.0, 64}, {0.4, 46}}, 1, 0.12});
  add("pad", WarmPadSample(), 18, 128, {{{0.0, 0}, {0.4, 64}, {1.4, 50}}, 2, 0.9});
  add("keys", ElectricPianoSample(), 30, 104,
      {{{0.0, 64}, {0.3, 40}, {1.2, 22}, {3.0, 8}}, -1, 0.35});
  add("lead", SoftLeadSample(), 40, 140, {{{0.0, 0}, {0.03, 64}, {0.5, 50}}, 2, 0.35});
  XmInstrument& lead = instruments.back();
  lead.VibratoType = 0;  // sine
  lead.VibratoSweep = 60;
  lead.VibratoDepth = 3;
  lead.VibratoRate = 32;
  return instruments;
}

const Chord kFmaj9 = ParseChord("F-2 A-3 C-4 E-4 G-4");
const Chord kEm7 = ParseChord("E-2 G-3 B-3 D-4 E-4");
const Chord kDm9 = ParseChord("D-2 F-3 A-3 C-4 E-4");
const Chord kCmaj9 = ParseChord("C-2 E-3 G-3 B-3 D-4");
const Chord kGsus = ParseChord("G-2 G-3 C-4 D-4 F-4");
const Chord kG7 = ParseChord("G-2 G-3 B-3 D-4 F-4");
const Chord kGadd9 = ParseChord("G-2 A-3 B-3 D-4 G-4");
const Chord kAm9 = ParseChord("A-2 G-3 B-3 C-4 E-4");
const Chord kBbmaj7 = ParseChord("Bb1 Bb3 D-4 F-4 A-4");

// The theme's chords walk down a step a bar; the bridge climbs and borrows B flat.
const Harmony kThemeA = {{0, kFmaj9}, {16, kEm7}, {32, kDm9}, {48, kCmaj9}};
const Harmony kThemeB = {{0, kFmaj9}, {16, kEm7}, {32, kDm9}, {48, kGsus}, {56, kG7}};
const Harmony kBridgeA = {{0, kDm9}, {16, kEm7}, {32, kFmaj9}, {48, kGadd9}};
const Harmony kBridgeB = {{0, kAm9}, {16, kFmaj9}, {32, kBbmaj7}, {48, kGsus}, {56, kG7}};

// Melodies in eighth notes, a bar per group.
constexpr const char* kMelodyThemeA =
    "A-4 C-5 E-5 .   .   D-5 C-5 . | B-4 .   .   .   G-4 .   .   . |"
    "A-4 C-5 F-5 .   .   E-5 D-5 . | E-5 .   .   .   .   .   ^   .";
constexpr const char* kMelodyThemeB =
    "A-4 C-5 E-5 .   .   D-5 C-5 . | B-4 .   D-5 .   G-5 .   .   . |"
    "F-5 .   E-5 .   D-5 .   C-5 . | D-5 .   .   .   .   .   ^   .";
constexpr const char* kMelodyThemeAVaried =
    "A-4 C-5 E-5 G-5 .   E-5 D-5 C-5 | B-4 .   .   G-4 .   A-4 B-4 . |"
    "A-4 C-5 F-5 A-5 .   G-5 F-5 E-5 | E-5 .   .   .   D-5 .   C-5 .";
constexpr const char* kMelodyBridgeA =
    "F-5 .   .   E-5 D-5 .   C-5 . | B-4 .   .   C-5 D-5 .   E-5 . |"
    "A-5 .   .   G-5 E-5 .   C-5 . | D-5 .   .   .   .   .   ^   .";
constexpr const char* kMelodyBridgeB =
    "C-5 .   E-5 .   A-5 .   .   G-5 | A-5 .   .   .   E-5 .   .   . |"
    "D-5 .   F-5 .   A-5 .   .   G-5 | F-5 .   .   .   D-5 .   B-4 .";

void WritePads(XmPattern& pattern, const Harmony& harmony) {
  int bank = PadBankB;
  const Chord* previous = nullptr;
  ForEachChord(harmony, kRows, [&](int row, int, const Chord& chord) {
    if (row % 16 != 0 && previous != nullptr) {
      // a change inside the bar resolves a suspension: only the voices that move are struck
      for (std::size_t voice = 0; voice < chord.Voicing.size(); ++voice) {
        if (chord.Voicing[voice] == previous->Voicing[voice]) continue;
        XmCell& cell = pattern.At(row, bank + static_cast<int>(voice));
        cell.Note = static_cast<std::uint8_t>(chord.Voicing[voice]);
        cell.Instrument = Pad;
      }
    } else {
      ReleaseChannels(pattern, bank, 4, row);
      bank = bank == PadBankA ? PadBankB : PadBankA;
      WriteChord(pattern, bank, row, Pad, chord, 0, -1);
    }
    previous = &chord;
  });
}

void WriteKeys(XmPattern& pattern, const Harmony& harmony, int levelPercent, int transpose) {
  std::vector<int> volumes = {40, 26, 32, 26, 36, 26, 32, 24};
  for (int& volume : volumes) volume = volume * levelPercent / 100;
  ForEachChord(harmony, kRows, [&](int row, int rows, const Chord& chord) {
    WriteArpeggio(pattern, KeysChannel, row, rows / 2, 2, Keys, chord, transpose,
                  {0, 1, 2, 3, 4, 3, 2, 1}, volumes);
  });
}

void WriteBass(XmPattern& pattern, const Harmony& harmony) {
  ForEachChord(harmony, kRows, [&](int row, int rows, const Chord& chord) {
    if (rows >= 16) {
      WriteBassFigure(pattern, BassChannel, row, Bass, chord, 0,
                      "R . . . . . R:38 . ^ . F . . . R:34 .");
    } else {
      WriteBassFigure(pattern, BassChannel, row, Bass, chord, 0, "R . . . . . R:38 .");
    }
  });
}

void WriteDrums(XmPattern& pattern, bool shaker, bool fill) {
  for (int bar = 0; bar < kRows / 16; ++bar) {
    const int row = bar * 16;
    const bool lastBar = bar == kRows / 16 - 1;
    WriteLine(pattern, KickChannel, row, 1, Kick,
              lastBar && fill ? "x . . . . . . . . . x:44 . . . x:36 ."
                              : "x . . . . . . . . . x:44 . . . . .");
    WriteLine(pattern, SnareChannel, row, 1, Snare,
              lastBar && fill ? ". . . . x . . . . . . . x x:20 x:26 x:32"
                              : ". . . . x . . . . . . . x . . .");
    WriteLine(pattern, HatChannel, row, 1, Hat,
              "x . x:14 . x:26 . x:14 . x . x:14 . x:26 . x:14 x:10");
    if (shaker)
      WriteLine(pattern, ShakerChannel, row, 1, Shaker, ". . . x . . . x . . . x . . . x");
  }
}

XmPattern MakePattern(const Harmony& harmony, const Arrangement& arrangement,
                      const std::vector<int>& sampleVolumes) {
  XmPattern pattern(kRows, ChannelCount);
  WritePads(pattern, harmony);
  // under a melody the keys step down an octave, out of the lead's way
  const int keysTranspose = arrangement.Melody != nullptr ? 0 : 12;
  if (arrangement.Keys) WriteKeys(pattern, harmony, arrangement.KeysLevel, keysTranspose);
  if (arrangement.Bass) WriteBass(pattern, harmony);
  if (arrangement.Drums) {
    WriteDrums(pattern, arrangement.Shaker, arrangement.Fill);
  } else if (arrangement.Shaker) {
    for (int row = 0; row < kRows; row += 16) {
      WriteLine(pattern, ShakerChannel, row, 1, Shaker, ". . . x . . . x . . . x . . . x");
    }
  }
  if (arrangement.Melody != nullptr) {
    WriteLine(pattern, LeadChannel, 0, 2, Lead, arrangement.Melody);
    Echo(pattern, LeadChannel, EchoChannel, 3, 0.4, 0x40, sampleVolumes);
  }
  return pattern;
}

}  // namespace

XmModule MenuSong() {
  XmModule song = NewSong("Rivoltra menu", ChannelCount, kBpm, Instruments());
  const std::vector<int> volumes = SampleVolumes(song);

  auto pattern = [&](const Harmony& harmony, const Arrangement& arrangement) {
    song.Patterns.push_back(MakePattern(harmony, arrangement, volumes));
    return static_cast<std::uint8_t>(song.Patterns.size() - 1);
  };
  const auto intro =
      pattern(kThemeA, {.Drums = false, .Shaker = false, .Bass = false, .KeysLevel = 80});
  const auto groove = pattern(kThemeB, {});
  const auto themeA = pattern(kThemeA, {.KeysLevel = 75, .Melody = kMelodyThemeA});
  const auto themeB = pattern(kThemeB, {.KeysLevel = 75, .Melody = kMelodyThemeB});
  const auto bridgeA = pattern(kBridgeA, {.KeysLevel = 75, .Melody = kMelodyBridgeA});
  const auto bridgeB = pattern(kBridgeB, {.KeysLevel = 75, .Melody = kMelodyBridgeB, .Fill = true});
  const auto themeAVaried = pattern(kThemeA, {.KeysLevel = 75, .Melody = kMelodyThemeAVaried});
  const auto pause = pattern(kBridgeB, {.Drums = false});
  const auto outro = pattern(kThemeA, {.Fill = true});
  song.Orders = {intro,   groove,       themeA, themeB, bridgeA,
                 bridgeB, themeAVaried, themeB, pause,  outro};
  return song;
}

}  // namespace rivoltra::datagen
