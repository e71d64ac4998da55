#pragma once

// A small retro sound-effect synthesiser: one oscillator per voice (square, saw, triangle, sine
// or noise) with an attack/sustain/decay envelope, pitch slides, vibrato, arpeggio jumps and a
// resonant low- and high-pass filter; voices are mixed into float buffers.

#include <cstdint>
#include <vector>

namespace rivoltra::datagen {

using Buffer = std::vector<float>;

enum class Waveform { Square, Saw, Triangle, Sine, Noise };

// White noise from a fixed-seed generator, so every build writes the same bytes.
class NoiseSource {
 public:
  explicit NoiseSource(std::uint32_t seed) : state_(seed != 0 ? seed : 0x9E3779B9u) {}
  // A uniform value in [-1, 1).
  float Next();
  // A uniform value in [0, 1).
  double Fraction();

 private:
  std::uint32_t state_;
};

// Topology-preserving state-variable filter: stable for any cutoff up to just below Nyquist,
// which the sweeps rely on.
class StateVariableFilter {
 public:
  struct Output {
    float LowPass;
    float BandPass;
    float HighPass;
  };
  // resonance 0 is the flattest response; towards 1 the filter rings at its cutoff.
  Output Process(float input, double cutoffHz, double resonance, double sampleRate);
  void Reset() { low_ = band_ = 0.0; }

 private:
  double low_ = 0.0;
  double band_ = 0.0;
};

struct Voice {
  Waveform Wave = Waveform::Square;
  double Volume = 1.0;

  // Envelope in seconds: linear attack, sustain (with an optional punch that starts that much
  // above full level and falls back over the sustain), then a decay whose curve is
  // (1 - t)^DecayCurve: 1 is linear, larger values fall away faster.
  double Attack = 0.0;
  double Sustain = 0.1;
  double Punch = 0.0;
  double Decay = 0.1;
  double DecayCurve = 1.0;

  // Pitch: Slide in octaves per second, SlideAcceleration in octaves per second squared; the
  // frequency never leaves [MinFrequency, MaxFrequency].
  double Frequency = 440.0;
  double Slide = 0.0;
  double SlideAcceleration = 0.0;
  double MinFrequency = 10.0;
  double MaxFrequency = 10000.0;

  // Vibrato depth as a fraction of the frequency; it fades in over VibratoDelay seconds.
  double VibratoDepth = 0.0;
  double VibratoRate = 0.0;
  double VibratoDelay = 0.0;

  // Arpeggio: after each ArpeggioTime seconds the frequency is multiplied by the next ratio.
  std::vector<double> ArpeggioRatios;
  double ArpeggioTime = 0.0;

  // Pulse width of the square wave (0.5 is a plain square), changing by DutySweep per second.
  double Duty = 0.5;
  double DutySweep = 0.0;

  // Filters: a cutoff of 0 leaves the filter out; sweeps in octaves per second.
  double LowPassCutoff = 0.0;
  double LowPassSweep = 0.0;
  double LowPassResonance = 0.0;
  double HighPassCutoff = 0.0;
  double HighPassSweep = 0.0;

  // Noise holds each random value for 1 / (Frequency * NoiseStepsPerCycle) s, so a noise
  // voice's pitch darkens as it slides down, the classic explosion rumble.
  double NoiseStepsPerCycle = 32.0;
  std::uint32_t NoiseSeed = 1;

  double Length() const { return Attack + Sustain + Decay; }
};

// Renders one voice at the given rate; the buffer is exactly the voice's length long.
Buffer Render(const Voice& voice, double sampleRate);

// Adds source into target starting at the given sample, growing the target as needed.
void MixAt(Buffer& target, const Buffer& source, std::size_t start, float gain = 1.0f);

// Adds source into target wrapping round its end, for sounds that loop: whatever rings past
// the end of the loop is heard again at its start.
void MixWrapped(Buffer& target, const Buffer& source, std::size_t start, float gain = 1.0f);

// Scales the buffer so its largest magnitude is peak (a silent buffer stays silent).
void Normalise(Buffer& buffer, float peak);

// Fades the last seconds of the buffer out, so a sound cut short by its length ends at zero.
void FadeOut(Buffer& buffer, double seconds, double sampleRate);

// Gentle saturation that keeps small signals linear: loud layers get denser, not clipped.
float SoftClip(float value);

// Converts to 16-bit PCM, rounding to the nearest step; values beyond full scale are clamped
// (recipes normalise below full scale, so this only guards the peak against rounding).
std::vector<std::int16_t> ToPcm16(const Buffer& buffer);

// Runs a one-pole high-pass over the buffer to remove any DC offset that noise leaves behind.
void RemoveDc(Buffer& buffer, double cutoffHz, double sampleRate);

}  // namespace rivoltra::datagen
