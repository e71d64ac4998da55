#include "music/instruments.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sounds/synth.h"

namespace rivoltra::datagen {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kDrumRate = 22050.0;
constexpr int kC4 = 49;
constexpr int kC2 = 25;
constexpr int kC5 = 61;
constexpr float kSamplePeak = 0.9f;

// Falls from 1 to 0 over `seconds` and stays 0, with a flat landing so harmonics reach their
// loop values without a kink.
double Fade(double time, double seconds) {
  if (seconds <= 0.0 || time >= seconds) return 0.0;
  const double remaining = 1.0 - time / seconds;
  return remaining * remaining * remaining;
}

// Magnitude of a resonant two-pole low-pass at `frequency`.
double LowPassGain(double frequency, double cutoff, double resonance) {
  const double ratio = frequency / cutoff;
  const double real = 1.0 - ratio * ratio;
  const double imaginary = ratio / resonance;
  return 1.0 / std::sqrt(real * real + imaginary * imaginary);
}

XmSample FromBuffer(const std::string& name, Buffer buffer, double rate, int nativeNote) {
  Normalise(buffer, kSamplePeak);
  XmSample sample;
  sample.Name = name;
  sample.Data = ToPcm16(buffer);
  const XmTuning tuning = TuningFor(rate, nativeNote);
  sample.RelativeNote = tuning.RelativeNote;
  sample.Finetune = tuning.Finetune;
  return sample;
}

XmSample DrumSample(const std::string& name, Buffer buffer) {
  RemoveDc(buffer, 20.0, kDrumRate);
  FadeOut(buffer, 0.003, kDrumRate);
  return FromBuffer(name, std::move(buffer), kDrumRate, kC4);
}

// Eight square waves at the clashing ratios of an analogue cymbal circuit: metallic, not noise.
Buffer MetalPartials(double seconds, double decayCurve) {
  constexpr double kPartials[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
  Buffer out;
  for (double partial : kPartials) {
    Voice square;
    square.Wave = Waveform::Square;
    square.Frequency = partial * 2.4;
    square.Sustain = 0.001;
    square.Decay = seconds;
    square.DecayCurve = decayCurve;
    square.HighPassCutoff = 6000.0;
    square.Volume = 0.25;
    MixAt(out, Render(square, kDrumRate), 0);
  }
  return out;
}

}  // namespace

double NoteFrequency(int cellNote) { return 440.0 * std::exp2((cellNote - 58) / 12.0); }

XmSample AdditiveSample(const std::string& name, const AdditiveDesign& design) {
  const int cycle = design.CycleLength;
  const double fundamental = NoteFrequency(design.NativeNote);
  const double rate = fundamental * cycle;
  const auto attackCycles = static_cast<int>(std::ceil(design.AttackSeconds * fundamental));
  const int loopCycles = design.Detunes.empty() ? 1 : design.DetuneCycles;
  const std::vector<int> detunes = design.Detunes.empty() ? std::vector<int>{0} : design.Detunes;
  const auto voices = static_cast<int>(detunes.size());

  std::vector<double> phases(static_cast<std::size_t>(voices * (design.HarmonicCount + 1)), 0.0);
  if (design.PhaseSeed != 0) {
    NoiseSource random(design.PhaseSeed);
    for (double& phase : phases) phase = random.Fraction();
  }

  const auto length = static_cast<std::size_t>(attackCycles + loopCycles) * cycle;
  Buffer buffer(length);
  for (std::size_t i = 0; i < length; ++i) {
    const double seconds = std::min(static_cast<double>(i) / rate, design.AttackSeconds);
    const double cyclePosition = static_cast<double>(i) / cycle;
    double value = 0.0;
    for (int v = 0; v < voices; ++v) {
      const double ratio =
          static_cast<double>(design.DetuneCycles + detunes[static_cast<std::size_t>(v)]) /
          design.DetuneCycles;
      for (int k = 1; k <= design.HarmonicCount; ++k) {
        if (k * ratio >= cycle / 2.0) break;
        const double amplitude = design.Amplitude(k, v, seconds);
        if (amplitude == 0.0) continue;
        const double phase = phases[static_cast<std::size_t>(v) * (design.HarmonicCount + 1) + k];
        value += amplitude * std::sin(kTwoPi * (k * ratio * cyclePosition + phase));
      }
    }
    buffer[i] = static_cast<float>(value);
  }
  XmSample sample = FromBuffer(name, std::move(buffer), rate, design.NativeNote);
  sample.LoopStart = static_cast<std::uint32_t>(attackCycles * cycle);
  sample.LoopLength = static_cast<std::uint32_t>(loopCycles * cycle);
  return sample;
}

XmInstrument MakeInstrument(const std::string& name, XmSample sample, const EnvelopeShape& shape,
                            double ticksPerSecond) {
  XmInstrument instrument;
  instrument.Name = name;
  instrument.Sample = std::move(sample);
  int previousTick = -1;
  for (const EnvelopeShape::Point& point : shape.Points) {
    // two points may not share a tick, however close the shape puts them
    const int tick =
        std::max(previousTick + 1, static_cast<int>(std::lround(point.Seconds * ticksPerSecond)));
    instrument.VolumeEnvelope.Points.push_back(
        {static_cast<std::uint16_t>(tick), static_cast<std::uint16_t>(point.Value)});
    previousTick = tick;
  }
  instrument.VolumeEnvelope.SustainPoint = shape.SustainPoint;
  if (shape.ReleaseSeconds > 0.0) {
    // the fade-out level starts at 32768 and loses this much every tick
    const double perTick = 32768.0 / (shape.ReleaseSeconds * ticksPerSecond);
    instrument.Fadeout = static_cast<std::uint16_t>(std::clamp(std::lround(perTick), 1L, 4095L));
  }
  return instrument;
}

XmSample ElectricPianoSample() {
  AdditiveDesign design;
  design.NativeNote = kC4;
  design.CycleLength = 64;
  design.HarmonicCount = 24;
  design.AttackSeconds = 0.6;
  design.Amplitude = [](int k, int, double t) {
    const double bright = Fade(t, 0.6);
    double amplitude = 0.0;
    if (k == 1) amplitude = 1.0;
    if (k == 2) amplitude = 0.22 + 0.3 * bright;
    if (k == 3) amplitude = 0.06 + 0.25 * bright;
    if (k >= 4 && k <= 10) amplitude = 0.35 * bright / std::pow(k, 1.2);
    // the struck tine: a high, quickly fading bell partial
    if (k == 7 || k == 14) amplitude += 0.3 * bright * bright;
    return amplitude;
  };
  return AdditiveSample("electric piano", design);
}

XmSample WarmPadSample() {
  AdditiveDesign design;
  design.NativeNote = kC4;
  design.CycleLength = 64;
  design.HarmonicCount = 20;
  design.Detunes = {0, 1, -1};
  design.DetuneCycles = 128;
  design.PhaseSeed = 0x9AD;
  design.Amplitude = [](int k, int, double) { return 1.0 / (k * (1.0 + (k / 5.0) * (k / 5.0))); };
  return AdditiveSample("warm pad", design);
}

XmSample RoundBassSample() {
  AdditiveDesign design;
  design.NativeNote = kC2;
  design.CycleLength = 256;
  design.HarmonicCount = 16;
  design.AttackSeconds = 0.25;
  design.Amplitude = [](int k, int, double t) {
    constexpr double kBody[] = {0.0, 1.0, 0.4, 0.15, 0.05};
    const double body = k < 5 ? kBody[k] : 0.0;
    return body + (k >= 2 ? 0.5 * Fade(t, 0.25) / k : 0.0);
  };
  return AdditiveSample("round bass", design);
}

XmSample SoftLeadSample() {
  AdditiveDesign design;
  design.NativeNote = kC5;
  design.CycleLength = 48;
  design.HarmonicCount = 12;
  design.AttackSeconds = 0.12;
  design.Amplitude = [](int k, int, double t) {
    constexpr double kBody[] = {0.0, 1.0, 0.1, 0.2, 0.03, 0.07, 0.0, 0.03};
    const double body = k < 8 ? kBody[k] : 0.0;
    // a breathy chiff at the start of every note
    return body + 0.25 * Fade(t, 0.12) / k;
  };
  return AdditiveSample("soft lead", design);
}

XmSample AcidBassSample() {
  AdditiveDesign design;
  design.NativeNote = kC2;
  design.CycleLength = 256;
  design.HarmonicCount = 110;
  design.AttackSeconds = 0.2;
  design.Amplitude = [](int k, int, double t) {
    const double cutoff = 380.0 + 2600.0 * Fade(t, 0.2);
    return LowPassGain(k * NoteFrequency(kC2), cutoff, 2.2) / k;
  };
  return AdditiveSample("acid bass", design);
}

XmSample SawLeadSample() {
  AdditiveDesign design;
  design.NativeNote = kC5;
  design.CycleLength = 48;
  design.HarmonicCount = 23;
  design.Detunes = {0, 1, -1};
  design.DetuneCycles = 96;
  design.PhaseSeed = 0x1EAD;
  design.Amplitude = [](int k, int v, double) {
    return (v == 0 ? 1.0 : 0.7) * LowPassGain(k * NoteFrequency(kC5), 5000.0, 0.8) / k;
  };
  return AdditiveSample("saw lead", design);
}

XmSample BrassStabSample() {
  AdditiveDesign design;
  design.NativeNote = kC4;
  design.CycleLength = 64;
  design.HarmonicCount = 30;
  design.Detunes = {0, 1, -1};
  design.DetuneCycles = 128;
  design.AttackSeconds = 0.3;
  design.PhaseSeed = 0xB4A5;
  design.Amplitude = [](int k, int, double t) {
    // the filter opens in a blare and settles
    const double opening = std::min(1.0, t / 0.04);
    const double cutoff = 700.0 + 2600.0 * opening * (0.35 + 0.65 * Fade(t, 0.3));
    return LowPassGain(k * NoteFrequency(kC4), cutoff, 1.1) / k;
  };
  return AdditiveSample("brass stab", design);
}

XmSample PulsePluckSample() {
  AdditiveDesign design;
  design.NativeNote = kC5;
  design.CycleLength = 48;
  design.HarmonicCount = 23;
  design.AttackSeconds = 0.15;
  design.Amplitude = [](int k, int, double t) {
    const double pulse = std::sin(std::numbers::pi * k * 0.25) / k;
    const double cutoff = 1800.0 + 7000.0 * Fade(t, 0.15);
    return pulse * LowPassGain(k * NoteFrequency(kC5), cutoff, 0.9);
  };
  return AdditiveSample("pulse pluck", design);
}

XmSample KickSample(double punch) {
  Voice body;
  body.Wave = Waveform::Sine;
  body.Frequency = 150.0 + 60.0 * punch;
  body.Slide = -14.0;
  body.MinFrequency = 47.0;
  body.Sustain = 0.02;
  body.Decay = 0.33;
  body.DecayCurve = 1.6;
  Buffer out = Render(body, kDrumRate);

  Voice click;
  click.Wave = Waveform::Noise;
  click.Frequency = 2000.0;
  click.Sustain = 0.001;
  click.Decay = 0.006;
  click.LowPassCutoff = 5000.0;
  click.NoiseSeed = 0x4B1Cu;
  click.Volume = 0.25 * punch;
  MixAt(out, Render(click, kDrumRate), 0);
  for (float& value : out) value = SoftClip(value * static_cast<float>(1.0 + punch));
  return DrumSample("kick", std::move(out));
}

XmSample SnareSample(double snap) {
  Voice tone;
  tone.Wave = Waveform::Triangle;
  tone.Frequency = 195.0;
  tone.Slide = -1.2;
  tone.Sustain = 0.005;
  tone.Decay = 0.11;
  tone.DecayCurve = 1.5;
  Buffer out = Render(tone, kDrumRate);

  Voice wires;
  wires.Wave = Waveform::Noise;
  wires.Frequency = 3000.0;
  wires.Sustain = 0.004;
  wires.Punch = 0.5;
  wires.Decay = 0.12 + 0.08 * snap;
  wires.DecayCurve = 1.7;
  wires.HighPassCutoff = 1200.0;
  wires.LowPassCutoff = 9000.0;
  wires.NoiseSeed = 0x5A4Eu;
  wires.Volume = 0.6 + 0.5 * snap;
  MixAt(out, Render(wires, kDrumRate), 0);
  return DrumSample("snare", std::move(out));
}

XmSample ClapSample() {
  // several hands, a few milliseconds apart, then the room
  Buffer out;
  for (int hand = 0; hand < 4; ++hand) {
    Voice burst;
    burst.Wave = Waveform::Noise;
    burst.Frequency = 3000.0;
    burst.Sustain = 0.002;
    burst.Decay = hand == 3 ? 0.16 : 0.012;
    burst.DecayCurve = 1.8;
    burst.HighPassCutoff = 900.0;
    burst.LowPassCutoff = 3500.0;
    burst.LowPassResonance = 0.3;
    burst.NoiseSeed = 0xC1A0u + static_cast<std::uint32_t>(hand);
    MixAt(out, Render(burst, kDrumRate), static_cast<std::size_t>(hand * 0.011 * kDrumRate));
  }
  return DrumSample("clap", std::move(out));
}

XmSample HatSample(double seconds) {
  Buffer out = MetalPartials(seconds, 2.5);
  Voice sizzle;
  sizzle.Wave = Waveform::Noise;
  sizzle.Frequency = 3000.0;
  sizzle.Sustain = 0.001;
  sizzle.Decay = seconds;
  sizzle.DecayCurve = 2.5;
  sizzle.HighPassCutoff = 7000.0;
  sizzle.NoiseSeed = 0x4A7u;
  sizzle.Volume = 0.8;
  MixAt(out, Render(sizzle, kDrumRate), 0);
  return DrumSample(seconds < 0.1 ? "closed hat" : "open hat", std::move(out));
}

XmSample ShakerSample() {
  Voice grains;
  grains.Wave = Waveform::Noise;
  grains.Frequency = 3000.0;
  grains.Attack = 0.018;
  grains.Sustain = 0.01;
  grains.Decay = 0.06;
  grains.DecayCurve = 1.5;
  grains.HighPassCutoff = 4500.0;
  grains.LowPassCutoff = 10000.0;
  grains.NoiseSeed = 0x54A;
  return DrumSample("shaker", Render(grains, kDrumRate));
}

XmSample CrashSample() {
  Buffer out = MetalPartials(1.4, 1.6);
  Voice wash;
  wash.Wave = Waveform::Noise;
  wash.Frequency = 3000.0;
  wash.Sustain = 0.01;
  wash.Punch = 0.6;
  wash.Decay = 1.4;
  wash.DecayCurve = 1.6;
  wash.HighPassCutoff = 3500.0;
  wash.LowPassCutoff = 10000.0;
  wash.LowPassSweep = -0.5;
  wash.NoiseSeed = 0xC4A5u;
  MixAt(out, Render(wash, kDrumRate), 0);
  return DrumSample("crash", std::move(out));
}

}  // namespace rivoltra::datagen
