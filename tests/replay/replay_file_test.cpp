#include "formats/replay_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace rivoltra {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kTicksPerMinute = 2000;

ReplayHeader SampleHeader() { return ReplayHeader{"1.0.3", 0x0123456789ABCDEFull, 0xDEADBEEF, 2}; }

ReplayTrailer SampleTrailer(std::uint32_t ticksPlayed) {
  return ReplayTrailer{48250, 7, ticksPlayed, "ANNA K", "NORWAY"};
}

// A driver as people drive: mostly accelerating, steering for a few ticks at a time, firing now
// and then, the keys changing every 2 to 8 ticks; now and then a frame comes late.
std::vector<ReplayTick> DriverTicks(std::uint32_t count, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<ReplayTick> ticks;
  std::uint16_t keys = ReplayUp;
  std::uint32_t untilChange = 0;
  while (ticks.size() < count) {
    if (untilChange == 0) {
      keys = random() % 10 < 8 ? ReplayUp : 0;
      switch (random() % 4) {
        case 0:
          keys |= ReplayLeft;
          break;
        case 1:
          keys |= ReplayRight;
          break;
        default:
          break;
      }
      if (random() % 6 == 0) keys |= ReplayFire;
      if (random() % 40 == 0) keys = ReplayDown;
      untilChange = 2 + random() % 7;
    }
    --untilChange;
    const std::uint32_t lagCount = random() % 50 == 0 ? 2 : 1;
    ticks.push_back(ReplayTick{keys, lagCount});
  }
  return ticks;
}

std::string Record(const ReplayHeader& header, const std::vector<ReplayTick>& ticks,
                   const ReplayTrailer& trailer) {
  ReplayRecorder recorder;
  recorder.Begin(header);
  for (const ReplayTick& tick : ticks) recorder.AddTick(tick.ActionBits, tick.LagCount);
  return recorder.Finish(trailer);
}

std::uint32_t Crc(std::string_view bytes) {
  return static_cast<std::uint32_t>(crc32(crc32(0L, Z_NULL, 0),
                                          reinterpret_cast<const Bytef*>(bytes.data()),
                                          static_cast<uInt>(bytes.size())));
}

