#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rivoltra {

// The score message travels in a query string packed into 5-bit units. The game and the score
// server must hold the same alphabet and key letter: changing either breaks every deployed
// client, so a new value needs a new message type below and a server that accepts both.
//
// Message types:
//   0  "type=0|name=N|score=S|key=K|p=TOKEN|add=COUNTRY|z=" filled with "0" to a multiple of 5
inline constexpr std::string_view kScoreAlphabet = "FTSN8K5BUM9HPE2C7VRG6QDYA4Z3JX1W";
inline constexpr char kScoreKeyLetter = 'R';
inline constexpr std::string_view kScoreMessageType = "0";

// The longest encoded message the decoder accepts; a real message with a long name and country
// stays far below it, and it keeps a hostile query from costing more than a few kilobytes.
inline constexpr std::size_t kMaxScoreCodeLength = 1024;

// The fields of one score message, as the game fills them in.
struct ScoreReport {
  std::string Type;
  std::string PlayerName;
  std::int32_t Score = 0;
  char Key = 0;
  std::string ServerField;
  std::string Country;
};

// The score message, filled with "0" up to a multiple of 5 characters. Nothing is escaped: the
// name and country hold capital letters and spaces only, the server field is passed back as
// the server sent it.
std::string ScoreMessage(std::string_view playerName, std::int32_t score,
                         std::string_view serverField, std::string_view country);

// Each character's 8-bit code as eight "0"/"1" characters, most significant bit first.
std::string EncodeBits(std::string_view text);

// Digits in groups of 5 (front-filled with "0"), each group one alphabet character; any digit
// other than "0" counts as 1.
std::string EncodeGroups(std::string_view digits);

// The inverse of EncodeGroups(EncodeBits(text)). Refuses (nullopt) a code longer than
// kMaxScoreCodeLength, a character outside the alphabet, a length that no text encodes to, and
// fill bits that are not zero, so every accepted code has exactly one text.
std::optional<std::string> DecodeScoreCode(std::string_view code);

// Splits a decoded message into its fields. Refuses anything the game could not have sent:
// fields out of order or missing, an extra "|", a score that is not a plain 32-bit decimal, a
// key that is not one capital letter, or a fill that is not 0 to 4 "0" reaching a multiple of 5.
std::optional<ScoreReport> ParseScoreMessage(std::string_view message);

}  // namespace rivoltra
