#include "sounds/effects.h"

#include <array>
#include <cmath>
#include <functional>
#include <numbers>

#include "sounds/synth.h"

namespace rivoltra::datagen {

namespace {

constexpr double kRate = kEffectSampleRate;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

std::size_t At(double seconds) { return static_cast<std::size_t>(std::lround(seconds * kRate)); }

// Equal-tempered pitch of a MIDI note number (69 is A 440 Hz, 60 middle C).
double Hz(int midiNote) { return 440.0 * std::exp2((midiNote - 69) / 12.0); }

double Semitones(int count) { return std::exp2(count / 12.0); }

// Finishes a one-shot: no DC left by the noise, the given peak, and a short fade so the
// last sample is silence even where a layer was still ringing.
std::vector<std::int16_t> FinishOneShot(Buffer buffer, float peak) {
  RemoveDc(buffer, 15.0, kRate);
  Normalise(buffer, peak);
  FadeOut(buffer, 0.004, kRate);
  return ToPcm16(buffer);
}

// Filters a loop as if it had been playing for ever: the first pass only lets the filters
// settle, the second is kept, so the end of the loop flows into its start without a step.
void FilterLoop(Buffer& loop, double lowPassHz, double resonance, double highPassHz) {
  StateVariableFilter lowPass;
  StateVariableFilter highPass;
  Buffer out(loop.size());
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t i = 0; i < loop.size(); ++i) {
      float value = lowPass.Process(loop[i], lowPassHz, resonance, kRate).LowPass;
      value = highPass.Process(value, highPassHz, 0.0, kRate).HighPass;
      out[i] = value;
    }
  }
  loop = std::move(out);
}

// ---------------------------------------------------------------------------------------------
// Engine: a train of exhaust pulses. Each pulse rings at fixed exhaust resonances, so the
// timbre stays an engine's while the firing rate (the pitch) changes.

// Four cylinders never fire quite alike; the uneven pattern gives the low rumble under the hum.
constexpr std::array<double, 4> kCylinderStrength = {1.0, 0.80, 0.93, 0.76};

Buffer FiringPulse(double strength, NoiseSource& noise) {
  Buffer pulse(At(0.03));
  for (std::size_t i = 0; i < pulse.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double body = std::exp(-t / 0.0065) * std::sin(kTwoPi * 118.0 * t);
    const double bark = 0.5 * std::exp(-t / 0.0035) * std::sin(kTwoPi * 380.0 * t + 0.7);
    const double hiss = 0.3 * std::exp(-t / 0.002) * noise.Next();
    pulse[i] = static_cast<float>(strength * (body + bark + hiss));
  }
  return pulse;
}

// An engine running at a changing firing rate (pulses per second) and level, both functions
// of time in seconds.
Buffer EngineRun(double seconds, const std::function<double(double)>& firingRate,
                 const std::function<double(double)>& level, std::uint32_t seed) {
  NoiseSource noise(seed);
  Buffer out(At(seconds));
  double phase = 1.0;
  std::size_t cylinder = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    phase += firingRate(t) / kRate;
    if (phase >= 1.0) {
      phase -= 1.0;
      const double strength = level(t) * kCylinderStrength[cylinder++ % 4];
      if (strength > 0.0) MixAt(out, FiringPulse(strength, noise), i);
    }
  }
  out.resize(At(seconds));
  StateVariableFilter lowPass;
  for (float& value : out) value = lowPass.Process(value, 1500.0, 0.2, kRate).LowPass;
  return out;
}

// The running engine, looped for as long as the car drives: exactly 92 firing periods of
// 240 samples, 23 turns of the four-cylinder pattern, so the loop holds whole periods of every
// component and its seam cannot be heard.
constexpr std::size_t kFiringPeriod = 240;
constexpr std::size_t kPulsesPerLoop = 92;
constexpr double kIdleFiringRate = kRate / kFiringPeriod;

