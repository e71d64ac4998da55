#include "audio/sound_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "audio/wave.h"

namespace rivoltra {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Append(Bytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }

void AppendChunk(Bytes& out, std::string_view id, const Bytes& body) {
  Append(out, id);
  AppendU32(out, static_cast<std::uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
}

Bytes RiffHeader() {
  Bytes out;
  Append(out, "RIFF");
  AppendU32(out, 0xDEADBEEF);  // never trusted
  Append(out, "WAVE");
  return out;
}

const Bytes kFormat = MakePcmFormatBlock(PcmFormat{22050, 1, 8});

TEST(ParseWave, ReadsFormatAndSamplesAroundOtherChunks) {
  // An odd-sized chunk with no pad byte, before and after the data chunk.
  Bytes image = RiffHeader();
  AppendChunk(image, "fmt ", kFormat);
  AppendChunk(image, "LIST", Bytes{1, 2, 3});
  AppendChunk(image, "data", Bytes{10, 20, 30, 40});
  AppendChunk(image, "cue ", Bytes{9});
  image.insert(image.end(), {'x', 'y', 'z'});  // a chunk header cut short ends the image

  WaveData wave = ParseWave(image);
  EXPECT_EQ(wave.FormatBlock, kFormat);
  EXPECT_EQ(wave.Samples, (Bytes{10, 20, 30, 40}));
}

TEST(ParseWave, WithoutDataChunkHasNoSamples) {
  Bytes image = RiffHeader();
  AppendChunk(image, "fmt ", kFormat);
  WaveData wave = ParseWave(image);
  EXPECT_EQ(wave.FormatBlock, kFormat);
  EXPECT_TRUE(wave.Samples.empty());
}

TEST(ParseWave, OtherChunkLongerThanTheImageEndsIt) {
  Bytes image = RiffHeader();
  AppendChunk(image, "data", Bytes{5, 6});
  Append(image, "junk");
  AppendU32(image, 1000);
  EXPECT_EQ(ParseWave(image).Samples, (Bytes{5, 6}));
}

TEST(ParseWave, RejectsBadHeadersAndShortChunks) {
  struct Case {
    const char* What;
    Bytes Image;
    const char* Message;
  };
  Bytes notRiff = RiffHeader();
  notRiff[0] = 'X';
  Bytes notWave = RiffHeader();
  notWave[11] = 'X';
  Bytes elevenBytes = RiffHeader();
  elevenBytes.pop_back();
  Bytes shortData = RiffHeader();
  Append(shortData, "data");
  AppendU32(shortData, 100);
  shortData.insert(shortData.end(), 10, 0);
  Bytes shortFormat = RiffHeader();
  Append(shortFormat, "fmt ");
  AppendU32(shortFormat, 0xFFFFFFFF);
  const Case cases[] = {
      {"empty", Bytes{}, "Wave is invalid"},
      {"11 bytes", Bytes(elevenBytes), "Wave is invalid"},
      {"not RIFF", notRiff, "Wave is invalid"},
      {"not WAVE", notWave, "Wave is invalid"},
      {"data cut short", shortData, "Stream read error"},
      {"format cut short", shortFormat, "Stream read error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    try {
      ParseWave(c.Image);
      ADD_FAILURE() << "no error";
    } catch (const FormatError& e) {
      EXPECT_STREQ(e.what(), c.Message);
    }
  }
}

TEST(ReadPcmFormat, AcceptsOnlyWhatTheOutputsPlay) {
  EXPECT_EQ(ReadPcmFormat(MakePcmFormatBlock({44100, 2, 16})), (PcmFormat{44100, 2, 16}));
  Bytes extended = MakePcmFormatBlock({8000, 1, 8});
  extended.insert(extended.end(), {0, 0});  // the 18-byte form with an empty extension
  EXPECT_EQ(ReadPcmFormat(extended), (PcmFormat{8000, 1, 8}));

  Bytes compressed = MakePcmFormatBlock({22050, 1, 16});
  compressed[0] = 2;
  Bytes badAlign = MakePcmFormatBlock({22050, 2, 16});
  badAlign[12] = 3;
  const Bytes rejected[] = {
      Bytes(kFormat.begin(), kFormat.end() - 1),
      compressed,
      badAlign,
      MakePcmFormatBlock({22050, 3, 16}),
      MakePcmFormatBlock({22050, 1, 24}),
      MakePcmFormatBlock({0, 1, 16}),
  };
  for (const Bytes& block : rejected) EXPECT_FALSE(ReadPcmFormat(block).has_value());
}

std::vector<SoundItemData> SampleItems() {
  const Bytes samples{0x80, 0xFF, 0x00, 0x80};
  return {
      SoundItemData{"Engine", true, 0, MakePcmWaveImage({22050, 1, 8}, samples)},
      SoundItemData{"Shot", false, 3, MakePcmWaveImage({11025, 2, 16}, Bytes{1, 2, 3, 4})},
      SoundItemData{"Quiet", false, 0, RiffHeader()},
  };
}

TEST(SoundArchive, WriterProducesTheComponentStreamByteForByte) {
  const Bytes wave = MakePcmWaveImage({8000, 1, 8}, Bytes{0x80});
  Bytes expected{0xFF, 0x0A, 0x00};
  Append(expected, "TSOUNDARCHIVEROOT");
  expected.insert(expected.end(), {0x00, 0x30, 0x10});
  const std::size_t sizeAt = expected.size();
  AppendU32(expected, 0);
  Append(expected, "TPF0\x11TSoundArchiveRoot");
  expected.push_back(0);  // empty component name
  Append(expected, "\x04List\x0E\x01");
  Append(expected, "\x04Name\x06\x04Tick");
  Append(expected, "\x06Looped\x08");
  Append(expected, "\x0FMaxPlayingCount\x02\x05");
  Append(expected, "\x09Wave.WAVE\x0A");
  AppendU32(expected, static_cast<std::uint32_t>(wave.size()));
  expected.insert(expected.end(), wave.begin(), wave.end());
  expected.insert(expected.end(), {0x00, 0x00, 0x00, 0x00});  // item, list, properties, children
  const auto rest = static_cast<std::uint32_t>(expected.size() - sizeAt - 4);
  for (int i = 0; i < 4; ++i) expected[sizeAt + i] = static_cast<std::uint8_t>(rest >> (8 * i));

  const std::vector<SoundItemData> items{{"Tick", false, 5, wave}};
  EXPECT_EQ(WriteSoundArchiveBytes(items), expected);
  EXPECT_EQ(ReadSoundArchiveBytes(expected, "t.sfx"), items);
}

TEST(SoundArchive, FileRoundTripKeepsItemsInOrder) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "rivoltra_sound_archive_test.sfx").string();
  WriteSoundArchive(path, SampleItems());
  EXPECT_EQ(ReadSoundArchive(path), SampleItems());
  std::filesystem::remove(path);
}

