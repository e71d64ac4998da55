#include "formats/score_code.h"

#include <array>
#include <charconv>
#include <vector>

namespace rivoltra {
namespace {

constexpr int kBitsPerGroup = 5;
constexpr int kBitsPerCharacter = 8;
constexpr std::size_t kMessageBlock = 5;

// -1 for every byte that is not an alphabet character.
constexpr std::array<int, 256> MakeAlphabetIndex() {
  std::array<int, 256> index{};
  for (int& value : index) value = -1;
  for (std::size_t i = 0; i < kScoreAlphabet.size(); ++i) {
    index[static_cast<unsigned char>(kScoreAlphabet[i])] = static_cast<int>(i);
  }
  return index;
}
constexpr std::array<int, 256> kAlphabetIndex = MakeAlphabetIndex();

static_assert(kScoreAlphabet.size() == 32);

// Cuts "key=value" off the front of the remaining message; the value runs to the next "|" or,
// for the last field, to the end.
std::optional<std::string_view> TakeField(std::string_view& rest, std::string_view key, bool last) {
  if (rest.substr(0, key.size()) != key || rest.size() <= key.size() || rest[key.size()] != '=') {
    return std::nullopt;
  }
  rest.remove_prefix(key.size() + 1);
  std::size_t end = rest.find('|');
  if (last) {
    if (end != std::string_view::npos) return std::nullopt;
    std::string_view value = rest;
    rest = {};
    return value;
  }
  if (end == std::string_view::npos) return std::nullopt;
  std::string_view value = rest.substr(0, end);
  rest.remove_prefix(end + 1);
  return value;
}

std::optional<std::int32_t> ParsePlainDecimal(std::string_view text) {
  std::string_view digits = text.substr(0, 1) == "-" ? text.substr(1) : text;
  if (digits.empty() || (digits.size() > 1 && digits[0] == '0')) return std::nullopt;
  if (text == "-0") return std::nullopt;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  std::int32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::string ScoreMessage(std::string_view playerName, std::int32_t score,
                         std::string_view serverField, std::string_view country) {
  std::string message;
  message.reserve(48 + playerName.size() + serverField.size() + country.size());
  message += "type=";
  message += kScoreMessageType;
  message += "|name=";
  message += playerName;
  message += "|score=";
  message += std::to_string(score);
  message += "|key=";
  message += kScoreKeyLetter;
  message += "|p=";
  message += serverField;
  message += "|add=";
  message += country;
  message += "|z=";
  while (message.size() % kMessageBlock != 0) message += '0';
  return message;
}

std::string EncodeBits(std::string_view text) {
  std::string digits;
  digits.reserve(text.size() * kBitsPerCharacter);
  for (char c : text) {
    auto code = static_cast<unsigned char>(c);
    for (int bit = kBitsPerCharacter - 1; bit >= 0; --bit) {
      digits += ((code >> bit) & 1) != 0 ? '1' : '0';
    }
  }
  return digits;
}

std::string EncodeGroups(std::string_view digits) {
  std::size_t fill = (kBitsPerGroup - digits.size() % kBitsPerGroup) % kBitsPerGroup;
  std::string code;
  code.reserve((digits.size() + fill) / kBitsPerGroup);
  unsigned value = 0;
  int bitsInGroup = static_cast<int>(fill);
  for (char digit : digits) {
    value = (value << 1) | (digit != '0' ? 1u : 0u);
    if (++bitsInGroup == kBitsPerGroup) {
      code += kScoreAlphabet[value];
      value = 0;
      bitsInGroup = 0;
    }
  }
  return code;
}

std::optional<std::string> DecodeScoreCode(std::string_view code) {
  if (code.size() > kMaxScoreCodeLength) return std::nullopt;
  std::size_t totalBits = code.size() * kBitsPerGroup;
  std::size_t characters = totalBits / kBitsPerCharacter;
  std::size_t fillBits = totalBits - characters * kBitsPerCharacter;
  // EncodeGroups never adds a whole group of fill, so a longer fill means a forged length.
  if (fillBits >= static_cast<std::size_t>(kBitsPerGroup)) return std::nullopt;

  std::string text;
  text.reserve(characters);
  unsigned accumulator = 0;
  std::size_t bitsHeld = 0;
  std::size_t fillLeft = fillBits;
  for (char c : code) {
    int value = kAlphabetIndex[static_cast<unsigned char>(c)];
    if (value < 0) return std::nullopt;
    for (int bit = kBitsPerGroup - 1; bit >= 0; --bit) {
      unsigned digit = (static_cast<unsigned>(value) >> bit) & 1u;
      if (fillLeft > 0) {
        if (digit != 0) return std::nullopt;
        --fillLeft;
        continue;
      }
      accumulator = (accumulator << 1) | digit;
      if (++bitsHeld == kBitsPerCharacter) {
        text += static_cast<char>(static_cast<unsigned char>(accumulator));
        accumulator = 0;
        bitsHeld = 0;
      }
    }
  }
  return text;
}

std::optional<ScoreReport> ParseScoreMessage(std::string_view message) {
  if (message.size() % kMessageBlock != 0) return std::nullopt;
  std::string_view rest = message;
  auto type = TakeField(rest, "type", false);
  auto name = type ? TakeField(rest, "name", false) : std::nullopt;
  auto score = name ? TakeField(rest, "score", false) : std::nullopt;
  auto key = score ? TakeField(rest, "key", false) : std::nullopt;
  auto token = key ? TakeField(rest, "p", false) : std::nullopt;
  auto country = token ? TakeField(rest, "add", false) : std::nullopt;
  auto fill = country ? TakeField(rest, "z", true) : std::nullopt;
  if (!fill) return std::nullopt;

  // With the whole length a multiple of 5, a fill under 5 characters is the shortest one, the
  // only one ScoreMessage makes.
  if (fill->size() >= kMessageBlock || fill->find_first_not_of('0') != std::string_view::npos) {
    return std::nullopt;
  }
  if (key->size() != 1 || (*key)[0] < 'A' || (*key)[0] > 'Z') return std::nullopt;
  auto scoreValue = ParsePlainDecimal(*score);
  if (!scoreValue) return std::nullopt;

  ScoreReport report;
  report.Type = std::string(*type);
  report.PlayerName = std::string(*name);
  report.Score = *scoreValue;
  report.Key = (*key)[0];
  report.ServerField = std::string(*token);
  report.Country = std::string(*country);
  return report;
}

}  // namespace rivoltra