std::vector<std::int16_t> Engine() {
  NoiseSource noise(0x3A17u);
  Buffer loop(kFiringPeriod * kPulsesPerLoop);
  for (std::size_t k = 0; k < kPulsesPerLoop; ++k) {
    // three slow swells per loop keep the hum from sounding frozen
    const double swell = 1.0 + 0.06 * std::sin(kTwoPi * 3.0 * static_cast<double>(k) /
                                               static_cast<double>(kPulsesPerLoop));
    MixWrapped(loop, FiringPulse(kCylinderStrength[k % 4] * swell, noise), k * kFiringPeriod);
  }
  // the crankshaft's turn, one per two firings, with a whole number of cycles in the loop
  for (std::size_t i = 0; i < loop.size(); ++i) {
    const double turn = static_cast<double>(i) / static_cast<double>(2 * kFiringPeriod);
    loop[i] += static_cast<float>(0.18 * std::sin(kTwoPi * turn));
  }
  FilterLoop(loop, 1300.0, 0.2, 30.0);
  // it runs under the whole race, music and all, so it sits well below the other effects
  Normalise(loop, 0.4f);
  return ToPcm16(loop);
}

std::vector<std::int16_t> EngineStart() {
  const double seconds = 1.7;
  Buffer out(At(seconds));

  // starter motor: a whining saw, pulsing as each cylinder is pushed through compression
  Voice starter;
  starter.Wave = Waveform::Saw;
  starter.Frequency = 105.0;
  starter.Slide = 0.35;
  starter.Attack = 0.02;
  starter.Sustain = 0.5;
  starter.Decay = 0.06;
  starter.LowPassCutoff = 900.0;
  starter.LowPassResonance = 0.3;
  starter.Volume = 0.55;
  Buffer crank = Render(starter, kRate);
  for (std::size_t i = 0; i < crank.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    crank[i] *= static_cast<float>(0.45 + 0.55 * std::pow(std::sin(std::numbers::pi * 7.5 * t), 2));
  }
  MixAt(out, crank, 0);

  // the engine catches, revs up and settles to the idle of the running loop, fading under it
  const double catchTime = 0.52;
  Buffer run = EngineRun(
      seconds - catchTime,
      [](double t) {
        if (t < 0.35) return 35.0 * std::pow(150.0 / 35.0, t / 0.35);
        return kIdleFiringRate + (150.0 - kIdleFiringRate) * std::exp(-(t - 0.35) / 0.18);
      },
      [](double t) {
        const double rise = std::min(1.0, 0.4 + t / 0.1);
        return t < 0.75 ? rise : std::max(0.0, 1.0 - (t - 0.75) / 0.43);
      },
      0x51A7u);
  MixAt(out, run, At(catchTime), 1.1f);
  out.resize(At(seconds));
  return FinishOneShot(std::move(out), 0.6f);
}

std::vector<std::int16_t> EngineAccel() {
  const double seconds = 1.1;
  Buffer out = EngineRun(
      seconds, [](double t) { return kIdleFiringRate * std::pow(2.1, std::min(1.0, t / 0.75)); },
      [](double t) { return t < 0.8 ? 0.7 + 0.4 * t / 0.8 : 1.1 * (1.0 - (t - 0.8) / 0.3); },
      0xACCE1u);

  // the turbo's whistle rises with the revs
  Voice whistle;
  whistle.Wave = Waveform::Sine;
  whistle.Frequency = 2200.0;
  whistle.Slide = 1.3;
  whistle.Attack = 0.3;
  whistle.Sustain = 0.45;
  whistle.Decay = 0.15;
  whistle.VibratoDepth = 0.004;
  whistle.VibratoRate = 23.0;
  whistle.Volume = 0.025;
  MixAt(out, Render(whistle, kRate), 0);

  // and the blow-off valve vents as the boost tops out
  Voice blowOff;
  blowOff.Wave = Waveform::Noise;
  blowOff.Frequency = 2000.0;
  blowOff.Attack = 0.015;
  blowOff.Sustain = 0.05;
  blowOff.Decay = 0.25;
  blowOff.DecayCurve = 1.6;
  blowOff.HighPassCutoff = 2500.0;
  blowOff.LowPassCutoff = 8000.0;
  blowOff.LowPassSweep = -1.5;
  blowOff.Volume = 0.35;
  MixAt(out, Render(blowOff, kRate), At(0.78));
  out.resize(At(seconds));
  return FinishOneShot(std::move(out), 0.65f);
}

