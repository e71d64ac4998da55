#include "music/composer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>
#include <utility>

namespace rivoltra::datagen {

namespace {

std::vector<std::string> Tokens(std::string_view text) {
  std::string spaced(text);
  std::replace(spaced.begin(), spaced.end(), '|', ' ');
  std::istringstream stream(spaced);
  std::vector<std::string> tokens;
  for (std::string token; stream >> token;) tokens.push_back(token);
  return tokens;
}

}  // namespace

int ParseNote(std::string_view name) {
  static constexpr int kSemitone[] = {9, 11, 0, 2, 4, 5, 7};  // A .. G
  const std::string text(name);
  if (text.size() < 2) throw XmError("composer: bad note '" + text + "'");
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  if (letter < 'A' || letter > 'G') throw XmError("composer: bad note '" + text + "'");
  int semitone = kSemitone[letter - 'A'];
  std::size_t at = 1;
  if (text[at] == '#')
    semitone += 1, ++at;
  else if (text[at] == 'b')
    semitone -= 1, ++at;
  else if (text[at] == '-')
    ++at;
  if (at + 1 != text.size() || !std::isdigit(static_cast<unsigned char>(text[at]))) {
    throw XmError("composer: bad note '" + text + "'");
  }
  const int note = 1 + (text[at] - '0') * 12 + semitone;
  if (note < 1 || note > kXmMaxNote) throw XmError("composer: note out of range '" + text + "'");
  return note;
}

void WriteLine(XmPattern& pattern, int channel, int firstRow, int rowsPerStep, int instrument,
               std::string_view tokens) {
  int row = firstRow;
  for (const std::string& token : Tokens(tokens)) {
    if (token != ".") {
      XmCell& cell = pattern.At(row, channel);
      if (token == "^") {
        cell.Note = kXmKeyOff;
      } else {
        const std::size_t colon = token.find(':');
        const std::string note = token.substr(0, colon);
        cell.Note = static_cast<std::uint8_t>(note == "x" ? ParseNote("C-4") : ParseNote(note));
        cell.Instrument = static_cast<std::uint8_t>(instrument);
        if (colon != std::string::npos) {
          const int volume = std::stoi(token.substr(colon + 1));
          if (volume < 0 || volume > 64) throw XmError("composer: bad volume in '" + token + "'");
          cell.Volume = XmVolume(volume);
        }
      }
    }
    row += rowsPerStep;
  }
}

Chord ParseChord(std::string_view notes) {
  const std::vector<std::string> tokens = Tokens(notes);
  if (tokens.size() < 2) throw XmError("composer: a chord needs a bass and a voicing");
  Chord chord{ParseNote(tokens[0]), {}};
  for (std::size_t i = 1; i < tokens.size(); ++i) chord.Voicing.push_back(ParseNote(tokens[i]));
  return chord;
}

namespace {

void PutNote(XmPattern& pattern, int row, int channel, int note, int instrument, int volume) {
  if (note < 1 || note > kXmMaxNote) throw XmError("composer: transposed note out of range");
  XmCell& cell = pattern.At(row, channel);
  cell.Note = static_cast<std::uint8_t>(note);
  cell.Instrument = static_cast<std::uint8_t>(instrument);
  if (volume >= 0) cell.Volume = XmVolume(volume);
}

}  // namespace

void WriteChord(XmPattern& pattern, int firstChannel, int row, int instrument, const Chord& chord,
                int transpose, int volume) {
  for (std::size_t i = 0; i < chord.Voicing.size(); ++i) {
    PutNote(pattern, row, firstChannel + static_cast<int>(i), chord.Voicing[i] + transpose,
            instrument, volume);
  }
}

void ReleaseChannels(XmPattern& pattern, int firstChannel, int count, int row) {
  for (int channel = firstChannel; channel < firstChannel + count; ++channel) {
    pattern.At(row, channel).Note = kXmKeyOff;
  }
}

void WriteBassFigure(XmPattern& pattern, int channel, int firstRow, int instrument,
                     const Chord& chord, int transpose, std::string_view figure) {
  int row = firstRow;
  for (const std::string& token : Tokens(figure)) {
    const std::size_t colon = token.find(':');
    const std::string step = token.substr(0, colon);
    const int volume = colon == std::string::npos ? -1 : std::stoi(token.substr(colon + 1));
    const int root = chord.Bass + transpose;
    if (step == "R")
      PutNote(pattern, row, channel, root, instrument, volume);
    else if (step == "F")
      PutNote(pattern, row, channel, root + 7, instrument, volume);
    else if (step == "O")
      PutNote(pattern, row, channel, root + 12, instrument, volume);
    else if (step == "^")
      pattern.At(row, channel).Note = kXmKeyOff;
    else if (step != ".")
      throw XmError("composer: bad bass step '" + token + "'");
    ++row;
  }
}

void WriteArpeggio(XmPattern& pattern, int channel, int firstRow, int steps, int rowsPerStep,
                   int instrument, const Chord& chord, int transpose, const std::vector<int>& order,
                   const std::vector<int>& volumes) {
  const auto size = static_cast<int>(chord.Voicing.size());
  for (int i = 0; i < steps; ++i) {
    const int index = order[static_cast<std::size_t>(i) % order.size()];
    const int note = chord.Voicing[static_cast<std::size_t>(index % size)] + 12 * (index / size);
    PutNote(pattern, firstRow + i * rowsPerStep, channel, note + transpose, instrument,
            volumes[static_cast<std::size_t>(i) % volumes.size()]);
  }
}

std::string Repeat(std::string_view tokens, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) {
    out += tokens;
    out += ' ';
  }
  return out;
}

void Echo(XmPattern& pattern, int fromChannel, int toChannel, int delayRows, double level,
          int panning, const std::vector<int>& sampleVolumes) {
  for (int row = 0; row + delayRows < pattern.Rows; ++row) {
    const XmCell source = pattern.At(row, fromChannel);
    if (source.Note == 0) continue;
    XmCell& echo = pattern.At(row + delayRows, toChannel);
    echo.Note = source.Note;
    if (source.Note == kXmKeyOff) continue;
    echo.Instrument = source.Instrument;
    echo.Effect = 0x08;  // set panning
    echo.Parameter = static_cast<std::uint8_t>(panning);
    int volume = 64;
    if (source.Volume >= 0x10 && source.Volume <= 0x50) {
      volume = source.Volume - 0x10;
    } else if (source.Instrument >= 1 && source.Instrument <= sampleVolumes.size()) {
      volume = sampleVolumes[source.Instrument - 1];
    }
    echo.Volume = XmVolume(static_cast<int>(std::lround(volume * level)));
  }
}

XmModule NewSong(std::string name, int channels, int bpm, std::vector<XmInstrument> instruments) {
  XmModule song;
  song.Name = std::move(name);
  song.Channels = channels;
  song.Speed = 6;
  song.Bpm = bpm;
  song.Instruments = std::move(instruments);
  return song;
}

std::vector<int> SampleVolumes(const XmModule& song) {
  std::vector<int> volumes;
  for (const XmInstrument& instrument : song.Instruments)
    volumes.push_back(instrument.Sample.Volume);
  return volumes;
}

}  // namespace rivoltra::datagen
