#include "sounds/synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace rivoltra::datagen {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Band-limits the jump of a square or saw wave over the one sample it falls in; without it the
// high notes of a slide alias into a whistle below them.
double PolyBlep(double phase, double phaseStep) {
  if (phase < phaseStep) {
    const double t = phase / phaseStep;
    return t + t - t * t - 1.0;
  }
  if (phase > 1.0 - phaseStep) {
    const double t = (phase - 1.0) / phaseStep;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

double EnvelopeAt(const Voice& voice, double time) {
  if (time < voice.Attack) return time / voice.Attack;
  time -= voice.Attack;
  if (time < voice.Sustain) return 1.0 + voice.Punch * (1.0 - time / voice.Sustain);
  time -= voice.Sustain;
  if (voice.Decay <= 0.0 || time >= voice.Decay) return 0.0;
  return std::pow(1.0 - time / voice.Decay, voice.DecayCurve);
}

double ArpeggioFactor(const Voice& voice, double time) {
  if (voice.ArpeggioRatios.empty() || voice.ArpeggioTime <= 0.0) return 1.0;
  const auto steps = static_cast<std::size_t>(time / voice.ArpeggioTime);
  double factor = 1.0;
  for (std::size_t i = 0; i < std::min(steps, voice.ArpeggioRatios.size()); ++i) {
    factor *= voice.ArpeggioRatios[i];
  }
  return factor;
}

double ClampCutoff(double cutoff, double sampleRate) {
  return std::clamp(cutoff, 20.0, 0.45 * sampleRate);
}

// Keeps every factor-th sample after a windowed-sinc low-pass just under the new Nyquist
// frequency; the filter is centred, so the result is not delayed.
Buffer Decimate(const std::vector<double>& input, int factor) {
  Buffer out(input.size() / static_cast<std::size_t>(factor));
  if (factor == 1) {
    std::transform(input.begin(), input.end(), out.begin(),
                   [](double value) { return static_cast<float>(value); });
    return out;
  }
  const int half = 16 * factor;
  const double cutoff = 0.45 / factor;  // in cycles per input sample
  std::vector<double> taps(static_cast<std::size_t>(2 * half + 1));
  double sum = 0.0;
  for (int k = -half; k <= half; ++k) {
    const double sinc =
        k == 0 ? 2.0 * cutoff : std::sin(kTwoPi * cutoff * k) / (std::numbers::pi * k);
    const double window = 0.42 + 0.5 * std::cos(std::numbers::pi * k / half) +
                          0.08 * std::cos(2.0 * std::numbers::pi * k / half);
    const int tap = k + half;
    taps[static_cast<std::size_t>(tap)] = sinc * window;
    sum += sinc * window;
  }
  for (double& tap : taps) tap /= sum;
  const auto size = static_cast<std::ptrdiff_t>(input.size());
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto centre = static_cast<std::ptrdiff_t>(i) * factor;
    double value = 0.0;
    for (int k = -half; k <= half; ++k) {
      const std::ptrdiff_t at = centre + k;
      const int tap = k + half;
      if (at >= 0 && at < size)
        value += taps[static_cast<std::size_t>(tap)] * input[static_cast<std::size_t>(at)];
    }
    out[i] = static_cast<float>(value);
  }
  return out;
}

}  // namespace

float NoiseSource::Next() { return static_cast<float>(Fraction() * 2.0 - 1.0); }

double NoiseSource::Fraction() {
  // xorshift32: full period over every non-zero state and no library randomness, whose
  // sequence could change with the platform.
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return (state_ >> 8) / 16777216.0;
}

StateVariableFilter::Output StateVariableFilter::Process(float input, double cutoffHz,
                                                         double resonance, double sampleRate) {
  const double g = std::tan(std::numbers::pi * ClampCutoff(cutoffHz, sampleRate) / sampleRate);
  const double k = std::max(0.05, 2.0 - 2.0 * std::clamp(resonance, 0.0, 1.0));
  const double band = (band_ + g * (input - low_)) / (1.0 + g * (g + k));
  const double low = low_ + g * band;
  band_ = 2.0 * band - band_;
  low_ = 2.0 * low - low_;
  return {static_cast<float>(low), static_cast<float>(band),
          static_cast<float>(input - k * band - low)};
}