// ---------------------------------------------------------------------------------------------
// Gun: a burst of four rounds that loops while the fire key is held.

Buffer GunRound(double pitch, std::uint32_t seed) {
  Voice crack;
  crack.Wave = Waveform::Noise;
  crack.Frequency = 1500.0;
  crack.Sustain = 0.002;
  crack.Decay = 0.035;
  crack.DecayCurve = 2.2;
  crack.HighPassCutoff = 1400.0;
  crack.NoiseSeed = seed;
  Buffer round = Render(crack, kRate);

  Voice blast;
  blast.Wave = Waveform::Noise;
  blast.Frequency = 260.0 * pitch;
  blast.Slide = -3.0;
  blast.Sustain = 0.01;
  blast.Punch = 0.5;
  blast.Decay = 0.075;
  blast.DecayCurve = 1.6;
  blast.LowPassCutoff = 3200.0;
  blast.LowPassSweep = -5.0;
  blast.NoiseSeed = seed * 7u + 3u;
  blast.Volume = 0.9;
  MixAt(round, Render(blast, kRate), 0);

  Voice thump;
  thump.Wave = Waveform::Sine;
  thump.Frequency = 170.0 * pitch;
  thump.Slide = -7.0;
  thump.Sustain = 0.005;
  thump.Decay = 0.05;
  thump.DecayCurve = 1.5;
  thump.Volume = 0.8;
  MixAt(round, Render(thump, kRate), 0);

  // the bolt slamming home for the next round
  Voice bolt;
  bolt.Wave = Waveform::Square;
  bolt.Frequency = 2300.0 * pitch;
  bolt.Sustain = 0.002;
  bolt.Decay = 0.008;
  bolt.Volume = 0.12;
  MixAt(round, Render(bolt, kRate), At(0.045));
  return round;
}

std::vector<std::int16_t> Shot() {
  // eleven rounds a second; four rounds per loop, each a little different
  constexpr std::size_t kRoundPeriod = 1985;
  constexpr std::array<double, 4> kPitch = {1.0, 0.94, 1.04, 0.97};
  constexpr std::array<float, 4> kLevel = {1.0f, 0.88f, 0.95f, 0.9f};
  Buffer loop(kRoundPeriod * kPitch.size());
  for (std::size_t k = 0; k < kPitch.size(); ++k) {
    MixWrapped(loop, GunRound(kPitch[k], 0x6A11u + static_cast<std::uint32_t>(k)), k * kRoundPeriod,
               kLevel[k]);
  }
  FilterLoop(loop, 9000.0, 0.0, 40.0);
  for (float& value : loop) value = SoftClip(value * 0.8f);
  Normalise(loop, 0.8f);
  return ToPcm16(loop);
}

// ---------------------------------------------------------------------------------------------
// Crashes and hazards.

// Short bright bursts scattered after a blast: debris landing.
void AddDebris(Buffer& out, int count, double from, double to, double level, std::uint32_t seed) {
  NoiseSource placement(seed);
  for (int i = 0; i < count; ++i) {
    Voice chip;
    chip.Wave = Waveform::Noise;
    chip.Frequency = 600.0 + 900.0 * placement.Fraction();
    chip.Sustain = 0.002;
    chip.Decay = 0.01 + 0.02 * placement.Fraction();
    chip.HighPassCutoff = 1800.0;
    chip.NoiseSeed = seed + static_cast<std::uint32_t>(i) * 31u;
    const double when = from + (to - from) * placement.Fraction();
    const double fade = 1.0 - 0.7 * (when - from) / (to - from);
    MixAt(out, Render(chip, kRate), At(when),
          static_cast<float>(level * fade * (0.5 + 0.5 * placement.Fraction())));
  }
}