void PutLittle(std::string& bytes, std::size_t offset, std::uint64_t value, int count) {
  for (int i = 0; i < count; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

// Replaces the last four bytes with the checksum of the rest, as a forger would.
std::string Reseal(std::string bytes) {
  PutLittle(bytes, bytes.size() - 4, Crc(std::string_view(bytes).substr(0, bytes.size() - 4)), 4);
  return bytes;
}

// A file assembled field by field as the format table lists them, so the reader can be shown
// values the recorder never writes: version 1, or version 2 when it carries ticket bytes.
struct RawReplay {
  std::optional<std::string> Ticket;
  std::uint32_t TickCount = 1;
  std::string Stream{"\x00\x01", 2};  // one tick: up, lag 1
  std::string GameVersion = "1.0";
  std::string PlayerName = "ANNA";
  std::string Country;

  std::string Bytes() const {
    std::string bytes("RVR\x1A\x01\x00", 6);
    if (Ticket) bytes[4] = 2;
    bytes += std::string(4, '\0');    // file length, set below
    bytes += std::string(8, '\x11');  // data fingerprint
    bytes += std::string(4, '\x22');  // random state
    bytes += '\x01';                  // car
    bytes += std::string(4, '\0');    // tick count
    PutLittle(bytes, 23, TickCount, 4);
    bytes += std::string(4, '\0');  // tick stream length
    PutLittle(bytes, 27, Stream.size(), 4);
    bytes += static_cast<char>(GameVersion.size()) + GameVersion;
    if (Ticket) bytes += *Ticket;
    bytes += Stream;
    bytes += std::string("\x10\x00\x00\x00\x03\x00\x01\x00\x00\x00", 10);  // 16, 3, 1
    bytes += static_cast<char>(PlayerName.size()) + PlayerName;
    bytes += static_cast<char>(Country.size()) + Country;
    bytes += std::string(4, '\0');
    PutLittle(bytes, 6, bytes.size(), 4);
    return Reseal(bytes);
  }
};

ReplayError ReadError(std::string_view bytes) {
  try {
    ReadReplay(bytes, "race.rvr");
  } catch (const ReplayError& error) {
    return error;
  }
  ADD_FAILURE() << "the replay was accepted";
  return ReplayError(ReplayProblem::Unreadable, "accepted");
}

TEST(ReplayFile, ARecordedGameReadsBackTickForTick) {
  const std::vector<ReplayTick> ticks = DriverTicks(5 * kTicksPerMinute, 7);
  const std::string bytes = Record(SampleHeader(), ticks, SampleTrailer(9876));

  const Replay replay = ReadReplay(bytes, "race.rvr");
  EXPECT_EQ(replay.Header, SampleHeader());
  EXPECT_EQ(replay.Trailer, SampleTrailer(9876));
  EXPECT_EQ(replay.TickCount, ticks.size());
  EXPECT_EQ(ExpandTicks(replay), ticks);
  // Runs hold whole stretches of equal input, never two equal neighbours.
  EXPECT_LT(replay.Runs.size(), ticks.size() / 2);
  for (std::size_t i = 1; i < replay.Runs.size(); ++i) {
    EXPECT_NE(replay.Runs[i].Tick, replay.Runs[i - 1].Tick) << "run " << i;
  }
}

TEST(ReplayFile, EdgeValuesSurviveTheRoundTrip) {
  const ReplayHeader header{std::string(kMaxReplayGameVersionLength, '~'), ~0ull, 0, 255};
  const ReplayTrailer trailer{INT32_MIN, 65535, 0, std::string(kMaxReplayNameLength, ' '),
                              std::string(kMaxReplayCountryLength, '!')};
  const std::vector<ReplayTick> ticks = {{kReplayActionMask, kMaxReplayLagCount},
                                         {0, 1},
                                         {ReplayNo | ReplayYes, 1},
                                         {ReplayNo | ReplayYes, 130}};
  const Replay replay = ReadReplay(Record(header, ticks, trailer), "edge.rvr");
  EXPECT_EQ(replay.Header, header);
  EXPECT_EQ(replay.Trailer, trailer);
  EXPECT_EQ(ExpandTicks(replay), ticks);

  const Replay empty = ReadReplay(Record(SampleHeader(), {}, ReplayTrailer{}), "empty.rvr");
  EXPECT_EQ(empty.TickCount, 0u);
  EXPECT_TRUE(empty.Runs.empty());
}

// A race ticket of the score server, as the game receives it (the signature is the server's
// business; the file only carries it).
RaceTicket SampleTicket(TicketKind kind) {
  RaceTicket ticket{
      kind, 1796918443, 0x22222222, kind == TicketKind::Daily ? 20797u : 0u, 0x0123456789ABCDEFull,
      {}};
  for (std::size_t i = 0; i < ticket.Signature.size(); ++i) {
    ticket.Signature[i] = static_cast<std::uint8_t>(i * 7 + 1);
  }
  return ticket;
}

// The ticket makes a file version 2, which version 1 readers refuse by its number; the same
// game without a ticket stays version 1, byte for byte as before.
TEST(ReplayFile, ATicketedReplayIsVersionTwoAndCarriesItsTicket) {
  for (TicketKind kind : {TicketKind::Race, TicketKind::Daily}) {
    ReplayHeader header{"1.0", 0x1111111111111111ull, 0x22222222, 1, SampleTicket(kind)};
    const std::string bytes = Record(header, {{ReplayUp, 1}}, ReplayTrailer{16, 3, 1, "ANNA", ""});
    EXPECT_EQ(bytes, (RawReplay{TicketBytes(SampleTicket(kind))}.Bytes()));
    EXPECT_EQ(bytes[4], 2);
    EXPECT_EQ(bytes.size(), RawReplay{}.Bytes().size() + kTicketBytes);
    const Replay replay = ReadReplay(bytes, "ticketed.rvr");
    EXPECT_EQ(replay.Header.Ticket, SampleTicket(kind));
    EXPECT_EQ(FormatVersionOf(replay.Header), 2);
  }
  std::string unknownKind = TicketBytes(SampleTicket(TicketKind::Race));
  unknownKind[0] = 9;
  const ReplayError error = ReadError(RawReplay{unknownKind}.Bytes());
  EXPECT_EQ(error.Problem(), ReplayProblem::BadField);
  EXPECT_STREQ(error.what(), "race.rvr: race ticket of an unknown kind");
  // A version 2 file too short to hold a ticket, with length and checksum made right.
  const ReplayError shortTicket =
      ReadError(RawReplay{TicketBytes(SampleTicket(TicketKind::Race)).substr(0, 20)}.Bytes());
  EXPECT_EQ(shortTicket.Problem(), ReplayProblem::BadField) << shortTicket.what();
}

TEST(ReplayFile, TheFixtureAndTheRecorderWriteTheSameBytes) {
  // Holds the recorder to the byte layout the format document describes.
  ReplayRecorder recorder;
  recorder.Begin(ReplayHeader{"1.0", 0x1111111111111111ull, 0x22222222, 1});
  recorder.AddTick(ReplayUp, 1);
  EXPECT_EQ(recorder.Finish(ReplayTrailer{16, 3, 1, "ANNA", ""}), RawReplay{}.Bytes());
}

TEST(ReplayFile, AMinuteOfDrivingFitsInEightKilobytes) {
  for (std::uint32_t seed : {1u, 2u, 3u}) {
    const std::string bytes =
        Record(SampleHeader(), DriverTicks(10 * kTicksPerMinute, seed), SampleTrailer(0));
    const double bytesPerMinute = bytes.size() / 10.0;
    RecordProperty("bytes_per_minute_seed_" + std::to_string(seed), std::to_string(bytesPerMinute));
    std::printf("seed %u: %zu bytes for 10 minutes, %.0f bytes per minute\n", seed, bytes.size(),
                bytesPerMinute);
    EXPECT_LE(bytesPerMinute, 8192.0) << "seed " << seed;
  }
}

TEST(ReplayFile, TwoHoursWithAKeyChangeEveryTickStayUnderTheByteCap) {
  ReplayRecorder recorder;
  recorder.Begin(SampleHeader());
  for (std::uint32_t tick = 0; tick < kMaxReplayTicks; ++tick) {
    recorder.AddTick(static_cast<std::uint16_t>(0x100 | (tick & 0xFF)), 1);
  }
  EXPECT_THROW(recorder.AddTick(0, 1), ReplayError);
  const std::string bytes = recorder.Finish(SampleTrailer(kMaxReplayTicks));
  EXPECT_LT(bytes.size(), kMaxReplayBytes);
  EXPECT_EQ(ReadReplay(bytes, "long.rvr").TickCount, kMaxReplayTicks);
}

TEST(ReplayFile, TheRecorderRefusesWhatTheFormatCannotHold) {
  ReplayRecorder recorder;
  EXPECT_THROW(recorder.Begin(ReplayHeader{"1.0\n", 0, 0, 0}), ReplayError);
  EXPECT_THROW(recorder.Begin(ReplayHeader{std::string(kMaxReplayGameVersionLength + 1, 'v')}),
               ReplayError);
  recorder.Begin(SampleHeader());
  EXPECT_THROW(recorder.AddTick(1 << 9, 1), ReplayError);
  EXPECT_THROW(recorder.AddTick(ReplayUp, 0), ReplayError);
  EXPECT_THROW(recorder.AddTick(ReplayUp, kMaxReplayLagCount + 1), ReplayError);
  EXPECT_THROW(recorder.Finish(ReplayTrailer{0, 0, 0, "ANN\xC3\x84", ""}), ReplayError);
  EXPECT_THROW(recorder.Finish(ReplayTrailer{0, 0, 0, "", std::string(65, 'X')}), ReplayError);

  // Every tick a new action and a lag that swings between one and two bytes: too big to keep.
  for (std::uint32_t tick = 0; tick < kMaxReplayTicks; ++tick) {
    recorder.AddTick(static_cast<std::uint16_t>(0x100 | (tick & 0xFF)), tick % 2 ? 1 : 300);
  }
  try {
    recorder.Finish(SampleTrailer(0));
    ADD_FAILURE() << "an oversized replay was written";
  } catch (const ReplayError& error) {
    EXPECT_EQ(error.Problem(), ReplayProblem::TooLarge) << error.what();
  }
}

TEST(ReplayFile, DamagedOrForeignBytesAreNamedForWhatIsWrong) {
  const std::string good = Record(SampleHeader(), DriverTicks(600, 5), SampleTrailer(600));
  const std::size_t streamStart = 31 + 1 + SampleHeader().GameVersion.size();
  // Before the score: the checksum, the country and name ("NORWAY", "ANNA K"), ticks and level.
  const std::size_t scoreOffset = good.size() - 4 - 7 - 7 - 4 - 2 - 4;
  ASSERT_EQ(ReadReplay(good, "race.rvr").Trailer.Score, 48250);

  auto flipped = [&](std::size_t offset, char mask) {
    std::string bytes = good;
    bytes[offset] = static_cast<char>(bytes[offset] ^ mask);
    return bytes;
  };
  std::string editedScore = good;
  PutLittle(editedScore, scoreOffset, 99999, 4);
  std::string newerVersion = good;
  newerVersion[4] = 3;

  struct Case {
    const char* Name;
    std::string Bytes;
    ReplayProblem Problem;
    std::string Message;
  };
  const std::vector<Case> cases = {
      {"a flipped input bit", flipped(streamStart + 1, 0x04), ReplayProblem::Damaged,
       "race.rvr: damaged (checksum"},
      {"an edited score", editedScore, ReplayProblem::Damaged, "race.rvr: damaged (checksum"},
      {"a flipped checksum bit", flipped(good.size() - 1, 0x40), ReplayProblem::Damaged,
       "race.rvr: damaged (checksum"},
      {"cut short", good.substr(0, good.size() - 100), ReplayProblem::Truncated,
       "race.rvr: truncated (" + std::to_string(good.size() - 100) + " of " +
           std::to_string(good.size()) + " bytes)"},
      {"only the magic", good.substr(0, 5), ReplayProblem::Truncated, "race.rvr: truncated"},
      {"bytes appended", good + "xyz", ReplayProblem::Damaged,
       "race.rvr: damaged (3 bytes after the end)"},
      {"empty", "", ReplayProblem::NotAReplay, "race.rvr: not a replay"},
      {"garbage", std::string(300, '\xA5'), ReplayProblem::NotAReplay, "race.rvr: not a replay"},
      {"a PNG", "\x89PNG\r\n\x1A\n" + good, ReplayProblem::NotAReplay, "race.rvr: not a replay"},
      {"another magic", flipped(2, 0x01), ReplayProblem::NotAReplay, "race.rvr: not a replay"},
      {"a newer version", newerVersion, ReplayProblem::UnsupportedVersion,
       "race.rvr: unsupported format version 3 (this program reads 1 and 2)"},
  };
  for (const Case& c : cases) {
    const ReplayError error = ReadError(c.Bytes);
    EXPECT_EQ(error.Problem(), c.Problem) << c.Name << ": " << error.what();
    EXPECT_EQ(std::string(error.what()).rfind(c.Message, 0), 0u) << c.Name << ": " << error.what();
  }
}

TEST(ReplayFile, FieldsOutsideTheirLimitsAreRefusedEvenWithAMatchingChecksum) {
  auto with = [](auto change) {
    RawReplay raw;
    change(raw);
    return raw.Bytes();
  };
  struct Case {
    const char* Name;
    std::string Bytes;
    ReplayProblem Problem;
    const char* Message;
  };
  const std::vector<Case> cases = {
      // The stream is nonsense: the tick cap must stop the reader before it looks at it.
      {"above the tick cap", with([](RawReplay& r) {
         r.TickCount = kMaxReplayTicks + 1;
         r.Stream = std::string(40, '\xFF');
       }),
       ReplayProblem::TooLarge, "race.rvr: tick count 240001 above the cap of 240000"},
      {"an action outside the nine",
       with([](RawReplay& r) { r.Stream = std::string("\x00\x80\x04", 3); }),
       ReplayProblem::BadField, "race.rvr: action bits 0x200 outside the 9 recorded actions"},
      {"lag count zero", with([](RawReplay& r) { r.Stream = std::string("\x01\x01\x00", 3); }),
       ReplayProblem::BadField, "race.rvr: lag count 0 outside 1..65535"},
      {"runs longer than the tick count",
       with([](RawReplay& r) { r.Stream = std::string("\x02\x01", 2); }), ReplayProblem::BadField,
       "race.rvr: tick runs longer than the tick count 1"},
      {"runs shorter than the tick count", with([](RawReplay& r) { r.TickCount = 3; }),
       ReplayProblem::BadField, "race.rvr: tick runs hold 1 ticks, the tick count says 3"},
      {"a run cut inside a number",
       with([](RawReplay& r) { r.Stream = std::string("\x00\x81", 2); }), ReplayProblem::BadField,
       "race.rvr: action bits: runs past the end"},
      {"a number padded with a zero byte",
       with([](RawReplay& r) { r.Stream = std::string("\x80\x00\x01", 3); }),
       ReplayProblem::BadField, "race.rvr: run length: number with a needless zero byte"},
      {"a number above 32 bits",
       with([](RawReplay& r) { r.Stream = std::string("\xFF\xFF\xFF\xFF\x7F\x01", 6); }),
       ReplayProblem::BadField, "race.rvr: run length: number longer than 32 bits"},
      {"two runs with the same input", with([](RawReplay& r) {
         r.TickCount = 2;
         r.Stream = std::string("\x00\x01\x00\x01", 4);
       }),
       ReplayProblem::BadField, "race.rvr: a run with the same input as the run before it"},
      {"a control character in the name", with([](RawReplay& r) { r.PlayerName = "AN\x07NA"; }),
       ReplayProblem::BadField, "race.rvr: player name: character 0x7 is not printable ASCII"},
      {"a country above its cap", with([](RawReplay& r) { r.Country = std::string(65, 'X'); }),
       ReplayProblem::BadField, "race.rvr: country: 65 characters, above the cap of 64"},
      {"a game version above its cap",
       with([](RawReplay& r) { r.GameVersion = std::string(33, '1'); }), ReplayProblem::BadField,
       "race.rvr: game version: 33 characters, above the cap of 32"},
  };
  ASSERT_NO_THROW(ReadReplay(RawReplay{}.Bytes(), "race.rvr"));
  for (const Case& c : cases) {
    const ReplayError error = ReadError(c.Bytes);
    EXPECT_EQ(error.Problem(), c.Problem) << c.Name << ": " << error.what();
    EXPECT_EQ(std::string(error.what()).rfind(c.Message, 0), 0u) << c.Name << ": " << error.what();
  }
}

TEST(ReplayFile, MoreThanAMebibyteIsRefusedBeforeAnyCheck) {
  const std::string huge = "RVR\x1A" + std::string(kMaxReplayBytes, '\0');
  const ReplayError error = ReadError(huge);
  EXPECT_EQ(error.Problem(), ReplayProblem::TooLarge) << error.what();
}

class ReplayFolder : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("rivoltra-replay-" +
               std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

TEST_F(ReplayFolder, ASavedReplayLoadsBackAndReplacesTheOldOneWhole) {
  const fs::path path = folder_ / "games" / "last.rvr";
  const std::string first = Record(SampleHeader(), DriverTicks(100, 1), SampleTrailer(100));
  const std::string second = Record(SampleHeader(), DriverTicks(300, 2), SampleTrailer(300));
  SaveReplayFile(path, first);
  SaveReplayFile(path, second);
  EXPECT_EQ(ReadReplayFileBytes(path), second);
  EXPECT_EQ(LoadReplayFile(path), ReadReplay(second, "x"));
  EXPECT_EQ(std::distance(fs::directory_iterator(path.parent_path()), fs::directory_iterator()), 1);
}

TEST_F(ReplayFolder, MissingOversizedAndDamagedFilesNameTheFile) {
  const fs::path big = folder_ / "big.rvr";
  std::ofstream(big).close();
  fs::resize_file(big, kMaxReplayBytes + 1);
  const fs::path cut = folder_ / "cut.rvr";
  const std::string bytes = Record(SampleHeader(), DriverTicks(100, 1), SampleTrailer(100));
  std::ofstream(cut, std::ios::binary) << bytes.substr(0, 40);

  const std::vector<std::pair<fs::path, ReplayProblem>> cases = {
      {folder_ / "missing.rvr", ReplayProblem::Unreadable},
      {folder_, ReplayProblem::Unreadable},
      {big, ReplayProblem::TooLarge},
      {cut, ReplayProblem::Truncated},
  };
  for (const auto& [path, problem] : cases) {
    try {
      LoadReplayFile(path);
      ADD_FAILURE() << path << " was accepted";
    } catch (const ReplayError& error) {
      EXPECT_EQ(error.Problem(), problem) << error.what();
      EXPECT_EQ(std::string(error.what()).rfind(path.string() + ": ", 0), 0u) << error.what();
    }
  }
}

TEST(DataFingerprint, IsSixtyFourBitFnv1aAndFoldsSpans) {
  // Published FNV-1a test vectors.
  EXPECT_EQ(DataFingerprint(""), 0xcbf29ce484222325ull);
  EXPECT_EQ(DataFingerprint("a"), 0xaf63dc4c8601ec8cull);
  EXPECT_EQ(DataFingerprint("foobar"), 0x85944171f73967e8ull);
  EXPECT_EQ(DataFingerprint("bar", DataFingerprint("foo")), DataFingerprint("foobar"));
}

}  // namespace
}  // namespace rivoltra