Buffer Render(const Voice& voice, double outputRate) {
  // Tones are rendered at four times the rate and filtered down, which keeps the corners of
  // triangles and the folded harmonics of fast arpeggios out of the audible band. Noise is
  // meant to be as rough as its hold rate makes it, so it is rendered directly.
  const int oversampling = voice.Wave == Waveform::Noise ? 1 : 4;
  const double sampleRate = outputRate * oversampling;
  const auto outputCount = static_cast<std::size_t>(std::lround(voice.Length() * outputRate));
  const std::size_t count = outputCount * static_cast<std::size_t>(oversampling);
  std::vector<double> out(count);
  NoiseSource noise(voice.NoiseSeed);
  StateVariableFilter lowPass;
  StateVariableFilter highPass;

  const double logMin = std::log2(voice.MinFrequency);
  const double logMax = std::log2(voice.MaxFrequency);
  double logFrequency = std::log2(voice.Frequency);
  double slide = voice.Slide;
  double phase = 0.0;
  double vibratoPhase = 0.0;
  double noiseHold = 1.0;
  double noiseValue = 0.0;

  for (std::size_t i = 0; i < count; ++i) {
    const double time = static_cast<double>(i) / sampleRate;
    slide += voice.SlideAcceleration / sampleRate;
    logFrequency = std::clamp(logFrequency + slide / sampleRate, logMin, logMax);

    double frequency = std::exp2(logFrequency) * ArpeggioFactor(voice, time);
    if (voice.VibratoDepth > 0.0) {
      const double fadeIn =
          voice.VibratoDelay > 0.0 ? std::min(1.0, time / voice.VibratoDelay) : 1.0;
      frequency *= 1.0 + voice.VibratoDepth * fadeIn * std::sin(kTwoPi * vibratoPhase);
      vibratoPhase += voice.VibratoRate / sampleRate;
    }
    const double phaseStep = std::min(0.5, frequency / sampleRate);

    double sample = 0.0;
    switch (voice.Wave) {
      case Waveform::Square: {
        const double duty = std::clamp(voice.Duty + voice.DutySweep * time, 0.05, 0.95);
        sample = phase < duty ? 1.0 : -1.0;
        sample += PolyBlep(phase, phaseStep);
        sample -= PolyBlep(std::fmod(phase + 1.0 - duty, 1.0), phaseStep);
        break;
      }
      case Waveform::Saw:
        sample = 2.0 * phase - 1.0 - PolyBlep(phase, phaseStep);
        break;
      case Waveform::Triangle:
        sample = 4.0 * std::abs(phase - 0.5) - 1.0;
        break;
      case Waveform::Sine:
        sample = std::sin(kTwoPi * phase);
        break;
      case Waveform::Noise:
        noiseHold += frequency * voice.NoiseStepsPerCycle / sampleRate;
        if (noiseHold >= 1.0) {
          noiseHold -= std::floor(noiseHold);
          noiseValue = noise.Next();
        }
        sample = noiseValue;
        break;
    }
    phase += phaseStep;
    phase -= std::floor(phase);

    if (voice.LowPassCutoff > 0.0) {
      const double cutoff = voice.LowPassCutoff * std::exp2(voice.LowPassSweep * time);
      sample =
          lowPass.Process(static_cast<float>(sample), cutoff, voice.LowPassResonance, sampleRate)
              .LowPass;
    }
    if (voice.HighPassCutoff > 0.0) {
      const double cutoff = voice.HighPassCutoff * std::exp2(voice.HighPassSweep * time);
      sample = highPass.Process(static_cast<float>(sample), cutoff, 0.0, sampleRate).HighPass;
    }
    out[i] = sample * EnvelopeAt(voice, time) * voice.Volume;
  }
  return Decimate(out, oversampling);
}

void MixAt(Buffer& target, const Buffer& source, std::size_t start, float gain) {
  if (target.size() < start + source.size()) target.resize(start + source.size(), 0.0f);
  for (std::size_t i = 0; i < source.size(); ++i) target[start + i] += source[i] * gain;
}

void MixWrapped(Buffer& target, const Buffer& source, std::size_t start, float gain) {
  if (target.empty()) return;
  for (std::size_t i = 0; i < source.size(); ++i) {
    target[(start + i) % target.size()] += source[i] * gain;
  }
}

void Normalise(Buffer& buffer, float peak) {
  float largest = 0.0f;
  for (float value : buffer) largest = std::max(largest, std::abs(value));
  if (largest <= 0.0f) return;
  const float scale = peak / largest;
  for (float& value : buffer) value *= scale;
}

void FadeOut(Buffer& buffer, double seconds, double sampleRate) {
  const auto count =
      std::min(buffer.size(), static_cast<std::size_t>(std::lround(seconds * sampleRate)));
  for (std::size_t i = 0; i < count; ++i) {
    buffer[buffer.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(count);
  }
}

float SoftClip(float value) {
  if (std::abs(value) < 0.5f) return value;
  const float sign = value < 0.0f ? -1.0f : 1.0f;
  const float excess = std::abs(value) - 0.5f;
  return sign * (0.5f + 0.5f * std::tanh(excess * 2.0f));
}

std::vector<std::int16_t> ToPcm16(const Buffer& buffer) {
  std::vector<std::int16_t> samples(buffer.size());
  std::transform(buffer.begin(), buffer.end(), samples.begin(), [](float value) {
    const double scaled = std::round(static_cast<double>(value) * 32767.0);
    return static_cast<std::int16_t>(std::clamp(scaled, -32767.0, 32767.0));
  });
  return samples;
}

void RemoveDc(Buffer& buffer, double cutoffHz, double sampleRate) {
  const double pole = std::exp(-kTwoPi * cutoffHz / sampleRate);
  double previousInput = 0.0;
  double previousOutput = 0.0;
  for (float& value : buffer) {
    const double output = value - previousInput + pole * previousOutput;
    previousInput = value;
    previousOutput = output;
    value = static_cast<float>(output);
  }
}

}  // namespace rivoltra::datagen
