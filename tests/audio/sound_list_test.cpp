#include "audio/sound_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

#include "platform/null/null_audio.h"

namespace rivoltra {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Bytes = std::vector<std::uint8_t>;

// 8000 frames per second, one byte per frame: a wave of n bytes lasts n / 8 ms.
constexpr PcmFormat kFormat{8000, 1, 8};

Bytes WaveOfMilliseconds(int milliseconds) {
  return MakePcmWaveImage(kFormat, Bytes(static_cast<std::size_t>(milliseconds) * 8, 0x80));
}

std::string Describe(const NullAudio::SoundEvent& event) {
  return std::string(event.Type == NullAudio::SoundEvent::Kind::Play ? "play " : "stop ") +
         event.Name + "#" + std::to_string(event.Buffer) + (event.Looped ? " looped" : "");
}

class SoundListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    audio_.Initialize();
    list_.SetSoundOutput(&audio_);
  }

  void Load(std::vector<SoundItemData> items) { list_.Items().Assign(items); }

  std::vector<std::string> Events() {
    std::vector<std::string> described;
    for (const auto& event : audio_.TakeEvents()) described.push_back(Describe(event));
    return described;
  }

  NullAudio audio_;
  SoundList list_;
};

struct Advance {
  int Milliseconds;
};
struct PlayOnce {};
using Step = std::variant<PlayOnce, Advance>;

struct CopyCase {
  const char* What;
  int MaxPlayingCount;
  std::vector<Step> Steps;
  std::vector<std::string> Events;
  std::vector<int> Copies;
};

TEST(SoundItemCopies, NonLoopedCopiesFollowTheLimit) {
  // Every wave lasts 100 ms; buffer #1 is the master, copies are numbered as they are made.
  const CopyCase cases[] = {
      {"limit 2, three plays while the first two still play: the oldest restarts",
       2,
       {PlayOnce{}, PlayOnce{}, PlayOnce{}},
       {"play Hit#2", "play Hit#3", "stop Hit#2", "play Hit#2"},
       {3, 2}},
      {"no limit: a new copy for every overlapping play",
       0,
       {PlayOnce{}, PlayOnce{}, PlayOnce{}},
       {"play Hit#2", "play Hit#3", "play Hit#4"},
       {2, 3, 4}},
      {"limit 1: the one copy restarts",
       1,
       {PlayOnce{}, Advance{50}, PlayOnce{}},
       {"play Hit#2", "stop Hit#2", "play Hit#2"},
       {2}},
      {"a copy that has finished is reused before a new one is made",
       0,
       {PlayOnce{}, Advance{100}, PlayOnce{}},
       {"play Hit#2", "play Hit#2"},
       {2}},
      {"a reused idle copy counts as the newest, so the next overflow cuts the older one",
       2,
       {PlayOnce{}, Advance{60}, PlayOnce{}, Advance{60}, PlayOnce{}, PlayOnce{}},
       {"play Hit#2", "play Hit#3", "play Hit#2", "stop Hit#3", "play Hit#3"},
       {2, 3}},
  };
  for (const CopyCase& c : cases) {
    SCOPED_TRACE(c.What);
    NullAudio audio;
    audio.Initialize();
    SoundList list;
    list.SetSoundOutput(&audio);
    list.Items().Assign({{"Hit", false, c.MaxPlayingCount, WaveOfMilliseconds(100)}});
    SoundItem& item = list.ItemByName("Hit");
    std::map<const SoundBuffer*, int> numberOf;  // copies in order of creation, from #2
    for (const Step& step : c.Steps) {
      if (std::holds_alternative<PlayOnce>(step)) {
        item.Play(false);
        for (const SoundBuffer* copy : item.Copies())
          if (!numberOf.contains(copy)) numberOf[copy] = static_cast<int>(numberOf.size()) + 2;
      } else {
        audio.AdvanceClock(static_cast<std::uint32_t>(std::get<Advance>(step).Milliseconds));
      }
    }
    std::vector<std::string> events;
    for (const auto& event : audio.Events()) events.push_back(Describe(event));
    EXPECT_THAT(events, ElementsAreArray(c.Events));
    std::vector<int> copies;
    for (const SoundBuffer* copy : item.Copies()) copies.push_back(numberOf.at(copy));
    EXPECT_THAT(copies, ElementsAreArray(c.Copies));
  }
}

