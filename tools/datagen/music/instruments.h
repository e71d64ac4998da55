#pragma once

// The songs' instruments, synthesised into samples. Pitched instruments are additive: every
// harmonic is an exact multiple of the sample's cycle, so after an evolving attack the sample
// loops over whole cycles without a seam. Drums are one-shots from the effect synthesiser.

#include <functional>
#include <vector>

#include "music/xm_writer.h"

namespace rivoltra::datagen {

// Envelope points in seconds; converted to ticks of the song's tempo.
struct EnvelopeShape {
  struct Point {
    double Seconds;
    int Value;  // 0 .. 64
  };
  std::vector<Point> Points;
  int SustainPoint = -1;
  double ReleaseSeconds = 0.0;  // time to fade out after the note is released
};

// Equal-tempered pitch of a cell note number (58 is A-4, 440 Hz).
double NoteFrequency(int cellNote);

// How loud harmonic `harmonic` (1 is the fundamental) of voice `voice` is at `seconds` into the
// note.
using HarmonicAmplitude = std::function<double(int harmonic, int voice, double seconds)>;

struct AdditiveDesign {
  int NativeNote = 49;       // the cell note recorded at the sample's own rate
  int CycleLength = 64;      // samples per cycle of the fundamental
  int HarmonicCount = 24;    // kept below half the cycle length, so nothing folds
  double AttackSeconds = 0;  // how long the harmonics may change; the loop begins after it
  // Detuned copies: voice v plays (DetuneCycles + Detunes[v]) cycles while the fundamental
  // plays DetuneCycles, so every copy also fits the loop whole. Empty means one voice.
  std::vector<int> Detunes;
  int DetuneCycles = 1;
  std::uint32_t PhaseSeed = 0;  // 0: all harmonics start in sine phase (a sharp saw)
  HarmonicAmplitude Amplitude;
};

// A pitched sample from the design, normalised and tuned.
XmSample AdditiveSample(const std::string& name, const AdditiveDesign& design);

XmInstrument MakeInstrument(const std::string& name, XmSample sample, const EnvelopeShape& shape,
                            double ticksPerSecond);

// The shapes the songs use, with arguments for how each song wants them.
XmSample ElectricPianoSample();
XmSample WarmPadSample();
XmSample RoundBassSample();
XmSample SoftLeadSample();
XmSample AcidBassSample();
XmSample SawLeadSample();
XmSample BrassStabSample();
XmSample PulsePluckSample();

XmSample KickSample(double punch);
XmSample SnareSample(double snap);
XmSample ClapSample();
XmSample HatSample(double seconds);
XmSample ShakerSample();
XmSample CrashSample();

}  // namespace rivoltra::datagen