Buffer Blast(double seconds, double pitch, std::uint32_t seed) {
  Voice roar;
  roar.Wave = Waveform::Noise;
  roar.Frequency = 1100.0 * pitch;
  roar.Slide = -2.0;
  roar.MinFrequency = 40.0;
  roar.Attack = 0.003;
  roar.Sustain = 0.1 * seconds;
  roar.Punch = 0.7;
  roar.Decay = 0.9 * seconds;
  roar.DecayCurve = 2.2;
  roar.LowPassCutoff = 4000.0 * pitch;
  roar.LowPassSweep = -2.2;
  roar.NoiseSeed = seed;
  Buffer out = Render(roar, kRate);

  Voice rumble;
  rumble.Wave = Waveform::Noise;
  rumble.Frequency = 60.0 * pitch;
  rumble.Sustain = 0.15 * seconds;
  rumble.Decay = 0.85 * seconds;
  rumble.DecayCurve = 1.8;
  rumble.LowPassCutoff = 220.0 * pitch;
  rumble.LowPassResonance = 0.3;
  rumble.NoiseSeed = seed ^ 0xBEEFu;
  rumble.Volume = 1.6;
  MixAt(out, Render(rumble, kRate), 0);

  Voice boom;
  boom.Wave = Waveform::Sine;
  boom.Frequency = 95.0 * pitch;
  boom.Slide = -1.6;
  boom.Sustain = 0.02;
  boom.Decay = 0.45 * seconds;
  boom.DecayCurve = 1.4;
  boom.Volume = 0.9;
  MixAt(out, Render(boom, kRate), 0);
  return out;
}

std::vector<std::int16_t> CarExplosion() {
  Buffer out = Blast(1.8, 1.0, 0xCA4u);
  AddDebris(out, 14, 0.12, 1.0, 0.25, 0xCA5u);
  for (float& value : out) value = SoftClip(value * 0.9f);
  return FinishOneShot(std::move(out), 0.95f);
}

std::vector<std::int16_t> WallExplosion() {
  Buffer out = Blast(0.9, 1.5, 0xAA11u);
  // bricks rather than car parts: more of them, sooner, and sharper
  AddDebris(out, 18, 0.05, 0.6, 0.45, 0xAA12u);
  for (float& value : out) value = SoftClip(value * 0.9f);
  return FinishOneShot(std::move(out), 0.85f);
}

std::vector<std::int16_t> Stone() {
  Voice thud;
  thud.Wave = Waveform::Sine;
  thud.Frequency = 150.0;
  thud.Slide = -4.0;
  thud.Sustain = 0.01;
  thud.Decay = 0.14;
  thud.DecayCurve = 1.5;
  Buffer out = Render(thud, kRate);

  Voice scrape;
  scrape.Wave = Waveform::Noise;
  scrape.Frequency = 180.0;
  scrape.Sustain = 0.02;
  scrape.Decay = 0.16;
  scrape.DecayCurve = 2.0;
  scrape.LowPassCutoff = 2200.0;
  scrape.LowPassSweep = -3.0;
  scrape.NoiseSeed = 0x570u;
  scrape.Volume = 0.5;
  MixAt(out, Render(scrape, kRate), 0);

  // the underbody bouncing over the rock: a few hard knocks of falling strength
  constexpr std::array<double, 4> kKnocks = {0.0, 0.045, 0.11, 0.17};
  for (std::size_t i = 0; i < kKnocks.size(); ++i) {
    Voice knock;
    knock.Wave = Waveform::Triangle;
    knock.Frequency = 420.0 - 40.0 * static_cast<double>(i);
    knock.Slide = -3.0;
    knock.Sustain = 0.003;
    knock.Decay = 0.03;
    knock.DecayCurve = 2.0;
    knock.Volume = 0.6 / (1.0 + static_cast<double>(i));
    MixAt(out, Render(knock, kRate), At(kKnocks[i]));
  }
  AddDebris(out, 6, 0.02, 0.25, 0.25, 0x571u);
  out.resize(At(0.3));
  return FinishOneShot(std::move(out), 0.85f);
}

