#include "persist/settings.h"

#include <gtest/gtest.h>

#include <string>

namespace rivoltra {
namespace {

TEST(SettingsFile, WritesFiveCrLfLinesWhateverTheCountry) {
  EXPECT_EQ(SettingsFileText(Settings{1, 0, 1, ""}, "%\xA0"), "1\r\n0\r\n1\r\n\r\n%\xA0\r\n");
  EXPECT_EQ(SettingsFileText(Settings{0, 1, 0, "NEW ZEALAND"}, ""),
            "0\r\n1\r\n0\r\nNEW ZEALAND\r\n\r\n");
}

TEST(SettingsFile, SwitchesReadAnyNumberAndSkipTheRestOfTheLine) {
  Settings settings;
  std::string check;
  ASSERT_TRUE(ParseSettingsFile("7\r\n  0 trailing\r\n-1\r\nNEW ZEALAND\r\n\x25\xA0\x96\r\n",
                                settings, check));
  EXPECT_EQ(settings, (Settings{1, 0, 1, "NEW ZEALAND"}));
  EXPECT_EQ(check, "\x25\xA0\x96");
  // Written back as the plain 1 and 0.
  EXPECT_EQ(SettingsFileText(settings, check).substr(0, 9), "1\r\n0\r\n1\r\n");
}

TEST(SettingsFile, ACountryOnlyKeepsWhatCouldHaveBeenTyped) {
  // The country travels in the score message; "|" and "=" would break its fields.
  Settings settings;
  std::string check;
  ASSERT_TRUE(ParseSettingsFile("0\n0\n0\nfr|ance=1 X\nC\n", settings, check));
  EXPECT_EQ(settings.Country, "FRANCE X");
}

TEST(SettingsFile, ShortOrMalformedTextIsRejectedWithoutTouchingTheSettings) {
  const char* cases[] = {
      "",
      "1\r\n1\r\n1\r\nCOUNTRY\r\n",  // no check string line
      "yes\r\n1\r\n1\r\n\r\nC\r\n",
      "1\r\n\r\n1\r\n\r\nC\r\n",
      "1\r\n1\r\n99999999999\r\n\r\nC\r\n",
  };
  for (const char* text : cases) {
    Settings settings{1, 1, 1, "KEEP"};
    std::string check = "KEEP";
    EXPECT_FALSE(ParseSettingsFile(text, settings, check)) << text;
    EXPECT_EQ(settings, (Settings{1, 1, 1, "KEEP"}));
    EXPECT_EQ(check, "KEEP");
  }
}

}  // namespace
}  // namespace rivoltra
