// The race song: E minor at 140 beats a minute, fourteen patterns of four bars, about 96
// seconds before it returns to its first order.
#include <string>

#include "music/composer.h"
#include "music/instruments.h"
#include "music/songs.h"

namespace rivoltra::datagen {

namespace {

constexpr int kBpm = 140;
constexpr int kRows = 64;
constexpr double kTicksPerSecond = kBpm * 2.0 / 5.0;

enum Channel {
  KickChannel,
  SnareChannel,
  HatChannel,
  CymbalChannel,
  ClapChannel,
  BassChannel,
  ArpChannel,
  StabChannel,  // three voices
  LeadChannel = StabChannel + 3,
  EchoChannel,
  ChannelCount
};

enum Instrument { Kick = 1, Snare, Hat, OpenHat, Crash, Clap, Bass, Arp, Stab, Lead };

enum class Drums { None, Intro, Verse, Chorus, HalfTime, Build };

struct Arrangement {
  Drums Beat = Drums::Verse;
  bool Bass = true;
  bool Arp = true;
  bool Stabs = false;
  const char* Melody = nullptr;
  bool Crash = false;  // on the first beat
  bool Fill = false;   // a snare run into the next pattern
};

std::vector<XmInstrument> Instruments() {
  std::vector<XmInstrument> instruments;
  auto add = [&](const std::string& name, XmSample sample, int volume, int panning,
                 const EnvelopeShape& shape) {
    sample.Volume = static_cast<std::uint8_t>(volume);
    sample.Panning = static_cast<std::uint8_t>(panning);
    instruments.push_back(MakeInstrument(name, std::move(sample), shape, kTicksPerSecond));
  };
  add("kick", KickSample(1.0), 52, 128, {});
  add("snare", SnareSample(0.8), 40, 124, {});
  add("hat", HatSample(0.045), 24, 164, {});
  add("open hat", HatSample(0.3), 20, 164, {});
  add("crash", CrashSample(), 30, 100, {});
  add("clap", ClapSample(), 28, 136, {});
  add("bass", AcidBassSample(), 46, 128, {{{0.0, 64}, {0.25, 48}}, 1, 0.06});
  add("arp", PulsePluckSample(), 18, 80, {{{0.0, 64}, {0.12, 30}, {0.5, 12}, {1.0, 0}}, -1, 0.1});
  add("stab", BrassStabSample(), 20, 128, {{{0.0, 64}, {0.2, 44}}, 1, 0.12});
  add("lead", SawLeadSample(), 36, 150, {{{0.0, 0}, {0.01, 64}, {0.3, 52}}, 2, 0.2});
  XmInstrument& lead = instruments.back();
  lead.VibratoType = 0;  // sine
  lead.VibratoSweep = 40;
  lead.VibratoDepth = 2;
  lead.VibratoRate = 40;
  return instruments;
}

const Chord kEm = ParseChord("E-2 E-4 G-4 B-4");
const Chord kC = ParseChord("C-2 E-4 G-4 C-5");
const Chord kD = ParseChord("D-2 F#4 A-4 D-5");
const Chord kB = ParseChord("B-1 F#4 B-4 D#5");
const Chord kAm = ParseChord("A-1 E-4 A-4 C-5");

const Harmony kVerse = {{0, kEm}, {16, kEm}, {32, kC}, {48, kD}};
const Harmony kChorusA = {{0, kC}, {16, kD}, {32, kEm}, {48, kEm}};
const Harmony kChorusB = {{0, kC}, {16, kD}, {32, kB}, {48, kB}};
const Harmony kBridge = {{0, kAm}, {16, kEm}, {32, kC}, {48, kB}};

// Melodies in eighth notes, a bar per group; the chorus runs in threes against the beat.
constexpr const char* kMelodyVerseA =
    "E-5 .   B-4 .   E-5 .   G-5 . | F#5 .   E-5 .   D-5 .   B-4 . |"
    "C-5 .   E-5 .   G-5 .   .   E-5 | F#5 .   .   .   D-5 .   A-4 .";
constexpr const char* kMelodyVerseB =
    "E-5 .   B-4 .   E-5 .   G-5 . | A-5 .   G-5 .   F#5 .   E-5 . |"
    "G-5 .   .   .   E-5 .   C-5 . | D-5 .   .   .   F#5 .   A-5 .";
constexpr const char* kMelodyChorusA =
    "E-6 .   .   D-6 .   .   C-6 . | F#6 .   .   E-6 .   .   D-6 . |"
    "E-6 .   .   B-5 .   .   G-5 . | B-5 .   .   .   G-5 .   A-5 B-5";
constexpr const char* kMelodyChorusB =
    "E-6 .   .   D-6 .   .   C-6 . | F#6 .   .   E-6 .   .   D-6 . |"
    "D#6 .   .   .   B-5 .   .   . | F#6 .   .   .   D#6 .   B-5 .";
constexpr const char* kMelodyBridge =
    "C-6 .   .   .   B-5 .   A-5 . | G-5 .   .   .   E-5 .   .   . |"
    "E-5 .   G-5 .   C-6 .   B-5 . | B-5 .   .   .   A-5 .   F#5 .";

void WriteDrumBar(XmPattern& pattern, int row, Drums beat, bool fill) {
  switch (beat) {
    case Drums::None:
      return;
    case Drums::Intro:
      WriteLine(pattern, KickChannel, row, 1, Kick, "x . . . x . . . x . . . x . . .");
      WriteLine(pattern, HatChannel, row, 1, Hat, ". . x . . . x . . . x . . . x .");
      break;
    case Drums::Verse:
      WriteLine(pattern, KickChannel, row, 1, Kick, "x . . . x . . . x . . . x . . .");
      WriteLine(pattern, HatChannel, row, 1, Hat, "x:10 . x . x:10 . x . x:10 . x . x:10 . x x:14");
      WriteLine(pattern, SnareChannel, row, 1, Snare, ". . . . x . . . . . . . x . . .");
      break;
    case Drums::Chorus:
      WriteLine(pattern, KickChannel, row, 1, Kick, "x . . . x . . . x . . . x . . .");
      WriteLine(pattern, HatChannel, row, 1, Hat,
                "x:12 x:8 . x:12 x:12 x:8 . x:12 x:12 x:8 . x:12 x:12 x:8 . x:12");
      WriteLine(pattern, CymbalChannel, row, 1, OpenHat, ". . x . . . x . . . x . . . x .");
      WriteLine(pattern, SnareChannel, row, 1, Snare, ". . . . x . . . . . . . x . . .");
      WriteLine(pattern, ClapChannel, row, 1, Clap, ". . . . x . . . . . . . x . . .");
      break;
    case Drums::HalfTime:
      WriteLine(pattern, KickChannel, row, 1, Kick, "x . . . . . . . . . x . . . . .");
      WriteLine(pattern, SnareChannel, row, 1, Snare, ". . . . . . . . x . . . . . . .");
      WriteLine(pattern, HatChannel, row, 1, Hat,
                "x:16 . x:10 . x:16 . x:10 . x:16 . x:10 . x:16 . x:10 .");
      break;
    case Drums::Build:
      WriteLine(pattern, KickChannel, row, 1, Kick, "x . . . x . . . x . . . x . . .");
      break;
  }
  if (fill) {
    WriteLine(pattern, SnareChannel, row + 8, 1, Snare, "x:28 . x:32 x:24 x:36 x:30 x:42 x:38");
  }
}

// The build-up: a snare that doubles its pace each bar and grows louder.
void WriteSnareRoll(XmPattern& pattern) {
  WriteLine(pattern, SnareChannel, 0, 4, Snare, "x:16 x:18 x:20 x:22");
  WriteLine(pattern, SnareChannel, 16, 2, Snare, "x:22 x:24 x:26 x:28 x:30 x:32 x:34 x:36");
  WriteLine(pattern, SnareChannel, 32, 1, Snare, Repeat("x:36 x:28 x:38 x:30", 4));
  WriteLine(pattern, SnareChannel, 48, 1, Snare, Repeat("x:44 x:40", 4) + Repeat("x:50 x:46", 4));
}

void WriteBass(XmPattern& pattern, const Harmony& harmony, Drums beat) {
  const char* figure = beat == Drums::HalfTime ? "R . . . . . R . ^ . O . . . R ."
                                               : "R . O . R . O . R . O . R . O .";
  ForEachChord(harmony, kRows, [&](int row, int rows, const Chord& chord) {
    for (int bar = 0; bar < rows; bar += 16) {
      WriteBassFigure(pattern, BassChannel, row + bar, Bass, chord, 0, figure);
    }
  });
}

void WriteArp(XmPattern& pattern, const Harmony& harmony) {
  ForEachChord(harmony, kRows, [&](int row, int rows, const Chord& chord) {
    WriteArpeggio(pattern, ArpChannel, row, rows, 1, Arp, chord, 0, {0, 1, 2, 1, 3, 1, 2, 1},
                  {40, 22, 30, 22, 34, 22, 30, 22});
  });
}

// Short chords in threes: three eighths, three eighths, two.
void WriteStabs(XmPattern& pattern, const Harmony& harmony) {
  ForEachChord(harmony, kRows, [&](int row, int rows, const Chord& chord) {
    for (int bar = 0; bar < rows; bar += 16) {
      for (int hit : {0, 6, 12}) {
        WriteChord(pattern, StabChannel, row + bar + hit, Stab, chord, 0, -1);
        ReleaseChannels(pattern, StabChannel, 3, row + bar + hit + 3);
      }
    }
  });
}

XmPattern MakePattern(const Harmony& harmony, const Arrangement& arrangement,
                      const std::vector<int>& sampleVolumes) {
  XmPattern pattern(kRows, ChannelCount);
  for (int bar = 0; bar < kRows / 16; ++bar) {
    WriteDrumBar(pattern, bar * 16, arrangement.Beat, arrangement.Fill && bar == kRows / 16 - 1);
  }
  if (arrangement.Beat == Drums::Build) WriteSnareRoll(pattern);
  if (arrangement.Crash) WriteLine(pattern, CymbalChannel, 0, 1, Crash, "x");
  if (arrangement.Bass) WriteBass(pattern, harmony, arrangement.Beat);
  if (arrangement.Arp) WriteArp(pattern, harmony);
  if (arrangement.Stabs) WriteStabs(pattern, harmony);
  if (arrangement.Melody != nullptr) {
    WriteLine(pattern, LeadChannel, 0, 2, Lead, arrangement.Melody);
    Echo(pattern, LeadChannel, EchoChannel, 3, 0.45, 0x50, sampleVolumes);
  }
  return pattern;
}

}  // namespace

XmModule RaceSong() {
  XmModule song = NewSong("Rivoltra race", ChannelCount, kBpm, Instruments());
  const std::vector<int> volumes = SampleVolumes(song);

  auto pattern = [&](const Harmony& harmony, const Arrangement& arrangement) {
    song.Patterns.push_back(MakePattern(harmony, arrangement, volumes));
    return static_cast<std::uint8_t>(song.Patterns.size() - 1);
  };
  const auto introA = pattern(kVerse, {.Beat = Drums::Intro, .Bass = false});
  const auto introB = pattern(kVerse, {.Fill = true});
  const auto verseA = pattern(kVerse, {.Melody = kMelodyVerseA});
  const auto verseB = pattern(kVerse, {.Melody = kMelodyVerseB, .Fill = true});
  const auto chorusA = pattern(
      kChorusA, {.Beat = Drums::Chorus, .Stabs = true, .Melody = kMelodyChorusA, .Crash = true});
  const auto chorusB = pattern(
      kChorusB, {.Beat = Drums::Chorus, .Stabs = true, .Melody = kMelodyChorusB, .Fill = true});
  const auto bridge = pattern(kBridge, {.Beat = Drums::HalfTime,
                                        .Arp = false,
                                        .Stabs = true,
                                        .Melody = kMelodyBridge,
                                        .Crash = true});
  const auto build = pattern(kVerse, {.Beat = Drums::Build, .Bass = false});
  const auto verseAgain = pattern(kVerse, {.Melody = kMelodyVerseA, .Crash = true});
  const auto bridgeFull = pattern(
      kBridge, {.Beat = Drums::Chorus, .Stabs = true, .Melody = kMelodyBridge, .Crash = true});
  const auto outro =
      pattern(kChorusB, {.Beat = Drums::Chorus, .Stabs = true, .Crash = true, .Fill = true});
  song.Orders = {introA, introB,     verseA, verseB,  chorusA, chorusB,    bridge,
                 build,  verseAgain, verseB, chorusA, chorusB, bridgeFull, outro};
  return song;
}

}  // namespace rivoltra::datagen