std::vector<std::int16_t> Spike() {
  // the tyre bursts...
  Voice pop;
  pop.Wave = Waveform::Noise;
  pop.Frequency = 1200.0;
  pop.Sustain = 0.004;
  pop.Punch = 1.0;
  pop.Decay = 0.04;
  pop.DecayCurve = 2.0;
  pop.LowPassCutoff = 5000.0;
  pop.NoiseSeed = 0x5B1u;
  Buffer out = Render(pop, kRate);

  Voice knock;
  knock.Wave = Waveform::Sine;
  knock.Frequency = 260.0;
  knock.Slide = -5.0;
  knock.Sustain = 0.005;
  knock.Decay = 0.06;
  knock.Volume = 0.7;
  MixAt(out, Render(knock, kRate), 0);

  // ...and the air rushes out, the flapping tyre chopping the hiss
  Voice hiss;
  hiss.Wave = Waveform::Noise;
  hiss.Frequency = 2000.0;
  hiss.Attack = 0.02;
  hiss.Sustain = 0.25;
  hiss.Decay = 0.55;
  hiss.DecayCurve = 1.5;
  hiss.HighPassCutoff = 2800.0;
  hiss.HighPassSweep = -0.6;
  hiss.LowPassCutoff = 9000.0;
  hiss.NoiseSeed = 0x5B2u;
  hiss.Volume = 0.45;
  Buffer air = Render(hiss, kRate);
  for (std::size_t i = 0; i < air.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double flapRate = 24.0 - 10.0 * t;
    air[i] *= static_cast<float>(0.6 + 0.4 * std::sin(kTwoPi * flapRate * t));
  }
  MixAt(out, air, At(0.01));
  return FinishOneShot(std::move(out), 0.8f);
}

std::vector<std::int16_t> Water() {
  // the sheet of spray
  Voice spray;
  spray.Wave = Waveform::Noise;
  spray.Frequency = 1500.0;
  spray.Attack = 0.01;
  spray.Sustain = 0.06;
  spray.Decay = 0.5;
  spray.DecayCurve = 1.8;
  spray.LowPassCutoff = 5000.0;
  spray.LowPassSweep = -2.0;
  spray.LowPassResonance = 0.4;
  spray.HighPassCutoff = 500.0;
  spray.NoiseSeed = 0x3A7E4u;
  Buffer out = Render(spray, kRate);

  Voice plunge;
  plunge.Wave = Waveform::Sine;
  plunge.Frequency = 130.0;
  plunge.Slide = -2.0;
  plunge.Attack = 0.005;
  plunge.Sustain = 0.02;
  plunge.Decay = 0.15;
  plunge.Volume = 0.6;
  MixAt(out, Render(plunge, kRate), 0);

  // droplets and bubbles: a bubble rings with a quickly rising pitch
  NoiseSource placement(0x3A7E5u);
  for (int i = 0; i < 12; ++i) {
    Voice bubble;
    bubble.Wave = Waveform::Sine;
    bubble.Frequency = 500.0 + 1100.0 * placement.Fraction();
    bubble.Slide = 3.0 + 3.0 * placement.Fraction();
    bubble.Attack = 0.002;
    bubble.Sustain = 0.005;
    bubble.Decay = 0.025 + 0.03 * placement.Fraction();
    bubble.DecayCurve = 1.5;
    const double when = 0.04 + 0.5 * placement.Fraction();
    const double level = 0.35 * (1.0 - when / 0.7);
    MixAt(out, Render(bubble, kRate), At(when), static_cast<float>(level));
  }
  out.resize(At(0.62));
  return FinishOneShot(std::move(out), 0.8f);
}

