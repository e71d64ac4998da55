#include "music/xm_writer.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace rivoltra::datagen {

namespace {

constexpr std::size_t kOrderTableSize = 256;
constexpr std::uint32_t kHeaderSize = 20 + kOrderTableSize;  // counted from the size field
constexpr std::uint32_t kPatternHeaderSize = 9;
constexpr std::uint32_t kInstrumentHeaderSize = 263;
constexpr std::uint32_t kSampleHeaderSize = 40;
constexpr std::size_t kEnvelopePoints = 12;
constexpr double kC4SampleRate = 8363.0;
constexpr int kC4Note = 49;

class ByteWriter {
 public:
  void U8(std::uint8_t value) { bytes_.push_back(value); }
  void U16(std::uint16_t value) {
    U8(static_cast<std::uint8_t>(value));
    U8(static_cast<std::uint8_t>(value >> 8));
  }
  void U32(std::uint32_t value) {
    U16(static_cast<std::uint16_t>(value));
    U16(static_cast<std::uint16_t>(value >> 16));
  }
  // Fixed-width text, cut or padded with zero bytes.
  void Text(std::string_view text, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
      U8(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
  }
  void Zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }
  void Append(const std::vector<std::uint8_t>& more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
  }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

void Require(bool condition, const std::string& what) {
  if (!condition) throw XmError("xm writer: " + what);
}

// The packed form: a cell with something in it starts with a byte whose top bit is set and
// whose low bits say which fields follow; an empty cell is that byte alone.
std::vector<std::uint8_t> PackPattern(const XmPattern& pattern, std::size_t instrumentCount) {
  ByteWriter out;
  for (const XmCell& cell : pattern.Cells) {
    Require(cell.Note <= kXmKeyOff, "note out of range");
    Require(cell.Instrument <= instrumentCount, "cell names a missing instrument");
    std::uint8_t mask = 0;
    if (cell.Note != 0) mask |= 0x01;
    if (cell.Instrument != 0) mask |= 0x02;
    if (cell.Volume != 0) mask |= 0x04;
    if (cell.Effect != 0) mask |= 0x08;
    if (cell.Parameter != 0) mask |= 0x10;
    out.U8(static_cast<std::uint8_t>(0x80 | mask));
    if (mask & 0x01) out.U8(cell.Note);
    if (mask & 0x02) out.U8(cell.Instrument);
    if (mask & 0x04) out.U8(cell.Volume);
    if (mask & 0x08) out.U8(cell.Effect);
    if (mask & 0x10) out.U8(cell.Parameter);
  }
  return out.Take();
}

void WriteEnvelopePoints(ByteWriter& out, const XmEnvelope& envelope) {
  for (std::size_t i = 0; i < kEnvelopePoints; ++i) {
    const XmEnvelopePoint point =
        i < envelope.Points.size() ? envelope.Points[i] : XmEnvelopePoint{0, 0};
    out.U16(point.Tick);
    out.U16(point.Value);
  }
}

void CheckEnvelope(const XmEnvelope& envelope, const std::string& instrument) {
  const auto count = static_cast<int>(envelope.Points.size());
  Require(count <= static_cast<int>(kEnvelopePoints), instrument + ": too many envelope points");
  for (int i = 0; i < count; ++i) {
    Require(envelope.Points[i].Value <= 64, instrument + ": envelope value above 64");
    Require(i == 0 || envelope.Points[i].Tick > envelope.Points[i - 1].Tick,
            instrument + ": envelope ticks must rise");
  }
  Require(envelope.SustainPoint < count, instrument + ": sustain point out of range");
  Require(envelope.LoopStart <= envelope.LoopEnd && envelope.LoopEnd < count,
          instrument + ": envelope loop out of range");
}

void WriteInstrument(ByteWriter& out, const XmInstrument& instrument) {
  const XmSample& sample = instrument.Sample;
  const XmEnvelope& envelope = instrument.VolumeEnvelope;
  CheckEnvelope(envelope, instrument.Name);
  Require(sample.Volume <= 64, instrument.Name + ": sample volume above 64");
  Require(sample.Data.size() < (1u << 30), instrument.Name + ": sample too long");
  Require(sample.LoopStart + static_cast<std::uint64_t>(sample.LoopLength) <= sample.Data.size(),
          instrument.Name + ": loop beyond the sample");

  out.U32(kInstrumentHeaderSize);
  out.Text(instrument.Name, 22);
  out.U8(0);  // type
  out.U16(1);
  out.U32(kSampleHeaderSize);
  out.Zeros(96);  // every note plays the one sample
  WriteEnvelopePoints(out, envelope);
  WriteEnvelopePoints(out, XmEnvelope{});
  out.U8(static_cast<std::uint8_t>(envelope.Points.size()));
  out.U8(0);
  out.U8(static_cast<std::uint8_t>(std::max(envelope.SustainPoint, 0)));
  out.U8(static_cast<std::uint8_t>(std::max(envelope.LoopStart, 0)));
  out.U8(static_cast<std::uint8_t>(std::max(envelope.LoopEnd, 0)));
  out.Zeros(3);  // panning sustain and loop
  std::uint8_t volumeType = 0;
  if (!envelope.Points.empty()) volumeType |= 0x01;
  if (envelope.SustainPoint >= 0) volumeType |= 0x02;
  if (envelope.LoopStart >= 0) volumeType |= 0x04;
  out.U8(volumeType);
  out.U8(0);  // no panning envelope
  out.U8(instrument.VibratoType);
  out.U8(instrument.VibratoSweep);
  out.U8(instrument.VibratoDepth);
  out.U8(instrument.VibratoRate);
  out.U16(instrument.Fadeout);
  out.Zeros(22);

  // lengths and loop points count bytes; 16-bit samples have two per sample
  out.U32(static_cast<std::uint32_t>(sample.Data.size() * 2));
  out.U32(sample.LoopLength > 0 ? sample.LoopStart * 2 : 0);
  out.U32(sample.LoopLength * 2);
  out.U8(sample.Volume);
  out.U8(static_cast<std::uint8_t>(sample.Finetune));
  out.U8(static_cast<std::uint8_t>((sample.LoopLength > 0 ? 0x01 : 0x00) | 0x10));
  out.U8(sample.Panning);
  out.U8(static_cast<std::uint8_t>(sample.RelativeNote));
  out.U8(0);
  out.Text(sample.Name, 22);

  // sample data is stored as differences from the previous sample, wrapping at 16 bits
  std::int16_t previous = 0;
  for (std::int16_t value : sample.Data) {
    out.U16(static_cast<std::uint16_t>(static_cast<std::uint16_t>(value) -
                                       static_cast<std::uint16_t>(previous)));
    previous = value;
  }
}

}  // namespace

XmCell& XmPattern::At(int row, int channel) {
  if (row < 0 || row >= Rows || channel < 0 || channel >= Channels) {
    throw XmError("xm pattern: cell " + std::to_string(row) + "," + std::to_string(channel) +
                  " outside the pattern");
  }
  return Cells[static_cast<std::size_t>(row) * Channels + channel];
}

const XmCell& XmPattern::At(int row, int channel) const {
  return const_cast<XmPattern*>(this)->At(row, channel);
}

std::vector<std::uint8_t> WriteXm(const XmModule& module) {
  Require(module.Channels >= 1 && module.Channels <= 32, "channel count must be 1 .. 32");
  Require(!module.Orders.empty() && module.Orders.size() <= kOrderTableSize,
          "order count must be 1 .. 256");
  Require(!module.Patterns.empty() && module.Patterns.size() <= 256,
          "pattern count must be 1 .. 256");
  Require(module.Instruments.size() <= 128, "at most 128 instruments");
  Require(module.RestartPosition >= 0 &&
              module.RestartPosition < static_cast<int>(module.Orders.size()),
          "restart position outside the orders");
  Require(module.Speed >= 1 && module.Speed <= 31, "speed must be 1 .. 31");
  Require(module.Bpm >= 32 && module.Bpm <= 255, "bpm must be 32 .. 255");
  for (std::uint8_t order : module.Orders) {
    Require(order < module.Patterns.size(), "order names a missing pattern");
  }

  ByteWriter out;
  out.Text("Extended Module: ", 17);
  out.Text(module.Name, 20);
  out.U8(0x1A);
  out.Text("rivoltra-datagen", 20);
  out.U16(0x0104);
  out.U32(kHeaderSize);
  out.U16(static_cast<std::uint16_t>(module.Orders.size()));
  out.U16(static_cast<std::uint16_t>(module.RestartPosition));
  out.U16(static_cast<std::uint16_t>(module.Channels));
  out.U16(static_cast<std::uint16_t>(module.Patterns.size()));
  out.U16(static_cast<std::uint16_t>(module.Instruments.size()));
  out.U16(1);  // linear frequency table
  out.U16(static_cast<std::uint16_t>(module.Speed));
  out.U16(static_cast<std::uint16_t>(module.Bpm));
  for (std::size_t i = 0; i < kOrderTableSize; ++i) {
    out.U8(i < module.Orders.size() ? module.Orders[i] : 0);
  }

  for (const XmPattern& pattern : module.Patterns) {
    Require(pattern.Rows >= 1 && pattern.Rows <= 256, "pattern rows must be 1 .. 256");
    Require(pattern.Channels == module.Channels, "pattern width differs from the module's");
    const std::vector<std::uint8_t> packed = PackPattern(pattern, module.Instruments.size());
    Require(packed.size() <= 0xFFFF, "packed pattern longer than 65535 bytes");
    out.U32(kPatternHeaderSize);
    out.U8(0);
    out.U16(static_cast<std::uint16_t>(pattern.Rows));
    out.U16(static_cast<std::uint16_t>(packed.size()));
    out.Append(packed);
  }
  for (const XmInstrument& instrument : module.Instruments) WriteInstrument(out, instrument);
  return out.Take();
}

XmTuning TuningFor(double sampleRate, int nativeNote) {
  const double semitones = 12.0 * std::log2(sampleRate / kC4SampleRate) + kC4Note - nativeNote;
  const double relative = std::round(semitones);
  Require(relative >= -96.0 && relative <= 95.0, "sample rate out of the playable range");
  const double finetune = std::clamp(std::round((semitones - relative) * 128.0), -128.0, 127.0);
  return XmTuning{static_cast<std::int8_t>(relative), static_cast<std::int8_t>(finetune)};
}

}  // namespace rivoltra::datagen