TEST(SoundArchive, ItemWithoutAWaveRoundTrips) {
  ComponentWriter writer;
  writer.BeginResource("TSoundArchiveRoot");
  writer.WriteSignature();
  writer.BeginComponent("TSoundArchiveRoot");
  writer.BeginCollection("List");
  writer.BeginItem();
  writer.WriteProperty("Name", ComponentValue::String("Silent"));
  writer.EndItem();
  writer.EndCollection();
  writer.EndComponent();
  const std::vector<SoundItemData> items = ReadSoundArchiveBytes(writer.Finish(), "s.sfx");
  ASSERT_EQ(items.size(), 1u);
  EXPECT_TRUE(items[0].Wave.empty());
  EXPECT_EQ(ReadSoundArchiveBytes(WriteSoundArchiveBytes(items), "again.sfx"), items);
}

TEST(SoundArchive, NegativeMaxPlayingCountReadsAsNoLimit) {
  EXPECT_EQ(ReadSoundArchiveBytes(WriteSoundArchiveBytes({{"A", false, -4, RiffHeader()}}), "a.sfx")
                .at(0)
                .MaxPlayingCount,
            0);
}

TEST(SoundArchive, ErrorsNameTheFileAndWhatIsWrong) {
  Bytes badWave = RiffHeader();
  badWave[8] = 'X';
  Bytes badSignature = WriteSoundArchiveBytes(SampleItems());
  badSignature[3 + 18 + 2 + 4] = 'X';  // the T of TPF0 after the header
  Bytes wrongRoot = WriteSoundArchiveBytes({});
  wrongRoot[3 + 18 + 2 + 4 + 4 + 2] = 'I';
  struct Case {
    rivoltra::Bytes Bytes;
    std::string Message;
  };
  const Case cases[] = {
      {WriteSoundArchiveBytes({{"Bad", false, 0, badWave}}),
       "Sounds.sfx: Error reading TSoundItem.Wave.WAVE: Wave is invalid"},
      {badSignature, "Sounds.sfx: Invalid stream format"},
      {Bytes{0xFF, 0x0B, 0x00}, "Sounds.sfx: Invalid stream format"},
      {wrongRoot, "Sounds.sfx: Class TIoundArchiveRoot not found"},
  };
  for (const Case& c : cases) {
    try {
      ReadSoundArchiveBytes(c.Bytes, "Sounds.sfx");
      ADD_FAILURE() << "no error for " << c.Message;
    } catch (const ArchiveError& e) {
      EXPECT_EQ(std::string(e.what()), c.Message);
    }
  }
}

TEST(SoundArchive, UnknownItemPropertyIsAnError) {
  Bytes bytes = WriteSoundArchiveBytes({{"A", false, 0, RiffHeader()}});
  const std::string looped = "\x06Looped";
  auto at = std::search(bytes.begin(), bytes.end(), looped.begin(), looped.end());
  ASSERT_NE(at, bytes.end());
  *(at + 1) = 'H';
  EXPECT_THROW(
      {
        try {
          ReadSoundArchiveBytes(bytes, "x.sfx");
        } catch (const ArchiveError& e) {
          EXPECT_EQ(std::string(e.what()),
                    "x.sfx: Error reading TSoundItem.Hooped: Property Hooped does not exist");
          throw;
        }
      },
      ArchiveError);
}

TEST(SoundArchive, EveryTruncationIsAnErrorNotACrash) {
  const Bytes whole = WriteSoundArchiveBytes(SampleItems());
  for (std::size_t length = 0; length < whole.size(); ++length) {
    const Bytes prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_THROW(ReadSoundArchiveBytes(prefix, "cut.sfx"), ArchiveError) << "length " << length;
  }
}

TEST(SoundArchive, MissingFileIsASystemError) {
  EXPECT_THROW(ReadSoundArchive("no/such/folder/Sounds.sfx"), std::system_error);
}

}  // namespace
}  // namespace rivoltra