std::vector<std::int16_t> Rabbit() {
  // a startled squeak up, then a drooping one: the animal, and the points it costs
  Voice squeak;
  squeak.Wave = Waveform::Triangle;
  squeak.Frequency = 1400.0;
  squeak.Slide = 5.0;
  squeak.Attack = 0.005;
  squeak.Sustain = 0.05;
  squeak.Decay = 0.03;
  squeak.VibratoDepth = 0.03;
  squeak.VibratoRate = 35.0;
  Buffer out = Render(squeak, kRate);

  Voice droop = squeak;
  droop.Frequency = 1900.0;
  droop.Slide = -2.5;
  droop.Sustain = 0.1;
  droop.Decay = 0.1;
  droop.VibratoDepth = 0.05;
  droop.VibratoRate = 28.0;
  MixAt(out, Render(droop, kRate), At(0.11), 0.9f);

  Voice bump;
  bump.Wave = Waveform::Sine;
  bump.Frequency = 200.0;
  bump.Slide = -4.0;
  bump.Sustain = 0.005;
  bump.Decay = 0.07;
  bump.Volume = 0.7;
  MixAt(out, Render(bump, kRate), 0);
  out.resize(At(0.36));
  return FinishOneShot(std::move(out), 0.7f);
}

// ---------------------------------------------------------------------------------------------
// Pick-ups, the clock and the jingles.

std::vector<std::int16_t> BonusGet() {
  // a rising major arpeggio with an upward glide: power gained
  Voice arpeggio;
  arpeggio.Wave = Waveform::Square;
  arpeggio.Duty = 0.25;
  arpeggio.DutySweep = 0.3;
  arpeggio.Frequency = Hz(72);
  arpeggio.Slide = 0.3;
  arpeggio.ArpeggioRatios = {Semitones(4), Semitones(3), Semitones(5), Semitones(4), Semitones(3)};
  arpeggio.ArpeggioTime = 0.05;
  arpeggio.Attack = 0.003;
  arpeggio.Sustain = 0.3;
  arpeggio.Decay = 0.2;
  arpeggio.LowPassCutoff = 7000.0;
  arpeggio.Volume = 0.6;
  Buffer out = Render(arpeggio, kRate);

  // a sparkle an octave up, a beat behind, like an echo
  Voice sparkle = arpeggio;
  sparkle.Wave = Waveform::Triangle;
  sparkle.Frequency = Hz(84);
  sparkle.Volume = 0.4;
  MixAt(out, Render(sparkle, kRate), At(0.06));
  return FinishOneShot(std::move(out), 0.75f);
}

std::vector<std::int16_t> ScoreGet() {
  // two quick bright notes a fourth apart, the second ringing out
  Voice coin;
  coin.Wave = Waveform::Square;
  coin.Frequency = Hz(83);
  coin.ArpeggioRatios = {Semitones(5)};
  coin.ArpeggioTime = 0.06;
  coin.Attack = 0.002;
  coin.Sustain = 0.07;
  coin.Decay = 0.24;
  coin.DecayCurve = 1.4;
  coin.LowPassCutoff = 8000.0;
  coin.Volume = 0.5;
  Buffer out = Render(coin, kRate);

  Voice ring = coin;
  ring.Wave = Waveform::Sine;
  ring.Volume = 0.6;
  MixAt(out, Render(ring, kRate), 0);
  return FinishOneShot(std::move(out), 0.7f);
}

std::vector<std::int16_t> BonusLost() {
  // a wobbling glide down through a falling arpeggio: the power draining away
  Voice drain;
  drain.Wave = Waveform::Square;
  drain.Duty = 0.4;
  drain.Frequency = Hz(79);
  drain.Slide = -1.0;
  drain.ArpeggioRatios = {Semitones(-3), Semitones(-4), Semitones(-5)};
  drain.ArpeggioTime = 0.12;
  drain.VibratoDepth = 0.035;
  drain.VibratoRate = 11.0;
  drain.Attack = 0.005;
  drain.Sustain = 0.35;
  drain.Decay = 0.3;
  drain.LowPassCutoff = 3500.0;
  drain.LowPassSweep = -1.5;
  Buffer out = Render(drain, kRate);
  return FinishOneShot(std::move(out), 0.7f);
}

