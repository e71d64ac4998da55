#include "formats/score_code.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace rivoltra {
namespace {

std::string AlphabetCharacters(std::initializer_list<int> values) {
  std::string text;
  for (int v : values) text += kScoreAlphabet[static_cast<std::size_t>(v)];
  return text;
}

TEST(ScoreAlphabet, HoldsTwentyThreeDistinctCapitalsAndNineDigits) {
  std::set<char> distinct(kScoreAlphabet.begin(), kScoreAlphabet.end());
  int letters = 0;
  int digits = 0;
  for (char c : kScoreAlphabet) {
    letters += (c >= 'A' && c <= 'Z') ? 1 : 0;
    digits += (c >= '0' && c <= '9') ? 1 : 0;
  }
  EXPECT_EQ(distinct.size(), 32u);
  EXPECT_EQ(letters, 23);
  EXPECT_EQ(digits, 9);
  EXPECT_GE(kScoreKeyLetter, 'A');
  EXPECT_LE(kScoreKeyLetter, 'Z');
}

TEST(ScoreEncoding, ThreeLettersGiveFrontFilledGroups) {
  std::string digits = EncodeBits("abc");
  EXPECT_EQ(digits, "011000010110001001100011");
  EXPECT_EQ(EncodeGroups(digits), AlphabetCharacters({6, 2, 24, 19, 3}));
}

TEST(ScoreEncoding, GroupsReadAnyNonZeroDigitAsOne) {
  EXPECT_EQ(EncodeGroups("1x0a0"), AlphabetCharacters({0b11010}));
  EXPECT_EQ(EncodeGroups(""), "");
  EXPECT_EQ(EncodeGroups("1"), AlphabetCharacters({1}));
}

TEST(ScoreEncoding, BitsOfHighBytesAreUnsigned) {
  EXPECT_EQ(EncodeBits(std::string("\xFF\x00\x80", 3)), "111111110000000010000000");
}

TEST(ScoreMessageTest, FillsToMultipleOfFiveAndEncodesToEightFifths) {
  std::string message = ScoreMessage("NONAME", 1234, "T", "X");
  std::string expected =
      std::string("type=0|name=NONAME|score=1234|key=") + kScoreKeyLetter + "|p=T|add=X|z=";
  ASSERT_EQ(expected.size(), 48u);
  EXPECT_EQ(message, expected + "00");
  EXPECT_EQ(EncodeGroups(EncodeBits(message)).size(), 80u);
}

TEST(ScoreMessageTest, FillCountFollowsUnfilledLength) {
  // The unfilled message for an empty name, score 0 and empty fields is 37 characters; each
  // extra name letter moves the fill by one.
  const struct {
    const char* Name;
    std::size_t Fill;
  } cases[] = {{"", 3}, {"A", 2}, {"AB", 1}, {"ABC", 0}, {"ABCD", 4}};
  for (const auto& c : cases) {
    std::string message = ScoreMessage(c.Name, 0, "", "");
    std::size_t zeros = message.size() - message.rfind("|z=") - 3;
    EXPECT_EQ(zeros, c.Fill) << "name '" << c.Name << "'";
    EXPECT_EQ(message.size() % 5, 0u);
  }
  EXPECT_NE(ScoreMessage("A", -250, "", "").find("|score=-250|"), std::string::npos);
}

TEST(ScoreDecoding, RoundTripsEveryMessageTheGameMakes) {
  const struct {
    const char* Name;
    std::int32_t Score;
    const char* Token;
    const char* Country;
  } cases[] = {
      {"NONAME", 1234, "T", "X"},
      {"", 0, "", ""},
      {"ANNA MARIA", 2147483647, "8K5BUM9HPE2C7VRG", "NEW ZEALAND"},
      {"  ", -2147483647 - 1, "x", " "},
  };
  for (const auto& c : cases) {
    std::string message = ScoreMessage(c.Name, c.Score, c.Token, c.Country);
    auto decoded = DecodeScoreCode(EncodeGroups(EncodeBits(message)));
    ASSERT_TRUE(decoded.has_value()) << message;
    EXPECT_EQ(*decoded, message);
    auto report = ParseScoreMessage(*decoded);
    ASSERT_TRUE(report.has_value()) << message;
    EXPECT_EQ(report->Type, "0");
    EXPECT_EQ(report->PlayerName, c.Name);
    EXPECT_EQ(report->Score, c.Score);
    EXPECT_EQ(report->Key, kScoreKeyLetter);
    EXPECT_EQ(report->ServerField, c.Token);
    EXPECT_EQ(report->Country, c.Country);
  }
}

TEST(ScoreDecoding, RefusesCodesNoTextEncodesTo) {
  std::string valid = EncodeGroups(EncodeBits("abcde"));
  ASSERT_EQ(DecodeScoreCode(valid), "abcde");
  std::string lowercase = valid;
  lowercase[0] = 'f';
  std::string nonzeroFill = AlphabetCharacters({0b10000, 0});  // 10 bits: 2 of fill, set
  const std::string refused[] = {
      valid.substr(0, 1),  // 5 bits hold no character
      valid.substr(0, 3),  // 15 bits: 7 bits of fill
      lowercase,           // outside the alphabet
      valid + "=",         // padding is never written
      std::string(kMaxScoreCodeLength + 8, kScoreAlphabet[0]),
      nonzeroFill,
      std::string("\0\0", 2),
  };
  for (const auto& code : refused) {
    EXPECT_FALSE(DecodeScoreCode(code).has_value()) << code;
  }
  EXPECT_EQ(DecodeScoreCode(AlphabetCharacters({0b00011, 0b00001})), "a");
  EXPECT_EQ(DecodeScoreCode(""), "");
}

TEST(ScoreParsing, RefusesMessagesTheGameCannotSend) {
  const std::string key(1, kScoreKeyLetter);
  auto filled = [](std::string text) {
    while (text.size() % 5 != 0) text += '0';
    return text;
  };
  const std::string refused[] = {
      "type=0|name=A|score=1|key=" + key + "|p=|add=|z=0",  // 38 + 1: not a multiple of 5
      filled("type=0|name=A|score=1|key=" + key + "|p=|add=|z=") + "00000",  // fill of 5
      filled("type=0|name=A|score=1|key=" + key + "|p=|add=B|C|z="),         // extra field
      filled("type=0|score=1|name=A|key=" + key + "|p=|add=|z="),            // order
      filled("type=0|name=A|score=01|key=" + key + "|p=|add=|z="),
      filled("type=0|name=A|score=-0|key=" + key + "|p=|add=|z="),
      filled("type=0|name=A|score=2147483648|key=" + key + "|p=|add=|z="),
      filled("type=0|name=A|score=1e3|key=" + key + "|p=|add=|z="),
      filled("type=0|name=A|score=|key=" + key + "|p=|add=|z="),
      filled("type=0|name=A|score=1|key=r|p=|add=|z="),
      filled("type=0|name=A|score=1|key=RR|p=|add=|z="),
      filled("type=0|name=A|score=1|key=" + key + "|p=|add="),
      "type=0|name=A|score=1|key=" + key + "|p=|add=|z=11",  // fill must be "0"
      "",
  };
  for (const auto& message : refused) {
    EXPECT_FALSE(ParseScoreMessage(message).has_value()) << message;
  }
}

}  // namespace
}  // namespace rivoltra
