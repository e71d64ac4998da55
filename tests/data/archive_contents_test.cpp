// Every picture the game looks up is in the archive it is read from, cut into the number of
// patterns the game uses, and keyed so that no visible pixel turns transparent on the display.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "generated_archives.h"

namespace rivoltra::datatest {
namespace {

// kAnimated: the sprite plays its patterns as frames, so it needs at least two.
constexpr int kAnimated = -1;

struct Expected {
  std::string Name;
  int Patterns;
};

std::vector<Expected> InterfaceNames() {
  std::vector<Expected> names = {{"MainMenuBackground", 1},
                                 {"UpPanel", 1},
                                 {"DownPanel", 1},
                                 {"NullCaption", 1},
                                 {"StartCaption", 1},
                                 {"DailyRunCaption", 1},
                                 {"OptionsCaption", 1},
                                 {"HighScoresCaption", 1},
                                 {"HelpCaption", 1},
                                 {"VisitWWWCaption", 1},
                                 {"ExitCaption", 1},
                                 {"MainMenuButtons_Inactive", 6},
                                 {"MainMenuButtons_Active", 6},
                                 {"MainMenu_ExitInactive", 1},
                                 {"MainMenu_ExitActive", 1},
                                 {"DailyRunBackground", 1},
                                 {"DailyStartButton", 2},
                                 {"OptionsBackground", 1},
                                 {"OptionButton_Inactive", 1},
                                 {"OptionButton_Active", 1},
                                 {"Cursor", 1},
                                 {"HighScoresBackground", 1},
                                 {"ClearHighScores", 2},
                                 {"ViewHighScores", 2},
                                 {"Help1", 1},
                                 {"Help2", 1},
                                 {"Help3", 1},
                                 {"Help4", 1},
                                 {"Previous", 2},
                                 {"Next", 2},
                                 {"StartGameBackground", 1},
                                 {"EnterYourName", 1},
                                 {"SendResults", 1},
                                 {"OkButton2", 2},
                                 {"CancelButton2", 2},
                                 {"Font_small", 44},
                                 {"Font_medium_inactive", 44},
                                 {"Font_medium_Active", 44},
                                 {"Font_big", 44}};
  for (int car = 1; car <= 4; ++car) {
    names.push_back({"Car" + std::to_string(car), 1});
    names.push_back({"Car" + std::to_string(car) + "_Active", 1});
  }
  return names;
}

std::vector<Expected> RaceNames() {
  std::vector<Expected> names = {{"Wall05", 1},
                                 {"Wall10", 1},
                                 {"Spike10", 1},
                                 {"Water05", 1},
                                 {"Water10", 1},
                                 {"Stone05", 1},
                                 {"StoneSmall05", 1},
                                 {"Crack", 1},
                                 {"Rabbit", kAnimated},
                                 {"Bonus10", kAnimated},
                                 {"Bonus20", kAnimated},
                                 {"Bonus50", kAnimated},
                                 {"Bonus100", kAnimated},
                                 {"BonusGun", kAnimated},
                                 {"BonusTurbo", kAnimated},
                                 {"BonusLive", kAnimated},
                                 {"SignLeftBlue", 1},
                                 {"SignLeftRed", 1},
                                 {"SignRightBlue", 1},
                                 {"SignRightRed", 1},
                                 {"WallLeft", 1},
                                 {"WallRight", 1},
                                 {"FinishLine", 1},
                                 {"ExplosionMicro", kAnimated},
                                 {"ExplosionSmall", kAnimated},
                                 {"ExplosionBig", kAnimated},
                                 {"GroundLeft", 1},
                                 {"LeftPanel", 1},
                                 {"RightPanel", 1},
                                 {"CarSmall", 1},
                                 {"Pointer", 1},
                                 {"GunSmall", 1},
                                 {"TurboSmall", 1},
                                 {"None", 1},
                                 {"Drifting", 1},
                                 {"TimeIsOverNB", 1},
                                 {"GameOverNB", 1},
                                 {"Gun", 1},
                                 {"GunFire", kAnimated},
                                 {"TurboRed", 1},
                                 {"TurboBlue", 1},
                                 {"TurboYellow", 1},
                                 {"TurboFire", kAnimated}};
  for (int car = 1; car <= 10; ++car) names.push_back({"Car" + std::to_string(car), 1});
  for (int car = 5; car <= 10; ++car) names.push_back({"Car" + std::to_string(car) + "_Inv", 1});
  return names;
}

void ExpectNamesAndPatterns(const Archive& archive, const std::vector<Expected>& names) {
  for (const Expected& expected : names) {
    SCOPED_TRACE(expected.Name);
    const ImageItemData* item = archive.Find(expected.Name);
    ASSERT_NE(item, nullptr) << "missing";
    const PatternLayout layout = PatternLayoutOf(*item);
    // counted before and after the display builds the patterns, the pictures leave no stray
    // strip that would make the two differ
    EXPECT_EQ(layout.PatternCountBeforeDisplay(), layout.BuiltPatternCount());
    if (expected.Patterns == kAnimated) {
      EXPECT_GE(Patterns(*item), 2);
    } else {
      EXPECT_EQ(Patterns(*item), expected.Patterns);
    }
  }
}

TEST(ArchiveContents, InterfaceListHoldsEveryMenuPictureAndFont) {
  ExpectNamesAndPatterns(Interface(), InterfaceNames());
}

TEST(ArchiveContents, RaceListHoldsEveryRacePicture) {
  ExpectNamesAndPatterns(Race(), RaceNames());
}

TEST(ArchiveContents, NamesAreUniqueInEachList) {
  // a second item of the same name would shadow the first in the lookup
  for (const Archive* archive : {&Interface(), &Race()}) {
    std::set<std::string> seen;
    for (const ImageItemData& item : archive->Items) {
      EXPECT_TRUE(seen.insert(item.Name).second) << item.Name << " appears twice";
    }
  }
}

// The display stores 5-6-5 pixels and keys on the converted colour, so an opaque pixel that
// converts to the key's value would vanish.
TEST(ArchiveContents, NoOpaquePixelMatchesTheKeyInSixteenBits) {
  auto to565 = [](std::uint32_t rgb) {
    return ((rgb >> 19) & 0x1F) << 11 | ((rgb >> 10) & 0x3F) << 5 | ((rgb >> 3) & 0x1F);
  };
  for (const Archive* archive : {&Interface(), &Race()}) {
    for (const ImageItemData& item : archive->Items) {
      if (!item.Transparent) continue;
      SCOPED_TRACE(item.Name);
      const std::uint32_t key = KeyRgb(item);
      int clashes = 0;
      for (const std::uint32_t rgb : item.Image.Pixels) {
        if (rgb != key && to565(rgb) == to565(key)) ++clashes;
      }
      EXPECT_EQ(clashes, 0);
    }
  }
}

TEST(ArchiveContents, EveryPictureShowsSomething) {
  // only the empty caption may be all key; a picture cut away entirely is a drawing fault
  for (const Archive* archive : {&Interface(), &Race()}) {
    for (const ImageItemData& item : archive->Items) {
      if (item.Name == "NullCaption") continue;
      const PatternLayout layout = PatternLayoutOf(item);
      for (int pattern = 0; pattern < layout.BuiltPatternCount(); ++pattern) {
        const Rect cell = layout.PatternBounds(pattern);
        bool inked = false;
        for (int y = cell.Top; y < cell.Bottom && !inked; ++y) {
          for (int x = cell.Left; x < cell.Right && !inked; ++x) inked = !IsKey(item, x, y);
        }
        EXPECT_TRUE(inked) << item.Name << " pattern " << pattern << " is empty";
      }
    }
  }
}

TEST(ArchiveContents, FullScreenPicturesAreOpaque) {
  // drawn first over a cleared surface: a keyed hole would show the clear colour
  const std::pair<const Archive*, const char*> opaque[] = {{&Interface(), "MainMenuBackground"},
                                                           {&Race(), "GroundLeft"},
                                                           {&Race(), "LeftPanel"},
                                                           {&Race(), "RightPanel"}};
  for (const auto& [archive, name] : opaque) {
    const ImageItemData* item = archive->Find(name);
    ASSERT_NE(item, nullptr) << name;
    EXPECT_FALSE(item->Transparent) << name;
  }
}

}  // namespace
}  // namespace rivoltra::datatest
