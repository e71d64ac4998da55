#pragma once

// Helpers for writing the songs as text: a line of tokens fills one channel of a pattern.
//
// Tokens, one per step, separated by spaces; "|" may mark bars and counts as a space:
//   C-4, C4, C#4, Db4   a note, played with the line's instrument
//   x                   the instrument at C-4 (drums)
//   .                   nothing: the previous note goes on
//   ^                   release the note
// Any note or x may end in ":NN", a volume 0 .. 64 for that note.

#include <string>
#include <string_view>
#include <vector>

#include "music/xm_writer.h"

namespace rivoltra::datagen {

// The cell note number of a note name; throws XmError on anything else.
int ParseNote(std::string_view name);

void WriteLine(XmPattern& pattern, int channel, int firstRow, int rowsPerStep, int instrument,
               std::string_view tokens);

// A chord: the bass's root and the voicing the pad, stabs and arpeggios take their notes from.
struct Chord {
  int Bass;
  std::vector<int> Voicing;
};

// "F2 A3 C4 E4 G4": the bass note first, then the voicing from low to high.
Chord ParseChord(std::string_view notes);

// Plays the chord's voicing (plus transpose semitones) on consecutive channels, one note each.
void WriteChord(XmPattern& pattern, int firstChannel, int row, int instrument, const Chord& chord,
                int transpose, int volume);

// Releases the notes of `count` consecutive channels.
void ReleaseChannels(XmPattern& pattern, int firstChannel, int count, int row);

// A bass figure over a chord, one token per row: R the root, F the fifth above it, O the
// octave above it, "." and "^" as in a line; a token may carry a ":NN" volume.
void WriteBassFigure(XmPattern& pattern, int channel, int firstRow, int instrument,
                     const Chord& chord, int transpose, std::string_view figure);

// An arpeggio through the chord's voicing: step i plays voicing[order[i % order.size()]]
// (indices past the voicing's end wrap round an octave higher), with volumes[i % size].
void WriteArpeggio(XmPattern& pattern, int channel, int firstRow, int steps, int rowsPerStep,
                   int instrument, const Chord& chord, int transpose, const std::vector<int>& order,
                   const std::vector<int>& volumes);

// Repeats a line of tokens.
std::string Repeat(std::string_view tokens, int times);

// A chord change: from Row on, the harmony is Notes, until the next change or the pattern's end.
struct ChordAt {
  int Row;
  Chord Notes;
};
using Harmony = std::vector<ChordAt>;

// Calls write(firstRow, rowCount, chord) for every chord of the harmony.
template <typename Write>
void ForEachChord(const Harmony& harmony, int patternRows, Write write) {
  for (std::size_t i = 0; i < harmony.size(); ++i) {
    const int end = i + 1 < harmony.size() ? harmony[i + 1].Row : patternRows;
    write(harmony[i].Row, end - harmony[i].Row, harmony[i].Notes);
  }
}

// Copies a channel's notes into another, later and quieter, and panned elsewhere: the
// tracker's echo. Notes pushed past the pattern's end are dropped. sampleVolumes[i] is
// instrument i+1's default volume, used when a note has no volume of its own.
void Echo(XmPattern& pattern, int fromChannel, int toChannel, int delayRows, double level,
          int panning, const std::vector<int>& sampleVolumes);

// A song at speed 6 with its instruments, no patterns and no order yet.
XmModule NewSong(std::string name, int channels, int bpm, std::vector<XmInstrument> instruments);
// Each instrument's default sample volume, in instrument order (what Echo needs).
std::vector<int> SampleVolumes(const XmModule& song);

}  // namespace rivoltra::datagen
