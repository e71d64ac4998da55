#include "persist/unsent_results.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>
#include <system_error>

namespace rivoltra {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kHeader = "rivoltra unsent result 1\n";
constexpr std::string_view kExtension = ".unsent";
// A name and a country are a few characters; anything longer is not one of these files.
constexpr std::size_t kMaxFieldBytes = 256;

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

std::optional<std::string> Unhex(std::string_view text) {
  if (text.size() % 2 != 0 || text.size() > 2 * kMaxFieldBytes) return std::nullopt;
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
    if (error != std::errc() || end != text.data() + i + 2) return std::nullopt;
    bytes += static_cast<char>(value);
  }
  return bytes;
}

// The next line of text from at (without its '\n'); nullopt when no '\n' follows.
std::optional<std::string_view> NextLine(std::string_view text, std::size_t& at) {
  const std::size_t end = text.find('\n', at);
  if (end == std::string_view::npos) return std::nullopt;
  std::string_view line = text.substr(at, end - at);
  at = end + 1;
  return line;
}

}  // namespace

std::string UnsentResultFileText(const UnsentResult& result) {
  std::string text(kHeader);
  text += std::to_string(result.Score) + "\n" + Hex(result.PlayerName) + "\n" +
          Hex(result.Country) + "\n";
  return text + result.Replay;
}

std::optional<UnsentResult> ParseUnsentResult(const std::string& text) {
  if (text.compare(0, kHeader.size(), kHeader) != 0) return std::nullopt;
  std::size_t at = kHeader.size();
  const auto score = NextLine(text, at);
  const auto name = NextLine(text, at);
  const auto country = NextLine(text, at);
  if (!score || !name || !country) return std::nullopt;
  UnsentResult result;
  const auto [end, error] =
      std::from_chars(score->data(), score->data() + score->size(), result.Score);
  if (error != std::errc() || end != score->data() + score->size() || score->empty()) {
    return std::nullopt;
  }
  auto nameBytes = Unhex(*name);
  auto countryBytes = Unhex(*country);
  if (!nameBytes || !countryBytes) return std::nullopt;
  result.PlayerName = std::move(*nameBytes);
  result.Country = std::move(*countryBytes);
  result.Replay = text.substr(at);
  return result;
}

std::vector<fs::path> UnsentResultFiles(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    if (entry->path().extension() == kExtension && entry->is_regular_file(error)) {
      files.push_back(entry->path());
    }
  }
  // The names are numbers of one width, so their order is the order they were kept in.
  std::sort(files.begin(), files.end());
  return files;
}

fs::path KeepUnsentResult(const fs::path& folder, const UnsentResult& result) {
  std::error_code error;
  fs::create_directories(folder, error);
  unsigned long next = 1;
  for (const fs::path& file : UnsentResultFiles(folder)) {
    const std::string stem = file.stem().string();
    unsigned long number = 0;
    const auto [end, parsed] = std::from_chars(stem.data(), stem.data() + stem.size(), number);
    if (parsed == std::errc() && number >= next) next = number + 1;
  }
  std::string name = std::to_string(next);
  name.insert(0, name.size() < 8 ? 8 - name.size() : 0, '0');
  const fs::path file = folder / (name + std::string(kExtension));
  std::ofstream output(file, std::ios::binary | std::ios::trunc);
  output << UnsentResultFileText(result);
  output.close();
  if (!output) {
    fs::remove(file, error);
    return {};
  }
  return file;
}

}  // namespace rivoltra