std::vector<std::int16_t> Tick() {
  // a clock's tick: shorter than the 50 ms between ticks of the time-bonus count
  Voice click;
  click.Wave = Waveform::Sine;
  click.Frequency = 2100.0;
  click.Sustain = 0.001;
  click.Decay = 0.018;
  click.DecayCurve = 2.5;
  Buffer out = Render(click, kRate);

  Voice body;
  body.Wave = Waveform::Sine;
  body.Frequency = 950.0;
  body.Slide = -1.0;
  body.Sustain = 0.002;
  body.Decay = 0.03;
  body.DecayCurve = 2.0;
  body.Volume = 0.7;
  MixAt(out, Render(body, kRate), 0);

  Voice edge;
  edge.Wave = Waveform::Noise;
  edge.Frequency = 2000.0;
  edge.Sustain = 0.001;
  edge.Decay = 0.006;
  edge.HighPassCutoff = 3500.0;
  edge.NoiseSeed = 0x71Cu;
  edge.Volume = 0.5;
  MixAt(out, Render(edge, kRate), 0);
  out.resize(At(0.04));
  return FinishOneShot(std::move(out), 0.7f);
}

// One note of a jingle: a brassy pulse with a rounder sine under it.
void AddJingleNote(Buffer& out, int midiNote, double start, double hold, double release,
                   double level, double vibrato = 0.0) {
  Voice note;
  note.Wave = Waveform::Square;
  note.Duty = 0.3;
  note.Frequency = Hz(midiNote);
  note.Attack = 0.008;
  note.Sustain = hold;
  note.Punch = 0.3;
  note.Decay = release;
  note.DecayCurve = 1.5;
  note.LowPassCutoff = 4500.0;
  note.VibratoDepth = vibrato;
  note.VibratoRate = 6.0;
  note.VibratoDelay = 0.25;
  note.Volume = 0.5 * level;
  MixAt(out, Render(note, kRate), At(start));

  Voice round = note;
  round.Wave = Waveform::Sine;
  round.Volume = 0.5 * level;
  MixAt(out, Render(round, kRate), At(start));
}

std::vector<std::int16_t> LevelFinish() {
  Buffer out;
  // a quick run up the major chord, landing on a held chord
  constexpr std::array<int, 4> kRun = {67, 72, 76, 79};
  for (std::size_t i = 0; i < kRun.size(); ++i) {
    AddJingleNote(out, kRun[i], 0.1 * static_cast<double>(i), 0.05, 0.08, 0.8);
  }
  for (int note : {72, 76, 79, 84}) AddJingleNote(out, note, 0.42, 0.45, 0.5, 0.5, 0.01);
  AddJingleNote(out, 48, 0.42, 0.45, 0.5, 0.6);
  return FinishOneShot(std::move(out), 0.8f);
}

std::vector<std::int16_t> GameOver() {
  // four notes sagging by semitones, the last one long and wavering
  Buffer out;
  constexpr std::array<int, 3> kFalls = {67, 66, 65};
  for (std::size_t i = 0; i < kFalls.size(); ++i) {
    Voice note;
    note.Wave = Waveform::Saw;
    note.Frequency = Hz(kFalls[i]);
    note.Slide = -0.15;
    note.Attack = 0.02;
    note.Sustain = 0.22;
    note.Decay = 0.1;
    note.LowPassCutoff = 1600.0;
    note.LowPassResonance = 0.3;
    note.Volume = 0.6;
    MixAt(out, Render(note, kRate), At(0.38 * static_cast<double>(i)));
  }
  Voice last;
  last.Wave = Waveform::Saw;
  last.Frequency = Hz(64);
  last.Slide = -0.08;
  last.Attack = 0.03;
  last.Sustain = 0.6;
  last.Decay = 0.5;
  last.DecayCurve = 1.5;
  last.VibratoDepth = 0.025;
  last.VibratoRate = 5.0;
  last.VibratoDelay = 0.3;
  last.LowPassCutoff = 1600.0;
  last.LowPassSweep = -0.8;
  last.LowPassResonance = 0.3;
  last.Volume = 0.6;
  MixAt(out, Render(last, kRate), At(1.14));

  // a sine an octave under each note keeps the phrase from sounding thin
  Buffer under;
  for (std::size_t i = 0; i <= kFalls.size(); ++i) {
    Voice sub;
    sub.Wave = Waveform::Sine;
    sub.Frequency = Hz((i < kFalls.size() ? kFalls[i] : 64) - 12);
    sub.Attack = 0.02;
    sub.Sustain = i < kFalls.size() ? 0.22 : 0.6;
    sub.Decay = i < kFalls.size() ? 0.1 : 0.5;
    sub.Volume = 0.35;
    MixAt(under, Render(sub, kRate), At(0.38 * static_cast<double>(i)));
  }
  MixAt(out, under, 0);
  return FinishOneShot(std::move(out), 0.75f);
}