TEST_F(SoundListTest, LoopedSoundRestartsFromTheBeginningAndPlaysUntilStopped) {
  Load({{"Engine", true, 0, WaveOfMilliseconds(100)}});
  PlaySound(1, list_, "Engine");
  audio_.AdvanceClock(10'000);
  EXPECT_EQ(audio_.PlayingCount(), 1);
  PlaySound(1, list_, "engine");
  EXPECT_THAT(Events(),
              ElementsAre("play Engine#1 looped", "stop Engine#1", "play Engine#1 looped"));
  EXPECT_TRUE(list_.ItemByName("Engine").Copies().empty());

  StopSound(1, list_, "ENGINE");
  EXPECT_THAT(Events(), ElementsAre("stop Engine#1"));
  EXPECT_EQ(audio_.PlayingCount(), 0);
}

TEST_F(SoundListTest, PlaySoundCutsEarlierCopiesSoOneCopyServes) {
  Load({{"Shot", false, 0, WaveOfMilliseconds(100)}});
  PlaySound(1, list_, "Shot");
  PlaySound(1, list_, "Shot");
  EXPECT_THAT(Events(), ElementsAre("play Shot#2", "stop Shot#2", "play Shot#2"));
  EXPECT_EQ(list_.ItemByName("Shot").Copies().size(), 1u);
}

TEST_F(SoundListTest, SoundDisabledNeverTouchesTheList) {
  Load({{"Tick", false, 0, WaveOfMilliseconds(100)}});
  for (std::uint8_t disabled : {std::uint8_t{0}, std::uint8_t{2}}) {
    EXPECT_NO_THROW(PlaySound(disabled, list_, "NoSuchSound"));
    EXPECT_NO_THROW(StopSound(disabled, list_, "NoSuchSound"));
    PlaySound(disabled, list_, "Tick");
  }
  EXPECT_TRUE(Events().empty());

  try {
    PlaySound(1, list_, "NoSuchSound");
    FAIL() << "no error";
  } catch (const SoundListError& e) {
    EXPECT_STREQ(e.what(), "Wave 'NoSuchSound' not found");
  }
  EXPECT_THROW(StopSound(1, list_, "NoSuchSound"), SoundListError);
}

TEST_F(SoundListTest, LookupIgnoresCaseAndTheNewestNameWins) {
  Load({{"Stone", false, 0, WaveOfMilliseconds(10)},
        {"STONE", false, 0, WaveOfMilliseconds(20)},
        {"Water", false, 0, WaveOfMilliseconds(30)}});
  SoundCollection& items = list_.Items();
  EXPECT_EQ(&items.ItemByName("stone"), &items.Items(1));
  items.Items(0).SetName("sTONE");  // renaming makes it the newest of its name
  EXPECT_EQ(&items.ItemByName("Stone"), &items.Items(0));
  items.Items(2).SetName("Rabbit");
  EXPECT_EQ(items.Find("Water"), nullptr);
  EXPECT_EQ(&items.ItemByName("rabbit"), &items.Items(2));
  try {
    items.Items(3);
    FAIL() << "no error";
  } catch (const SoundListError& e) {
    EXPECT_STREQ(e.what(), "Index of the list exceeds the range. (3)");
  }
}

TEST_F(SoundListTest, ItemsHaveBuffersOnlyWhileTheOutputIsInitialised) {
  NullAudio closed;
  SoundList silent;
  silent.Items().Assign({{"Tick", false, 0, WaveOfMilliseconds(100)}});
  silent.SetSoundOutput(&closed);
  PlaySound(1, silent, "Tick");  // no device: nothing happens, nothing fails
  EXPECT_FALSE(silent.ItemByName("Tick").Initialized());
  EXPECT_TRUE(closed.Events().empty());

  closed.Initialize();
  EXPECT_NE(silent.ItemByName("Tick").Master(), nullptr);
  PlaySound(1, silent, "Tick");
  EXPECT_EQ(closed.PlayingCount(), 1);

  closed.Finalize();
  EXPECT_FALSE(silent.ItemByName("Tick").Initialized());
  EXPECT_TRUE(silent.ItemByName("Tick").Copies().empty());
  EXPECT_EQ(closed.PlayingCount(), 0);
}

TEST_F(SoundListTest, WavesWithoutSamplesOrInAFormatNoOutputPlaysStaySilent) {
  WaveData compressed{MakePcmFormatBlock(kFormat), Bytes(800, 0x80)};
  compressed.FormatBlock[0] = 2;
  Load({{"Empty", false, 0, MakeWaveImage({MakePcmFormatBlock(kFormat), {}})},
        {"EmptyLoop", true, 0, MakeWaveImage({MakePcmFormatBlock(kFormat), {}})},
        {"Compressed", false, 0, MakeWaveImage(compressed)},
        {"NoWave", true, 0, {}}});
  for (const char* name : {"Empty", "EmptyLoop", "Compressed", "NoWave"}) {
    EXPECT_TRUE(list_.ItemByName(name).Initialized()) << name;
    EXPECT_EQ(list_.ItemByName(name).Master(), nullptr) << name;
    PlaySound(1, list_, name);
  }
  EXPECT_TRUE(Events().empty());
}

TEST_F(SoundListTest, PropertyChangesStopOrFreeAsTheyMust) {
  Load({{"Bonus", false, 0, WaveOfMilliseconds(100)}});
  SoundItem& item = list_.ItemByName("Bonus");
  item.Play(false);
  item.Play(false);
  item.SetMaxPlayingCount(-3);
  EXPECT_EQ(item.MaxPlayingCount(), 0);
  EXPECT_TRUE(item.Copies().empty());
  EXPECT_EQ(audio_.PlayingCount(), 0);

  item.SetLooped(true);
  item.Play(false);
  audio_.TakeEvents();
  item.SetLooped(false);
  EXPECT_THAT(Events(), ElementsAre("stop Bonus#1"));
}

TEST_F(SoundListTest, WaitReturnsWhenTheCopyHasFinished) {
  Load({{"LevelFinish", false, 0, WaveOfMilliseconds(250)}});
  list_.ItemByName("LevelFinish").Play(true);
  EXPECT_EQ(audio_.Milliseconds(), 250);
  EXPECT_EQ(audio_.PlayingCount(), 0);
}

TEST_F(SoundListTest, FrequencyChangesHowLongACopyPlays) {
  Load({{"Rabbit", false, 0, WaveOfMilliseconds(100)}});
  SoundItem& item = list_.ItemByName("Rabbit");
  item.SetFrequency(16000);  // twice the wave's own rate
  item.Play(true);
  EXPECT_EQ(audio_.Milliseconds(), 50);
}

TEST_F(SoundListTest, LoadArchiveReplacesItemsAndKeepsThemWhenTheFileIsBad) {
  const auto folder = std::filesystem::temp_directory_path();
  const std::string good = (folder / "rivoltra_sound_list_good.sfx").string();
  const std::string bad = (folder / "rivoltra_sound_list_bad.sfx").string();
  WriteSoundArchive(good, {{"GameOver", false, 0, WaveOfMilliseconds(40)},
                           {"Spike", false, 2, WaveOfMilliseconds(40)}});
  Bytes broken = WriteSoundArchiveBytes({{"Water", false, 0, WaveOfMilliseconds(40)}});
  broken.resize(broken.size() - 10);
  std::filesystem::remove(bad);
  {
    std::ofstream file(bad, std::ios::binary);
    file.write(reinterpret_cast<const char*>(broken.data()),
               static_cast<std::streamsize>(broken.size()));
  }

  list_.Items().LoadArchive(good);
  ASSERT_EQ(list_.Items().Count(), 2);
  EXPECT_EQ(list_.Items().Items(1).Name(), "Spike");
  EXPECT_EQ(list_.Items().Items(1).MaxPlayingCount(), 2);
  EXPECT_NE(list_.Items().Items(1).Master(), nullptr);  // bound to an open output: ready at once

  EXPECT_THROW(list_.Items().LoadArchive(bad), ArchiveError);
  EXPECT_THROW(list_.Items().LoadArchive((folder / "rivoltra_missing.sfx").string()),
               std::system_error);
  EXPECT_EQ(list_.Items().Count(), 2);
  EXPECT_NO_THROW(PlaySound(1, list_, "GameOver"));
  std::filesystem::remove(good);
  std::filesystem::remove(bad);
}

}  // namespace
}  // namespace rivoltra
