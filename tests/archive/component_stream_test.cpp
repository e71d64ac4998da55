#include "engine/component_stream.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace rivoltra {
namespace {

using ::testing::HasSubstr;

struct Sound {
  std::string Name;
  bool Looped = false;
  int MaxPlayingCount = 0;
  std::vector<std::uint8_t> Wave;
  bool operator==(const Sound&) const = default;
};

std::vector<std::uint8_t> WriteSounds(const std::vector<Sound>& sounds, bool orderNumbers = false) {
  ComponentWriter w;
  w.BeginResource("TSoundArchiveRoot");
  w.WriteSignature();
  w.BeginComponent("TSoundArchiveRoot");
  w.BeginCollection("List");
  int order = 0;
  for (const auto& s : sounds) {
    w.BeginItem(orderNumbers ? order++ : -1);
    w.WriteProperty("Name", ComponentValue::String(s.Name));
    w.WriteProperty("Looped", ComponentValue::Boolean(s.Looped));
    w.WriteProperty("MaxPlayingCount", ComponentValue::Integer(s.MaxPlayingCount));
    w.WriteProperty("Wave.WAVE", ComponentValue::Binary(s.Wave));
    w.EndItem();
  }
  w.EndCollection();
  w.EndComponent();
  return w.Finish();
}

std::vector<Sound> ReadSounds(std::span<const std::uint8_t> bytes) {
  std::vector<Sound> sounds;
  ComponentReader r(bytes, "Sounds.sfx");
  r.ReadResourceHeader();
  r.ReadSignature();
  r.ReadRootComponent("TSoundArchiveRoot");
  r.ReadProperties("TSoundArchiveRoot", [&](const std::string& property) {
    if (property != "List") return false;
    r.ReadCollection([&] {
      Sound s;
      r.ReadProperties("TSoundItem", [&](const std::string& name) {
        if (name == "Name")
          s.Name = r.ReadString();
        else if (name == "Looped")
          s.Looped = r.ReadBoolean();
        else if (name == "MaxPlayingCount")
          s.MaxPlayingCount = r.ReadInteger();
        else if (name == "Wave.WAVE") {
          auto data = r.ReadBinary();
          if (data.size() < 4) throw FormatError("Wave is invalid");
          s.Wave.assign(data.begin(), data.end());
        } else
          return false;
        return true;
      });
      sounds.push_back(s);
    });
    return true;
  });
  r.ReadEndOfChildren();
  return sounds;
}

TEST(ComponentStream, SoundArchiveRoundTrip) {
  std::vector<Sound> sounds = {{"Engine", true, 0, {1, 2, 3, 4, 5}},
                               {"Shot", false, 300, {9, 9, 9, 9}},
                               {"Tick", false, -70000, {0, 0, 0, 0}}};
  for (bool orders : {false, true}) {
    auto bytes = WriteSounds(sounds, orders);
    EXPECT_EQ(ReadSounds(bytes), sounds);
  }
}

TEST(ComponentStream, ResourceHeaderLayout) {
  auto bytes = WriteSounds({});
  ASSERT_GE(bytes.size(), 30u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 10);
  EXPECT_EQ(bytes[2], 0);
  const std::string name(bytes.begin() + 3, bytes.begin() + 3 + 17);
  EXPECT_EQ(name, "TSOUNDARCHIVEROOT");
  EXPECT_EQ(bytes[20], 0);
  EXPECT_EQ(bytes[21] | bytes[22] << 8, 0x1030);
  const std::uint32_t rest = bytes[23] | bytes[24] << 8 | bytes[25] << 16 | bytes[26] << 24;
  EXPECT_EQ(rest, bytes.size() - 27);
  EXPECT_EQ(std::string(bytes.begin() + 27, bytes.begin() + 31), "TPF0");
}

TEST(ComponentStream, ErrorsNameFileAndProperty) {
  auto bytes = WriteSounds({{"Engine", true, 0, {1, 2}}});
  try {
    ReadSounds(bytes);
    FAIL();
  } catch (const ArchiveError& e) {
    EXPECT_STREQ(e.what(), "Sounds.sfx: Error reading TSoundItem.Wave.WAVE: Wave is invalid");
  }
  bytes[0] = 0xFE;
  EXPECT_THROW(
      try { ReadSounds(bytes); } catch (const ArchiveError& e) {
        EXPECT_STREQ(e.what(), "Sounds.sfx: Invalid stream format");
        throw;
      },
      ArchiveError);
}

TEST(ComponentStream, UnknownPropertyIsReported) {
  ComponentWriter w;
  w.BeginResource("TSoundArchiveRoot");
  w.WriteSignature();
  w.BeginComponent("TSoundArchiveRoot");
  w.BeginCollection("List");
  w.BeginItem();
  w.WriteProperty("Volume", ComponentValue::Integer(3));
  w.EndItem();
  w.EndCollection();
  w.EndComponent();
  auto bytes = w.Finish();
  try {
    ReadSounds(bytes);
    FAIL();
  } catch (const ArchiveError& e) {
    EXPECT_STREQ(e.what(),
                 "Sounds.sfx: Error reading TSoundItem.Volume: Property Volume does not exist");
  }
}

TEST(ComponentStream, ValuesOfEveryTag) {
  ComponentWriter w;
  const std::vector<ComponentValue> values = {
      ComponentValue::Integer(0),
      ComponentValue::Integer(-128),
      ComponentValue::Integer(127),
      ComponentValue::Integer(128),
      ComponentValue::Integer(-32769),
      ComponentValue::Integer(INT32_MIN),
      ComponentValue::Boolean(true),
      ComponentValue::Boolean(false),
      ComponentValue::String("abc"),
      ComponentValue::String(std::string(300, 'x')),
      ComponentValue::Identifier("clBtnFace"),
      ComponentValue::Binary(std::vector<std::uint8_t>{1, 2, 3})};
  for (const auto& v : values) w.WriteValue(v);
  auto bytes = w.Finish();
  ComponentReader r(bytes, "x");
  for (const auto& v : values) EXPECT_EQ(r.ReadValue(), v);
}

TEST(ComponentStream, SkipValueHandlesNestedCollectionsAndSets) {
  const std::vector<std::uint8_t> bytes = {
      0x0E, 0x02, 5,   0x01, 1,   'A', 0x0E, 0x01, 0x00, 0x00, 0x00, 0x00,  // nested collections
      0x0B, 1,    'a', 1,    'b', 0,                                        // set
      0x05, 0,    0,   0,    0,   0,   0,    0,    0,    0,    0,           // extended
      0x04, 1,    0,   0,    0};
  ComponentReader r(bytes, "x");
  r.SkipValue();
  r.SkipValue();
  r.SkipValue();
  EXPECT_EQ(r.ReadInteger(), 1);
}

TEST(ComponentStream, TruncatedCursorThrows) {
  const std::vector<std::uint8_t> bytes = {1, 2, 3};
  ByteCursor c(bytes);
  EXPECT_THROW(c.U32(), FormatError);
  EXPECT_EQ(c.U16(), 0x0201);
  EXPECT_THROW(c.Bytes(2), FormatError);
  EXPECT_EQ(c.U8(), 3);
  EXPECT_THROW(c.U8(), FormatError);
}

// A regular file is read in one piece of its size, anything else piece by piece: both give every
// byte, across the 64 KiB pieces; a folder is a read error.
TEST(ComponentStream, ArchiveFilesAreReadWholeFromAFileAndFromAPipe) {
  namespace fs = std::filesystem;
  const fs::path folder =
      fs::temp_directory_path() / ("rivoltra-archive-file-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::vector<std::uint8_t> bytes(200'001);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 131 >> 3);
  const auto write = [&bytes](const fs::path& path) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  };

  write(folder / "regular.gfx");
  EXPECT_EQ(ReadArchiveFile((folder / "regular.gfx").string()), bytes);

  ASSERT_EQ(::mkfifo((folder / "pipe.gfx").c_str(), 0600), 0);
  std::thread writer([&] { write(folder / "pipe.gfx"); });
  EXPECT_EQ(ReadArchiveFile((folder / "pipe.gfx").string()), bytes);
  writer.join();

  EXPECT_THROW(ReadArchiveFile(folder.string()), std::system_error);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace rivoltra