std::vector<std::int16_t> ButtonActivated() {
  // a light blip for moving the highlight: short, so quick mouse moves do not pile up
  Voice blip;
  blip.Wave = Waveform::Square;
  blip.Duty = 0.25;
  blip.Frequency = Hz(84);
  blip.Slide = 1.0;
  blip.Attack = 0.002;
  blip.Sustain = 0.02;
  blip.Decay = 0.05;
  blip.DecayCurve = 1.5;
  blip.LowPassCutoff = 5000.0;
  blip.Volume = 0.5;
  Buffer out = Render(blip, kRate);
  Voice round = blip;
  round.Wave = Waveform::Sine;
  MixAt(out, Render(round, kRate), 0);
  return FinishOneShot(std::move(out), 0.5f);
}

std::vector<std::int16_t> ButtonPressed() {
  // a firmer confirming two-note chirp, a fifth up
  Voice chirp;
  chirp.Wave = Waveform::Square;
  chirp.Frequency = Hz(79);
  chirp.ArpeggioRatios = {Semitones(7)};
  chirp.ArpeggioTime = 0.05;
  chirp.Attack = 0.002;
  chirp.Sustain = 0.07;
  chirp.Punch = 0.4;
  chirp.Decay = 0.12;
  chirp.DecayCurve = 1.5;
  chirp.LowPassCutoff = 6000.0;
  chirp.Volume = 0.5;
  Buffer out = Render(chirp, kRate);

  Voice body;
  body.Wave = Waveform::Sine;
  body.Frequency = Hz(67);
  body.Sustain = 0.02;
  body.Decay = 0.08;
  body.Volume = 0.5;
  MixAt(out, Render(body, kRate), 0);
  return FinishOneShot(std::move(out), 0.65f);
}

}  // namespace

std::vector<SoundEffect> BuildSoundEffects() {
  struct Recipe {
    const char* Name;
    bool Looped;
    int MaxPlayingCount;
    std::vector<std::int16_t> (*Make)();
  };
  static constexpr Recipe kRecipes[] = {
      {"Button_Activated", false, 2, ButtonActivated},
      {"Button_Pressed", false, 2, ButtonPressed},
      {"EngineStart", false, 1, EngineStart},
      {"Engine", true, 1, Engine},
      {"EngineAccel", false, 1, EngineAccel},
      {"Shot", true, 1, Shot},
      {"CarExplosion", false, 2, CarExplosion},
      {"WallExplosion", false, 3, WallExplosion},
      {"Stone", false, 2, Stone},
      {"Spike", false, 1, Spike},
      {"Water", false, 2, Water},
      {"Rabbit", false, 2, Rabbit},
      {"BonusGet", false, 2, BonusGet},
      {"ScoreGet", false, 3, ScoreGet},
      {"BonusLost", false, 1, BonusLost},
      {"Tick", false, 1, Tick},
      {"LevelFinish", false, 1, LevelFinish},
      {"GameOver", false, 1, GameOver},
  };
  std::vector<SoundEffect> effects;
  for (const Recipe& recipe : kRecipes) {
    effects.push_back(
        SoundEffect{recipe.Name, recipe.Looped, recipe.MaxPlayingCount, recipe.Make()});
  }
  return effects;
}

}  // namespace rivoltra::datagen
