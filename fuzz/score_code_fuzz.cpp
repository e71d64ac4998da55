// Hostile score codes, as they arrive in the score server's query string: the decoder must
// refuse them or return the one text that encodes back to exactly the same code, and a message
// that parses must be the one ScoreMessage builds from its fields. Anything else, a crash or a
// sanitizer report is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "formats/score_code.h"

namespace {

void CheckMessage(std::string_view message) {
  using namespace rivoltra;
  auto report = ParseScoreMessage(message);
  if (!report) return;
  if (report->PlayerName.find('|') != std::string::npos ||
      report->Country.find('|') != std::string::npos ||
      report->ServerField.find('|') != std::string::npos) {
    std::abort();  // a field that swallowed a separator
  }
  if (report->Type == kScoreMessageType && report->Key == kScoreKeyLetter &&
      ScoreMessage(report->PlayerName, report->Score, report->ServerField, report->Country) !=
          message) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rivoltra;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  if (auto text = DecodeScoreCode(input)) {
    if (EncodeGroups(EncodeBits(*text)) != input) std::abort();
    CheckMessage(*text);
  }
  // The same bytes as an already decoded message.
  CheckMessage(input);
  return 0;
}
