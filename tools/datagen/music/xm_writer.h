#pragma once

// A writer of extended modules (".xm", format version 1.04): patterns, one sample per
// instrument, volume envelopes and automatic vibrato. Enough for the game's own songs.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace rivoltra::datagen {

// Note numbers as stored in a pattern cell: 1 is C-0, 49 is C-4 (the note that plays a sample
// at 8363 Hz when its relative note and finetune are 0), 96 is B-7; 97 releases the note.
constexpr std::uint8_t kXmKeyOff = 97;
constexpr std::uint8_t kXmMaxNote = 96;

// Volume column values: 0x10 .. 0x50 set the volume 0 .. 64.
constexpr std::uint8_t XmVolume(int volume) { return static_cast<std::uint8_t>(0x10 + volume); }

struct XmCell {
  std::uint8_t Note = 0;        // 0 none, 1 .. 96, kXmKeyOff
  std::uint8_t Instrument = 0;  // 0 none, 1 .. instrument count
  std::uint8_t Volume = 0;      // volume column byte, 0 none
  std::uint8_t Effect = 0;
  std::uint8_t Parameter = 0;

  bool IsEmpty() const {
    return Note == 0 && Instrument == 0 && Volume == 0 && Effect == 0 && Parameter == 0;
  }
};

struct XmPattern {
  XmPattern(int rowCount, int channelCount)
      : Rows(rowCount),
        Channels(channelCount),
        Cells(static_cast<std::size_t>(rowCount) * static_cast<std::size_t>(channelCount)) {}

  XmCell& At(int row, int channel);
  const XmCell& At(int row, int channel) const;

  int Rows;
  int Channels;
  std::vector<XmCell> Cells;  // row by row
};

struct XmEnvelopePoint {
  std::uint16_t Tick;
  std::uint16_t Value;  // 0 .. 64
};

struct XmEnvelope {
  std::vector<XmEnvelopePoint> Points;  // at most 12, ticks rising; empty means no envelope
  int SustainPoint = -1;                // -1: none
  int LoopStart = -1;                   // -1: no loop
  int LoopEnd = -1;
};

struct XmSample {
  std::string Name;
  std::vector<std::int16_t> Data;  // stored as 16-bit
  std::uint32_t LoopStart = 0;     // in samples
  std::uint32_t LoopLength = 0;    // in samples; 0 plays once
  std::uint8_t Volume = 64;        // 0 .. 64
  std::int8_t Finetune = 0;        // 1/128 semitone
  std::uint8_t Panning = 128;      // 0 left .. 255 right
  std::int8_t RelativeNote = 0;    // semitones added to every note
};

struct XmInstrument {
  std::string Name;
  XmSample Sample;
  XmEnvelope VolumeEnvelope;
  std::uint16_t Fadeout = 0;  // volume lost per tick after the release, of 65536
  std::uint8_t VibratoType = 0;
  std::uint8_t VibratoSweep = 0;
  std::uint8_t VibratoDepth = 0;
  std::uint8_t VibratoRate = 0;
};

struct XmModule {
  std::string Name;
  int Channels = 8;
  int Speed = 6;  // ticks per row
  int Bpm = 125;  // a tick lasts 2.5 / Bpm seconds
  int RestartPosition = 0;
  std::vector<std::uint8_t> Orders;
  std::vector<XmPattern> Patterns;
  std::vector<XmInstrument> Instruments;
};

class XmError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The complete file image. Throws XmError when the module breaks a limit of the format
// (channel, order, pattern, row, instrument or envelope counts, references out of range).
std::vector<std::uint8_t> WriteXm(const XmModule& module);

// Relative note and finetune that make a sample sound at its recorded pitch when played at
// nativeNote (a cell note number), given the rate it was recorded at.
struct XmTuning {
  std::int8_t RelativeNote;
  std::int8_t Finetune;
};
XmTuning TuningFor(double sampleRate, int nativeNote);

}  // namespace rivoltra::datagen
